// A mod's maps: the map files of its "maps" folder, and those its cycle does not name yet.
#pragma once

#include "core/platform/FolderListing.h"

#include <string>
#include <vector>

namespace rotaline {

// installPath + "\" + modName + "\maps\*.bsp": what is listed, and what a mod without maps names.
std::string MapsPattern(const std::string& installPath, const std::string& modName);

// The map names of the mod, each its file's name less the last four characters, in the file
// system's order. A missing "maps" folder holds no maps.
ListingResult ListModMaps(const std::string& installPath, const std::string& modName);

// Takes out every map that some cycle line names, letter case ignored; the rest keep their order.
void DropMapsInCycle(std::vector<std::string>& maps, const std::vector<std::string>& cycleLines);

} // namespace rotaline
