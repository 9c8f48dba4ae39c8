// Reading the arguments: options, words, front-end options, and what each front-end then does.
#include "cli/CommandLineArguments.h"

#include <gtest/gtest.h>

namespace rotaline {
namespace {

using Args = std::vector<std::string>;
constexpr FrontEndOption kToolkit[] = {{"platform", true}, {"reverse", false}};

struct Row {
    const char* name;
    Args args;
    Args words;
    std::optional<std::string> installPath;
    std::string outcome; // "windows", "help", "version", "command", or the error
};

std::string OutcomeOf(const CommandLineArguments& parsed) {
    return parsed.error           ? *parsed.error
           : parsed.help          ? "help"
           : parsed.version       ? "version"
           : parsed.words.empty() ? "windows"
                                  : "command";
}

class ParseArgumentsRows : public testing::TestWithParam<Row> {};

TEST_P(ParseArgumentsRows, ReadsTheArguments) {
    const Row& row = GetParam();
    const CommandLineArguments parsed = ParseArguments(row.args, kToolkit);
    EXPECT_EQ(OutcomeOf(parsed), row.outcome);
    EXPECT_EQ(parsed.OpensTheWindows(), row.outcome == "windows");
    if (!parsed.error) {
        EXPECT_EQ(parsed.words, row.words);
        EXPECT_EQ(parsed.installPath, row.installPath);
    }
}

const std::string kUnknown = "; rotaline --help lists the options";
const std::string kNoFolder = "--install-path needs a folder: ";
const Row kRows[] = {
    {"NoArguments", {}, {}, {}, "windows"},
    {"InstallPathNamedLikeACommand", {"--install-path", "mods"}, {}, "mods", "windows"},
    {"ToolkitOptions", {"-platform", "x", "--platform=y", "--reverse"}, {}, {}, "windows"},
    {"CommandAfterToolkitOption", {"-platform", "mods", "maps", "x"}, {"maps", "x"}, {}, "command"},
    {"OptionsAnywhereLastPathCounts",
     {"add", "--install-path=/a", "valve", "--install-path", "/b", "--", "-odd", "--help"},
     {"add", "valve", "-odd", "--help"},
     "/b",
     "command"},
    {"HelpAfterCommand", {"maps", "-?"}, {"maps"}, {}, "help"},
    {"Version", {"-v"}, {}, {}, "version"},
    {"InstallPathLast", {"mods", "--install-path"}, {}, {}, kNoFolder + "--install-path DIR"},
    {"EmptyInstallPath", {"--install-path="}, {}, {}, kNoFolder + "the given path is empty"},
    {"ToolkitValueMissing", {"mods", "--platform"}, {}, {}, "--platform needs a value"},
    {"ToolkitFlagWithValue", {"-reverse=1"}, {}, {}, "unknown option -reverse=1" + kUnknown},
    {"UnknownOption", {"-x", "mods"}, {}, {}, "unknown option -x" + kUnknown},
};

INSTANTIATE_TEST_SUITE_P(Arguments, ParseArgumentsRows, testing::ValuesIn(kRows),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace rotaline
