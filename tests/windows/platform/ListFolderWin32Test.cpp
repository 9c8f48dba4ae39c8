// Folder listings through FindFirstFileA on a real folder: masks, attributes, Wine's wider matches.
#include "core/platform/FolderListing.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

using rotaline::kAttrDirectory;
using rotaline::kAttrNormal;
using rotaline::ListFolder;
using Names = std::vector<std::string>;

// valve/, cstrike.old/, .hiddendir/ and secret/ (both hidden), mod/mapcycle.txt/ and dod/ are
// folders; dod holds MapCycle.TXT. Files: readme, de_dust.bsp, DE_AZTEC.BSP, a.bspx (whose short
// name ends in ".BSP"), x.bsp.old, .hidden and hid (hidden), sysfile (system).
// The leading-dot names are hidden by attribute, as Windows wants it; Wine also hides them for
// their name alone.
class SampleFolder {
public:
    SampleFolder() {
        for (const char* name : {"valve", "cstrike.old", "mod", "dod"}) {
            folder.MakeFolder(name);
        }
        folder.MakeFolder(".hiddendir", FILE_ATTRIBUTE_HIDDEN);
        folder.MakeFolder("secret", FILE_ATTRIBUTE_HIDDEN);
        folder.MakeFolder("mod\\mapcycle.txt");
        folder.Write("dod\\MapCycle.TXT", "dod_anzio\r\n");
        for (const char* name : {"readme", "de_dust.bsp", "DE_AZTEC.BSP", "a.bspx", "x.bsp.old"}) {
            folder.Write(name, "x");
        }
        folder.Write(".hidden", "x", FILE_ATTRIBUTE_HIDDEN);
        folder.Write("hid", "x", FILE_ATTRIBUTE_HIDDEN);
        folder.Write("sysfile", "x", FILE_ATTRIBUTE_SYSTEM);
    }
    ScratchFolder folder;
};

Names SortedListing(const std::string& pattern, int mask) {
    rotaline::Result<Names> listing = ListFolder(pattern, mask);
    EXPECT_TRUE(listing.ok()) << (listing ? "" : listing.error().Message());
    Names names = listing ? *listing : Names();
    std::sort(names.begin(), names.end());
    return names;
}

struct ListingCase {
    const char* label;
    const char* pattern; // relative to the sample folder
    int mask;
    Names expected; // sorted
};

// Failures name the row rather than dumping its bytes.
void PrintTo(const ListingCase& row, std::ostream* out) {
    *out << row.label;
}

class ListFolderWin32Test : public testing::TestWithParam<ListingCase> {};

TEST_P(ListFolderWin32Test, Lists) {
    const SampleFolder sample;
    const ListingCase& row = GetParam();
    EXPECT_EQ(SortedListing(sample.folder / row.pattern, row.mask), row.expected);
}

const ListingCase kListingCases[] = {
    // Wine's "*." also returns names with an extension; Windows' does not. Both lists agree.
    {"ModFoldersWithDotEntries",
     "*.",
     kAttrDirectory,
     {".", "..", "dod", "mod", "readme", "valve"}},
    {"FilesOnlyUnderMaskZero", "*.", kAttrNormal, {"readme"}},
    {"PrefixStarDot", "v*.", kAttrDirectory, {"valve"}},
    {"EverythingAdmitted",
     "*",
     kAttrDirectory,
     {".", "..", "DE_AZTEC.BSP", "a.bspx", "cstrike.old", "de_dust.bsp", "dod", "mod", "readme",
      "valve", "x.bsp.old"}},
    // The file system also matches "a.bspx" through its short name "A~1.BSP".
    {"MapsInEitherCaseByRealExtension", "*.bsp", kAttrNormal, {"DE_AZTEC.BSP", "de_dust.bsp"}},
    {"MapsPatternInUpperCase", "*.BSP", kAttrNormal, {"DE_AZTEC.BSP", "de_dust.bsp"}},
    // Windows lets "?" before a dot match nothing; the shared rule does not.
    {"QuestionIsNeverEmpty", "de_dust?.bsp", kAttrNormal, {}},
    {"DotsUnderMaskZero",
     "*.*",
     kAttrNormal,
     {"DE_AZTEC.BSP", "a.bspx", "de_dust.bsp", "x.bsp.old"}},
    {"ExactName", "readme", kAttrNormal, {"readme"}},
    // Windows ignores letter case in names: the name comes back as the file system spells it.
    {"ExactNameInOtherCase", "README", kAttrNormal, {"readme"}},
    {"CycleFileInOtherCase", "dod\\mapcycle.txt", kAttrNormal, {"MapCycle.TXT"}},
    {"HiddenFileUnderMaskZero", ".hidden", kAttrNormal, {}},
    {"HiddenFileUnderMaskSixteen", "hid", kAttrDirectory, {}},
    {"HiddenFolderUnderMaskSixteen", ".hiddendir", kAttrDirectory, {}},
    {"HiddenFolderWithoutDot", "secret", kAttrDirectory, {}},
    {"SystemFileUnderMaskSixteen", "sysfile", kAttrDirectory, {}},
    {"FolderUnderMaskZero", "valve", kAttrNormal, {}},
    {"FolderNamedLikeCycleIsNoFile", "mod\\mapcycle.txt", kAttrNormal, {}},
    {"FolderNamedLikeCycleUnderMaskSixteen", "mod\\mapcycle.txt", kAttrDirectory, {"mapcycle.txt"}},
    {"NoMatch", "zz*", kAttrDirectory, {}},
};

INSTANTIATE_TEST_SUITE_P(Rows, ListFolderWin32Test, testing::ValuesIn(kListingCases),
                         [](const testing::TestParamInfo<ListingCase>& row) {
                             return row.param.label;
                         });

TEST(ListFolderWin32, MissingFolderGivesNothingWithoutError) {
    const SampleFolder sample;
    // A file where a folder should be: Windows answers 267, Wine 123.
    for (const char* folder : {"\\absent\\*.", "\\readme\\*.", "\\a|b\\*"}) {
        const rotaline::Result<Names> listing = ListFolder(sample.folder.Path() + folder, 16);
        ASSERT_TRUE(listing.ok()) << folder;
        EXPECT_TRUE(listing->empty()) << folder;
    }
}

TEST(ListFolderWin32, OtherFailureIsReported) {
    const SampleFolder sample;
    const std::string tooLong = sample.folder.Path() + "\\" + std::string(300, 'a') + "\\*";
    const rotaline::Result<Names> listing = ListFolder(tooLong, kAttrDirectory);
    ASSERT_FALSE(listing.ok());
    EXPECT_EQ(listing.error().system, rotaline::ErrorSystem::Win32);
    EXPECT_EQ(listing.error().systemCode, ERROR_FILENAME_EXCED_RANGE);
    EXPECT_FALSE(listing.error().detail.empty());
    EXPECT_NE(listing.error().detail.back(), '\n') << "the system's line end is trimmed";
}

TEST(ListFolderWin32, PatternWithoutFolderListsWorkingFolder) {
    const SampleFolder sample;
    char previous[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(sample.folder.Path().c_str()));
    const Names names = SortedListing("*.BSP", kAttrNormal);
    ASSERT_TRUE(SetCurrentDirectoryA(previous));
    EXPECT_EQ(names, (Names{"DE_AZTEC.BSP", "de_dust.bsp"}));
}

} // namespace
