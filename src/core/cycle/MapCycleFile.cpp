// Reading and writing a mod's "mapcycle.txt" as lines of raw bytes.
#include "core/cycle/MapCycleFile.h"

#include "core/lists/SelectableList.h"
#include "core/platform/FileLock.h"
#include "core/platform/TextFile.h"

namespace rotaline {

namespace {

// Where the line that starts at `start` ends, and where the next one starts.
std::size_t LineEndAt(std::string_view bytes, std::size_t start, std::size_t& next) {
    std::size_t at = start;
    while (at < bytes.size() && bytes[at] != '\r' && bytes[at] != '\n') {
        ++at;
    }
    next = at + 1;
    if (at < bytes.size() && bytes[at] == '\r' && next < bytes.size() && bytes[next] == '\n') {
        ++next;
    }
    return at;
}

} // namespace

std::vector<std::string> SplitCycleLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t next = 0;
    for (std::size_t start = 0; start < bytes.size(); start = next) {
        lines.emplace_back(bytes.substr(start, LineEndAt(bytes, start, next) - start));
    }
    return lines;
}

std::size_t CountCycleLines(std::string_view bytes) {
    std::size_t count = 0;
    std::size_t next = 0;
    for (std::size_t start = 0; start < bytes.size(); start = next) {
        LineEndAt(bytes, start, next);
        ++count;
    }
    return count;
}

LineEnd LineEndOf(std::string_view bytes) {
    const bool onlyLineFeeds =
        bytes.find('\n') != std::string_view::npos && bytes.find('\r') == std::string_view::npos;
    return onlyLineFeeds ? LineEnd::Lf : LineEnd::CrLf;
}

std::string JoinCycleLines(const SelectableList& cycle, LineEnd end) {
    const std::string_view terminator = end == LineEnd::Lf ? "\n" : "\r\n";
    std::string bytes;
    for (std::int16_t i = 0; i < cycle.ListCount(); ++i) {
        bytes += cycle.List(i);
        bytes += terminator;
    }
    return bytes;
}

std::string_view EntryMap(std::string_view entry) {
    const auto isSeparator = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    std::size_t start = 0;
    while (start < entry.size() && isSeparator(entry[start])) {
        ++start;
    }
    std::size_t end = start;
    while (end < entry.size() && !isSeparator(entry[end])) {
        ++end;
    }
    return entry.substr(start, end - start);
}

Result<CycleFile> ReadMapCycle(const std::string& nativePath) {
    Result<std::string> file = ReadWholeFile(nativePath, kMaxCycleFileBytes);
    if (!file) {
        return std::move(file.error());
    }
    // Counted before any line is made: a file of nothing but line ends would otherwise take
    // some 30 times its size in memory before the list refused it.
    const std::size_t count = CountCycleLines(*file);
    if (count > static_cast<std::size_t>(SelectableList::kMaxItems)) {
        const std::string most = std::to_string(SelectableList::kMaxItems);
        Error error = MakeError(ErrorKind::TooLarge,
                                "Too many lines: it holds " + std::to_string(count) +
                                    ", and a cycle of at most " + most + " maps can be edited");
        return std::move(error).At(nativePath);
    }
    std::vector<std::string> lines = SplitCycleLines(*file);
    return CycleFile{std::move(lines), std::move(*file)};
}

Result<CycleWritten> WriteMapCycle(const std::string& nativePath, const SelectableList& cycle,
                                   const std::string& readBytes) {
    const FileLock lock(nativePath);
    Result<std::string> now = ReadWholeFile(nativePath, kMaxCycleFileBytes);
    // A file that is gone holds nothing to lose: the save puts the cycle where it was.
    const bool gone = !now && now.error().kind == ErrorKind::NotFound;
    if (!now && !gone) {
        return std::move(now.error());
    }
    if (!gone && *now != readBytes) {
        return CycleWritten{true, std::move(*now)};
    }
    std::string bytes = JoinCycleLines(cycle, LineEndOf(readBytes));
    // A file that reading would refuse could not be opened again, not even to undo the edit.
    if (bytes.size() > kMaxCycleFileBytes) {
        Error error =
            MakeError(ErrorKind::TooLarge,
                      "File too large: the cycle would take " + std::to_string(bytes.size()) +
                          " bytes, and at most " + std::to_string(kMaxCycleFileBytes) +
                          " bytes (16 MB) can be read back");
        return std::move(error).At(nativePath);
    }
    if (Result<void> replaced = ReplaceFileContent(nativePath, bytes); !replaced) {
        return std::move(replaced.error());
    }
    return CycleWritten{false, std::move(bytes)};
}

} // namespace rotaline
