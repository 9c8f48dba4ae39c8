// Where a mod's folders and files are: every path to them is built here.
#pragma once

#include <string>
#include <vector>

namespace rotaline {

// A mod under an install folder. Program paths are the install folder and the names joined with
// "\", exactly as given; the Native forms are the paths the system opens.
struct ModPaths {
    std::string install;
    std::string mod;

    std::string ModFolder() const { return install + "\\" + mod; }
    // "<mod>\maps\*.bsp": what a mod without maps names.
    std::string MapsPattern() const { return ModFolder() + "\\maps\\*.bsp"; }
    // Where the server loads the mod's maps from, in its order: the "maps" folders of
    // `<mod>_addon`, `<mod>` and `<mod>_downloads`.
    std::vector<std::string> MapsFolders() const;
    std::string CyclePath() const { return ModFolder() + "\\mapcycle.txt"; }

    std::string NativeModFolder() const;
    std::string NativeCyclePath() const;
};

} // namespace rotaline
