// Start-up, Edit and Save over hostile folders: what the user is told, and that nothing is lost.
#include "ScopedEnv.h"
#include "core/FakeWindowSystem.h"
#include "core/cycle/MapCycleFile.h"
#include "core/lists/EditingOperations.h"
#include "core/session/Globals.h"
#include "core/session/OpenMod.h"
#include "core/session/SaveAndReturn.h"
#include "core/session/Startup.h"
#include "lists/ListText.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
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

// What lstat says the entry is, to tell that nothing changed it.
std::string EntryKind(const std::string& path) {
    struct stat status {};
    char target[256] = {};
    return lstat(path.c_str(), &status) != 0 ? "nothing"
           : S_ISLNK(status.st_mode) && readlink(path.c_str(), target, 255) > 0
               ? std::string("link to ") + target
               : std::to_string(status.st_mode) + ", " + std::to_string(status.st_size);
}

// Something in place of the cycle file or the maps folder. Edit says what it found (or, with
// nothing to say, opens the file and saves it back byte for byte) without hanging on a pipe or
// reading a device or a huge file without end. Put under an editor already open, a save leaves
// it as it is, or creates the file where nothing is in the way.
struct Row {
    const char* name;
    const char* at;
    Make make;
    std::string says;
    enum { NotSavedOver, LeftAlone, Created } save = NotSavedOver;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class Hostile : public ::testing::TestWithParam<Row> {
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
    // Runs `action` with the messages cleared; one that blocks ends the run instead of hanging.
    const testing::ShownMessage& Shown(const std::function<void()>& action) {
        windows.messages.shown.clear();
        alarm(20);
        action();
        alarm(0);
        static const testing::ShownMessage none{}; // its title is empty
        return windows.messages.shown.empty() ? none : windows.messages.shown.back();
    }
    void Edit() { cmdEdit_Click(modList, windows); }
    void Save() { cmdSave_Click(windows.editor->lists, windows.messages); }

    TempFolder install;
    FakeWindowSystem windows;
    SelectableList modList{SelectionStyle::Single, false};
};

TEST_P(Hostile, EditSaysWhatItFoundAndSaveLeavesItAlone) {
    const Row& row = GetParam();
    const std::string path = install / row.at;
    const std::string cycle = install / "valve/mapcycle.txt";
    if (row.save != Row::NotSavedOver) {
        ASSERT_EQ(Shown([&] { Edit(); }).title, "");
        windows.editor->lists.lstBSP.SetSelected(0, true);
        cmdMove_Click(windows.editor->lists);
        const std::string edited = EditorState(windows.editor->lists);
        std::filesystem::remove(path);
        row.make(path);
        const std::string replaced = EntryKind(path);
        const testing::ShownMessage shown = Shown([&] { Save(); });
        if (row.save == Row::Created) {
            EXPECT_EQ(shown.title, "Saved");
            EXPECT_EQ(TempFolder::Read(path), "datacore\r\ncrossfire\r\nbounce\r\n");
        } else {
            EXPECT_EQ(shown.title, "Cannot Save");
            EXPECT_NE(shown.text.find(cycle), std::string::npos) << shown.text;
            EXPECT_EQ(EntryKind(path), replaced);
        }
        EXPECT_EQ(EditorState(windows.editor->lists), edited);
        const Names left = TempFolder::Entries(install / "valve");
        EXPECT_TRUE(std::none_of(left.begin(), left.end(), [](const auto& n) {
            return n[0] == '.';
        })) << "a temporary file was left behind";
        cmdClose_Click(windows, *windows.editor);
        std::filesystem::remove(install / "valve/gone.txt"); // where the save followed the link
    }
    std::filesystem::remove_all(path);
    row.make(path);
    const std::string made = EntryKind(path);
    const testing::ShownMessage shown = Shown([&] { Edit(); });
    EXPECT_EQ(EntryKind(path), made);
    if (!row.says.empty()) {
        EXPECT_EQ(shown.title, "Cannot Continue");
        EXPECT_EQ(shown.icon, MessageIcon::Critical);
        EXPECT_NE(shown.text.find(row.says), std::string::npos) << shown.text;
        EXPECT_FALSE(windows.editor->visible);
        EXPECT_TRUE(windows.chooser->visible);
        return;
    }
    ASSERT_EQ(shown.title, "") << shown.text;
    const std::string before = TempFolder::Read(cycle);
    EXPECT_EQ(Items(windows.editor->lists.lstMap), SplitCycleLines(before));
    EXPECT_EQ(Shown([&] { Save(); }).title, "Saved");
    EXPECT_EQ(TempFolder::Read(cycle), before.ends_with("\r\n") ? before : before + "\r\n");
}

constexpr const char* kCycle = "valve/mapcycle.txt";
constexpr const char* kMaps = "valve/maps";
const std::string kNoMaps = "No files present in: ";

INSTANTIATE_TEST_SUITE_P(
    InPlaceOf, Hostile,
    ::testing::Values(
        Row{"CycleIsAPipe", kCycle, kPipe, "it is a named pipe, not a file", Row::LeftAlone},
        Row{"CycleIsAFolder", kCycle, kFolder, std::strerror(EISDIR), Row::LeftAlone},
        Row{"CycleLinksToDevZero", kCycle, LinkTo("/dev/zero"),
            "it is a character device, not a file", Row::LeftAlone},
        Row{"CycleLinksToItself", kCycle, LinkTo("mapcycle.txt"), std::strerror(ELOOP),
            Row::LeftAlone},
        Row{"CycleLinksToNothing", kCycle, LinkTo("gone.txt"), "it does not exist", Row::Created},
        Row{"NoCycle", kCycle, kNothing, "it does not exist", Row::Created},
        Row{"Cycle100MB", kCycle, Sparse(100 * kMegabyte),
            "File too large: it holds 104857600 bytes (100 MB), and at most 16777216 bytes (16 "
            "MB)"},
        Row{"CycleOneByteOver16MB", kCycle, Sparse(kMaxCycleFileBytes + 1),
            "File too large: it holds 16777217 bytes"},
        Row{"Cycle16MBOfLineEnds", kCycle, Bytes(std::string(kMaxCycleFileBytes, '\r')),
            "Too many lines: it holds 16777216, and a cycle of at most 32767 maps"},
        Row{"CycleOf10MBOnOneLine", kCycle, Bytes(std::string(10 * kMegabyte, 'x')), ""},
        Row{"CycleWithNulBytes", kCycle,
            Bytes(std::string("crossfire\0\r\n\0bounce\r\nde\0dust\r\n", 30)), ""},
        Row{"MapsIsAFile", kMaps, Bytes("not a folder"), kNoMaps},
        Row{"MapsLinksToItself", kMaps, LinkTo("maps"), std::strerror(ELOOP)},
        Row{"MapsLinksToDevZero", kMaps, LinkTo("/dev/zero"), kNoMaps},
        Row{"MapsIsAPipe", kMaps, kPipe, kNoMaps}, Row{"NoMaps", kMaps, kNothing, kNoMaps}),
    [](const auto& row) { return std::string(row.param.name); });

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
