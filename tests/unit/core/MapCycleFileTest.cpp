// The cycle file's lines, byte for byte, both ways, and its path.
#include "core/cycle/MapCycleFile.h"
#include "core/lists/SelectableList.h"
#include "core/session/Globals.h"

#include <gtest/gtest.h>

namespace rotaline {
namespace {

struct LinesCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
    std::string written; // the same lines written back
};

class SplitCycleLinesTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(SplitCycleLinesTest, ReadsAndWritesBack) {
    const LinesCase& c = GetParam();
    const std::vector<std::string> lines = SplitCycleLines(c.bytes);
    EXPECT_EQ(lines, c.lines);

    SelectableList cycle(SelectionStyle::Extended, false);
    cycle.AddItems(lines);
    EXPECT_EQ(JoinCycleLines(cycle, LineEndOf(c.bytes)), c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitCycleLinesTest,
    ::testing::Values(LinesCase{"TwoCrLfLines", "a\r\nb\r\n", {"a", "b"}, "a\r\nb\r\n"},
                      LinesCase{"NoFinalTerminator", "a\r\nb", {"a", "b"}, "a\r\nb\r\n"},
                      LinesCase{
                          "EmptyLineBetween", "a\r\n\r\nb\r\n", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
                      LinesCase{"SpacesKept", " a \t\r\n", {" a \t"}, " a \t\r\n"},
                      LinesCase{"LoneCrEndsALine", "a\rb\r", {"a", "b"}, "a\r\nb\r\n"},
                      LinesCase{"LoneLfEndsALine", "a\nb\n", {"a", "b"}, "a\nb\n"},
                      LinesCase{"LfWithoutFinalTerminator", "a\n\nb", {"a", "", "b"}, "a\n\nb\n"},
                      LinesCase{"LfEntryWithRules",
                                "ns_eon \"\\minplayers\\0\\\"\n",
                                {"ns_eon \"\\minplayers\\0\\\""},
                                "ns_eon \"\\minplayers\\0\\\"\n"},
                      LinesCase{"MixedEndsWrittenCrLf", "a\nb\r\n", {"a", "b"}, "a\r\nb\r\n"},
                      LinesCase{"CrCrLf", "a\r\r\nb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
                      LinesCase{"EmptyFile", "", {}, ""},
                      LinesCase{"OnlyATerminator", "\r\n", {""}, "\r\n"},
                      LinesCase{"Windows1252Bytes", "caf\xe9\r\n", {"caf\xe9"}, "caf\xe9\r\n"},
                      LinesCase{"ByteOrderMarkStaysInTheFirstLine",
                                "\xef\xbb\xbf"
                                "a\r\n",
                                {"\xef\xbb\xbf"
                                 "a"},
                                "\xef\xbb\xbf"
                                "a\r\n"},
                      LinesCase{"NulBytes",
                                std::string("a\0b\r\n", 5),
                                {std::string("a\0b", 3)},
                                std::string("a\0b\r\n", 5)}),
    [](const ::testing::TestParamInfo<LinesCase>& row) { return row.param.name; });

TEST(MapCycleFile, PathJoinsInstallFolderAndModWithBackslashes) {
    InstallPath = "/srv/hlds";
    ModName = "valve";
    EXPECT_EQ(MapCyclePath(), "/srv/hlds\\valve\\mapcycle.txt");
}

} // namespace
} // namespace rotaline
