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
    ByteOrderMark,
    NameTooLong,
    MissingMap,
    LostToComment, // a comment after a map makes the next line's map its rules
    LostToCrEnd,   // so does a line ended by CR alone
    NulByte,
    Duplicate, // harmless: a map may be played twice in a round
    NulAtEnd,  // harmless: no map follows the NUL
};

struct CycleProblem {
    CycleProblemKind kind;
    std::size_t line; // from 1; 0 for the file as a whole
    std::string text; // one line, saying what is wrong and why it matters
    bool IsInformation() const {
        return kind == CycleProblemKind::Duplicate || kind == CycleProblemKind::NulAtEnd;
    }
};

// Checks the bytes of a cycle file, read as the server reads them, against the file names in
// the folders the server loads the mod's maps from (such as "de_dust2.bsp"). The server reads
// up to the first NUL byte, in words split at any byte up to and including the space, skips
// "//" comments, and takes a word that follows a map before the next LF as that map's rules. A
// map must be spelled as its file is, since clients download maps/NAME.bsp by that exact name.
// Line numbers are the editor's (lines end at CR LF, CR or LF); problems come in file order,
// the file's size first.
std::vector<CycleProblem> CheckCycle(std::string_view bytes,
                                     const std::vector<std::string>& mapFiles);

} // namespace rotaline
