// Reading and writing a mod's "mapcycle.txt" as lines of raw bytes.
#include "core/cycle/MapCycleFile.h"

#include "core/lists/SelectableList.h"
#include "core/platform/Paths.h"
#include "core/platform/TextFile.h"
#include "core/session/Globals.h"

#include <cerrno>

namespace rotaline {

std::string MapCyclePath() {
    return InstallPath + "\\" + ModName + "\\mapcycle.txt";
}

std::vector<std::string> SplitCycleLines(std::string_view bytes) {
    std::vector<std::string> lines;
    // Room for every line at once: growing the list step by step touches twice the memory,
    // and fresh memory is what a long cycle costs most.
    lines.reserve(CountCycleLines(bytes));
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

std::size_t CountCycleLines(std::string_view bytes) {
    std::size_t count = 0;
    std::size_t start = 0;
    while (start < bytes.size()) {
        ++count;
        const std::size_t cr = bytes.find('\r', start);
        if (cr == std::string_view::npos) {
            break;
        }
        start = cr + 1;
        if (start < bytes.size() && bytes[start] == '\n') {
            ++start;
        }
    }
    return count;
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
    // Counted before any line is made: a file of nothing but line ends would otherwise take
    // some 30 times its size in memory before the list refused it.
    const std::size_t count = CountCycleLines(file.bytes);
    if (count > static_cast<std::size_t>(SelectableList::kMaxItems)) {
        const std::string most = std::to_string(SelectableList::kMaxItems);
        return {{},
                SystemError{EFBIG, "Too many lines: it holds " + std::to_string(count) +
                                       ", and a cycle of at most " + most + " maps can be edited"}};
    }
    return {SplitCycleLines(file.bytes), std::nullopt};
}

std::optional<SystemError> WriteMapCycle(const SelectableList& cycle) {
    const std::string bytes = JoinCycleLines(cycle);
    // A file that reading would refuse could not be opened again, not even to undo the edit.
    if (bytes.size() > kMaxCycleFileBytes) {
        return SystemError{EFBIG, "File too large: the cycle would take " +
                                      std::to_string(bytes.size()) + " bytes, and at most " +
                                      std::to_string(kMaxCycleFileBytes) +
                                      " bytes (16 MB) can be read back"};
    }
    return ReplaceFileContent(NativePath(MapCyclePath()), bytes);
}

} // namespace rotaline
