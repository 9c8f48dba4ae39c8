// Whole-file reads and safe content replacement on real files.
#include "core/platform/TextFile.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using rotaline::ReadWholeFile;
using rotaline::ReplaceFileContent;
using Names = std::vector<std::string>;

const std::string kOddBytes("de_dust\r\n\0crossfire\r\r\n\xE9\xFF\n", 25);

mode_t PermissionsOf(const std::string& path) {
    struct stat status {};
    stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

TEST(ReadWholeFile, GivesBytesUnchanged) {
    const TempFolder folder;
    folder.Write("mapcycle.txt", kOddBytes);
    const rotaline::ReadResult read = ReadWholeFile(folder / "mapcycle.txt", 1024);
    EXPECT_FALSE(read.error.has_value());
    EXPECT_EQ(read.bytes, kOddBytes);
}

TEST(ReadWholeFile, RefusesWhatIsNotAFile) {
    const TempFolder folder;
    ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0644), 0);
    alarm(10); // a read that blocks on the pipe ends the test run instead of hanging it
    const rotaline::ReadResult fromPipe = ReadWholeFile(folder / "pipe", 1024);
    alarm(0);
    EXPECT_TRUE(fromPipe.error.has_value());

    const rotaline::ReadResult fromFolder = ReadWholeFile(folder.Path(), 1024);
    ASSERT_TRUE(fromFolder.error.has_value());
    EXPECT_EQ(fromFolder.error->code, EISDIR);

    const rotaline::ReadResult fromNothing = ReadWholeFile(folder / "absent", 1024);
    ASSERT_TRUE(fromNothing.error.has_value());
    EXPECT_EQ(fromNothing.error->code, ENOENT);
}

TEST(ReadWholeFile, RefusesFileAboveLimit) {
    const TempFolder folder;
    folder.Write("big", std::string(11, 'x'));
    EXPECT_EQ(ReadWholeFile(folder / "big", 11).bytes, std::string(11, 'x'));
    const rotaline::ReadResult read = ReadWholeFile(folder / "big", 10);
    ASSERT_TRUE(read.error.has_value());
    EXPECT_EQ(read.error->code, EFBIG);
    EXPECT_NE(read.error->message.find("10"), std::string::npos) << read.error->message;
    EXPECT_TRUE(read.bytes.empty());
}

TEST(ReplaceFileContent, ReplacesBytesAndKeepsPermissions) {
    const TempFolder folder;
    folder.Write("mapcycle.txt", std::string(100, 'o'), 0640);
    EXPECT_FALSE(ReplaceFileContent(folder / "mapcycle.txt", kOddBytes).has_value());
    EXPECT_EQ(TempFolder::Read(folder / "mapcycle.txt"), kOddBytes);
    EXPECT_EQ(PermissionsOf(folder / "mapcycle.txt"), 0640u);
    EXPECT_EQ(TempFolder::Entries(folder.Path()), Names{"mapcycle.txt"});
}

TEST(ReplaceFileContent, CreatesMissingFileWithDefaultMode) {
    const TempFolder folder;
    const mode_t previous = umask(022);
    const auto error = ReplaceFileContent(folder / "new.txt", "de_dust\r\n");
    umask(previous);
    EXPECT_FALSE(error.has_value());
    EXPECT_EQ(TempFolder::Read(folder / "new.txt"), "de_dust\r\n");
    EXPECT_EQ(PermissionsOf(folder / "new.txt"), 0644u);
}

TEST(ReplaceFileContent, LinkStaysLinkAndTargetChanges) {
    const TempFolder folder;
    folder.MakeFolder("real");
    folder.Write("real/mapcycle.txt", "old\r\n");
    ASSERT_EQ(symlink("real/mapcycle.txt", (folder / "inner").c_str()), 0);
    ASSERT_EQ(symlink(folder.Path().c_str(), (folder / "outer").c_str()), 0);
    ASSERT_EQ(symlink("outer/inner", (folder / "mapcycle.txt").c_str()), 0);

    EXPECT_FALSE(ReplaceFileContent(folder / "mapcycle.txt", "new\r\n").has_value());
    struct stat status {};
    for (const char* link : {"mapcycle.txt", "inner", "outer"}) {
        ASSERT_EQ(lstat((folder / link).c_str(), &status), 0);
        EXPECT_TRUE(S_ISLNK(status.st_mode)) << link;
    }
    EXPECT_EQ(TempFolder::Read(folder / "real/mapcycle.txt"), "new\r\n");
    EXPECT_EQ(TempFolder::Entries(folder / "real"), Names{"mapcycle.txt"});
}

TEST(ReplaceFileContent, RefusesReadOnlyFile) {
    const TempFolder folder;
    folder.Write("mapcycle.txt", "old\r\n", 0444);
    const auto error = ReplaceFileContent(folder / "mapcycle.txt", "new\r\n");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->code, EACCES);
    EXPECT_EQ(TempFolder::Read(folder / "mapcycle.txt"), "old\r\n");
    EXPECT_EQ(PermissionsOf(folder / "mapcycle.txt"), 0444u);
}

TEST(ReplaceFileContent, UnwritableFolderLeavesOldFile) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes into every folder";
    }
    const TempFolder folder;
    folder.MakeFolder("mod");
    folder.Write("mod/mapcycle.txt", "old\r\n");
    chmod((folder / "mod").c_str(), 0555);
    const auto error = ReplaceFileContent(folder / "mod/mapcycle.txt", "new\r\n");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->code, EACCES);
    EXPECT_EQ(TempFolder::Read(folder / "mod/mapcycle.txt"), "old\r\n");
    EXPECT_EQ(TempFolder::Entries(folder / "mod"), Names{"mapcycle.txt"});
}

TEST(ReplaceFileContent, RefusesFolder) {
    const TempFolder folder;
    folder.MakeFolder("mapcycle.txt");
    const auto error = ReplaceFileContent(folder / "mapcycle.txt", "new\r\n");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->code, EISDIR);
    EXPECT_EQ(TempFolder::Entries(folder.Path()), Names{"mapcycle.txt"});
    EXPECT_TRUE(TempFolder::Entries(folder / "mapcycle.txt").empty());
}

} // namespace
