// Start-up, Edit and Save over hostile folders: what the user is told, and that nothing is lost.
#include "ScopedEnv.h"
#include "ValveInstall.h"
#include "core/cycle/MapCycleFile.h"

#include <cstring>

namespace rotaline::testing {
namespace {

// Puts at a path, in place of what was there, a named pipe ("|"), a folder ("/"), a link
// ("->target"), nothing (""), a sparse file of a size ("#size"), or a file of the bytes.
void Make(const std::string& path, const std::string& what) {
    std::filesystem::remove_all(path);
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

// In place of the cycle, the maps folder or the Wine registry: Edit or start-up says what it
// found (or, with nothing to say, round-trips the file), never hanging on a pipe or reading without
// end; a save leaves the cycle's stand-in alone, creating the file only where nothing is.
using Row = std::tuple<std::string, std::string, std::string>; // name, what, says

class InPlaceOf : public ::testing::TestWithParam<Row>, protected ValveInstall {};

TEST_P(InPlaceOf, EditOrStartUpSaysWhatItFoundAndSaveLeavesItAlone) {
    const auto& [name, what, says] = GetParam();
    if (name.starts_with("Registry")) {
        Make(install / "system.reg", what);
        const ScopedEnv prefix("WINEPREFIX", install.Path()), home("HOME", install.Path());
        EXPECT_EQ(Shown([&] { Form_Load(modList, windows, std::nullopt); }).title, says);
        EXPECT_EQ(windows.FormsCount(), 0);
        return;
    }
    const std::string path =
        install / (name.starts_with('M') ? "valve/maps" : "valve/mapcycle.txt");
    if (name.starts_with("Cycle") && !says.empty()) { // put under an open editor
        EditAndMove();
        Make(path, what);
        const ino_t made = Entry(path);
        const ShownMessage shown = Save();
        const bool creates = says == "it does not exist";
        EXPECT_EQ(shown.title, creates ? "Saved" : "Cannot Save");
        EXPECT_TRUE(creates ? ScratchFolder::Read(path) == kNewCycle
                            : Has(shown.text, path) && Entry(path) == made)
            << shown.text;
        cmdClose_Click(windows, *windows.editor);
        std::filesystem::remove(install / "valve/gone.txt"); // where the save followed the link
    }
    Make(path, what);
    const ino_t made = Entry(path);
    const ShownMessage shown = Edit();
    EXPECT_EQ(Entry(path), made);
    EXPECT_EQ(shown.title, says.empty() ? "" : "Cannot Continue");
    EXPECT_TRUE(Has(shown.text, says)) << shown.text;
    if (says.empty()) {
        EXPECT_EQ(Items(Lists().lstMap), SplitCycleLines(what));
        EXPECT_EQ(Save().title, "Saved");
        EXPECT_EQ(ScratchFolder::Read(path), what + "\r\n"); // its last line ended
    }
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, InPlaceOf,
    ::testing::Values(
        Row{"CycleIsAPipe", "|", "it is a named pipe, not a file"},
        Row{"CycleIsAFolder", "/", std::strerror(EISDIR)},
        Row{"CycleLinksToDevZero", "->/dev/zero", "it is a character device, not a file"},
        Row{"CycleLinksToItself", "->mapcycle.txt", std::strerror(ELOOP)},
        Row{"CycleLinksToNothing", "->gone.txt", "it does not exist"},
        Row{"CycleMissing", "", "it does not exist"},
        Row{"Cycle100MB", "#104857600",
            "File too large: it holds 104857600 bytes (100 MB), and at most 16777216 bytes"},
        // The size limit itself is no obstacle: only the lines are too many.
        Row{"Cycle16MBOfLineEnds", std::string(kMaxCycleFileBytes, '\r'),
            "Too many lines: it holds 16777216, and a cycle of at most 32767 maps"},
        Row{"CycleWithNulBytes", std::string("ab\0\r\n\0bounce\r\nde\0dust", 22), ""},
        Row{"MapsIsAPipe", "|", "No files present in: "},
        Row{"MapsLinksToItself", "->maps", std::strerror(ELOOP)},
        Row{"RegistryIsAPipe", "|", "Cannot Start"},
        Row{"RegistryLinksToDevZero", "->/dev/zero", "Cannot Start"},
        Row{"RegistryIsAFolder", "/", "Cannot Start"},
        Row{"Registry200MB", "#209715200", "Cannot Start"}),
    [](const auto& row) { return std::get<0>(row.param); });

} // namespace
} // namespace rotaline::testing
