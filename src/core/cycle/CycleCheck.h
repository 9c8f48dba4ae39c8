// Finds what in a cycle file would make the game server or its clients misbehave.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rotaline {

// Clients crash on connect when the server sends them a cycle file of this size or more.
inline constexpr std::size_t kCycleFileCrashBytes = 8192;
// The server copies a map name into a buffer of this many bytes, its terminator included.
inline constexpr std::size_t kMapNameBuffer = 32;

enum class CycleProblemKind {
    FileTooLarge,
    EmptyEntry,
    SurroundingSpace,
    NameTooLong,
    MissingMap,
    Duplicate, // harmless: a map may be played twice in a round
};

struct CycleProblem {
    CycleProblemKind kind;
    std::size_t line; // from 1; 0 for the file as a whole
    std::string text; // one line, saying what is wrong and why it matters
    bool IsInformation() const { return kind == CycleProblemKind::Duplicate; }
};

// Checks the bytes of a cycle file, split into lines as the editor splits them, against the
// file names in the mod's maps folder (such as "de_dust2.bsp"). The server takes the first word
// of an entry as the map name and skips entries that start with "//"; a map must be spelled as
// its file is, since clients download maps/NAME.bsp by that exact name. Problems come in file
// order, the file's size first.
std::vector<CycleProblem> CheckCycle(std::string_view bytes,
                                     const std::vector<std::string>& mapFiles);

} // namespace rotaline
