// A mod's maps: the map files the server finds for it, and those its cycle does not name yet.
#pragma once

#include "core/cycle/ModPaths.h"
#include "core/platform/Error.h"

#include <string>
#include <string_view>
#include <vector>

namespace rotaline {

// The map names of the mod, each its file's name less the last four characters, from all of
// MapsFolders: each name once, in the folders' and the file system's order. A missing folder
// holds no maps; a name holding CR or LF is left out, since no cycle line can hold it. An error
// names the folder that could not be listed.
Result<std::vector<std::string>> ListModMaps(const ModPaths& paths);

// The map files of all of MapsFolders as they are named ("de_dust2.bsp"), for the check.
Result<std::vector<std::string>> ListMapFiles(const ModPaths& paths);

// True when the entry's map (its first word) is `map`, letter case ignored.
bool EntryNamesMap(std::string_view entry, std::string_view map);

// Takes out every map that some cycle entry names by its first word, letter case ignored; the
// rest keep their order.
void DropMapsInCycle(std::vector<std::string>& maps, const std::vector<std::string>& cycleLines);

} // namespace rotaline
