// What only Windows files have: names that ignore letter case, attributes, and files other
// programs hold open.
#include "core/platform/TextFile.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using rotaline::ErrorKind;
using rotaline::ReplaceFileContent;
using Names = std::vector<std::string>;

// The old file's spelling and hidden mark stay; the temporary file's hidden mark does not come
// along to a file that had none.
TEST(ReplaceFileContentWin32, KeepsNameAndAttributesOfOldFile) {
    for (const DWORD attributes : {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_NORMAL}}) {
        const ScratchFolder folder;
        folder.Write("MapCycle.TXT", "old\r\n", attributes);
        EXPECT_TRUE(ReplaceFileContent(folder / "mapcycle.txt", "new\r\n").ok());
        EXPECT_EQ(ScratchFolder::Entries(folder.Path()), Names{"MapCycle.TXT"});
        EXPECT_EQ(ScratchFolder::Read(folder / "MapCycle.TXT"), "new\r\n");
        EXPECT_EQ(GetFileAttributesA((folder / "MapCycle.TXT").c_str()) & FILE_ATTRIBUTE_HIDDEN,
                  attributes & FILE_ATTRIBUTE_HIDDEN);
    }
}

// Another program (a virus scanner, an indexer) holds the old file open, sharing no deleting;
// what else it shares decides which step of the save meets it. A brief hold is waited out; one
// that lasts leaves the file as it was.
class ReplaceHeldFile : public testing::TestWithParam<std::string> {};

TEST_P(ReplaceHeldFile, WaitsOutABriefHoldElseLeavesTheFile) {
    const bool brief = GetParam().ends_with("Briefly");
    const DWORD share =
        FILE_SHARE_READ | (GetParam().starts_with("SharingWriting") ? FILE_SHARE_WRITE : 0);
    const ScratchFolder folder;
    folder.Write("mapcycle.txt", "old\r\n");
    const HANDLE held = CreateFileA((folder / "mapcycle.txt").c_str(), GENERIC_READ, share, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held, brief] {
        if (brief) {
            Sleep(120);
            CloseHandle(held);
        }
    });
    const auto saved = ReplaceFileContent(folder / "mapcycle.txt", "new\r\n");
    release.join();
    if (!brief) {
        CloseHandle(held);
    }
    EXPECT_EQ(saved.ok(), brief) << (saved.ok() ? "" : saved.error().Message());
    EXPECT_TRUE(saved.ok() || saved.error().kind == ErrorKind::Busy ||
                saved.error().kind == ErrorKind::AccessDenied);
    EXPECT_EQ(ScratchFolder::Read(folder / "mapcycle.txt"), brief ? "new\r\n" : "old\r\n");
    EXPECT_EQ(ScratchFolder::Entries(folder.Path()), Names{"mapcycle.txt"});
}

INSTANTIATE_TEST_SUITE_P(Holders, ReplaceHeldFile,
                         testing::Values("SharingReadingBriefly", "SharingReadingThroughout",
                                         "SharingWritingBriefly", "SharingWritingThroughout"),
                         [](const auto& row) { return row.param; });

} // namespace
