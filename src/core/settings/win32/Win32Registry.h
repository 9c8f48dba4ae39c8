// The registry of Windows itself, read as a 32-bit program reads it.
#pragma once

#include "core/settings/RegistryApi.h"

namespace rotaline {

// RegOpenKeyExA, RegQueryValueExA and RegCloseKey, the arguments passed through unchanged; keys
// are opened in the 32-bit view of the registry.
class Win32Registry final : public RegistryApi {
public:
    std::int32_t OpenKey(std::uint32_t root, const std::string& keyPath, RegistryKey& key) override;
    std::int32_t QueryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& size) override;
    std::int32_t CloseKey(RegistryKey key) override;
};

} // namespace rotaline
