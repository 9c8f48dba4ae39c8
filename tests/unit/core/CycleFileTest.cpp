// The cycle file split into lines and joined again, byte for byte.
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
    EXPECT_EQ(SplitCycleLines(GetParam().bytes), GetParam().lines);
    SelectableList cycle(SelectionStyle::Extended, false);
    cycle.AddItems(GetParam().lines);
    EXPECT_EQ(JoinCycleLines(cycle, LineEndOf(GetParam().bytes)), GetParam().written);
}

const std::string kOdd("\357\273\277caf\351\0b", 9);
// clang-format off
// The command line's rows show LF and CR LF ends kept, and the last line terminated.
const LinesCase kLinesCases[] = {
    {"SpacesEmptyLinesAndAnyBytesKept", "\r\n b \t\r\n" + kOdd, {"", " b \t", kOdd},
     "\r\n b \t\r\n" + kOdd + "\r\n"},
    {"CrAloneAndMixedEndsWrittenCrLf", "a\rb\nc\r\r\nd\r", {"a", "b", "c", "", "d"},
     "a\r\nb\r\nc\r\n\r\nd\r\n"},
    {"EmptyFile", "", {}, ""},
    {"OnlyATerminator", "\r\n", {""}, "\r\n"},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Rows, CycleLines, testing::ValuesIn(kLinesCases),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace rotaline
