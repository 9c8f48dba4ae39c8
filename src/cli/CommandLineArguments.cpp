// Reading the program's arguments, and telling a command from a request for the windows.
#include "cli/CommandLineArguments.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace rotaline {

namespace {

constexpr std::string_view kInstallPath = "--install-path";

// Qt's window system options that take their value as the next argument; Qt reads them with
// one dash or two.
constexpr std::array<std::string_view, 15> kQtValueOptions = {
    "platform",
    "platformpluginpath",
    "platformtheme",
    "plugin",
    "qwindowgeometry",
    "geometry",
    "qwindowtitle",
    "title",
    "qwindowicon",
    "icon",
    "session",
    "display",
    "name",
    "style",
    "stylesheet",
};

bool IsQtValueOption(std::string_view arg) {
    if (arg.starts_with("--")) {
        arg.remove_prefix(2);
    } else if (arg.starts_with("-")) {
        arg.remove_prefix(1);
    } else {
        return false;
    }
    return std::find(kQtValueOptions.begin(), kQtValueOptions.end(), arg) != kQtValueOptions.end();
}

bool IsOption(std::string_view arg) {
    return arg.size() > 1 && arg.front() == '-';
}

} // namespace

CommandLineArguments ParseArguments(const std::vector<std::string>& args) {
    CommandLineArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || !IsOption(arg)) {
            parsed.words.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == kInstallPath) {
            if (i + 1 == args.size()) {
                parsed.error = "--install-path needs a folder: --install-path DIR";
                return parsed;
            }
            parsed.installPath = args[++i];
        } else if (arg.starts_with(std::string(kInstallPath) + "=")) {
            parsed.installPath = arg.substr(kInstallPath.size() + 1);
        } else if (arg == "-h" || arg == "--help" || arg == "-?") {
            parsed.help = true;
        } else if (arg == "-v" || arg == "--version") {
            parsed.version = true;
        } else {
            parsed.error = "unknown option " + arg + "; rotaline --help lists the options";
            return parsed;
        }
    }
    if (parsed.installPath && parsed.installPath->empty()) {
        parsed.error = "--install-path needs a folder: the given path is empty";
    }
    return parsed;
}

bool NamesACommand(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            return i + 1 < args.size();
        }
        if (arg == kInstallPath || IsQtValueOption(arg)) {
            ++i;
        } else if (!IsOption(arg)) {
            return true;
        }
    }
    return false;
}

} // namespace rotaline
