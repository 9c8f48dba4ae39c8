// A scratch Wine prefix for one test, WINEPREFIX pointing at it while it lives.
#pragma once

#include "platform/TempFolder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

class TestPrefix {
public:
    TestPrefix() {
        if (const char* old = std::getenv("WINEPREFIX")) {
            saved_ = old;
        }
        setenv("WINEPREFIX", folder_.Path().c_str(), 1);
    }
    ~TestPrefix() {
        if (saved_) {
            setenv("WINEPREFIX", saved_->c_str(), 1);
        } else {
            unsetenv("WINEPREFIX");
        }
    }
    TestPrefix(const TestPrefix&) = delete;
    TestPrefix& operator=(const TestPrefix&) = delete;

    // A registry file ("system.reg", "user.reg"...): Wine's header, then `body` as written.
    void WriteHive(const std::string& file, const std::string& body) const {
        folder_.Write(file, "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n"
                            "\n#arch=win64\n\n" +
                                body);
    }
    const TempFolder& Folder() const { return folder_; }

    // A path in the prefix as the program writes paths: "\tmp\...\name".
    std::string ProgramPath(const std::string& name) const {
        std::string path = folder_ / name;
        for (char& c : path) {
            c = c == '/' ? '\\' : c;
        }
        return path;
    }

private:
    TempFolder folder_;
    std::optional<std::string> saved_;
};

// `"name"=hex(type):..` for a value that RegQueryValueExA hands back as `data`: the registry
// holds text types as UTF-16LE, each ASCII byte one unit. A link's target (type 6) is UTF-16LE
// too, though the call would hand it back as it is.
inline std::string ValueLine(std::string_view name, std::uint32_t type, std::string_view data) {
    const bool text = type == 1 || type == 2 || type == 6 || type == 7;
    char tag[16];
    std::snprintf(tag, sizeof tag, "=hex(%x):", static_cast<unsigned>(type));
    std::string line = "\"" + std::string(name) + "\"" + tag;
    const char* digits = "0123456789abcdef";
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        line += std::string(i > 0 ? "," : "") + digits[byte >> 4] + digits[byte & 15];
        line += text ? ",00" : "";
    }
    return line + "\n";
}
