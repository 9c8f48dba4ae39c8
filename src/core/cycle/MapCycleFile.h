// The mod's "mapcycle.txt": where it is, how its bytes split into lines, and how it is written.
#pragma once

#include "core/platform/SystemError.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rotaline {

class SelectableList;

// A cycle file larger than this is refused rather than read into memory.
inline constexpr std::size_t kMaxCycleFileBytes = 16 * 1024 * 1024;

// InstallPath + "\" + ModName + "\mapcycle.txt", built afresh from the two globals.
std::string MapCyclePath();

// Lines end at CR, at CR LF, or at the end of the bytes; a lone LF belongs to its line.
std::vector<std::string> SplitCycleLines(std::string_view bytes);
// How many lines SplitCycleLines would give, without making them.
std::size_t CountCycleLines(std::string_view bytes);
// Every item followed by CR LF.
std::string JoinCycleLines(const SelectableList& cycle);

struct CycleReadResult {
    std::vector<std::string> lines;
    std::optional<SystemError> error;
};

// Reads the file at MapCyclePath(). A file over kMaxCycleFileBytes, or of more lines than a
// list can hold, is refused with a message that says so.
CycleReadResult ReadMapCycle();
// Replaces the file at MapCyclePath() with the cycle's items, safely: on failure the old file
// is left as it was. A cycle of more than kMaxCycleFileBytes is refused, naming the limit.
std::optional<SystemError> WriteMapCycle(const SelectableList& cycle);

} // namespace rotaline
