// Listings of a real folder under the wildcard rules: rows for both systems, then each one's own.
#include "core/platform/FolderListing.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

using rotaline::kAttrDirectory, rotaline::kAttrNormal;
using Names = std::vector<std::string>;

// Folders (names ending in "/") and files, hidden ones too. odd holds what one system alone has:
// on Windows, hidden entries with and without a dot, a system file, a.bspx whose short name A~1.BSP
// ends in ".BSP", a cycle file spelt otherwise; elsewhere, a backslash name, links, a fifo.
void MakeSample(const ScratchFolder& folder) {
    for (const std::string name :
         {"valve/", "cstrike.old/", "mod/", "mod/mapcycle.txt/", "odd/", ".hiddendir/", "readme",
          "de_dust.bsp", "DE_AZTEC.BSP", "x.bsp.old", ".hidden",
#ifdef _WIN32
          "odd/secret/", "odd/hid", "odd/sysfile", "odd/a.bspx", "odd/MapCycle.TXT"}) {
#else
          "odd/back\\slash"}) {
#endif
        name.ends_with('/') ? folder.MakeFolder(name) : folder.Write(name, "x");
    }
#ifdef _WIN32
    for (const char* name : {".hiddendir", ".hidden", "odd\\secret", "odd\\hid"}) {
        SetFileAttributesA((folder / name).c_str(), FILE_ATTRIBUTE_HIDDEN);
    }
    SetFileAttributesA((folder / "odd\\sysfile").c_str(), FILE_ATTRIBUTE_SYSTEM);
#else
    fs::create_symlink("../de_dust.bsp", folder / "odd/linked");
    fs::create_directory_symlink("../valve", folder / "odd/dirlink");
    fs::create_symlink("missing", folder / "odd/broken");
    mkfifo((folder / "odd/pipe").c_str(), 0644);
#endif
}

// POSIX lists in NTFS's order (by the upper-case forms, so "_" after the letters), as the rows
// are written; Wine lists in the host's order, so there both sides are sorted.
Names InListOrder(Names names) {
#ifdef _WIN32
    std::sort(names.begin(), names.end());
#endif
    return names;
}

// A failed listing shows as its message.
Names Listed(const std::string& pattern, int mask) {
    const auto listing = rotaline::ListFolder(pattern, mask);
    return InListOrder(listing.ok() ? *listing : Names{listing.error().Message()});
}

struct ListingCase {
    const char *name, *pattern; // the pattern below the sample folder
    int mask;
    Names expected;
    friend void PrintTo(const ListingCase& row, std::ostream* out) { *out << row.name; }
};

class ListFolder : public testing::TestWithParam<ListingCase> {};

// Each pattern is listed below the sample folder's path, and bare from inside it.
TEST_P(ListFolder, Lists) {
    const auto& [name, pattern, mask, expected] = GetParam();
    const ScratchFolder sample;
    MakeSample(sample);
    EXPECT_EQ(Listed(sample.Path() + "\\" + pattern, mask), InListOrder(expected));
    const auto previous = fs::current_path();
    fs::current_path(sample.Path());
    EXPECT_EQ(Listed(pattern, mask), InListOrder(expected)) << "listed from inside the folder";
    fs::current_path(previous);
}

const Names kEverything = {".",   "..",  "cstrike.old", "DE_AZTEC.BSP", "de_dust.bsp",
                           "mod", "odd", "readme",      "valve",        "x.bsp.old"};
const ListingCase kListingCases[] = {
    // Wine's "*." also returns names with an extension; Windows' does not. Both lists agree.
    {"ModFolders", "*.", kAttrDirectory, {".", "..", "mod", "odd", "readme", "valve"}},
    {"PrefixStarDot", "v*.", kAttrDirectory, {"valve"}},
    {"EverythingAdmitted", "*", kAttrDirectory, kEverything},
    {"MapsInEitherCase", "*.bsp", kAttrNormal, {"DE_AZTEC.BSP", "de_dust.bsp"}},
    {"MapsPatternInUpperCase", "*.BSP", kAttrNormal, {"DE_AZTEC.BSP", "de_dust.bsp"}},
    {"QuestionTakesOneCharacter", "de_?ust.bsp", kAttrNormal, {"de_dust.bsp"}},
    {"QuestionIsNeverEmpty", "de_dust?.bsp", kAttrNormal, {}},
    {"StarBacktracks", "*.old", kAttrDirectory, {"cstrike.old", "x.bsp.old"}},
    {"RunOfStarsAtTheEnd", "readme**", kAttrNormal, {"readme"}},
    {"DotsUnderMaskZero", "*.*", kAttrNormal, {"DE_AZTEC.BSP", "de_dust.bsp", "x.bsp.old"}},
    {"HiddenFileUnderMaskZero", ".hidden", kAttrNormal, {}},
    {"HiddenFolderUnderMaskSixteen", ".hiddendir", kAttrDirectory, {}},
    {"FolderUnderMaskZero", "valve", kAttrNormal, {}},
    {"FolderNamedLikeCycleIsNoFile", "mod\\mapcycle.txt", kAttrNormal, {}},
    {"FolderNamedLikeCycleUnderMaskSixteen", "mod\\mapcycle.txt", kAttrDirectory, {"mapcycle.txt"}},
    // A missing folder, or a file where a folder should be (Windows answers 267, Wine 123).
    {"MissingFolder", "absent\\*.", kAttrDirectory, {}},
    {"FileForFolder", "readme\\*.", kAttrDirectory, {}},
    {"NameNoFileMayHave", "a|b\\*", kAttrDirectory, {}},
#ifdef _WIN32
    // Hidden and system entries are left out; a.bspx's short name is no map.
    {"OddEntries", "odd\\*", kAttrDirectory, {".", "..", "MapCycle.TXT", "a.bspx"}},
    {"ShortNameIsNoMatch", "odd\\*.bsp", kAttrNormal, {}},
    // Windows ignores letter case in names: the name comes back as the file system spells it.
    {"ExactNameInOtherCase", "README", kAttrNormal, {"readme"}},
    {"CycleFileInOtherCase", "odd\\mapcycle.txt", kAttrNormal, {"MapCycle.TXT"}},
#else
    // Links count as what they lead to; a broken link, a fifo and a backslash name are left out.
    {"OddEntries", "odd\\*", kAttrDirectory, {".", "..", "dirlink", "linked"}},
    {"LinkToFolderUnderMaskZero", "odd\\*", kAttrNormal, {"linked"}},
    {"ExactNameIsCaseSensitive", "README", kAttrNormal, {}},
#endif
};

INSTANTIATE_TEST_SUITE_P(Rows, ListFolder, testing::ValuesIn(kListingCases),
                         [](const auto& row) { return std::string(row.param.name); });

// An unreadable folder is an error that names it, in the system's words without their line end.
TEST(ListFolderErrors, UnreadableFolderIsAnError) {
    const ScratchFolder folder;
    const std::string tooLong = folder / std::string(300, 'a');
    const auto listing = rotaline::ListFolder(tooLong + "\\*", kAttrDirectory);
    ASSERT_FALSE(listing.ok());
    EXPECT_EQ(listing.error().path, tooLong);
    EXPECT_FALSE(listing.error().detail.empty() || listing.error().detail.back() == '\n');
}
