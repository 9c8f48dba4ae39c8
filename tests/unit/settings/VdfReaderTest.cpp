// The KeyValues reader on files shaped like Steam's own, and on damaged ones.
#include "core/settings/VdfReader.h"

#include <gtest/gtest.h>

namespace rotaline {
namespace {

// What Steam on Linux writes today: numbered library blocks, each with a path and its apps.
constexpr const char* kLibraryFolders = R"("libraryfolders"
{
	"0"
	{
		"path"		"/home/gordon/.local/share/Steam"
		"label"		""
		"contentid"		"5288547911226011426"
		"apps"
		{
			"70"		"499208415"
			"228980"		"470745766"
		}
	}
	"1"
	{
		"path"		"/mnt/games/Steam Library"
		"label"		"games"
		"apps"
		{
			"90"		"1250000"
		}
	}
}
)";

// Before 2021 the paths were the numbered keys' own values; Windows paths come escaped.
constexpr const char* kOldLibraryFolders = "\"LibraryFolders\"\r\n{\r\n"
                                           "\t\"TimeNextStatsReport\"\t\t\"1634215423\"\r\n"
                                           "\t\"ContentStatsID\"\t\t\"-4508421651928834811\"\r\n"
                                           "\t\"1\"\t\t\"D:\\\\SteamLibrary\"\r\n}\r\n";

TEST(VdfReaderTest, ReadsTodaysAndTheOldLibraryFile) {
    const VdfDocument today = ReadVdf(kLibraryFolders);
    ASSERT_FALSE(today.error) << *today.error;
    const VdfNode* list = today.root.Find("libraryfolders");
    ASSERT_TRUE(list != nullptr && list->block && list->children.size() == 2u);
    EXPECT_EQ(list->children[0].key, "0");
    EXPECT_EQ(list->children[0].Find("path")->value, "/home/gordon/.local/share/Steam");
    const VdfNode* apps = list->children[0].Find("apps");
    ASSERT_TRUE(apps != nullptr && apps->children.size() == 2u);
    EXPECT_EQ(apps->children[1].key, "228980");
    EXPECT_EQ(apps->children[1].value, "470745766");
    EXPECT_EQ(list->children[1].Find("path")->value, "/mnt/games/Steam Library");

    const VdfDocument old = ReadVdf(kOldLibraryFolders);
    ASSERT_FALSE(old.error) << *old.error;
    // Keys are found whatever their letter case, as Steam finds them.
    list = old.root.Find("libraryfolders");
    ASSERT_TRUE(list != nullptr && list->children.size() == 3u);
    EXPECT_EQ(list->children[2].key, "1");
    EXPECT_EQ(list->children[2].value, "D:\\SteamLibrary");
    EXPECT_FALSE(list->children[2].block);
}

TEST(VdfReaderTest, TakesCommentsBareWordsConditionsAndEscapes) {
    const VdfDocument document = ReadVdf("\xEF\xBB\xBF// written by hand\n"
                                         "settings { // the block\n"
                                         "  name \"tab\\there\\nquote\\\" slash\\\\ other\\q\"\n"
                                         "  \"value\" \"x\" [$LINUX]\n"
                                         "  \"//not a comment\" \"\"\n"
                                         "  multi \"two\nlines\"\n"
                                         "}\n"
                                         "second{}");
    ASSERT_FALSE(document.error) << *document.error;
    ASSERT_EQ(document.root.children.size(), 2u);
    const VdfNode& settings = document.root.children[0];
    EXPECT_EQ(settings.key, "settings");
    ASSERT_EQ(settings.children.size(), 4u);
    EXPECT_EQ(settings.children[0].key, "name");
    EXPECT_EQ(settings.children[0].value, "tab\there\nquote\" slash\\ other\\q");
    EXPECT_EQ(settings.children[1].value, "x");
    EXPECT_EQ(settings.children[2].key, "//not a comment");
    EXPECT_EQ(settings.children[3].value, "two\nlines");
    EXPECT_EQ(document.root.children[1].key, "second");
    EXPECT_TRUE(document.root.children[1].block);
    EXPECT_TRUE(document.root.children[1].children.empty());
}

TEST(VdfReaderTest, NestingHasALimit) {
    std::string text;
    for (int i = 0; i < 64; ++i) {
        text += "k{";
    }
    EXPECT_FALSE(ReadVdf(text + std::string(64, '}')).error);
    EXPECT_EQ(ReadVdf(text + "\nk{}" + std::string(64, '}')).error,
              "line 2: blocks nested more than 64 deep");
}

struct BrokenCase {
    const char* name;
    const char* text;
    const char* error;
};

class BrokenVdf : public testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenVdf, IsRefusedWithTheLineOfTheFault) {
    const VdfDocument document = ReadVdf(GetParam().text);
    ASSERT_TRUE(document.error);
    EXPECT_EQ(*document.error, GetParam().error);
    EXPECT_TRUE(document.root.children.empty());
}

const BrokenCase kBrokenCases[] = {
    {"UnclosedQuote", "\"libraryfolders\"\n{\n\t\"path\" \"/home/x\n}\n",
     "line 3: the quoted text that starts here is not closed"},
    {"UnclosedBlock", "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\" \"/a\"\n}\n",
     "line 1: the block \"libraryfolders\" is not closed"},
    {"StrayClosingBrace", "\"a\" \"b\"\n}\n", "line 2: a closing brace without a block to close"},
    {"BlockWithoutKey", "{\n\"a\" \"b\"\n}", "line 1: a block without a key"},
    {"KeyWithoutValueAtEnd", "\"a\" \"b\"\n\"lonely\"", "line 2: the key \"lonely\" has no value"},
    {"UnclosedCondition", "\"a\" \"b\" [$WIN32\n", "line 1: a condition in [ ] is not closed"},
    {"TruncatedAfterEscape", "\"a\" \"b\\",
     "line 1: the quoted text that starts here is not closed"},
};

INSTANTIATE_TEST_SUITE_P(Files, BrokenVdf, testing::ValuesIn(kBrokenCases),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace rotaline
