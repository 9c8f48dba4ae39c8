// The cycle file's lines, byte for byte, both ways, and the safe write.
#include "cycle/MapCycleFile.h"
#include "app/Globals.h"
#include "lists/SelectableList.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

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
    EXPECT_EQ(JoinCycleLines(cycle), c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitCycleLinesTest,
    ::testing::Values(LinesCase{"TwoCrLfLines", "a\r\nb\r\n", {"a", "b"}, "a\r\nb\r\n"},
                      LinesCase{"NoFinalTerminator", "a\r\nb", {"a", "b"}, "a\r\nb\r\n"},
                      LinesCase{
                          "EmptyLineBetween", "a\r\n\r\nb\r\n", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
                      LinesCase{"SpacesKept", " a \t\r\n", {" a \t"}, " a \t\r\n"},
                      LinesCase{"LoneCrEndsALine", "a\rb\r", {"a", "b"}, "a\r\nb\r\n"},
                      LinesCase{"LoneLfIsPartOfTheLine", "a\nb\n", {"a\nb\n"}, "a\nb\n\r\n"},
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

class MapCycleFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        install.MakeFolder("valve");
        InstallPath = install.Path();
        ModName = "valve";
    }
    std::string CyclePath() const { return install / "valve/mapcycle.txt"; }

    TempFolder install;
};

TEST_F(MapCycleFileTest, PathJoinsInstallFolderAndModWithBackslashes) {
    EXPECT_EQ(MapCyclePath(), install.Path() + "\\valve\\mapcycle.txt");
}

TEST_F(MapCycleFileTest, WritingThreeLinesOverTenLeavesThree) {
    install.Write("valve/mapcycle.txt", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n");
    SelectableList cycle(SelectionStyle::Extended, false);
    cycle.AddItems({"x", "y", "z"});
    ASSERT_FALSE(WriteMapCycle(cycle));
    EXPECT_EQ(TempFolder::Read(CyclePath()), "x\r\ny\r\nz\r\n");

    const CycleReadResult read = ReadMapCycle();
    ASSERT_FALSE(read.error);
    EXPECT_EQ(read.lines, (std::vector<std::string>{"x", "y", "z"}));
}

TEST_F(MapCycleFileTest, MissingFileIsAnErrorNotAnEmptyCycle) {
    const CycleReadResult read = ReadMapCycle();
    ASSERT_TRUE(read.error);
    EXPECT_FALSE(read.error->message.empty());
}

TEST_F(MapCycleFileTest, OversizedFileIsRefused) {
    install.Write("valve/mapcycle.txt", std::string(kMaxCycleFileBytes + 1, 'a'));
    const CycleReadResult read = ReadMapCycle();
    ASSERT_TRUE(read.error);
    EXPECT_TRUE(read.lines.empty());
}

TEST_F(MapCycleFileTest, ReadOnlyFileIsNotWrittenAndKeepsItsBytes) {
    install.Write("valve/mapcycle.txt", "crossfire\r\nbounce", 0444);
    SelectableList cycle(SelectionStyle::Extended, false);
    cycle.AddItems({"datacore"});
    EXPECT_TRUE(WriteMapCycle(cycle));
    EXPECT_EQ(TempFolder::Read(CyclePath()), "crossfire\r\nbounce");
    EXPECT_EQ(TempFolder::Entries(install / "valve"), std::vector<std::string>{"mapcycle.txt"});
}

} // namespace
} // namespace rotaline
