// What only Windows files have: names that ignore case, attributes, files others hold open.
#include "core/platform/TextFile.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <thread>

using rotaline::ErrorKind;
using Names = std::vector<std::string>;

// Another program (a virus scanner, an indexer) holds the old file open, sharing no deleting;
// what else it shares decides which step of the save meets it. A brief hold is waited out; one
// that lasts leaves the file as it was. The old file's spelling and hidden mark (or lack of one,
// in the rows sharing writing) stay.
class ReplaceHeldFile : public testing::TestWithParam<std::string> {};

TEST_P(ReplaceHeldFile, WaitsOutABriefHoldElseLeavesTheFile) {
    const bool brief = GetParam().ends_with("Briefly");
    const bool writing = GetParam().starts_with("SharingWriting");
    const ScratchFolder folder;
    const std::string file = folder / "MapCycle.TXT";
    folder.Write("MapCycle.TXT", "old\r\n", writing ? 0u : FILE_ATTRIBUTE_HIDDEN);
    const HANDLE held =
        CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | (writing ? FILE_SHARE_WRITE : 0),
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release(
        brief ? +[](HANDLE h) { Sleep(120), CloseHandle(h); } : +[](HANDLE) {}, held);
    const auto saved = rotaline::ReplaceFileContent(folder / "mapcycle.txt", "new\r\n");
    release.join();
    if (!brief) {
        CloseHandle(held);
    }
    EXPECT_EQ(saved.ok(), brief) << (saved.ok() ? "" : saved.error().Message());
    EXPECT_TRUE(saved.ok() || saved.error().kind == ErrorKind::Busy ||
                saved.error().kind == ErrorKind::AccessDenied);
    EXPECT_EQ(ScratchFolder::Read(file), brief ? "new\r\n" : "old\r\n");
    EXPECT_EQ(ScratchFolder::Entries(folder.Path()), Names{"MapCycle.TXT"});
    EXPECT_EQ(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_HIDDEN,
              writing ? 0u : FILE_ATTRIBUTE_HIDDEN);
}

INSTANTIATE_TEST_SUITE_P(Holders, ReplaceHeldFile,
                         testing::Values("SharingReadingBriefly", "SharingReadingThroughout",
                                         "SharingWritingBriefly", "SharingWritingThroughout"),
                         [](const auto& row) { return row.param; });
