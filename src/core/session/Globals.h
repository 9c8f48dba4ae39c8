// The two texts the whole program shares: the game's install folder and the mod being edited.
#pragma once

#include <string>

namespace rotaline {

// The install folder exactly as it was found: nothing trimmed, no separator added or removed.
extern std::string InstallPath;
// The folder name of the mod chosen in the chooser, exactly as the chooser lists it.
extern std::string ModName;

} // namespace rotaline
