// Reading and writing a mod's "mapcycle.txt" as lines of raw bytes.
#include "cycle/MapCycleFile.h"

#include "app/Globals.h"
#include "lists/SelectableList.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

namespace rotaline {

std::string MapCyclePath() { return InstallPath + "\\" + ModName + "\\mapcycle.txt"; }

std::vector<std::string> SplitCycleLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t cr = bytes.find('\r', start);
        if (cr == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start));
            break;
        }
        lines.emplace_back(bytes.substr(start, cr - start));
        start = cr + 1;
        if (start < bytes.size() && bytes[start] == '\n') {
            ++start;
        }
    }
    return lines;
}

std::string JoinCycleLines(const SelectableList& cycle) {
    std::size_t size = 0;
    for (std::int16_t i = 0; i < cycle.ListCount(); ++i) {
        size += cycle.List(i).size() + 2;
    }
    std::string bytes;
    bytes.reserve(size);
    for (std::int16_t i = 0; i < cycle.ListCount(); ++i) {
        bytes += cycle.List(i);
        bytes += "\r\n";
    }
    return bytes;
}

CycleReadResult ReadMapCycle() {
    ReadResult file = ReadWholeFile(NativePath(MapCyclePath()), kMaxCycleFileBytes);
    if (file.error) {
        return {{}, file.error};
    }
    return {SplitCycleLines(file.bytes), std::nullopt};
}

std::optional<SystemError> WriteMapCycle(const SelectableList& cycle) {
    return ReplaceFileContent(NativePath(MapCyclePath()), JoinCycleLines(cycle));
}

} // namespace rotaline
