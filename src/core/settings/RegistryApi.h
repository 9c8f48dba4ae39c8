// The three registry calls the settings reader makes, with the Win32 API's meaning and codes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace rotaline {

inline constexpr std::uint32_t HKEY_CLASSES_ROOT_VALUE = 0x80000000u;
inline constexpr std::uint32_t HKEY_CURRENT_USER_VALUE = 0x80000001u;
inline constexpr std::uint32_t HKEY_LOCAL_MACHINE_VALUE = 0x80000002u;
inline constexpr std::uint32_t HKEY_USERS_VALUE = 0x80000003u;
inline constexpr std::uint32_t HKEY_CURRENT_CONFIG_VALUE = 0x80000005u;
inline constexpr std::uint32_t HKEY_DYN_DATA_VALUE = 0x80000006u;

inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorMoreData = 234;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

using RegistryKey = std::uintptr_t;

class RegistryApi {
public:
    virtual ~RegistryApi() = default;
    // RegOpenKeyExA with options 0 and KEY_QUERY_VALUE.
    virtual std::int32_t OpenKey(std::uint32_t root, const std::string& keyPath,
                                 RegistryKey& key) = 0;
    // RegQueryValueExA: `type` in/out, `data` may be null when `size` is 0, `size` in/out bytes.
    virtual std::int32_t QueryValue(RegistryKey key, const std::string& valueName,
                                    std::uint32_t& type, unsigned char* data,
                                    std::uint32_t& size) = 0;
    // RegCloseKey.
    virtual std::int32_t CloseKey(RegistryKey key) = 0;
};

// The registry of this system: Windows' own, or the Wine prefix's files elsewhere.
std::unique_ptr<RegistryApi> MakeSystemRegistry();

} // namespace rotaline
