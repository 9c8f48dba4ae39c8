// The install folder from the registry, and on POSIX from Steam's folders when the registry fails.
#include "core/session/InstallPathLookup.h"

#include "core/settings/SettingsReader.h"

#ifndef _WIN32
#include "core/session/InstallSearch.h"

#include <cstdlib>
#endif

namespace rotaline {

std::string LookUpInstallPath() {
    SettingValue value = std::string();
    const std::int32_t status = GetSettingValue("HKLM", "Software\\Valve\\Half-Life\\",
                                                "InstallPath", "S", std::string("No Name"), value);
    const std::string* text = std::get_if<std::string>(&value);
    if (status == 0 && text != nullptr) {
        return *text;
    }
#ifndef _WIN32
    // Most Linux installs come from Steam or SteamCMD and never touch a registry.
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        if (std::optional<std::string> found = FindHalfLifeFolder(home)) {
            return *found;
        }
    }
#endif
    // The reader's "No Name" default names no folder: a key or value that cannot be read means
    // an install we cannot find.
    return std::string();
}

} // namespace rotaline
