// Start-up, Edit and Save over hostile folders: what the user is told, and that nothing is lost.
#include "ScopedEnv.h"
#include "core/FakeWindowSystem.h"
#include "core/cycle/MapCycleFile.h"
#include "core/lists/EditingOperations.h"
#include "core/platform/Paths.h"
#include "core/session/Globals.h"
#include "core/session/OpenMod.h"
#include "core/session/SaveAndReturn.h"
#include "core/session/Startup.h"
#include "lists/ListText.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace rotaline {
namespace {

using testing::FakeWindowSystem;
using Names = std::vector<std::string>;

constexpr std::size_t kMegabyte = 1024 * 1024;

// What lstat says the entry is: its kind and, for a link, where it points.
std::string EntryKind(const std::string& path) {
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0) {
        return "nothing";
    }
    if (S_ISLNK(status.st_mode)) {
        char target[256] = {};
        readlink(path.c_str(), target, sizeof target - 1);
        return std::string("link to ") + target;
    }
    return S_ISFIFO(status.st_mode)  ? "pipe"
           : S_ISDIR(status.st_mode) ? "folder"
           : S_ISREG(status.st_mode) ? "file of " + std::to_string(status.st_size) + " bytes"
                                     : "other";
}

void WriteFileAt(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void MakeFolderAt(const std::string& path) {
    mkdir(path.c_str(), 0755);
}

// A sparse file: its size without the disk space.
void MakeSparse(const std::string& path, std::size_t size) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, static_cast<off_t>(size)), 0);
    close(fd);
}

class Hostile : public ::testing::Test {
protected:
    void SetUp() override {
        MakeMod(install, "valve", {"crossfire", "bounce", "datacore"}, "crossfire\r\nbounce");
        InstallPath = install.Path();
        windows.chooser->Show();
    }

    static void MakeMod(const TempFolder& folder, const std::string& mod, const Names& maps,
                        const std::string& cycle) {
        folder.MakeFolder(mod);
        folder.MakeFolder(mod + "/maps");
        for (const std::string& map : maps) {
            folder.Write(mod + "/maps/" + map + ".bsp", "");
        }
        folder.Write(mod + "/mapcycle.txt", cycle);
    }
    void Edit(const std::string& mod = "valve") {
        modList.Clear();
        modList.AddItem(mod);
        modList.SetSelected(0, true);
        cmdEdit_Click(modList, windows);
    }
    EditorLists& Lists() { return windows.editor->lists; }
    const testing::ShownMessage& OnlyMessage() {
        EXPECT_EQ(windows.messages.shown.size(), 1u);
        static const testing::ShownMessage none{"(no message)", "", MessageIcon::None};
        return windows.messages.shown.empty() ? none : windows.messages.shown.back();
    }
    std::string CyclePath() const { return install / "valve/mapcycle.txt"; }

    TempFolder install;
    FakeWindowSystem windows;
    SelectableList modList{SelectionStyle::Single, false};
};

// Whatever took the cycle file's place after start-up, Edit says what it found and Save leaves
// it as it is, without hanging on a pipe or reading a device without end.
TEST_F(Hostile, CycleFileReplacedAfterStartUp) {
    struct Row {
        const char* name;
        std::function<void(const std::string&)> replace;
        std::string editSays;
        bool saveWorks; // a save may create the file where nothing is in the way
    };
    const Row rows[] = {
        {"named pipe", [](const std::string& p) { mkfifo(p.c_str(), 0644); },
         "it is a named pipe, not a file", false},
        {"folder", [](const std::string& p) { mkdir(p.c_str(), 0755); }, std::strerror(EISDIR),
         false},
        {"link to /dev/zero", [](const std::string& p) { symlink("/dev/zero", p.c_str()); },
         "it is a character device, not a file", false},
        {"link to itself", [](const std::string& p) { symlink("mapcycle.txt", p.c_str()); },
         std::strerror(ELOOP), false},
        {"link to nothing", [](const std::string& p) { symlink("gone.txt", p.c_str()); },
         "it does not exist", true},
        {"nothing", [](const std::string&) {}, "it does not exist", true},
    };
    Form_Load(modList, windows, install.Path());
    ASSERT_EQ(Items(modList), Names{"valve"});

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        install.Write("valve/mapcycle.txt", "crossfire\r\nbounce");
        windows.messages.shown.clear();
        // Opened while the file was a plain one, then replaced under the open editor.
        Edit();
        ASSERT_TRUE(windows.messages.shown.empty());
        Lists().lstBSP.SetSelected(0, true);
        cmdMove_Click(Lists());
        const std::string edited = EditorState(Lists());
        unlink(CyclePath().c_str());
        row.replace(CyclePath());
        const std::string replaced = EntryKind(CyclePath());

        alarm(20); // an open or read that blocks ends the test run instead of hanging it
        cmdSave_Click(Lists(), windows.messages);
        if (row.saveWorks) {
            EXPECT_EQ(OnlyMessage().title, "Saved");
            EXPECT_EQ(TempFolder::Read(CyclePath()), "datacore\r\ncrossfire\r\nbounce\r\n");
        } else {
            EXPECT_EQ(OnlyMessage().title, "Cannot Save");
            EXPECT_NE(OnlyMessage().text.find(NativePath(MapCyclePath())), std::string::npos);
            EXPECT_EQ(EntryKind(CyclePath()), replaced);
        }
        EXPECT_EQ(EditorState(Lists()), edited);
        const Names left = TempFolder::Entries(install / "valve");
        EXPECT_TRUE(std::none_of(left.begin(), left.end(), [](const std::string& name) {
            return name[0] == '.';
        })) << "a temporary file was left behind";

        // Edit again from the chooser: the same thing is met on the way in.
        std::filesystem::remove_all(CyclePath());
        std::filesystem::remove(install / "valve/gone.txt"); // where the save followed the link
        row.replace(CyclePath());
        cmdClose_Click(windows, *windows.editor);
        windows.messages.shown.clear();
        Edit();
        alarm(0);
        EXPECT_EQ(OnlyMessage().title, "Cannot Continue");
        EXPECT_EQ(OnlyMessage().icon, MessageIcon::Critical);
        EXPECT_NE(OnlyMessage().text.find(NativePath(MapCyclePath())), std::string::npos);
        EXPECT_NE(OnlyMessage().text.find(row.editSays), std::string::npos) << OnlyMessage().text;
        EXPECT_FALSE(windows.editor->visible);
        EXPECT_TRUE(windows.chooser->visible);
        std::filesystem::remove_all(CyclePath());
    }
}

// Memory stays bounded by the limits: 16 MB of file, 32767 lines; what passes them is read
// and written back byte for byte.
TEST_F(Hostile, HugeAndOddCycleFiles) {
    struct Row {
        const char* name;
        std::function<void(const std::string&)> make;
        Names refusal; // all of these in the message, or empty when the file opens
    };
    const std::string longLine(10 * kMegabyte, 'x');
    const std::string withNuls("crossfire\0\r\n\0bounce\r\nde\0dust\r\n", 30);
    const Row rows[] = {
        {"100 MB",
         [](const std::string& p) { MakeSparse(p, 100 * kMegabyte); },
         {"File too large", "104857600 bytes (100 MB)", "at most 16777216 bytes (16 MB)"}},
        {"one byte over 16 MB",
         [](const std::string& p) { MakeSparse(p, kMaxCycleFileBytes + 1); },
         {"File too large", "16777217 bytes"}},
        {"16 MB of line ends",
         [](const std::string& p) { WriteFileAt(p, std::string(kMaxCycleFileBytes, '\r')); },
         {"Too many lines: it holds 16777216,", "at most 32767"}},
        {"one 10 MB line", [&](const std::string& p) { WriteFileAt(p, longLine); }, {}},
        {"NUL bytes", [&](const std::string& p) { WriteFileAt(p, withNuls); }, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        windows.messages.shown.clear();
        row.make(CyclePath());
        const auto size = std::filesystem::file_size(CyclePath());
        Edit();
        EXPECT_EQ(std::filesystem::file_size(CyclePath()), size);
        if (!row.refusal.empty()) {
            EXPECT_EQ(OnlyMessage().title, "Cannot Continue");
            for (const std::string& words : row.refusal) {
                EXPECT_NE(OnlyMessage().text.find(words), std::string::npos) << OnlyMessage().text;
            }
            EXPECT_FALSE(windows.editor->visible);
            EXPECT_EQ(Lists().lstMap.ListCount(), 0);
            continue;
        }
        ASSERT_TRUE(windows.messages.shown.empty()) << OnlyMessage().text;
        const std::string before = TempFolder::Read(CyclePath());
        EXPECT_EQ(Items(Lists().lstMap), SplitCycleLines(before));
        cmdSave_Click(Lists(), windows.messages);
        EXPECT_EQ(OnlyMessage().title, "Saved");
        EXPECT_EQ(TempFolder::Read(CyclePath()),
                  before.ends_with("\r\n") ? before : before + "\r\n");
        cmdClose_Click(windows, *windows.editor);
    }
}

TEST_F(Hostile, MapsFolderThatIsNoFolder) {
    struct Row {
        const char* name;
        std::function<void(const std::string&)> make;
        std::string says;
    };
    const Row rows[] = {
        {"a file", [](const std::string& p) { WriteFileAt(p, "not a folder"); },
         "No files present in: "},
        {"a link to itself", [](const std::string& p) { symlink("maps", p.c_str()); },
         std::strerror(ELOOP)},
        {"a link to /dev/zero", [](const std::string& p) { symlink("/dev/zero", p.c_str()); },
         "No files present in: "},
        {"a named pipe", [](const std::string& p) { mkfifo(p.c_str(), 0644); },
         "No files present in: "},
        {"nothing", [](const std::string&) {}, "No files present in: "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        windows.messages.shown.clear();
        std::filesystem::remove_all(install / "valve/maps");
        row.make(install / "valve/maps");
        alarm(20);
        Edit();
        alarm(0);
        EXPECT_EQ(OnlyMessage().title, "Cannot Continue");
        EXPECT_NE(OnlyMessage().text.find(row.says), std::string::npos) << OnlyMessage().text;
        EXPECT_FALSE(windows.editor->visible);
        EXPECT_EQ(TempFolder::Read(CyclePath()), "crossfire\r\nbounce");
    }
}

// Names are bytes: spaces and bytes that are no UTF-8 go through untouched. A backslash cannot
// be part of a name the program addresses (it joins paths with one), so such names are left out.
TEST(HostileNames, SpacesBytesAboveAsciiAndBackslashes) {
    TempFolder root;
    const std::string installName = "Half Life \xE9\xFF";
    root.MakeFolder(installName);
    MakeFolderAt(root / installName + "/my mod \xE9");
    const std::string install = root / installName;
    const std::string mod = "my mod \xE9";
    for (const char* map : {"de dust", "caf\xE9", "\xFF\xFE", "back\\slash", " space "}) {
        MakeFolderAt(install + "/" + mod + "/maps");
        WriteFileAt(install + "/" + mod + "/maps/" + map + ".bsp", "");
    }
    const std::string cycle = "de dust\r\nCAF\xE9\r\n\xFF\xFE\r\n";
    WriteFileAt(install + "/" + mod + "/mapcycle.txt", cycle);
    MakeFolderAt(install + "/back\\slash");
    WriteFileAt(install + "/back\\slash/mapcycle.txt", "crossfire\r\n");

    FakeWindowSystem windows;
    SelectableList modList(SelectionStyle::Single, false);
    Form_Load(modList, windows, install);
    EXPECT_EQ(Items(modList), Names{mod});
    modList.SetSelected(0, true);
    cmdEdit_Click(modList, windows);
    ASSERT_TRUE(windows.messages.shown.empty());
    EditorLists& lists = windows.editor->lists;
    // Letter case folds for ASCII letters only: "CAF\xE9" names "caf\xE9". The entry "de dust"
    // names the map "de", as the server reads it.
    EXPECT_EQ(Items(lists.lstBSP), (Names{" space ", "de dust"}));
    EXPECT_EQ(Items(lists.lstMap), (Names{"de dust", "CAF\xE9", "\xFF\xFE"}));
    lists.lstBSP.SetSelected(0, true);
    cmdMove_Click(lists);
    cmdSave_Click(lists, windows.messages);
    ASSERT_EQ(windows.messages.shown.size(), 1u);
    EXPECT_EQ(windows.messages.shown[0].title, "Saved");
    EXPECT_EQ(TempFolder::Read(install + "/" + mod + "/mapcycle.txt"), " space \r\n" + cycle);
}

TEST_F(Hostile, ModFolderWithoutReadPermission) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads every folder; the fault tests cover this with EACCES";
    }
    MakeMod(install, "cstrike", {"de_dust"}, "de_dust\r\n");
    chmod((install / "cstrike").c_str(), 0);
    Form_Load(modList, windows, install.Path());
    EXPECT_EQ(Items(modList), Names{"valve"});

    chmod((install / "valve").c_str(), 0);
    Edit();
    chmod((install / "valve").c_str(), 0755);
    EXPECT_EQ(OnlyMessage().title, "Cannot Continue");
    EXPECT_NE(OnlyMessage().text.find(std::strerror(EACCES)), std::string::npos);
    EXPECT_FALSE(windows.editor->visible);
}

// The Wine prefix's registry is read at start-up; whatever stands in its place, start-up ends
// and says it found no install, instead of blocking on a pipe or filling the memory.
TEST(HostileRegistry, WinePrefixFilesThatAreNoFiles) {
    struct Row {
        const char* name;
        std::function<void(const std::string&)> make;
    };
    const Row rows[] = {
        {"named pipe", [](const std::string& p) { mkfifo(p.c_str(), 0644); }},
        {"link to /dev/zero", [](const std::string& p) { symlink("/dev/zero", p.c_str()); }},
        {"folder", [](const std::string& p) { mkdir(p.c_str(), 0755); }},
        {"200 MB", [](const std::string& p) { MakeSparse(p, 200 * kMegabyte); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder prefix;
        TempFolder emptyHome; // no Steam folders to fall back on
        row.make(prefix / "system.reg");
        const ScopedEnv prefixVariable("WINEPREFIX", prefix.Path());
        const ScopedEnv homeVariable("HOME", emptyHome.Path());
        FakeWindowSystem windows;
        SelectableList modList(SelectionStyle::Single, false);
        alarm(20);
        Form_Load(modList, windows, std::nullopt);
        alarm(0);
        ASSERT_EQ(windows.messages.shown.size(), 1u);
        EXPECT_EQ(windows.messages.shown[0].title, "Cannot Start");
        EXPECT_EQ(windows.FormsCount(), 0);
    }
}

} // namespace
} // namespace rotaline
