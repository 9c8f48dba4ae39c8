// Where the game is installed when no folder is given on the command line.
#pragma once

#include <string>

namespace rotaline {

// The InstallPath value the game's setup left in the registry (on POSIX, the Wine prefix's).
// When that cannot be read, POSIX systems search the folders of Steam and SteamCMD under $HOME.
// Empty text when nothing is found, or when the registry holds empty text.
std::string LookUpInstallPath();

} // namespace rotaline
