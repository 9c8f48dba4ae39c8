// The KeyValues reader on files shaped like Steam's library lists, and on damaged ones.
#include "core/settings/VdfReader.h"

#include "core/platform/AsciiCase.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rotaline {
namespace {

// A document written out as "key=value;" and "key{...}", or the error that refused it.
std::string Shape(const VdfNode& node) {
    std::string shape;
    for (const VdfNode& child : node.children) {
        shape += child.key + (child.block ? "{" + Shape(child) + "}" : "=" + child.value + ";");
    }
    return shape;
}

std::string Deep(int depth) {
    return depth == 0 ? "" : "k{" + Deep(depth - 1) + "}";
}

struct VdfCase {
    const char* name;
    std::string text;
    std::string shape;
};

const std::vector<VdfCase> kVdfCases = {
    // What Steam on Linux writes today: numbered library blocks with a path and their apps.
    {"TodaysLibraryFile",
     "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"/h/Steam\"\n\t\t\"label\"\t\t\"\"\n"
     "\t\t\"apps\"\n\t\t{\n\t\t\t\"70\"\t\t\"4992\"\n\t\t}\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t"
     "\"/mnt/S L\"\n\t}\n}\n",
     "libraryfolders{0{path=/h/Steam;label=;apps{70=4992;}}1{path=/mnt/S L;}}"},
    // Before 2021 the paths were the numbered keys' own values, Windows paths escaped.
    {"OldLibraryFile",
     "\"LibraryFolders\"\r\n{\r\n\t\"TimeNextStatsReport\"\t\t\"1634215423\"\r\n"
     "\t\"1\"\t\t\"D:\\\\SteamLibrary\"\r\n}\r\n",
     "LibraryFolders{TimeNextStatsReport=1634215423;1=D:\\SteamLibrary;}"},
    {"CommentsBareWordsConditionsEscapes",
     "\xEF\xBB\xBF// by hand\nset { // the block\n name \"tab\\there\\nquote\\\" slash\\\\ \\q\"\n"
     " \"v\" \"x\" [$LINUX]\n \"//no comment\" \"\"\n multi \"two\nlines\"\n}\nsecond{}",
     "set{name=tab\there\nquote\" slash\\ \\q;v=x;//no comment=;multi=two\nlines;}second{}"},
    {"SixtyFourBlocksDeep", Deep(64), Deep(64)},
    {"SixtyFiveBlocksDeep", Deep(65), "line 1: blocks nested more than 64 deep"},
    {"UnclosedQuote", "a\n{\n\"p\" \"/x\n}\n",
     "line 3: the quoted text that starts here is not closed"},
    {"UnclosedBlock", "lf\n{\n\t0\n\t{\n\t\tp /a\n}\n", "line 1: the block \"lf\" is not closed"},
    {"KeyWithoutValueAtEnd", "a b\nlone", "line 2: the key \"lone\" has no value"},
    {"UnclosedCondition", "a b [$WIN32\n", "line 1: a condition in [ ] is not closed"},
    {"TruncatedAfterEscape", "a \"b\\", "line 1: the quoted text that starts here is not closed"},
};

class Vdf : public testing::TestWithParam<VdfCase> {};

// Keys are also found whatever their letter case, as Steam finds them.
TEST_P(Vdf, ReadsAsSteamDoes) {
    const VdfDocument document = ReadVdf(GetParam().text);
    EXPECT_EQ(document.error ? *document.error : Shape(document.root), GetParam().shape);
    EXPECT_TRUE(!document.error || document.root.children.empty());
    for (const VdfNode& key : document.root.children) {
        std::string upper = key.key;
        std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper);
        EXPECT_EQ(document.root.Find(upper), &key);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, Vdf, testing::ValuesIn(kVdfCases),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace rotaline
