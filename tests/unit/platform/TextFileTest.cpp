// Whole-file reads and safe saves on real files: the same error kinds and words on both systems.
#include "core/platform/TextFile.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <optional>

using rotaline::ErrorKind;
using Names = std::vector<std::string>;

#ifdef _WIN32
const std::string kDevice = "NUL";
constexpr unsigned kReadOnly = FILE_ATTRIBUTE_READONLY;
// Wine cannot tell a device's file information: the save stops there, as an invalid request.
constexpr ErrorKind kDeviceSave = ErrorKind::Invalid;
#else
const std::string kDevice = "/dev/null";
constexpr unsigned kReadOnly = 0444;
constexpr ErrorKind kDeviceSave = ErrorKind::NotAFile;
#endif
const std::string kOldBytes(100, 'o');
const std::string kNewBytes("de_dust\r\n\0crossfire\r\r\n\xE9\xFF\n", 25);
constexpr std::optional<ErrorKind> kOk;

// What stands at mapcycle.txt before a read and a save.
enum class Before { File, ReadOnlyFile, Folder, Nothing, NoFolder, Device };

struct FileCase {
    const char* name;
    Before before;
    std::size_t limit;
    std::optional<ErrorKind> readError, replaceError; // none: read, or replaced, whole
    const char* says = "";                            // in the first error's message
    friend void PrintTo(const FileCase& row, std::ostream* out) { *out << row.name; }
};

class TextFile : public testing::TestWithParam<FileCase> {};

TEST_P(TextFile, ReadsAndReplacesWholeOrNotAtAll) {
    const FileCase& row = GetParam();
    const ScratchFolder folder;
    const bool hadFile = row.before == Before::File || row.before == Before::ReadOnlyFile;
    const std::string path =
        row.before == Before::Device
            ? kDevice
            : folder / (row.before == Before::NoFolder ? "absent/mapcycle.txt" : "mapcycle.txt");
    row.before == Before::Folder ? folder.MakeFolder("mapcycle.txt")
    : hadFile ? folder.Write("mapcycle.txt", kOldBytes, row.before == Before::File ? 0 : kReadOnly)
              : void();
    const Names entries = ScratchFolder::Entries(folder.Path());

    const auto read = rotaline::ReadWholeFile(path, row.limit);
    EXPECT_EQ(read.ok() ? kOk : read.error().kind, row.readError);
    EXPECT_EQ(read.ok() ? *read : "", row.readError ? "" : kOldBytes);

    const auto replaced = rotaline::ReplaceFileContent(path, kNewBytes);
    const std::string message = !read.ok()       ? read.error().Message()
                                : !replaced.ok() ? replaced.error().Message()
                                                 : "";
    ASSERT_EQ(replaced.ok() ? kOk : replaced.error().kind, row.replaceError) << message;
    EXPECT_NE(message.find(row.says), std::string::npos) << message;
    if (hadFile || !row.replaceError) {
        EXPECT_EQ(ScratchFolder::Read(path), row.replaceError ? kOldBytes : kNewBytes);
    }
    EXPECT_EQ(ScratchFolder::Entries(folder.Path()),
              row.replaceError ? entries : Names{"mapcycle.txt"});
}

const FileCase kFileCases[] = {
    {"FileOfTheLimit", Before::File, 100, kOk, kOk},
    {"FileAboveTheLimit", Before::File, 99, ErrorKind::TooLarge, kOk, "at most 99 bytes"},
    {"ReadOnlyFile", Before::ReadOnlyFile, 100, kOk, ErrorKind::AccessDenied,
     "Permission denied: the file is read-only"},
    {"Folder", Before::Folder, 100, ErrorKind::NotAFile, ErrorKind::NotAFile},
    {"Nothing", Before::Nothing, 100, ErrorKind::NotFound, kOk, "No such file or directory"},
    {"NoFolder", Before::NoFolder, 100, ErrorKind::NotFound, ErrorKind::NotFound,
     "No such file or directory"},
    {"Device", Before::Device, 100, ErrorKind::NotAFile, kDeviceSave},
};

INSTANTIATE_TEST_SUITE_P(Rows, TextFile, testing::ValuesIn(kFileCases),
                         [](const auto& row) { return std::string(row.param.name); });
