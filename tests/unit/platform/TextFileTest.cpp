// Whole-file reads and safe content replacement on real files: what holds on every system.
#include "core/platform/TextFile.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "ScratchFolder.h"
using Folder = ScratchFolder;
const std::string kSeparator = "\\";
constexpr int kIsFolder = 336; // ERROR_DIRECTORY_NOT_SUPPORTED
constexpr int kMissing = ERROR_FILE_NOT_FOUND;
constexpr int kMissingFolder = ERROR_PATH_NOT_FOUND;
constexpr int kTooLarge = ERROR_FILE_TOO_LARGE;
constexpr int kReadOnly = ERROR_ACCESS_DENIED;
void MakeReadOnly(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
}
#else
#include "platform/TempFolder.h"
#include <cerrno>
using Folder = TempFolder;
const std::string kSeparator = "/";
constexpr int kIsFolder = EISDIR;
constexpr int kMissing = ENOENT;
constexpr int kMissingFolder = ENOENT;
constexpr int kTooLarge = EFBIG;
constexpr int kReadOnly = EACCES;
void MakeReadOnly(const std::string& path) {
    chmod(path.c_str(), 0444);
}
#endif

namespace {

using rotaline::ReadWholeFile;
using rotaline::ReplaceFileContent;
using Names = std::vector<std::string>;

const std::string kOldBytes = std::string(100, 'o');
const std::string kNewBytes("de_dust\r\n\0crossfire\r\r\n\xE9\xFF\n", 25);

// What stands at mapcycle.txt before a read and a save of 11 bytes.
enum class Before { File, ReadOnlyFile, Folder, Nothing, NoFolder };

struct FileCase {
    const char* name;
    Before before;
    std::size_t limit;
    int readError;    // 0: the old bytes are read
    int replaceError; // 0: the new bytes replace them
    const char* says = "";
};

void PrintTo(const FileCase& row, std::ostream* out) {
    *out << row.name;
}

class TextFile : public testing::TestWithParam<FileCase> {};

TEST_P(TextFile, ReadsAndReplacesWholeOrNotAtAll) {
    const FileCase& row = GetParam();
    const Folder folder;
    const std::string path =
        folder / (row.before == Before::NoFolder ? "absent" + kSeparator : "") + "mapcycle.txt";
    if (row.before == Before::File || row.before == Before::ReadOnlyFile) {
        folder.Write("mapcycle.txt", kOldBytes);
    } else if (row.before == Before::Folder) {
        folder.MakeFolder("mapcycle.txt");
    }
    if (row.before == Before::ReadOnlyFile) {
        MakeReadOnly(path);
    }
    const Names entries = Folder::Entries(folder.Path());

    const auto read = ReadWholeFile(path, row.limit);
    EXPECT_EQ(read.ok() ? 0 : read.error().systemCode, row.readError);
    EXPECT_EQ(read.ok() ? *read : "", row.readError == 0 ? kOldBytes : "");

    const auto replaced = ReplaceFileContent(path, kNewBytes);
    const std::string message = row.readError != 0
                                    ? (read.ok() ? "" : read.error().Message())
                                    : (replaced.ok() ? "" : replaced.error().Message());
    ASSERT_EQ(replaced.ok() ? 0 : replaced.error().systemCode, row.replaceError) << message;
    EXPECT_NE(message.find(row.says), std::string::npos) << message;
    if (row.replaceError == 0) {
        EXPECT_EQ(Folder::Read(path), kNewBytes);
        EXPECT_EQ(Folder::Entries(folder.Path()), Names{"mapcycle.txt"});
    } else {
        EXPECT_EQ(Folder::Entries(folder.Path()), entries);
        if (row.before == Before::ReadOnlyFile) {
            EXPECT_EQ(Folder::Read(path), kOldBytes);
        }
    }
}

const FileCase kFileCases[] = {
    {"FileOfTheLimit", Before::File, 100, 0, 0},
    {"FileAboveTheLimit", Before::File, 99, kTooLarge, 0, "99"},
    {"ReadOnlyFile", Before::ReadOnlyFile, 100, 0, kReadOnly, "read-only"},
    {"Folder", Before::Folder, 100, kIsFolder, kIsFolder},
    {"Nothing", Before::Nothing, 100, kMissing, 0},
    {"NoFolder", Before::NoFolder, 100, kMissingFolder, kMissingFolder},
};

INSTANTIATE_TEST_SUITE_P(Rows, TextFile, testing::ValuesIn(kFileCases),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
