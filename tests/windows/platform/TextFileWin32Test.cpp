// What only Windows files have: devices, pipes, attributes, and files other programs hold.
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

TEST(ReadWholeFileWin32, RefusesWhatIsNotAFile) {
    const auto fromDevice = ReadWholeFile("NUL", 1024);
    ASSERT_FALSE(fromDevice.ok());
    EXPECT_EQ(fromDevice.error().systemCode, ERROR_BAD_FILE_TYPE);

    // A pipe with no writer would block a read for good.
    const std::string pipeName =
        "\\\\.\\pipe\\rotaline-test-" + std::to_string(GetCurrentProcessId());
    const HANDLE pipe = CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1,
                                         0, 0, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    const auto fromPipe = ReadWholeFile(pipeName, 1024);
    CloseHandle(pipe);
    ASSERT_FALSE(fromPipe.ok());
    EXPECT_EQ(fromPipe.error().systemCode, ERROR_BAD_FILE_TYPE);
}

// The old file's name and attributes stay; the temporary file's hidden mark does not come along.
TEST(ReplaceFileContentWin32, KeepsNameAndAttributesOfOldFile) {
    for (const DWORD attributes :
         {DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE}, DWORD{FILE_ATTRIBUTE_NORMAL}}) {
        const ScratchFolder folder;
        folder.Write("MapCycle.TXT", "old\r\n", attributes);
        EXPECT_TRUE(ReplaceFileContent(folder / "mapcycle.txt", "new\r\n").ok());
        EXPECT_EQ(ScratchFolder::Entries(folder.Path()), Names{"MapCycle.TXT"});
        EXPECT_EQ(ScratchFolder::Read(folder / "MapCycle.TXT"), "new\r\n");
        EXPECT_EQ(GetFileAttributesA((folder / "MapCycle.TXT").c_str()) & FILE_ATTRIBUTE_HIDDEN,
                  attributes & FILE_ATTRIBUTE_HIDDEN);
    }
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
    EXPECT_TRUE(error.ok()) << (error.ok() ? "" : error.error().Message());
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
    const int code = error.error().systemCode;
    EXPECT_TRUE(code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED) << code;
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
