// The two texts the whole program shares: the game's install folder and the mod being edited.
#pragma once

#include "core/cycle/ModPaths.h"

#include <string>

namespace rotaline {

// The install folder exactly as it was found: nothing trimmed, no separator added or removed.
extern std::string InstallPath;

// The folder name of the mod chosen in the chooser, exactly as the chooser lists it.
extern std::string ModName;

// The paths of the mod the two texts name.
inline ModPaths CurrentMod() {
    return ModPaths{InstallPath, ModName};
}

// InstallPath + "\" + ModName + "\mapcycle.txt", built afresh from the two globals.
inline std::string MapCyclePath() {
    return CurrentMod().CyclePath();
}

} // namespace rotaline
