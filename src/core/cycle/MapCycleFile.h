// The mod's "mapcycle.txt": where it is, how its bytes split into lines, and how it is written.
#pragma once

#include "core/platform/Error.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rotaline {

class SelectableList;

// A cycle file larger than this is refused rather than read into memory.
inline constexpr std::size_t kMaxCycleFileBytes = 16 * 1024 * 1024;

// Lines end at CR LF, at CR, at a lone LF, or at the end of the bytes.
std::vector<std::string> SplitCycleLines(std::string_view bytes);
// How many lines SplitCycleLines would give, without making them.
std::size_t CountCycleLines(std::string_view bytes);

enum class LineEnd { CrLf, Lf };
// Lf for bytes whose lines all end in LF alone, the way most servers' files are written; CrLf
// for any other file (CR LF, CR, mixed, one line without an end, or nothing).
LineEnd LineEndOf(std::string_view bytes);
// Every item followed by the line end.
std::string JoinCycleLines(const SelectableList& cycle, LineEnd end = LineEnd::CrLf);

// The map an entry names: its first word, as the server splits words (any byte up to and
// including the space separates them). What follows it on the line is the map's rules.
std::string_view EntryMap(std::string_view entry);

struct CycleFile {
    std::vector<std::string> lines;
    std::string bytes; // the file as read, for WriteMapCycle to compare with
};

// Reads the cycle file at a native path. A file over kMaxCycleFileBytes, or of more lines than a
// list can hold, is refused with a message that says so.
Result<CycleFile> ReadMapCycle(const std::string& nativePath);

struct CycleWritten {
    // Nothing was written: the file no longer held what was read.
    bool changedOnDisk = false;
    // What the file holds now: the bytes written, or those another program put there.
    std::string bytes;
};

// Replaces the cycle file at a native path with the cycle's items, in the line ends of `readBytes`,
// if the file still holds exactly `readBytes`; safely: on failure the old file is left as it
// was. The check and the write happen under the file's lock, so that two programs that both
// go through here never write over each other's change unseen. A cycle of more than
// kMaxCycleFileBytes is refused, naming the limit: it could not be opened again.
Result<CycleWritten> WriteMapCycle(const std::string& nativePath, const SelectableList& cycle,
                                   const std::string& readBytes);

} // namespace rotaline
