// The registry and INI reading of POSIX systems: the Wine prefix's files and an INI reader.
#include "core/settings/ProfileApi.h"
#include "core/settings/RegistryApi.h"
#include "core/settings/posix/IniProfile.h"
#include "core/settings/posix/WineRegistry.h"

namespace rotaline {

std::unique_ptr<RegistryApi> MakeSystemRegistry() {
    return std::make_unique<WineRegistry>();
}

std::unique_ptr<ProfileApi> MakeSystemProfile() {
    return std::make_unique<IniProfile>();
}

} // namespace rotaline
