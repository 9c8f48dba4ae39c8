// The program's commands, which read and edit map cycles without opening a window.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace rotaline {

// Exit statuses of a command.
inline constexpr int kCommandDone = 0;
inline constexpr int kCommandFoundProblems = 1; // "check" only
inline constexpr int kCommandFailed = 2;

// Runs the command that `args` (the arguments after the program's name) names. Results go to
// `out`; a failure goes to `err` as one line, and then nothing has been written to any file.
// Output that cannot be written (a full disk, a closed output) fails the command too. When `out`
// is a terminal, control characters in the names it prints are shown escaped; elsewhere the
// names go out as their exact bytes.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool outIsTerminal = false);

// The commands, each with an example, and the exit statuses.
std::string CommandsHelp();
// The usage, the options, then the commands: the text of "rotaline help".
std::string CommandLineHelp();

} // namespace rotaline
