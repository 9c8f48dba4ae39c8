// A read-only registry over the Wine prefix's files, answering as Wine's advapi32 answers.
#pragma once

#include "core/settings/RegistryApi.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rotaline {

// A value as Wine's server holds it: text types as UTF-16LE, a quoted text with its NUL.
struct RegistryValue {
    std::string name; // UTF-8; empty for the key's default value ("@")
    std::uint32_t type = 0;
    std::string data;
};

struct RegistryFileKey {
    std::string path;  // below the file's root, UTF-8, parts joined by single backslashes
    bool link = false; // "#link": opening the key opens the one its SymbolicLinkValue names
    std::vector<RegistryValue> values; // in file order; of equal names the last one counts
};

// Parses the text of one registry file ("WINE REGISTRY Version 2"): each key once, sections of
// the same key merged. Lines Wine could not read are skipped; nullopt when the header is wrong.
std::optional<std::vector<RegistryFileKey>> ParseRegistryFile(std::string_view text);

// RegQueryValueExA's answer for a stored value, text types converted to UTF-8. A null `data`
// asks for the size alone: status 0 and the size, as Windows answers it.
std::int32_t QueryRegistryValue(const RegistryValue& value, std::uint32_t& type,
                                unsigned char* data, std::uint32_t& size);

// HKLM is system.reg, HKCU user.reg (also HKU\S-1-5-21-0-0-0-1000, Wine's one user), HKU\.Default
// userdef.reg, HKCR and HKCC keys of system.reg; HKDD exists but is empty. The files are read
// at each OpenKey: the key's values are taken then and held until CloseKey.
class WineRegistry final : public RegistryApi {
public:
    std::int32_t OpenKey(std::uint32_t root, const std::string& keyPath, RegistryKey& key) override;
    std::int32_t QueryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& size) override;
    std::int32_t CloseKey(RegistryKey key) override;

private:
    std::map<RegistryKey, std::vector<RegistryValue>> openKeys_;
    RegistryKey nextKey_ = 0x100;
};

} // namespace rotaline
