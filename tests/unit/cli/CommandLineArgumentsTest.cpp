// Reading the arguments, and telling a command from a request for the windows.
#include "cli/CommandLineArguments.h"

#include <gtest/gtest.h>

#include <ostream>

namespace rotaline {
namespace {

using Args = std::vector<std::string>;

struct CommandCase {
    const char* name;
    Args args;
    bool command;
};

void PrintTo(const CommandCase& row, std::ostream* out) {
    *out << row.name;
}

class NamesACommandRows : public testing::TestWithParam<CommandCase> {};

TEST_P(NamesACommandRows, TellsACommandFromTheWindows) {
    EXPECT_EQ(NamesACommand(GetParam().args), GetParam().command);
}

const CommandCase kCommandCases[] = {
    {"NoArguments", {}, false},
    {"InstallPathAlone", {"--install-path", "/srv/hlds"}, false},
    {"QtPlatformOption", {"-platform", "offscreen"}, false},
    {"QtStyleWithTwoDashes", {"--style", "fusion", "--install-path", "x"}, false},
    {"CommandAfterInstallPath", {"--install-path", "/srv/hlds", "cycle", "valve"}, true},
    {"CommandAfterQtOption", {"-platform", "offscreen", "mods"}, true},
    {"MistypedCommand", {"mdos"}, true},
    {"WordAfterDoubleDash", {"--", "-x"}, true},
    {"InstallPathNamedLikeACommand", {"--install-path", "mods"}, false},
};

INSTANTIATE_TEST_SUITE_P(Arguments, NamesACommandRows, testing::ValuesIn(kCommandCases),
                         [](const auto& row) { return std::string(row.param.name); });

// Options may stand anywhere, the last of each counts, and "--" ends them.
TEST(ParseArgumentsTest, TakesOptionsAnywhereUntilDoubleDash) {
    const CommandLineArguments parsed = ParseArguments(
        {"add", "--install-path", "/a", "valve", "--install-path=/b", "--", "-odd", "--help"});
    EXPECT_FALSE(parsed.error || parsed.help);
    EXPECT_EQ(parsed.installPath, "/b");
    EXPECT_EQ(parsed.words, (Args{"add", "valve", "-odd", "--help"}));
    EXPECT_TRUE(ParseArguments({"maps", "-h"}).help);
    EXPECT_TRUE(ParseArguments({"--version"}).version);
    EXPECT_EQ(ParseArguments({"mods", "--install-path"}).error,
              "--install-path needs a folder: --install-path DIR");
}

} // namespace
} // namespace rotaline
