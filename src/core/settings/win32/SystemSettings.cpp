// The registry and INI reading of Windows: the system's own calls.
#include "core/settings/ProfileApi.h"
#include "core/settings/RegistryApi.h"
#include "core/settings/win32/Win32Profile.h"
#include "core/settings/win32/Win32Registry.h"

namespace rotaline {

std::unique_ptr<RegistryApi> MakeSystemRegistry() {
    return std::make_unique<Win32Registry>();
}

std::unique_ptr<ProfileApi> MakeSystemProfile() {
    return std::make_unique<Win32Profile>();
}

} // namespace rotaline
