// Reads registry values through advapi32's ANSI calls.
#include "core/settings/win32/Win32Registry.h"

#include <windows.h>

namespace rotaline {

namespace {

// The root keys are 32-bit values sign-extended to the width of a handle: HKEY_LOCAL_MACHINE is
// 0xFFFFFFFF80000002 in a 64-bit program.
HKEY RootHandle(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

HKEY KeyHandle(RegistryKey key) {
    return reinterpret_cast<HKEY>(key);
}

} // namespace

// KEY_WOW64_32KEY: the game's setup is a 32-bit program, so on 64-bit Windows it wrote its
// install folder under Software\WOW6432Node, where a 32-bit reader also finds it. With the flag
// a 64-bit build reads that same view; 32-bit Windows ignores it, and keys that both views share
// (HKEY_CURRENT_USER\Software among them) read the same either way.
std::int32_t Win32Registry::OpenKey(std::uint32_t root, const std::string& keyPath,
                                    RegistryKey& key) {
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExA(RootHandle(root), keyPath.c_str(), 0,
                                      KEY_QUERY_VALUE | KEY_WOW64_32KEY, &opened);
    if (result == ERROR_SUCCESS) {
        key = reinterpret_cast<RegistryKey>(opened);
    }
    return result;
}

// `data` goes through as it is: a null buffer and a buffer of size 0 are answered differently
// (a null one gets the size with success, not ERROR_MORE_DATA), and the reader relies on which.
std::int32_t Win32Registry::QueryValue(RegistryKey key, const std::string& valueName,
                                       std::uint32_t& type, unsigned char* data,
                                       std::uint32_t& size) {
    DWORD valueType = type;
    DWORD valueSize = size;
    const LONG result =
        RegQueryValueExA(KeyHandle(key), valueName.c_str(), nullptr, &valueType, data, &valueSize);
    type = valueType;
    size = valueSize;
    return result;
}

std::int32_t Win32Registry::CloseKey(RegistryKey key) {
    return RegCloseKey(KeyHandle(key));
}

} // namespace rotaline
