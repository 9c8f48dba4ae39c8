// Reading the program's arguments, for every front-end.
#include "cli/CommandLineArguments.h"

#include <algorithm>

namespace rotaline {

namespace {

constexpr std::string_view kInstallPath = "--install-path";

bool IsOption(std::string_view arg) {
    return arg.size() > 1 && arg.front() == '-';
}

// The front-end option `arg` names, with one dash or two and perhaps "=value", or null.
const FrontEndOption* FindFrontEndOption(std::string_view arg,
                                         std::span<const FrontEndOption> options,
                                         bool& valueAttached) {
    arg.remove_prefix(arg.starts_with("--") ? 2 : 1);
    const std::size_t equals = arg.find('=');
    valueAttached = equals != std::string_view::npos;
    const std::string_view name = arg.substr(0, equals);
    const auto found = std::find_if(options.begin(), options.end(), [&](const FrontEndOption& o) {
        return o.name == name && (o.takesValue || !valueAttached);
    });
    return found == options.end() ? nullptr : &*found;
}

} // namespace

CommandLineArguments ParseArguments(const std::vector<std::string>& args,
                                    std::span<const FrontEndOption> frontEndOptions) {
    CommandLineArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool valueAttached = false;
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
        } else if (const FrontEndOption* option =
                       FindFrontEndOption(arg, frontEndOptions, valueAttached)) {
            if (option->takesValue && !valueAttached && ++i == args.size()) {
                parsed.error = arg + " needs a value";
                return parsed;
            }
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

} // namespace rotaline
