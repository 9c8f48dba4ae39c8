// Start-up, Edit and Save over hostile folders: what the user is told, and that nothing is lost.
#include "ScopedEnv.h"
#include "ValveInstall.h"
#include "core/cycle/MapCycleFile.h"
#include "core/session/Startup.h"

#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace rotaline::testing {
namespace {

using Names = std::vector<std::string>;

// Puts at a path a named pipe ("|"), a folder ("/"), a link ("->target"), nothing (""), a
// sparse file of a size ("#size"), or a file of the bytes.
void Make(const std::string& path, const std::string& what) {
    if (what == "|" || what == "/") {
        what == "|" ? mkfifo(path.c_str(), 0644) : mkdir(path.c_str(), 0755);
    } else if (what.starts_with("->")) {
        symlink(what.c_str() + 2, path.c_str());
    } else if (what.starts_with("#")) {
        std::ofstream{path};
        std::filesystem::resize_file(path, std::stoull(what.substr(1)));
    } else if (!what.empty()) {
        std::ofstream(path, std::ios::binary) << what;
    }
}

// Tells an entry from anything that took its place.
std::string Entry(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) != 0
               ? "nothing"
               : std::to_string(status.st_ino) + " " + std::to_string(status.st_mode) + " " +
                     std::to_string(status.st_size);
}

// Something in place of the cycle file or the maps folder. Edit says what it found (or, with
// nothing to say, opens the file and saves it back byte for byte) without hanging on a pipe or
// reading a device or a huge file without end. Put under an editor already open, the cycle's
// stand-in is left as it is by a save, which creates the file only where nothing is in the way.
struct Row {
    const char* name;
    const char* at;
    std::string what;
    std::string says;
};

class Hostile : public ::testing::TestWithParam<Row>, protected ValveInstall {};

TEST_P(Hostile, EditSaysWhatItFoundAndSaveLeavesItAlone) {
    const Row& row = GetParam();
    const std::string path = install / row.at;
    if (row.at == std::string("valve/mapcycle.txt") && !row.says.empty()) {
        EditAndMove();
        const std::string edited = EditorState(Lists());
        std::filesystem::remove(path);
        Make(path, row.what);
        const std::string replaced = Entry(path);
        const ShownMessage shown = Save();
        const bool creates = row.says == "it does not exist";
        EXPECT_EQ(shown.title, creates ? "Saved" : "Cannot Save");
        EXPECT_TRUE(creates ? TempFolder::Read(path) == kNewCycle
                            : Has(shown.text, path) && Entry(path) == replaced)
            << shown.text;
        EXPECT_EQ(EditorState(Lists()), edited);
        EXPECT_EQ(TempFolder::Entries(install / "valve").size(), row.what == "->gone.txt" ? 3u : 2u)
            << "a temporary file was left behind";
        cmdClose_Click(windows, *windows.editor);
    }
    std::filesystem::remove_all(path);
    std::filesystem::remove(install / "valve/gone.txt"); // where the save followed the link
    Make(path, row.what);
    const std::string made = Entry(path);
    const ShownMessage shown = Edit();
    EXPECT_EQ(Entry(path), made);
    if (!row.says.empty()) {
        EXPECT_EQ(shown.title, "Cannot Continue");
        EXPECT_TRUE(Has(shown.text, row.says)) << shown.text;
        EXPECT_TRUE(windows.chooser->visible && !windows.editor->visible);
        return;
    }
    ASSERT_EQ(shown.title, "") << shown.text;
    const std::string before = TempFolder::Read(path);
    EXPECT_EQ(Items(Lists().lstMap), SplitCycleLines(before));
    EXPECT_EQ(Save().title, "Saved");
    EXPECT_EQ(TempFolder::Read(path), before.ends_with("\r\n") ? before : before + "\r\n");
}

const std::string kNoMaps = "No files present in: ";
const std::string kMaxBytes = std::to_string(kMaxCycleFileBytes);

INSTANTIATE_TEST_SUITE_P(
    InPlaceOf, Hostile,
    ::testing::Values(
        Row{"CycleIsAPipe", "valve/mapcycle.txt", "|", "it is a named pipe, not a file"},
        Row{"CycleIsAFolder", "valve/mapcycle.txt", "/", std::strerror(EISDIR)},
        Row{"CycleLinksToDevZero", "valve/mapcycle.txt", "->/dev/zero",
            "it is a character device, not a file"},
        Row{"CycleLinksToItself", "valve/mapcycle.txt", "->mapcycle.txt", std::strerror(ELOOP)},
        Row{"CycleLinksToNothing", "valve/mapcycle.txt", "->gone.txt", "it does not exist"},
        Row{"NoCycle", "valve/mapcycle.txt", "", "it does not exist"},
        Row{"Cycle100MB", "valve/mapcycle.txt", "#104857600",
            "File too large: it holds 104857600 bytes (100 MB), and at most " + kMaxBytes +
                " bytes (16 MB)"},
        Row{"CycleOneByteOver16MB", "valve/mapcycle.txt", "#16777217", "16777217 bytes (16 MB)"},
        Row{"Cycle16MBOfLineEnds", "valve/mapcycle.txt", std::string(kMaxCycleFileBytes, '\r'),
            "Too many lines: it holds " + kMaxBytes + ", and a cycle of at most 32767 maps"},
        Row{"CycleOf10MBOnOneLine", "valve/mapcycle.txt", std::string(10 << 20, 'x'), ""},
        Row{"CycleWithNulBytes", "valve/mapcycle.txt",
            std::string("crossfire\0\r\n\0bounce\r\nde\0dust\r\n", 30), ""},
        Row{"MapsIsAFile", "valve/maps", "not a folder", kNoMaps},
        Row{"MapsLinksToItself", "valve/maps", "->maps", std::strerror(ELOOP)},
        Row{"MapsLinksToDevZero", "valve/maps", "->/dev/zero", kNoMaps},
        Row{"MapsIsAPipe", "valve/maps", "|", kNoMaps}, Row{"NoMaps", "valve/maps", "", kNoMaps}),
    [](const auto& row) { return std::string(row.param.name); });

// Names are bytes: spaces and bytes that are no UTF-8 go through untouched. A backslash cannot
// be part of a name the program addresses (it joins paths with one), so such names are left out.
TEST(HostileNames, SpacesBytesAboveAsciiAndBackslashes) {
    TempFolder root;
    const std::string install = root / "Half Life \xE9\xFF";
    const std::string mod = install + "/my mod \xE9";
    for (const std::string& folder : {install, mod, mod + "/maps", install + "/back\\slash"}) {
        Make(folder, "/");
    }
    for (const char* map : {"de dust", "caf\xE9", "\xFF\xFE", "back\\slash", " space "}) {
        Make(mod + "/maps/" + map + ".bsp", "bsp");
    }
    const std::string cycle = "de dust\r\nCAF\xE9\r\n\xFF\xFE\r\n";
    Make(mod + "/mapcycle.txt", cycle);
    Make(install + "/back\\slash/mapcycle.txt", "crossfire\r\n");
    FakeWindowSystem windows;
    SelectableList modList(SelectionStyle::Single, false);
    Form_Load(modList, windows, install);
    EXPECT_EQ(Items(modList), Names{"my mod \xE9"});
    modList.SetSelected(0, true);
    cmdEdit_Click(modList, windows);
    ASSERT_TRUE(windows.messages.shown.empty());
    // Letter case folds for ASCII letters only: "CAF\xE9" names "caf\xE9". The entry "de dust"
    // names the map "de", as the server reads it.
    EXPECT_EQ(Items(windows.editor->lists.lstBSP), (Names{" space ", "de dust"}));
    windows.editor->lists.lstBSP.SetSelected(0, true);
    cmdMove_Click(windows.editor->lists);
    cmdSave_Click(windows.editor->lists, windows.messages);
    EXPECT_EQ(TempFolder::Read(mod + "/mapcycle.txt"), " space \r\n" + cycle);
}

// The Wine prefix's registry is read at start-up; whatever stands in its place, start-up ends
// and says it found no install, instead of blocking on a pipe or filling the memory.
TEST(HostileRegistry, WinePrefixFilesThatAreNoFiles) {
    for (const char* what : {"|", "->/dev/zero", "/", "#209715200"}) {
        TempFolder prefix;
        TempFolder emptyHome; // no Steam folders to fall back on
        Make(prefix / "system.reg", what);
        const ScopedEnv prefixVariable("WINEPREFIX", prefix.Path());
        const ScopedEnv homeVariable("HOME", emptyHome.Path());
        FakeWindowSystem windows;
        SelectableList modList(SelectionStyle::Single, false);
        alarm(20);
        Form_Load(modList, windows, std::nullopt);
        alarm(0);
        ASSERT_EQ(windows.messages.shown.size(), 1u) << what;
        EXPECT_EQ(windows.messages.shown[0].title, "Cannot Start");
        EXPECT_EQ(windows.FormsCount(), 0);
    }
}

} // namespace
} // namespace rotaline::testing
