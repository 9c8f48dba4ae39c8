// The cycle file's lines, byte for byte, both ways.
#include "core/cycle/MapCycleFile.h"
#include "core/lists/SelectableList.h"

#include <gtest/gtest.h>

namespace rotaline {
namespace {

struct LinesCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
    std::string written; // the same lines written back
};

class CycleLines : public ::testing::TestWithParam<LinesCase> {};

TEST_P(CycleLines, ReadAndWrittenBack) {
    const std::vector<std::string> lines = SplitCycleLines(GetParam().bytes);
    EXPECT_EQ(lines, GetParam().lines);
    SelectableList cycle(SelectionStyle::Extended, false);
    cycle.AddItems(lines);
    EXPECT_EQ(JoinCycleLines(cycle, LineEndOf(GetParam().bytes)), GetParam().written);
}

const LinesCase kLinesCases[] = {
    {"CrLfKept", "a\r\n\r\n b \t\r\n", {"a", "", " b \t"}, "a\r\n\r\n b \t\r\n"},
    {"LastLineTerminated", "a\r\nb", {"a", "b"}, "a\r\nb\r\n"},
    {"LfKept",
     "a \"\\minplayers\\0\\\"\n\nb",
     {"a \"\\minplayers\\0\\\"", "", "b"},
     "a \"\\minplayers\\0\\\"\n\nb\n"},
    {"CrAloneWrittenCrLf", "a\rb\r", {"a", "b"}, "a\r\nb\r\n"},
    {"MixedEndsWrittenCrLf", "a\nb\r\n", {"a", "b"}, "a\r\nb\r\n"},
    {"CrCrLf", "a\r\r\nb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
    {"EmptyFile", "", {}, ""},
    {"OnlyATerminator", "\r\n", {""}, "\r\n"},
    {"BytesAboveAsciiMarkAndNul",
     std::string("\xef\xbb\xbf"
                 "caf\xe9\0b\r\n",
                 11),
     {std::string("\xef\xbb\xbf"
                  "caf\xe9\0b",
                  9)},
     std::string("\xef\xbb\xbf"
                 "caf\xe9\0b\r\n",
                 11)},
};

INSTANTIATE_TEST_SUITE_P(Rows, CycleLines, testing::ValuesIn(kLinesCases),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace rotaline
