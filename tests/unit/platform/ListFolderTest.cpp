// Folder listings on a real folder, through readdir or FindFirstFileA: the rows both must pass,
// then each system's own odd entries.
#include "core/platform/FolderListing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include "ScratchFolder.h"
using Folder = ScratchFolder;
#else
#include "platform/TempFolder.h"
#include <sys/stat.h>
#include <unistd.h>
using Folder = TempFolder;
#endif

namespace {

using rotaline::kAttrDirectory;
using rotaline::kAttrNormal;
using Names = std::vector<std::string>;

// Folders valve, cstrike.old, mod with a folder mapcycle.txt, odd, and a hidden .hiddendir;
// files readme, de_dust.bsp, DE_AZTEC.BSP, x.bsp.old and a hidden .hidden (hidden by attribute
// as well on Windows). odd holds what only one system has.
class SampleFolder {
public:
    SampleFolder() {
        for (const char* name : {"valve", "cstrike.old", "mod", "mod\\mapcycle.txt", "odd"}) {
            MakeFolder(name);
        }
        for (const char* name : {"readme", "de_dust.bsp", "DE_AZTEC.BSP", "x.bsp.old"}) {
            folder.Write(name, "x");
        }
#ifdef _WIN32
        folder.MakeFolder(".hiddendir", FILE_ATTRIBUTE_HIDDEN);
        folder.Write(".hidden", "x", FILE_ATTRIBUTE_HIDDEN);
        // A hidden folder and file without a dot, a system file, a name whose short name ends
        // in ".BSP", and a cycle file spelt otherwise.
        folder.MakeFolder("odd\\secret", FILE_ATTRIBUTE_HIDDEN);
        folder.Write("odd\\hid", "x", FILE_ATTRIBUTE_HIDDEN);
        folder.Write("odd\\sysfile", "x", FILE_ATTRIBUTE_SYSTEM);
        folder.Write("odd\\a.bspx", "x");
        folder.Write("odd\\MapCycle.TXT", "x");
#else
        folder.MakeFolder(".hiddendir");
        folder.Write(".hidden", "x");
        // Links to a file, to a folder and to nothing, a fifo, and a name holding a backslash.
        symlink("../de_dust.bsp", (folder / "odd/linked").c_str());
        symlink("../valve", (folder / "odd/dirlink").c_str());
        symlink("missing", (folder / "odd/broken").c_str());
        mkfifo((folder / "odd/pipe").c_str(), 0644);
        folder.Write("odd/back\\slash", "x");
#endif
    }
    void MakeFolder(std::string name) const {
#ifndef _WIN32
        std::replace(name.begin(), name.end(), '\\', '/');
#endif
        folder.MakeFolder(name);
    }
    std::string Path(const std::string& pattern) const {
        return folder.Path() + "\\" + pattern;
    }

    Folder folder;
};

// The order NTFS lists names in: by their upper-case forms, so "_" comes after the letters.
Names NtfsOrder(Names names) {
    const auto upper = [](std::string name) {
        for (char& c : name) {
            c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        }
        return name;
    };
    std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        return std::pair(upper(a), a) < std::pair(upper(b), b);
    });
    return names;
}

// POSIX listings come in that order themselves; Wine's come in the host's order.
Names SortedListing(const std::string& pattern, int mask) {
    const auto listing = rotaline::ListFolder(pattern, mask);
    EXPECT_TRUE(listing.ok()) << (listing.ok() ? "" : listing.error().Message());
    const Names names = listing.ok() ? *listing : Names{};
#ifdef _WIN32
    return NtfsOrder(names);
#else
    return names;
#endif
}

struct ListingCase {
    const char* name;
    const char* pattern; // below the sample folder
    int mask;
    Names expected; // in any order
};

class ListFolder : public testing::TestWithParam<ListingCase> {};

TEST_P(ListFolder, Lists) {
    const SampleFolder sample;
    EXPECT_EQ(SortedListing(sample.Path(GetParam().pattern), GetParam().mask),
              NtfsOrder(GetParam().expected));
}

const Names kEverything = {".",   "..",  "DE_AZTEC.BSP", "cstrike.old", "de_dust.bsp",
                           "mod", "odd", "readme",       "valve",       "x.bsp.old"};

const ListingCase kListingCases[] = {
    // Wine's "*." also returns names with an extension; Windows' does not. Both lists agree.
    {"ModFoldersWithDotEntries",
     "*.",
     kAttrDirectory,
     {".", "..", "mod", "odd", "readme", "valve"}},
    {"FilesOnlyUnderMaskZero", "*.", kAttrNormal, {"readme"}},
    {"PrefixStarDot", "v*.", kAttrDirectory, {"valve"}},
    {"EverythingAdmitted", "*", kAttrDirectory, kEverything},
    {"MapsInEitherCase", "*.bsp", kAttrNormal, {"DE_AZTEC.BSP", "de_dust.bsp"}},
    {"MapsPatternInUpperCase", "*.BSP", kAttrNormal, {"DE_AZTEC.BSP", "de_dust.bsp"}},
    {"QuestionIsNeverEmpty", "de_dust?.bsp", kAttrNormal, {}},
    {"DotsUnderMaskZero", "*.*", kAttrNormal, {"DE_AZTEC.BSP", "de_dust.bsp", "x.bsp.old"}},
    {"ExactName", "readme", kAttrNormal, {"readme"}},
    {"HiddenFileUnderMaskZero", ".hidden", kAttrNormal, {}},
    {"HiddenFolderUnderMaskSixteen", ".hiddendir", kAttrDirectory, {}},
    {"FolderUnderMaskZero", "valve", kAttrNormal, {}},
    {"FolderNamedLikeCycleIsNoFile", "mod\\mapcycle.txt", kAttrNormal, {}},
    {"FolderNamedLikeCycleUnderMaskSixteen", "mod\\mapcycle.txt", kAttrDirectory, {"mapcycle.txt"}},
    {"NoMatch", "zz*", kAttrDirectory, {}},
#ifdef _WIN32
    // Hidden and system entries are left out; a.bspx's short name A~1.BSP is no map.
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

TEST(ListFolderErrors, MissingFolderGivesNothingWithoutErrorOtherFailuresAreReported) {
    const SampleFolder sample;
    // A file where a folder should be: Windows answers 267, Wine 123.
    for (const char* folder : {"absent\\*.", "readme\\*.", "a|b\\*"}) {
        const auto listing = rotaline::ListFolder(sample.Path(folder), 16);
        EXPECT_TRUE(listing.ok() && listing->empty()) << folder;
    }
#ifdef _WIN32
    const std::string unreadable = sample.Path(std::string(300, 'a') + "\\*");
    const int code = ERROR_FILENAME_EXCED_RANGE;
#else
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads every folder";
    }
    chmod((sample.folder / "valve").c_str(), 0);
    const std::string unreadable = sample.Path("valve\\*");
    const int code = EACCES;
#endif
    const auto listing = rotaline::ListFolder(unreadable, kAttrDirectory);
    ASSERT_FALSE(listing.ok());
    EXPECT_EQ(listing.error().systemCode, code);
    EXPECT_FALSE(listing.error().detail.empty());
    EXPECT_NE(listing.error().detail.back(), '\n') << "the system's line end is trimmed";
}

TEST(ListFolderErrors, PatternWithoutFolderListsWorkingFolder) {
    const SampleFolder sample;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(sample.folder.Path());
    const Names names = SortedListing("*.BSP", kAttrNormal);
    std::filesystem::current_path(previous);
    EXPECT_EQ(names, (Names{"DE_AZTEC.BSP", "de_dust.bsp"}));
}

} // namespace
