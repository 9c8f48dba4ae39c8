// The program's commands, which read and edit map cycles without opening a window.
#pragma once

#include "cli/CommandLineArguments.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace rotaline {

// Exit statuses of a command.
inline constexpr int kCommandDone = 0;
inline constexpr int kCommandFoundProblems = 1; // "check" only
inline constexpr int kCommandFailed = 2;

// Answers what the arguments ask on the console: help, the version, the reason they make no
// sense, or the command they name. Results go to `out`; a failure goes to `err` as one line, and
// then nothing has been written to any file. Output that cannot be written (a full disk, a closed
// output) fails the command too. When `out` is a terminal, control characters in the names it
// prints are shown escaped; elsewhere the names go out as their exact bytes.
int RunCommand(const CommandLineArguments& arguments, std::ostream& out, std::ostream& err,
               bool outIsTerminal = false);

} // namespace rotaline
