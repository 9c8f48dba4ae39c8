// The cycle file: its lines byte for byte both ways, and the check that reads it as the server.
#include "core/cycle/CycleCheck.h"
#include "core/cycle/MapCycleFile.h"
#include "core/lists/SelectableList.h"

#include <gtest/gtest.h>

#include <utility>

namespace rotaline {
namespace {

const auto kRowName = [](const auto& row) { return std::string(row.param.name); };

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
INSTANTIATE_TEST_SUITE_P(Rows, CycleLines, testing::ValuesIn(kLinesCases), kRowName);

using Kind = CycleProblemKind;
using Found = std::vector<std::pair<Kind, std::size_t>>; // with the line

struct CheckCase {
    const char* name;
    std::string bytes;
    Found found;
};

// The command line's check shows the other kinds, with their texts.
class CycleCheck : public testing::TestWithParam<CheckCase> {};

TEST_P(CycleCheck, FindsWhatTheServerStumblesOn) {
    Found found;
    for (const CycleProblem& problem :
         CheckCycle(GetParam().bytes, {"de_dust.bsp", "de_dust2.bsp", "Cs_Office.bsp",
                                       "AS_OILRIG.BSP", "a_map_name_of_thirty_one_chars_.bsp"})) {
        found.emplace_back(problem.kind, problem.line);
        EXPECT_EQ(problem.text.find('\n'), std::string::npos);
    }
    EXPECT_EQ(found, GetParam().found);
}

// One byte under the size at which clients crash.
const std::string kJustUnder = std::string(kCycleFileCrashBytes - 10, '/') + "\r\nde_dust";
// clang-format off
const CheckCase kCheckCases[] = {
    // Spaces, empty lines, LF ends, rules, comment lines, comments after rules or the last map.
    {"WhatTheServerReadsWell",
     " de_dust \t\n\r\n// de_nowhere\r\n//\n\tCs_Office \"\\minplayers\\1\\\"\n"
     "de_dust2 \"\\maxplayers\\32\\\" // big\na_map_name_of_thirty_one_chars_ // last\n", {}},
    {"JustUnderTheCrashSize", kJustUnder, {}},
    {"FileOfTheCrashSize", kJustUnder + "\n", {{Kind::FileTooLarge, 0}}},
    {"UpperCaseExtensionIsNoMatch", "AS_OILRIG\r\n", {{Kind::MissingMap, 1}}},
    {"CrOnlyFileLosesEveryOtherMap", "de_dust\rde_dust2\rCs_Office\r", {{Kind::LostToCrEnd, 1}}},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Rows, CycleCheck, testing::ValuesIn(kCheckCases), kRowName);

} // namespace
} // namespace rotaline
