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

Found KindsAndLines(const std::vector<CycleProblem>& problems) {
    Found found;
    for (const CycleProblem& problem : problems) {
        found.emplace_back(problem.kind, problem.line);
    }
    return found;
}

TEST(CycleCheckTest, FileWithEveryProblem) {
    std::string bytes = "\xEF\xBB\xBF"
                        "de_dust\r\n"                          // 1 byte-order mark
                        "de_dust3\n"                           // 2 no map file
                        "a_map_name_of_thirty_two_chars__\r\n" // 3 too long
                        "de_dust2 // small map\n"              // 4 takes line 5 for rules
                        "cs_office\n"                          // 5 lost
                        "Cs_Office\r"                          // 6 takes line 7 for rules
                        "de_dust\r\n"                          // 7 lost
                        "de_dust2\n";                          // 8 twice
    bytes += std::string(kCycleFileCrashBytes - bytes.size(), '/') + "\n"; // 9 a comment
    bytes += std::string("\0de_dust\n", 9);                                // 10 never read
    const std::vector<CycleProblem> problems = CheckCycle(bytes, kMapFiles);

    EXPECT_EQ(KindsAndLines(problems), (Found{
                                           {Kind::FileTooLarge, 0},
                                           {Kind::ByteOrderMark, 1},
                                           {Kind::MissingMap, 2},
                                           {Kind::NameTooLong, 3},
                                           {Kind::LostToComment, 4},
                                           {Kind::LostToCrEnd, 6},
                                           {Kind::Duplicate, 8},
                                           {Kind::NulByte, 10},
                                       }));
    EXPECT_EQ(problems[0].text, "the file holds " + std::to_string(bytes.size()) +
                                    " bytes; clients crash on connect when it holds 8192 or more");
    EXPECT_EQ(problems[1].text, "the file starts with a UTF-8 byte-order mark (EF BB BF), which "
                                "the server reads as part of \"\xEF\xBB\xBF"
                                "de_dust\" and so "
                                "finds no such map; remove the mark");
    EXPECT_EQ(problems[2].text, "\"de_dust3\" has no map file \"maps/de_dust3.bsp\"");
    EXPECT_EQ(problems[3].text, "\"a_map_name_of_thirty_two_chars__\" is 32 characters long; the "
                                "server overruns its buffer at 32 or more");
    EXPECT_EQ(problems[4].text, "\"de_dust2\" has a comment after it, so the server takes "
                                "\"cs_office\" of line 5 for its rules and never plays it; put "
                                "the comment on a line of its own");
    EXPECT_EQ(problems[5].text, "the line ends in CR alone, so the server takes \"de_dust\" of "
                                "line 7 for the rules of \"Cs_Office\" and never plays it; end "
                                "lines with LF or CR LF");
    EXPECT_EQ(problems[6].text, "\"de_dust2\" is also on line 4");
    EXPECT_EQ(problems[7].text, "a NUL byte ends what the server reads, so it never plays "
                                "\"de_dust\"; remove the NUL");
    EXPECT_TRUE(problems[6].IsInformation());
    EXPECT_FALSE(problems[7].IsInformation());
}

struct CheckCase {
    const char* name;
    std::string_view bytes;
    Found found;
};

void PrintTo(const CheckCase& row, std::ostream* out) {
    *out << row.name;
}

class CycleCheckRows : public testing::TestWithParam<CheckCase> {};

TEST_P(CycleCheckRows, FindsWhatIsWrong) {
    EXPECT_EQ(KindsAndLines(CheckCycle(GetParam().bytes, kMapFiles)), GetParam().found);
}

const CheckCase kCheckCases[] = {
    {"MapsSpelledAsTheirFilesAreFine", "de_dust\r\nCs_Office\r\nde_dust2", {}},
    {"LineFeedEndsAreFine", "de_dust\nCs_Office\nde_dust2\n", {}},
    {"SpaceAndEmptyLinesAreFine", " de_dust \t\r\n\r\n\n\tde_dust2\n\n\n\n", {}},
    {"UpperCaseExtensionIsNoMatch", "AS_OILRIG\r\n", {{Kind::MissingMap, 1}}},
    {"ThirtyOneCharactersFit", "a_map_name_of_thirty_one_chars_\r\n", {}},
    {"RulesAfterTheNameAreNoMap", "de_dust \"\\minplayers\\1\\\"\nde_dust2\n", {}},
    {"CommentAfterRulesLosesNothing", "de_dust \"\\maxplayers\\32\\\" // big\nde_dust2\n", {}},
    {"CommentAfterLastMapLosesNothing", "de_dust // last\n", {}},
    {"CommentLinesAreSkipped", "// de_nowhere\r\n//\r\nde_dust\r\n", {}},
    {"CrOnlyFileLosesEveryOtherMap", "de_dust\rde_dust2\rCs_Office\r", {{Kind::LostToCrEnd, 1}}},
    {"NulAtTheEndIsANote", std::string_view("de_dust\n\0", 9), {{Kind::NulAtEnd, 2}}},
    {"EachRepeatNamesTheFirstLine",
     "de_dust\r\nde_dust\r\nde_dust\r\n",
     {{Kind::Duplicate, 2}, {Kind::Duplicate, 3}}},
};

INSTANTIATE_TEST_SUITE_P(Entries, CycleCheckRows, testing::ValuesIn(kCheckCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(CycleCheckTest, SizeLimitIsExact) {
    const std::string justUnder = std::string(kCycleFileCrashBytes - 10, '/') + "\r\nde_dust";
    ASSERT_EQ(justUnder.size(), kCycleFileCrashBytes - 1);
    EXPECT_TRUE(CheckCycle(justUnder, kMapFiles).empty());
    EXPECT_EQ(KindsAndLines(CheckCycle(justUnder + "\n", kMapFiles)),
              (Found{{Kind::FileTooLarge, 0}}));
}

} // namespace
} // namespace rotaline
