// Folder listings on a real folder: kinds of entry, masks, hidden names, and errors.
#include "core/platform/FolderListing.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using rotaline::kAttrDirectory;
using rotaline::kAttrNormal;
using rotaline::ListFolder;
using Names = std::vector<std::string>;

// valve/, cstrike.old/, .hiddendir/, mod/mapcycle.txt/ and dirlink -> valve are folders;
// readme, de_dust.bsp, DE_AZTEC.BSP, .hidden, "back\slash" and linked -> de_dust.bsp are files;
// broken (a link to nothing) and pipe (a fifo) are neither.
class SampleFolder {
public:
    SampleFolder() {
        for (const char* name : {"valve", "cstrike.old", ".hiddendir", "mod"}) {
            folder.MakeFolder(name);
        }
        folder.MakeFolder("mod/mapcycle.txt");
        for (const char* name :
             {"readme", "de_dust.bsp", "DE_AZTEC.BSP", ".hidden", "back\\slash"}) {
            folder.Write(name, "x");
        }
        symlink("de_dust.bsp", (folder / "linked").c_str());
        symlink("valve", (folder / "dirlink").c_str());
        symlink("missing", (folder / "broken").c_str());
        mkfifo((folder / "pipe").c_str(), 0644);
    }
    TempFolder folder;
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

class ListFolderTest : public testing::TestWithParam<ListingCase> {};

TEST_P(ListFolderTest, Lists) {
    const SampleFolder sample;
    const ListingCase& row = GetParam();
    EXPECT_EQ(SortedListing(sample.folder.Path() + "\\" + row.pattern, row.mask), row.expected);
}

const ListingCase kListingCases[] = {
    {"ModFoldersWithDotEntries",
     "*.",
     kAttrDirectory,
     {".", "..", "dirlink", "linked", "mod", "readme", "valve"}},
    {"FilesOnlyUnderMaskZero", "*.", kAttrNormal, {"linked", "readme"}},
    {"EverythingAdmitted",
     "*",
     kAttrDirectory,
     {".", "..", "DE_AZTEC.BSP", "cstrike.old", "de_dust.bsp", "dirlink", "linked", "mod", "readme",
      "valve"}},
    {"MapsInEitherCase", "*.bsp", kAttrNormal, {"DE_AZTEC.BSP", "de_dust.bsp"}},
    {"ExactName", "readme", kAttrNormal, {"readme"}},
    {"ExactNameIsCaseSensitive", "README", kAttrNormal, {}},
    {"HiddenFileUnderMaskZero", ".hidden", kAttrNormal, {}},
    {"HiddenFolderUnderMaskSixteen", ".hiddendir", kAttrDirectory, {}},
    {"FolderNamedLikeCycleIsNoFile", "mod\\mapcycle.txt", kAttrNormal, {}},
    {"FolderNamedLikeCycleUnderMaskSixteen", "mod\\mapcycle.txt", kAttrDirectory, {"mapcycle.txt"}},
    {"BrokenLinkLeftOut", "broken", kAttrDirectory, {}},
    {"FifoLeftOut", "pipe", kAttrDirectory, {}},
    {"NameWithBackslashLeftOut", "back?slash", kAttrDirectory, {}},
    {"DotsUnderMaskZero", "*.*", kAttrNormal, {"DE_AZTEC.BSP", "de_dust.bsp"}},
};

INSTANTIATE_TEST_SUITE_P(Rows, ListFolderTest, testing::ValuesIn(kListingCases),
                         [](const testing::TestParamInfo<ListingCase>& row) {
                             return row.param.label;
                         });

TEST(ListFolder, MissingFolderGivesNothingWithoutError) {
    const SampleFolder sample;
    for (const char* folder : {"\\absent\\*.", "\\readme\\*."}) {
        const rotaline::Result<Names> listing = ListFolder(sample.folder.Path() + folder, 16);
        ASSERT_TRUE(listing.ok()) << folder;
        EXPECT_TRUE(listing->empty()) << folder;
    }
}

TEST(ListFolder, UnreadableFolderReportsError) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads every folder";
    }
    const SampleFolder sample;
    chmod((sample.folder / "valve").c_str(), 0);
    const rotaline::Result<Names> listing = ListFolder(sample.folder.Path() + "\\valve\\*", 16);
    ASSERT_FALSE(listing.ok());
    EXPECT_EQ(listing.error().kind, rotaline::ErrorKind::AccessDenied);
    EXPECT_EQ(listing.error().systemCode, EACCES);
    EXPECT_EQ(listing.error().Message(), (sample.folder / "valve") + ": Permission denied");
}

TEST(ListFolder, PatternWithoutBackslashListsWorkingFolder) {
    const SampleFolder sample;
    char previous[PATH_MAX];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(sample.folder.Path().c_str()), 0);
    const Names names = SortedListing("*.BSP", kAttrNormal);
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_EQ(names, (Names{"DE_AZTEC.BSP", "de_dust.bsp"}));
}

} // namespace
