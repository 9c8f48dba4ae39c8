// Wildcard matching of names against the last part of a listing pattern.
#include "core/platform/FolderListing.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct MatchCase {
    const char* label;
    const char* name;
    const char* pattern;
    bool matches;
};

// Failures name the row rather than dumping its bytes.
void PrintTo(const MatchCase& row, std::ostream* out) {
    *out << row.label;
}

class MatchesPatternTest : public testing::TestWithParam<MatchCase> {};

TEST_P(MatchesPatternTest, Matches) {
    const MatchCase& row = GetParam();
    EXPECT_EQ(rotaline::MatchesPattern(row.name, row.pattern), row.matches)
        << '"' << row.name << "\" against \"" << row.pattern << '"';
}

const MatchCase kMatchCases[] = {
    {"StarDotTakesNameWithoutDot", "valve", "*.", true},
    {"StarDotRefusesExtension", "de_dust.bsp", "*.", false},
    {"StarDotRefusesOldFolder", "cstrike.old", "*.", false},
    {"StarDotRefusesTrailingDot", "valve.", "*.", false},
    {"PrefixStarDotTakesPrefix", "valve", "v*.", true},
    {"PrefixStarDotRefusesOtherPrefix", "cstrike", "v*.", false},
    {"DotMatchesStarDot", ".", "*.", true},
    {"DotDotMatchesStarDot", "..", "*.", true},
    {"DotMatchesStar", ".", "*", true},
    {"DotDotMatchesStarDotStar", "..", "*.*", true},
    {"DotRefusesBsp", ".", "*.bsp", false},
    {"DotDotRefusesBsp", "..", "*.bsp", false},
    {"BspTakesLowerCase", "de_dust.bsp", "*.bsp", true},
    {"BspTakesUpperCase", "DE_DUST.BSP", "*.bsp", true},
    {"BspRefusesLongerExtension", "a.bspx", "*.bsp", false},
    {"BspRefusesLaterExtension", "x.bsp.old", "*.bsp", false},
    {"StarBacktracksToLastOccurrence", "a.bsp.bsp", "*.bsp", true},
    {"StarsBacktrackAcrossRepeats", "abcabd", "*ab*d", true},
    {"StarsNeedEveryLiteral", "abcabc", "*ab*d", false},
    {"QuestionTakesOneCharacter", "a", "?", true},
    {"QuestionRefusesTwoCharacters", "ab", "?", false},
    {"QuestionFillsDigit", "de_dust2.bsp", "de_dust?.bsp", true},
    {"QuestionIsNeverEmpty", "de_dust.bsp", "de_dust?.bsp", false},
    {"CaseFoldingIsAsciiOnly", "CAF\xC9.bsp", "caf\xE9*", false},
    {"OtherBytesMatchThemselves", "CAF\xE9.bsp", "caf\xE9*", true},
    {"ExactTakesSameName", "mapcycle.txt", "mapcycle.txt", true},
    {"ExactIsCaseSensitive", "MapCycle.txt", "mapcycle.txt", false},
    {"ExactRefusesPrefix", "mapcycle.txt.bak", "mapcycle.txt", false},
    {"ExactDot", ".", ".", true},
    {"ExactDotRefusesDotDot", "..", ".", false},
};

INSTANTIATE_TEST_SUITE_P(Rows, MatchesPatternTest, testing::ValuesIn(kMatchCases),
                         [](const testing::TestParamInfo<MatchCase>& row) {
                             return row.param.label;
                         });

} // namespace
