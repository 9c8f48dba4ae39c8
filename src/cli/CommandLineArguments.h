// The program's arguments: the install folder option, help and version, a command's words, and
// the options a front-end reads itself.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rotaline {

// An option that a front-end's toolkit reads itself, such as Qt's "-platform offscreen": the
// parser passes over it, with its value, wherever it stands before "--". It may be given with
// one dash or two, and its value as the next argument or after "=".
struct FrontEndOption {
    std::string_view name; // without dashes
    bool takesValue;
};

struct CommandLineArguments {
    std::optional<std::string> installPath;
    bool help = false;
    bool version = false;
    // The command and its operands, in order.
    std::vector<std::string> words;
    // Set for arguments that make no sense: one line saying why.
    std::optional<std::string> error;

    // Nothing to answer on the console: no command, help, version or error.
    bool OpensTheWindows() const { return words.empty() && !help && !version && !error; }
};

// Reads the arguments that follow the program's name. Options may stand anywhere; "--" ends
// them, so that a map whose name starts with "-" can be named after it.
CommandLineArguments ParseArguments(const std::vector<std::string>& args,
                                    std::span<const FrontEndOption> frontEndOptions = {});

} // namespace rotaline
