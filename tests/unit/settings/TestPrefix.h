// A scratch Wine prefix for one test, and registry values written as Wine writes them.
#pragma once

#include "ScopedEnv.h"
#include "platform/TempFolder.h"

#include <cstdio>
#include <string>
#include <string_view>

// WINEPREFIX names the folder while the object lives.
struct TestPrefix {
    TempFolder folder;
    ScopedEnv variable{"WINEPREFIX", folder.Path()};

    // A registry file ("system.reg", "user.reg"...): Wine's first line, then `body`.
    void WriteHive(const std::string& file, const std::string& body) const {
        folder.Write(file, "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\n\n" + body);
    }
};

// `"name"=hex(type):..` for a value RegQueryValueExA hands back as `data`: the registry holds
// text types and link targets (type 6) as UTF-16LE, each ASCII byte one unit.
inline std::string ValueLine(std::string_view name, std::uint32_t type, std::string_view data) {
    char byte[8];
    std::string text = "\"" + std::string(name) + "\"=hex(" + std::to_string(type) + "):";
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(byte, sizeof byte, i > 0 ? ",%02x" : "%02x",
                      static_cast<unsigned char>(data[i]));
        text += byte + std::string(type == 1 || type == 2 || type == 6 || type == 7 ? ",00" : "");
    }
    return text + "\n";
}
