// A mod's maps: the map files the server finds for it, and those its cycle does not name yet.
#pragma once

#include "core/platform/FolderListing.h"

#include <string>
#include <string_view>
#include <vector>

namespace rotaline {

// installPath + "\" + modName + "\maps\*.bsp": what is listed, and what a mod without maps names.
std::string MapsPattern(const std::string& installPath, const std::string& modName);

// Where the server loads the mod's maps from, in its order: the "maps" folders of
// `<mod>_addon`, `<mod>` and `<mod>_downloads`, as program paths.
std::vector<std::string> MapsFolders(const std::string& installPath, const std::string& modName);

// The map names of the mod, each its file's name less the last four characters, from all of
// MapsFolders: each name once, in the folders' and the file system's order. A missing folder
// holds no maps; a name holding CR or LF is left out, since no cycle line can hold it. An error
// names the folder that could not be listed.
ListingResult ListModMaps(const std::string& installPath, const std::string& modName);

// True when the entry's map (its first word) is `map`, letter case ignored.
bool EntryNamesMap(std::string_view entry, std::string_view map);

// Takes out every map that some cycle entry names by its first word, letter case ignored; the
// rest keep their order.
void DropMapsInCycle(std::vector<std::string>& maps, const std::vector<std::string>& cycleLines);

} // namespace rotaline
