// The program's arguments: the install folder option, help and version, and a command's words.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace rotaline {

struct CommandLineArguments {
    std::optional<std::string> installPath;
    bool help = false;
    bool version = false;
    // The command and its operands, in order.
    std::vector<std::string> words;
    // Set for arguments that make no sense: one line saying why.
    std::optional<std::string> error;
};

// Reads the arguments that follow the program's name. Options may stand anywhere; "--" ends
// them, so that a map whose name starts with "-" can be named after it.
CommandLineArguments ParseArguments(const std::vector<std::string>& args);

// True when the arguments hold a word that is not an option or an option's value: a command,
// which runs without a window. The values of Qt's own window options ("-platform offscreen"
// and the like) are not taken for words, so those still open the windows.
bool NamesACommand(const std::vector<std::string>& args);

} // namespace rotaline
