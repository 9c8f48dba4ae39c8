// Finds a Half-Life install on a Linux machine from the folders Steam and SteamCMD use.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace rotaline {

// The folders where Steam or SteamCMD puts Half-Life for the user whose home folder is `home`,
// in the order they are tried: for each Steam client root (~/.local/share/Steam, ~/.steam/steam,
// ~/.steam/root, then Flatpak's) every library its steamapps/libraryfolders.vdf lists, then the
// root itself; then SteamCMD's ~/Steam and ~/.steam/steamcmd. Each is the library's
// steamapps/common/Half-Life, and none appears twice.
std::vector<std::string> HalfLifeFolderCandidates(const std::string& home);

// True when `folder` holds at least one sub-folder whose name does not start with a dot.
bool HoldsModFolder(const std::string& folder);

// The first candidate that holds a mod folder.
std::optional<std::string> FindHalfLifeFolder(const std::string& home);

} // namespace rotaline
