// Listing a mod's maps and leaving out those already in its cycle.
#include "core/cycle/ModMaps.h"

#include "core/cycle/MapCycleFile.h"
#include "core/platform/AsciiCase.h"
#include "core/platform/FolderListing.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace rotaline {

namespace {

// The key of a map among a cycle's entries, which name their maps in any letter case.
std::string UpperCase(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper);
    return upper;
}

} // namespace

Result<std::vector<std::string>> ListMapFiles(const ModPaths& paths) {
    std::vector<std::string> files;
    for (const std::string& folder : paths.MapsFolders()) {
        Result<std::vector<std::string>> listed = ListFolder(folder + "\\*.bsp", kAttrNormal);
        if (!listed) {
            return std::move(listed.error());
        }
        files.insert(files.end(), std::make_move_iterator(listed->begin()),
                     std::make_move_iterator(listed->end()));
    }
    return files;
}

Result<std::vector<std::string>> ListModMaps(const ModPaths& paths) {
    Result<std::vector<std::string>> files = ListMapFiles(paths);
    if (!files) {
        return files;
    }
    std::vector<std::string> maps;
    std::unordered_set<std::string> seen;
    for (std::string& name : *files) {
        name.resize(name.size() - 4);
        // No cycle line can name such a map: the line would end inside the name.
        if (name.find_first_of("\r\n") == std::string::npos && seen.insert(name).second) {
            maps.push_back(std::move(name));
        }
    }
    return maps;
}

bool EntryNamesMap(std::string_view entry, std::string_view map) {
    return EqualIgnoringAsciiCase(EntryMap(entry), map);
}

void DropMapsInCycle(std::vector<std::string>& maps, const std::vector<std::string>& cycleLines) {
    std::unordered_set<std::string> named;
    for (const std::string& line : cycleLines) {
        named.insert(UpperCase(EntryMap(line)));
    }
    std::erase_if(maps,
                  [&named](const std::string& map) { return named.contains(UpperCase(map)); });
}

} // namespace rotaline
