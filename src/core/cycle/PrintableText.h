// Shows a map name or cycle entry in a one-line message, whatever bytes it holds.
#pragma once

#include <string>
#include <string_view>

namespace rotaline {

// The text in double quotes, with control characters, quotes and backslashes written as escapes
// (\n, \t, \r, \", \\, \xNN) so that an entry holding a line feed still gives one line. Bytes
// from 0x80 up are left as they are: they belong to the names' own character set.
std::string Quoted(std::string_view text);

// The text with control characters and backslashes escaped as Quoted does, without quotes: a
// name printed to a terminal, which could otherwise move the cursor or change the colours.
std::string EscapedForTerminal(std::string_view text);

} // namespace rotaline
