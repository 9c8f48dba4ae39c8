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
    std::string bytes = "de_dust\r\n"                          // 1 fine
                        "de_dust3\r\n"                         // 2 no map file
                        "a_map_name_of_thirty_two_chars__\r\n" // 3 too long
                        " de_dust2\r\n"                        // 4 leading space
                        "\r\n"                                 // 5 empty
                        "de_dust\r\n"                          // 6 twice
                        "cs_office\r\n"                        // 7 letter case
                        "de_dust2\t\r\n";                      // 8 trailing tab, twice
    bytes += std::string(kCycleFileCrashBytes - bytes.size(), '/') + "\r\n"; // 9 a comment
    const std::vector<CycleProblem> problems = CheckCycle(bytes, kMapFiles);

    EXPECT_EQ(KindsAndLines(problems), (Found{
                                           {Kind::FileTooLarge, 0},
                                           {Kind::MissingMap, 2},
                                           {Kind::NameTooLong, 3},
                                           {Kind::SurroundingSpace, 4},
                                           {Kind::EmptyEntry, 5},
                                           {Kind::Duplicate, 6},
                                           {Kind::MissingMap, 7},
                                           {Kind::SurroundingSpace, 8},
                                           {Kind::Duplicate, 8},
                                       }));
    EXPECT_EQ(problems[0].text, "the file holds " + std::to_string(bytes.size()) +
                                    " bytes; clients crash on connect when it holds 8192 or more");
    EXPECT_EQ(problems[1].text, "\"de_dust3\" has no map file \"maps/de_dust3.bsp\"");
    EXPECT_EQ(problems[2].text, "\"a_map_name_of_thirty_two_chars__\" is 32 characters long; the "
                                "server overruns its buffer at 32 or more");
    EXPECT_EQ(problems[3].text, "\" de_dust2\" has white space before or after it");
    EXPECT_EQ(problems[4].text, "empty entry");
    EXPECT_EQ(problems[5].text, "\"de_dust\" is also on line 1");
    EXPECT_EQ(problems[7].text, "\"de_dust2\\t\" has white space before or after it");
    EXPECT_EQ(problems[8].text, "\"de_dust2\" is also on line 4");
    EXPECT_TRUE(problems[5].IsInformation());
    EXPECT_FALSE(problems[6].IsInformation());
}

struct CheckCase {
    const char* name;
    const char* bytes;
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
    {"UpperCaseExtensionIsNoMatch", "AS_OILRIG\r\n", {{Kind::MissingMap, 1}}},
    {"ThirtyOneCharactersFit", "a_map_name_of_thirty_one_chars_\r\n", {}},
    {"RulesAfterTheNameAreNoPartOfIt", "de_dust \"\\minplayers\\1\\\"\r\n", {}},
    {"CommentLinesAreSkipped", "// de_nowhere\r\n//\r\nde_dust\r\n", {}},
    {"WhiteSpaceOnlyEntry", " \t\r\n", {{Kind::SurroundingSpace, 1}}},
    {"LineFeedsStayInTheirEntry", "de_dust\nde_dust2\n", {{Kind::SurroundingSpace, 1}}},
    {"DuplicateAfterSpaceIsTheSameMap",
     "de_dust\r\n de_dust\r\n",
     {{Kind::SurroundingSpace, 2}, {Kind::Duplicate, 2}}},
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
              (Found{{Kind::FileTooLarge, 0}, {Kind::SurroundingSpace, 2}}));
}

} // namespace
} // namespace rotaline
