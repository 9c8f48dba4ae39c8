// Whole-file reads and safe content replacement on real Windows files.
#include "core/platform/TextFile.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

using rotaline::ReadWholeFile;
using rotaline::ReplaceFileContent;
using Names = std::vector<std::string>;

const std::string kOddBytes("de_dust\r\n\0crossfire\r\r\n\xE9\xFF\n", 25);

DWORD AttributesOf(const std::string& path) {
    return GetFileAttributesA(path.c_str());
}

// Holds a file open the way a virus scanner or indexer does, sharing no deleting.
class HeldOpen {
public:
    HeldOpen(const std::string& path, DWORD share)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldOpen() { Release(); }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;

    bool IsHeld() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Release() {
        if (IsHeld()) {
            CloseHandle(handle_);
            handle_ = INVALID_HANDLE_VALUE;
        }
    }

private:
    HANDLE handle_;
};

TEST(ReadWholeFileWin32, GivesBytesUnchanged) {
    const ScratchFolder folder;
    folder.Write("mapcycle.txt", kOddBytes);
    const rotaline::Result<std::string> read = ReadWholeFile(folder / "mapcycle.txt", 1024);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(*read, kOddBytes);
}

TEST(ReadWholeFileWin32, RefusesWhatIsNotAFile) {
    const ScratchFolder folder;
    const rotaline::Result<std::string> fromFolder = ReadWholeFile(folder.Path(), 1024);
    ASSERT_FALSE(fromFolder.ok());
    EXPECT_EQ(fromFolder.error().systemCode, 336) << fromFolder.error().detail;

    const rotaline::Result<std::string> fromDevice = ReadWholeFile("NUL", 1024);
    ASSERT_FALSE(fromDevice.ok());
    EXPECT_EQ(fromDevice.error().systemCode, ERROR_BAD_FILE_TYPE);

    // A pipe with no writer would block a read for good.
    const std::string pipeName =
        "\\\\.\\pipe\\rotaline-test-" + std::to_string(GetCurrentProcessId());
    const HANDLE pipe = CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1,
                                         0, 0, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    const rotaline::Result<std::string> fromPipe = ReadWholeFile(pipeName, 1024);
    CloseHandle(pipe);
    ASSERT_FALSE(fromPipe.ok());
    EXPECT_EQ(fromPipe.error().systemCode, ERROR_BAD_FILE_TYPE);

    const rotaline::Result<std::string> fromNothing = ReadWholeFile(folder / "absent", 1024);
    ASSERT_FALSE(fromNothing.ok());
    EXPECT_EQ(fromNothing.error().systemCode, ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(fromNothing.error().detail.empty());
}

TEST(ReadWholeFileWin32, RefusesFileAboveLimit) {
    const ScratchFolder folder;
    folder.Write("big", std::string(11, 'x'));
    EXPECT_EQ(*ReadWholeFile(folder / "big", 11), std::string(11, 'x'));
    const rotaline::Result<std::string> read = ReadWholeFile(folder / "big", 10);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().systemCode, ERROR_FILE_TOO_LARGE);
    EXPECT_NE(read.error().detail.find("10"), std::string::npos) << read.error().detail;
}

TEST(ReplaceFileContentWin32, ReplacesBytesAndLeavesNothingElse) {
    const ScratchFolder folder;
    folder.Write("mapcycle.txt", std::string(100, 'o'));
    EXPECT_TRUE(ReplaceFileContent(folder / "mapcycle.txt", kOddBytes).ok());
    EXPECT_EQ(ScratchFolder::Read(folder / "mapcycle.txt"), kOddBytes);
    EXPECT_EQ(ScratchFolder::Entries(folder.Path()), Names{"mapcycle.txt"});
    EXPECT_EQ(AttributesOf(folder / "mapcycle.txt") & FILE_ATTRIBUTE_HIDDEN, 0u)
        << "the temporary file's hidden mark does not come along";
}

TEST(ReplaceFileContentWin32, KeepsNameAndAttributesOfOldFile) {
    const ScratchFolder folder;
    folder.Write("MapCycle.TXT", "old\r\n", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_TRUE(ReplaceFileContent(folder / "mapcycle.txt", "new\r\n").ok());
    EXPECT_EQ(ScratchFolder::Entries(folder.Path()), Names{"MapCycle.TXT"});
    EXPECT_EQ(ScratchFolder::Read(folder / "MapCycle.TXT"), "new\r\n");
    EXPECT_NE(AttributesOf(folder / "MapCycle.TXT") & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST(ReplaceFileContentWin32, CreatesMissingFile) {
    const ScratchFolder folder;
    EXPECT_TRUE(ReplaceFileContent(folder / "new.txt", "de_dust\r\n").ok());
    EXPECT_EQ(ScratchFolder::Read(folder / "new.txt"), "de_dust\r\n");
    EXPECT_EQ(ScratchFolder::Entries(folder.Path()), Names{"new.txt"});
}

// Wine would let the rename replace a read-only file; Windows would not. The check is the
// program's own, so both refuse.
TEST(ReplaceFileContentWin32, RefusesReadOnlyFile) {
    const ScratchFolder folder;
    folder.Write("mapcycle.txt", "old\r\n", FILE_ATTRIBUTE_READONLY);
    const auto error = ReplaceFileContent(folder / "mapcycle.txt", "new\r\n");
    ASSERT_FALSE(error.ok());
    EXPECT_EQ(error.error().systemCode, ERROR_ACCESS_DENIED);
    EXPECT_NE(error.error().detail.find("read-only"), std::string::npos) << error.error().detail;
    EXPECT_EQ(ScratchFolder::Read(folder / "mapcycle.txt"), "old\r\n");
    EXPECT_NE(AttributesOf(folder / "mapcycle.txt") & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(ScratchFolder::Entries(folder.Path()), Names{"mapcycle.txt"});
}

TEST(ReplaceFileContentWin32, RefusesFolder) {
    const ScratchFolder folder;
    folder.MakeFolder("mapcycle.txt");
    const auto error = ReplaceFileContent(folder / "mapcycle.txt", "new\r\n");
    ASSERT_FALSE(error.ok());
    EXPECT_EQ(error.error().systemCode, 336);
    EXPECT_EQ(ScratchFolder::Entries(folder.Path()), Names{"mapcycle.txt"});
    EXPECT_TRUE(ScratchFolder::Entries(folder / "mapcycle.txt").empty());
}

TEST(ReplaceFileContentWin32, MissingFolderIsReported) {
    const ScratchFolder folder;
    const auto error = ReplaceFileContent(folder / "absent\\mapcycle.txt", "new\r\n");
    ASSERT_FALSE(error.ok());
    EXPECT_EQ(error.error().systemCode, ERROR_PATH_NOT_FOUND);
    EXPECT_TRUE(ScratchFolder::Entries(folder.Path()).empty());
}

// How another program holds the old file: what it shares decides which step of the save meets
// it (sharing no writing: the check that the file is writable; sharing no deleting: the rename).
struct HolderCase {
    const char* label;
    DWORD share;
};

class ReplaceHeldFile : public testing::TestWithParam<HolderCase> {};

TEST_P(ReplaceHeldFile, WaitsForBrieflyHeldFile) {
    const ScratchFolder folder;
    folder.Write("mapcycle.txt", "old\r\n");
    HeldOpen scanner(folder / "mapcycle.txt", GetParam().share);
    ASSERT_TRUE(scanner.IsHeld());
    std::thread release([&scanner] {
        std::this_thread::sleep_for(std::chrono::milliseconds(120));
        scanner.Release();
    });
    const auto error = ReplaceFileContent(folder / "mapcycle.txt", "new\r\n");
    release.join();
    EXPECT_TRUE(error.ok()) << (error ? "" : error.error().Message());
    EXPECT_EQ(ScratchFolder::Read(folder / "mapcycle.txt"), "new\r\n");
    EXPECT_EQ(ScratchFolder::Entries(folder.Path()), Names{"mapcycle.txt"});
}

TEST_P(ReplaceHeldFile, FileHeldThroughoutStaysAsItWas) {
    const ScratchFolder folder;
    folder.Write("mapcycle.txt", "old\r\n");
    const HeldOpen scanner(folder / "mapcycle.txt", GetParam().share);
    ASSERT_TRUE(scanner.IsHeld());
    const auto error = ReplaceFileContent(folder / "mapcycle.txt", "new\r\n");
    ASSERT_FALSE(error.ok());
    EXPECT_TRUE(error.error().systemCode == ERROR_SHARING_VIOLATION ||
                error.error().systemCode == ERROR_ACCESS_DENIED)
        << error.error().systemCode;
    EXPECT_EQ(ScratchFolder::Read(folder / "mapcycle.txt"), "old\r\n");
    EXPECT_EQ(ScratchFolder::Entries(folder.Path()), Names{"mapcycle.txt"});
}

const HolderCase kHolderCases[] = {
    {"SharingReadingOnly", FILE_SHARE_READ},
    {"SharingReadingAndWriting", FILE_SHARE_READ | FILE_SHARE_WRITE},
};

INSTANTIATE_TEST_SUITE_P(Holders, ReplaceHeldFile, testing::ValuesIn(kHolderCases),
                         [](const testing::TestParamInfo<HolderCase>& row) {
                             return row.param.label;
                         });

} // namespace
