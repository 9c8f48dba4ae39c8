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

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace rotaline {
namespace {

using testing::FakeWindowSystem;
using Names = std::vector<std::string>;
using Make = std::function<void(const std::string&)>;

constexpr std::size_t kMegabyte = 1024 * 1024;
const Make kPipe = [](const std::string& p) { mkfifo(p.c_str(), 0644); };
const Make kFolder = [](const std::string& p) { mkdir(p.c_str(), 0755); };
const Make kNothing = [](const std::string&) {};
Make LinkTo(const char* target) {
    return [target](const std::string& p) { symlink(target, p.c_str()); };
}
Make Sparse(std::size_t size) { // its size without the disk space
    return [size](const std::string& p) {
        std::ofstream{p};
        std::filesystem::resize_file(p, size);
    };
}
Make Bytes(std::string bytes) {
    return [bytes](const std::string& p) { std::ofstream(p, std::ios::binary) << bytes; };
}

// What lstat says the entry is, to tell that a save left it alone.
std::string EntryKind(const std::string& path) {
    struct stat status {};
    char target[256] = {};
    return lstat(path.c_str(), &status) != 0 ? "nothing"
           : S_ISLNK(status.st_mode) && readlink(path.c_str(), target, 255) > 0
               ? std::string("link to ") + target
               : std::to_string(status.st_mode) + ", " + std::to_string(status.st_size);
}

class Hostile : public ::testing::Test {
protected:
    void SetUp() override {
        install.MakeFolder("valve");
        install.MakeFolder("valve/maps");
        for (const char* map : {"crossfire", "bounce", "datacore"}) {
            install.Write(std::string("valve/maps/") + map + ".bsp", "");
        }
        install.Write("valve/mapcycle.txt", "crossfire\r\nbounce");
        InstallPath = install.Path();
        windows.chooser->Show();
        modList.AddItem("valve");
        modList.SetSelected(0, true);
    }
    void Edit() {
        windows.messages.shown.clear();
        alarm(20); // an open or read that blocks ends the test run instead of hanging it
        cmdEdit_Click(modList, windows);
        alarm(0);
    }
    EditorLists& Lists() { return windows.editor->lists; }
    const testing::ShownMessage& OnlyMessage() {
        EXPECT_EQ(windows.messages.shown.size(), 1u);
        static const testing::ShownMessage none{"(no message)", "", MessageIcon::None};
        return windows.messages.shown.empty() ? none : windows.messages.shown.back();
    }
    void ExpectEditRefused(const std::string& says) {
        EXPECT_EQ(OnlyMessage().title, "Cannot Continue");
        EXPECT_EQ(OnlyMessage().icon, MessageIcon::Critical);
        EXPECT_NE(OnlyMessage().text.find(says), std::string::npos) << OnlyMessage().text;
        EXPECT_FALSE(windows.editor->visible);
        EXPECT_TRUE(windows.chooser->visible);
    }
    std::string CyclePath() const { return install / "valve/mapcycle.txt"; }

    TempFolder install;
    FakeWindowSystem windows;
    SelectableList modList{SelectionStyle::Single, false};
};

// Whatever took the cycle file's place under the open editor, Save leaves it as it is, without
// hanging on a pipe or reading a device without end, and Edit says what it found.
TEST_F(Hostile, CycleFileReplacedAfterOpening) {
    struct Row {
        const char* name;
        Make replace;
        std::string editSays;
        bool saveWorks; // a save may create the file where nothing is in the way
    };
    for (const Row& row : {
             Row{"named pipe", kPipe, "it is a named pipe, not a file", false},
             Row{"folder", kFolder, std::strerror(EISDIR), false},
             Row{"link to /dev/zero", LinkTo("/dev/zero"), "it is a character device, not a file",
                 false},
             Row{"link to itself", LinkTo("mapcycle.txt"), std::strerror(ELOOP), false},
             Row{"link to nothing", LinkTo("gone.txt"), "it does not exist", true},
             Row{"nothing", kNothing, "it does not exist", true},
         }) {
        SCOPED_TRACE(row.name);
        install.Write("valve/mapcycle.txt", "crossfire\r\nbounce");
        Edit();
        ASSERT_TRUE(windows.messages.shown.empty());
        Lists().lstBSP.SetSelected(0, true);
        cmdMove_Click(Lists());
        const std::string edited = EditorState(Lists());
        unlink(CyclePath().c_str());
        row.replace(CyclePath());
        const std::string replaced = EntryKind(CyclePath());

        alarm(20);
        cmdSave_Click(Lists(), windows.messages);
        alarm(0);
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
        EXPECT_TRUE(std::none_of(left.begin(), left.end(), [](const auto& n) {
            return n[0] == '.';
        })) << "a temporary file was left behind";

        std::filesystem::remove_all(CyclePath());
        std::filesystem::remove(install / "valve/gone.txt"); // where the save followed the link
        row.replace(CyclePath());
        cmdClose_Click(windows, *windows.editor);
        Edit();
        ExpectEditRefused(row.editSays);
        EXPECT_NE(OnlyMessage().text.find(NativePath(MapCyclePath())), std::string::npos);
        std::filesystem::remove_all(CyclePath());
    }
}

// Memory stays bounded by the limits, 16 MB of file and 32767 lines; what passes them is read
// and written back byte for byte.
TEST_F(Hostile, HugeAndOddCycleFiles) {
    struct Row {
        const char* name;
        Make make;
        Names refusal; // all of these in the message, or empty when the file opens
    };
    for (const Row& row : {
             Row{"100 MB",
                 Sparse(100 * kMegabyte),
                 {"File too large", "104857600 bytes (100 MB)", "at most 16777216 bytes (16 MB)"}},
             Row{"one byte over 16 MB",
                 Sparse(kMaxCycleFileBytes + 1),
                 {"File too large", "16777217 bytes"}},
             Row{"16 MB of line ends",
                 Bytes(std::string(kMaxCycleFileBytes, '\r')),
                 {"Too many lines: it holds 16777216,", "at most 32767"}},
             Row{"one 10 MB line", Bytes(std::string(10 * kMegabyte, 'x')), {}},
             Row{"NUL bytes",
                 Bytes(std::string("crossfire\0\r\n\0bounce\r\nde\0dust\r\n", 30)),
                 {}},
         }) {
        SCOPED_TRACE(row.name);
        row.make(CyclePath());
        const auto size = std::filesystem::file_size(CyclePath());
        Edit();
        EXPECT_EQ(std::filesystem::file_size(CyclePath()), size);
        if (!row.refusal.empty()) {
            for (const std::string& words : row.refusal) {
                ExpectEditRefused(words);
            }
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
    for (const auto& [name, make, says] :
         std::initializer_list<std::tuple<const char*, Make, std::string>>{
             {"a file", Bytes("not a folder"), "No files present in: "},
             {"a link to itself", LinkTo("maps"), std::strerror(ELOOP)},
             {"a link to /dev/zero", LinkTo("/dev/zero"), "No files present in: "},
             {"a named pipe", kPipe, "No files present in: "},
             {"nothing", kNothing, "No files present in: "},
         }) {
        SCOPED_TRACE(name);
        std::filesystem::remove_all(install / "valve/maps");
        make(install / "valve/maps");
        Edit();
        ExpectEditRefused(says);
        EXPECT_EQ(TempFolder::Read(CyclePath()), "crossfire\r\nbounce");
    }
}

// Names are bytes: spaces and bytes that are no UTF-8 go through untouched. A backslash cannot
// be part of a name the program addresses (it joins paths with one), so such names are left out.
TEST(HostileNames, SpacesBytesAboveAsciiAndBackslashes) {
    TempFolder root;
    const std::string install = root / "Half Life \xE9\xFF";
    const std::string mod = install + "/my mod \xE9";
    for (const std::string& folder : {install, mod, mod + "/maps", install + "/back\\slash"}) {
        mkdir(folder.c_str(), 0755);
    }
    for (const char* map : {"de dust", "caf\xE9", "\xFF\xFE", "back\\slash", " space "}) {
        Bytes("")(mod + "/maps/" + map + ".bsp");
    }
    const std::string cycle = "de dust\r\nCAF\xE9\r\n\xFF\xFE\r\n";
    Bytes(cycle)(mod + "/mapcycle.txt");
    Bytes("crossfire\r\n")(install + "/back\\slash/mapcycle.txt");

    FakeWindowSystem windows;
    SelectableList modList(SelectionStyle::Single, false);
    Form_Load(modList, windows, install);
    EXPECT_EQ(Items(modList), Names{"my mod \xE9"});
    modList.SetSelected(0, true);
    cmdEdit_Click(modList, windows);
    ASSERT_TRUE(windows.messages.shown.empty());
    EditorLists& lists = windows.editor->lists;
    // Letter case folds for ASCII letters only: "CAF\xE9" names "caf\xE9". The entry "de dust"
    // names the map "de", as the server reads it.
    EXPECT_EQ(Items(lists.lstBSP), (Names{" space ", "de dust"}));
    lists.lstBSP.SetSelected(0, true);
    cmdMove_Click(lists);
    cmdSave_Click(lists, windows.messages);
    EXPECT_EQ(TempFolder::Read(mod + "/mapcycle.txt"), " space \r\n" + cycle);
}

// The Wine prefix's registry is read at start-up; whatever stands in its place, start-up ends
// and says it found no install, instead of blocking on a pipe or filling the memory.
TEST(HostileRegistry, WinePrefixFilesThatAreNoFiles) {
    for (const Make& make : {kPipe, LinkTo("/dev/zero"), kFolder, Sparse(200 * kMegabyte)}) {
        TempFolder prefix;
        TempFolder emptyHome; // no Steam folders to fall back on
        make(prefix / "system.reg");
        const ScopedEnv prefixVariable("WINEPREFIX", prefix.Path());
        const ScopedEnv homeVariable("HOME", emptyHome.Path());
        FakeWindowSystem windows;
        SelectableList modList(SelectionStyle::Single, false);
        alarm(20);
        Form_Load(modList, windows, std::nullopt);
        alarm(0);
        ASSERT_EQ(windows.messages.shown.size(), 1u) << EntryKind(prefix / "system.reg");
        EXPECT_EQ(windows.messages.shown[0].title, "Cannot Start");
        EXPECT_EQ(windows.FormsCount(), 0);
    }
}

} // namespace
} // namespace rotaline
