// The check of a cycle file for what would make the server or its clients misbehave.
#include "core/cycle/CycleCheck.h"

#include <gtest/gtest.h>

#include <ostream>
#include <utility>

namespace rotaline {
namespace {

using Kind = CycleProblemKind;
using Found = std::vector<std::pair<Kind, std::size_t>>;

const std::vector<std::string> kMapFiles = {"de_dust.bsp",
                                            "de_dust2.bsp",
                                            "Cs_Office.bsp",
                                            "AS_OILRIG.BSP",
                                            "a_map_name_of_thirty_two_chars__.bsp",
                                            "a_map_name_of_thirty_one_chars_.bsp"};
// A file of one byte under the size at which clients crash, and one of that size.
const std::string kJustUnder = std::string(kCycleFileCrashBytes - 10, '/') + "\r\nde_dust";
const std::string kCrashSize = kJustUnder + "\n";

struct CheckCase {
    const char* name;
    std::string bytes;
    Found found;
    std::string text; // of the last problem found
};

void PrintTo(const CheckCase& row, std::ostream* out) {
    *out << row.name;
}

class CycleCheck : public testing::TestWithParam<CheckCase> {};

TEST_P(CycleCheck, FindsWhatTheServerStumblesOn) {
    const std::vector<CycleProblem> problems = CheckCycle(GetParam().bytes, kMapFiles);
    Found found;
    for (const CycleProblem& problem : problems) {
        found.emplace_back(problem.kind, problem.line);
    }
    EXPECT_EQ(found, GetParam().found);
    EXPECT_EQ(problems.empty() ? "" : problems.back().text, GetParam().text);
}

const CheckCase kCheckCases[] = {
    {"MapsSpelledAsTheirFilesAreFine", "de_dust\r\nCs_Office\r\nde_dust2", {}, ""},
    {"LineFeedsSpacesAndEmptyLinesAreFine", " de_dust \t\n\r\n\n\tde_dust2\n\n", {}, ""},
    {"RulesAfterTheNameAreNoMap", "de_dust \"\\minplayers\\1\\\"\nde_dust2\n", {}, ""},
    {"CommentAfterRulesLosesNothing", "de_dust \"\\maxplayers\\32\\\" // big\nde_dust2\n", {}, ""},
    {"CommentAfterLastMapLosesNothing", "de_dust // last\n", {}, ""},
    {"CommentLinesAreSkipped", "// de_nowhere\r\n//\r\nde_dust\r\n", {}, ""},
    {"ThirtyOneCharactersFit", "a_map_name_of_thirty_one_chars_\r\n", {}, ""},
    {"JustUnderTheCrashSizeIsFine", kJustUnder, {}, ""},
    {"MissingMap",
     "de_dust\nde_dust3\n",
     {{Kind::MissingMap, 2}},
     "\"de_dust3\" has no map file \"maps/de_dust3.bsp\""},
    {"UpperCaseExtensionIsNoMatch",
     "AS_OILRIG\r\n",
     {{Kind::MissingMap, 1}},
     "\"AS_OILRIG\" has no map file \"maps/AS_OILRIG.bsp\""},
    {"ThirtyTwoCharactersAreTooLong",
     "a_map_name_of_thirty_two_chars__\r\n",
     {{Kind::NameTooLong, 1}},
     "\"a_map_name_of_thirty_two_chars__\" is 32 characters long; the server overruns its buffer "
     "at 32 or more"},
    {"CommentAfterTheNameLosesTheNextMap",
     "de_dust2 // small map\ncs_office\n",
     {{Kind::LostToComment, 1}},
     "\"de_dust2\" has a comment after it, so the server takes \"cs_office\" of line 2 for its "
     "rules and never plays it; put the comment on a line of its own"},
    {"CrEndLosesTheNextMap",
     "de_dust2\nCs_Office\rde_dust\r\n",
     {{Kind::LostToCrEnd, 2}},
     "the line ends in CR alone, so the server takes \"de_dust\" of line 3 for the rules of "
     "\"Cs_Office\" and never plays it; end lines with LF or CR LF"},
    {"CrOnlyFileLosesEveryOtherMap",
     "de_dust\rde_dust2\rCs_Office\r",
     {{Kind::LostToCrEnd, 1}},
     "the line ends in CR alone, so the server takes \"de_dust2\" of line 2 for the rules of "
     "\"de_dust\" and never plays it; end lines with LF or CR LF"},
    {"ByteOrderMark",
     "\xEF\xBB\xBF"
     "de_dust\r\n",
     {{Kind::ByteOrderMark, 1}},
     "the file starts with a UTF-8 byte-order mark (EF BB BF), which the server reads as part of "
     "\"\xEF\xBB\xBF"
     "de_dust\" and so finds no such map; remove the mark"},
    {"NulEndsWhatTheServerReads",
     std::string("de_dust\n\0de_dust2\n", 18),
     {{Kind::NulByte, 2}},
     "a NUL byte ends what the server reads, so it never plays \"de_dust2\"; remove the NUL"},
    {"NulAtTheEndIsANote",
     std::string("de_dust\n\0", 9),
     {{Kind::NulAtEnd, 2}},
     "a NUL byte ends what the server reads; no map follows it"},
    {"EachRepeatNamesTheFirstLine",
     "de_dust\r\nde_dust\r\nde_dust\r\n",
     {{Kind::Duplicate, 2}, {Kind::Duplicate, 3}},
     "\"de_dust\" is also on line 1"},
    {"FileOfTheCrashSize",
     kCrashSize,
     {{Kind::FileTooLarge, 0}},
     "the file holds 8192 bytes; clients crash on connect when it holds 8192 or more"},
};

INSTANTIATE_TEST_SUITE_P(Rows, CycleCheck, testing::ValuesIn(kCheckCases),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace rotaline
