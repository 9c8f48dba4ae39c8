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
    const rotaline::ReadResult read = ReadWholeFile(folder / "mapcycle.txt", 1024);
    EXPECT_FALSE(read.error.has_value());
    EXPECT_EQ(read.bytes, kOddBytes);
}

TEST(ReadWholeFileWin32, RefusesWhatIsNotAFile) {
    const ScratchFolder folder;
    const rotaline::ReadResult fromFolder = ReadWholeFile(folder.Path(), 1024);
    ASSERT_TRUE(fromFolder.error.has_value());
    EXPECT_EQ(fromFolder.error->code, 336) << fromFolder.error->message;

    const rotaline::ReadResult fromDevice = ReadWholeFile("NUL", 1024);
    ASSERT_TRUE(fromDevice.error.has_value());
    EXPECT_EQ(fromDevice.error->code, ERROR_BAD_FILE_TYPE);

    // A pipe with no writer would block a read for good.
    const std::string pipeName =
        "\\\\.\\pipe\\rotaline-test-" + std::to_string(GetCurrentProcessId());
    const HANDLE pipe = CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1,
                                         0, 0, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    const rotaline::ReadResult fromPipe = ReadWholeFile(pipeName, 1024);
    CloseHandle(pipe);
    ASSERT_TRUE(fromPipe.error.has_value());
    EXPECT_EQ(fromPipe.error->code, ERROR_BAD_FILE_TYPE);

    const rotaline::ReadResult fromNothing = ReadWholeFile(folder / "absent", 1024);
    ASSERT_TRUE(fromNothing.error.has_value());
    EXPECT_EQ(fromNothing.error->code, ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(fromNothing.error->message.empty());
}

TEST(ReadWholeFileWin32, RefusesFileAboveLimit) {
    const ScratchFolder folder;
    folder.Write("big", std::string(11, 'x'));
    EXPECT_EQ(ReadWholeFile(folder / "big", 11).bytes, std::string(11, 'x'));
    const rotaline::ReadResult read = ReadWholeFile(folder / "big", 10);
    ASSERT_TRUE(read.error.has_value());
    EXPECT_EQ(read.error->code, ERROR_FILE_TOO_LARGE);
    EXPECT_NE(read.error->message.find("10"), std::string::npos) << read.error->message;
    EXPECT_TRUE(read.bytes.empty());
}

TEST(ReplaceFileContentWin32, ReplacesBytesAndLeavesNothingElse) {
    const ScratchFolder folder;
    folder.Write("mapcycle.txt", std::string(100, 'o'));
    EXPECT_FALSE(ReplaceFileContent(folder / "mapcycle.txt", kOddBytes).has_value());
    EXPECT_EQ(ScratchFolder::Read(folder / "mapcycle.txt"), kOddBytes);
    EXPECT_EQ(ScratchFolder::Entries(folder.Path()), Names{"mapcycle.txt"});
    EXPECT_EQ(AttributesOf(folder / "mapcycle.txt") & FILE_ATTRIBUTE_HIDDEN, 0u)
        << "the temporary file's hidden mark does not come along";
}

TEST(ReplaceFileContentWin32, KeepsNameAndAttributesOfOldFile) {
    const ScratchFolder folder;
    folder.Write("MapCycle.TXT", "old\r\n", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_FALSE(ReplaceFileContent(folder / "mapcycle.txt", "new\r\n").has_value());
    EXPECT_EQ(ScratchFolder::Entries(folder.Path()), Names{"MapCycle.TXT"});
    EXPECT_EQ(ScratchFolder::Read(folder / "MapCycle.TXT"), "new\r\n");
    EXPECT_NE(AttributesOf(folder / "MapCycle.TXT") & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST(ReplaceFileContentWin32, CreatesMissingFile) {
    const ScratchFolder folder;
    EXPECT_FALSE(ReplaceFileContent(folder / "new.txt", "de_dust\r\n").has_value());
    EXPECT_EQ(ScratchFolder::Read(folder / "new.txt"), "de_dust\r\n");
    EXPECT_EQ(ScratchFolder::Entries(folder.Path()), Names{"new.txt"});
}

// Wine would let the rename replace a read-only file; Windows would not. The check is the
// program's own, so both refuse.
TEST(ReplaceFileContentWin32, RefusesReadOnlyFile) {
    const ScratchFolder folder;
    folder.Write("mapcycle.txt", "old\r\n", FILE_ATTRIBUTE_READONLY);
    const auto error = ReplaceFileContent(folder / "mapcycle.txt", "new\r\n");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->code, ERROR_ACCESS_DENIED);
    EXPECT_NE(error->message.find("read-only"), std::string::npos) << error->message;
    EXPECT_EQ(ScratchFolder::Read(folder / "mapcycle.txt"), "old\r\n");
    EXPECT_NE(AttributesOf(folder / "mapcycle.txt") & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(ScratchFolder::Entries(folder.Path()), Names{"mapcycle.txt"});
}

TEST(ReplaceFileContentWin32, RefusesFolder) {
    const ScratchFolder folder;
    folder.MakeFolder("mapcycle.txt");
    const auto error = ReplaceFileContent(folder / "mapcycle.txt", "new\r\n");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->code, 336);
    EXPECT_EQ(ScratchFolder::Entries(folder.Path()), Names{"mapcycle.txt"});
    EXPECT_TRUE(ScratchFolder::Entries(folder / "mapcycle.txt").empty());
}

TEST(ReplaceFileContentWin32, MissingFolderIsReported) {
    const ScratchFolder folder;
    const auto error = ReplaceFileContent(folder / "absent\\mapcycle.txt", "new\r\n");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->code, ERROR_PATH_NOT_FOUND);
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
    EXPECT_FALSE(error.has_value()) << error->message;
    EXPECT_EQ(ScratchFolder::Read(folder / "mapcycle.txt"), "new\r\n");
    EXPECT_EQ(ScratchFolder::Entries(folder.Path()), Names{"mapcycle.txt"});
}

TEST_P(ReplaceHeldFile, FileHeldThroughoutStaysAsItWas) {
    const ScratchFolder folder;
    folder.Write("mapcycle.txt", "old\r\n");
    const HeldOpen scanner(folder / "mapcycle.txt", GetParam().share);
    ASSERT_TRUE(scanner.IsHeld());
    const auto error = ReplaceFileContent(folder / "mapcycle.txt", "new\r\n");
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->code == ERROR_SHARING_VIOLATION || error->code == ERROR_ACCESS_DENIED)
        << error->code;
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
