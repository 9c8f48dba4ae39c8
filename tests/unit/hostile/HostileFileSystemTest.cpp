// Start-up, Edit and Save over hostile folders: what the user is told, and that nothing is lost.
#include "ScopedEnv.h"
#include "ValveInstall.h"
#include "core/cycle/MapCycleFile.h"

#include <cstring>

namespace rotaline::testing {
namespace {

constexpr const char* kCycle = "valve/mapcycle.txt";
constexpr const char* kMaps = "valve/maps";

// Puts at a path a named pipe ("|"), a folder ("/"), a link ("->target"), nothing (""), a
// sparse file of a size ("#size"), or a file of the bytes.
void Make(const std::string& path, const std::string& what) {
    if (what == "|" || what == "/") {
        what == "|" ? mkfifo(path.c_str(), 0644) : mkdir(path.c_str(), 0755);
    } else if (what.starts_with("->")) {
        symlink(what.c_str() + 2, path.c_str());
    } else if (what.starts_with("#")) {
        std::ofstream(path, std::ios::binary).seekp(std::stoll(what.substr(1)) - 1) << '\0';
    } else if (!what.empty()) {
        std::ofstream(path, std::ios::binary) << what;
    }
}

// Tells an entry from anything that took its place.
ino_t Entry(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

// Something in place of the cycle file or the maps folder. Edit says what it found (or, with
// nothing to say, opens the file and saves it back byte for byte) without hanging on a pipe or
// reading a device or a huge file without end. Put under an editor already open, the cycle's
// stand-in is left as it is by a save, which creates the file only where nothing is in the way.
struct Row {
    const char *name, *at;
    std::string what, says;
};

class Hostile : public ::testing::TestWithParam<Row>, protected ValveInstall {};

TEST_P(Hostile, EditSaysWhatItFoundAndSaveLeavesItAlone) {
    const Row& row = GetParam();
    const std::string path = install / row.at;
    if (row.at == std::string(kCycle) && !row.says.empty()) { // put under an open editor
        EditAndMove();
        std::filesystem::remove_all(path);
        Make(path, row.what);
        const ino_t made = Entry(path);
        const ShownMessage shown = Save();
        const bool creates = row.says == "it does not exist";
        EXPECT_EQ(shown.title, creates ? "Saved" : "Cannot Save");
        EXPECT_TRUE(creates ? ScratchFolder::Read(path) == kNewCycle
                            : Has(shown.text, path) && Entry(path) == made)
            << shown.text;
        EXPECT_EQ(ScratchFolder::Entries(install / "valve").size(),
                  row.what == "->gone.txt" ? 3u : 2u)
            << "a temporary file was left behind";
        cmdClose_Click(windows, *windows.editor);
        std::filesystem::remove(install / "valve/gone.txt"); // where the save followed the link
    }
    std::filesystem::remove_all(path);
    Make(path, row.what);
    const ino_t made = Entry(path);
    const ShownMessage shown = Edit();
    EXPECT_EQ(Entry(path), made);
    EXPECT_EQ(shown.title, row.says.empty() ? "" : "Cannot Continue");
    EXPECT_TRUE(Has(shown.text, row.says)) << shown.text;
    if (row.says.empty()) {
        EXPECT_EQ(Items(Lists().lstMap), SplitCycleLines(row.what));
        EXPECT_EQ(Save().title, "Saved");
        EXPECT_EQ(ScratchFolder::Read(path), row.what + "\r\n"); // its last line ended
    }
}

INSTANTIATE_TEST_SUITE_P(
    InPlaceOf, Hostile,
    ::testing::Values(
        Row{"CycleIsAPipe", kCycle, "|", "it is a named pipe, not a file"},
        Row{"CycleIsAFolder", kCycle, "/", std::strerror(EISDIR)},
        Row{"CycleLinksToDevZero", kCycle, "->/dev/zero", "it is a character device, not a file"},
        Row{"CycleLinksToItself", kCycle, "->mapcycle.txt", std::strerror(ELOOP)},
        Row{"CycleLinksToNothing", kCycle, "->gone.txt", "it does not exist"},
        Row{"NoCycle", kCycle, "", "it does not exist"},
        Row{"Cycle100MB", kCycle, "#104857600",
            "File too large: it holds 104857600 bytes (100 MB), and at most 16777216 bytes"},
        // The size limit itself is no obstacle: only the lines are too many.
        Row{"Cycle16MBOfLineEnds", kCycle, std::string(kMaxCycleFileBytes, '\r'),
            "Too many lines: it holds 16777216, and a cycle of at most 32767 maps"},
        Row{"CycleWithNulBytes", kCycle, std::string("ab\0\r\n\0bounce\r\nde\0dust", 22), ""},
        Row{"MapsIsAPipe", kMaps, "|", "No files present in: "},
        Row{"MapsLinksToItself", kMaps, "->maps", std::strerror(ELOOP)}),
    [](const auto& row) { return std::string(row.param.name); });

// The Wine prefix's registry is read at start-up; whatever stands in its place, start-up ends
// and says it found no install, instead of blocking on a pipe or filling the memory.
TEST(HostileRegistry, WinePrefixFilesThatAreNoFiles) {
    for (const char* what : {"|", "->/dev/zero", "/", "#209715200"}) {
        ScratchFolder prefix; // also the home, which has no Steam folders to fall back on
        Make(prefix / "system.reg", what);
        const ScopedEnv prefixVariable("WINEPREFIX", prefix.Path());
        const ScopedEnv homeVariable("HOME", prefix.Path());
        FakeWindowSystem windows;
        SelectableList modList(SelectionStyle::Single, false);
        EXPECT_EQ(Shown(windows, [&] { Form_Load(modList, windows, std::nullopt); }).title,
                  "Cannot Start")
            << what;
        EXPECT_EQ(windows.FormsCount(), 0);
    }
}

} // namespace
} // namespace rotaline::testing
