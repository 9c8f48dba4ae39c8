// Start-up, Edit and Save with each file system call failing in turn: the old cycle or all of
// the new one, a message naming the file and the reason, and nothing left behind.
#include "FaultyFileSystem.h"
#include "ValveInstall.h"
#include "core/platform/Paths.h"
#include "core/session/Startup.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

namespace rotaline::testing {
namespace {

using Names = std::vector<std::string>;
class Failing : public ::testing::Test, protected ValveInstall {};

// What cannot be read in a mod folder might be anything: that mod is not offered. What cannot
// be read in the install folder is reported. A failing closedir loses nothing.
TEST_F(Failing, StartUpLeavesOutAModItCannotReadAndReportsTheInstallFolder) {
    FailEachCallInTurn([&](FaultyFileSystem& faults) {
        FakeWindowSystem started;
        SelectableList mods(SelectionStyle::Single, false);
        Form_Load(mods, started, install.Path());
        const bool lost = faults.fired && faults.calls[faults.failAt - 1] != "closedir";
        const std::string path = lost ? faults.paths[faults.failAt - 1] + "/" : "";
        Names expected = path == install / "" ? Names{} : Names{"cstrike", "valve"};
        std::erase_if(expected, [&](auto& mod) { return path.starts_with(install / mod + "/"); });
        ASSERT_EQ(started.messages.shown.size(), expected.empty() ? 1u : 0u);
        EXPECT_TRUE(!expected.empty() ||
                    (started.messages.shown[0].title == "Cannot Continue" &&
                     Has(started.messages.shown[0].text, strerror(faults.error))));
        Names offered = Items(mods);
        std::sort(offered.begin(), offered.end());
        EXPECT_EQ(offered, expected);
        EXPECT_EQ(started.FormsCount(), 1);
    });
}

// A call Edit cannot do without stops it with a message naming the reason and the path, and
// leaves the chooser usable; a failing close loses nothing, and a map whose kind cannot be
// told is left out, as a broken link is.
TEST_F(Failing, EditReportsWhatItCannotReadAndTheChooserStaysUsable) {
    FailEachCallInTurn([&](FaultyFileSystem& faults) {
        const ShownMessage shown = Edit();
        const std::string call = faults.fired ? faults.calls[faults.failAt - 1] : "";
        if (!call.empty() && faults.error != EINTR && call != "fstatat" &&
            !call.starts_with("close")) {
            EXPECT_EQ(shown.title, "Cannot Continue");
            const std::string& path = faults.paths[faults.failAt - 1];
            EXPECT_TRUE(Has(shown.text, std::strerror(faults.error)) &&
                        Has(shown.text, path.empty() ? NativePath(MapCyclePath()) : path))
                << shown.text;
            EXPECT_TRUE(windows.chooser->visible && !windows.editor->visible);
            EXPECT_EQ(Lists().lstBSP.ListCount() + Lists().lstMap.ListCount(), 0);
            EXPECT_EQ(Lists().Label2.Text(), "Map Cycle File");
            faults.failAt = 0; // the disk behaves again
            EXPECT_EQ(Edit().title, "");
        } else {
            EXPECT_EQ(shown.title, "") << shown.text;
        }
        EXPECT_TRUE(windows.editor->visible && !windows.chooser->visible);
        EXPECT_EQ(Items(Lists().lstBSP),
                  (call == "fstatat" ? Names{"datacore"} : Names{"datacore", "linked"}));
        EXPECT_EQ(Items(Lists().lstMap), (Names{"CrossFire", "bounce 30"}));
        cmdClose_Click(windows, *windows.editor);
    });
}

// The cycle as a plain file, a link to a file in another folder (the save writes next to its
// target), another user's file (whose owner the save hands on), on a file system without
// unnamed files (a named temporary file then), or with a second hard link (written in place).
class FailingSave : public ::testing::TestWithParam<std::string>, protected ValveInstall {
protected:
    bool Is(const char* cycle) const { return GetParam() == cycle; }
    std::string Cycle() const {
        return install / (Is("LinkToAnotherFolder") ? "shared/cycle.txt" : "valve/mapcycle.txt");
    }
    void SetUp() override {
        if (Is("LinkToAnotherFolder")) {
            install.MakeFolder("shared");
            std::filesystem::rename(install / "valve/mapcycle.txt", Cycle());
            symlink("../shared/cycle.txt", (install / "valve/mapcycle.txt").c_str());
        }
        chmod(Cycle().c_str(), 0640);
        if (Is("OwnedByAnotherUser") && chown(Cycle().c_str(), 65534, 65534) != 0) {
            GTEST_SKIP() << "only root can give a file to another user";
        }
        ASSERT_TRUE(!Is("SecondHardLink") || link(Cycle().c_str(), (install / "2").c_str()) == 0);
        EditAndMove();
        edited = EditorState(Lists());
    }
    // Saves over the old cycle; true when the save said so. A failure names the file, and
    // either way the file holds one whole cycle, keeps its owner and mode, and is alone.
    bool SaveAndCheck(FaultyFileSystem& faults) {
        std::ofstream(Cycle(), std::ios::binary) << kOldCycle;
        Lists().cycleFileBytes = kOldCycle;
        faults.noUnnamed = Is("WithoutUnnamedFiles");
        const ShownMessage shown = Save();
        const bool saved = shown.title == "Saved";
        EXPECT_TRUE(saved ||
                    (shown.title == "Cannot Save" && Has(shown.text, NativePath(MapCyclePath())) &&
                     (faults.stallWrites || Has(shown.text, strerror(faults.error)))))
            << shown.text;
        EXPECT_EQ(TempFolder::Read(Cycle()), saved ? kNewCycle : kOldCycle);
        struct stat status {};
        stat(Cycle().c_str(), &status);
        EXPECT_EQ(status.st_uid, Is("OwnedByAnotherUser") ? 65534 : geteuid());
        EXPECT_EQ(status.st_mode & 07777, 0640u);
        EXPECT_EQ(status.st_nlink, Is("SecondHardLink") ? 2u : 1u);
        EXPECT_EQ(TempFolder::Entries(Cycle().substr(0, Cycle().rfind('/'))).size(),
                  Is("LinkToAnotherFolder") ? 1u : 2u)
            << "a temporary file was left behind";
        EXPECT_EQ(EditorState(Lists()), edited);
        return saved;
    }

    std::string edited;
};

// Up to the rename, or the flush of the file written in place, a save may fail (or find
// another way); after it the new cycle is there, and a failure would be untrue. So would one
// for closing the file read to compare it with the editor's, or for an interrupted call.
TEST_P(FailingSave, EveryFailingCallLeavesTheOldCycleOrTheWholeNewOne) {
    std::ptrdiff_t commit = 0;
    std::ptrdiff_t compared = 0;
    FailEachCallInTurn([&](FaultyFileSystem& faults) {
        const bool saved = SaveAndCheck(faults);
        const auto at = static_cast<std::ptrdiff_t>(faults.failAt) - 1;
        const std::vector<std::string>& calls = faults.calls;
        const auto find = [&](const char* call) {
            return std::find(calls.begin(), calls.end(), call) - calls.begin();
        };
        if (at < 0) { // the rename, or the last flush, and the call that makes the new file
            const auto fsync = std::find(calls.rbegin(), calls.rend(), "fsync").base() - 1;
            commit = std::min(find("rename"), fsync - calls.begin());
            compared = find("close");
            EXPECT_LT(find(Is("SecondHardLink")        ? "ftruncate"
                           : Is("WithoutUnnamedFiles") ? "mkostemp"
                                                       : "linkat"),
                      std::ssize(calls));
        }
        EXPECT_TRUE(saved || (at >= 0 && at <= commit && at != compared && faults.error != EINTR));
    });
    // A device that takes no more bytes fails the save instead of being retried for ever.
    FaultyFileSystem faults;
    faults.stallWrites = true;
    EXPECT_FALSE(SaveAndCheck(faults));
    EXPECT_LT(faults.stalls, 1000) << "the save kept retrying a write that made no progress";
}

INSTANTIATE_TEST_SUITE_P(Cycle, FailingSave,
                         ::testing::Values("PlainFile", "LinkToAnotherFolder", "OwnedByAnotherUser",
                                           "WithoutUnnamedFiles", "SecondHardLink"),
                         [](const auto& row) { return row.param; });

} // namespace
} // namespace rotaline::testing
