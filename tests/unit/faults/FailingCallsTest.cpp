// Start-up, Edit and Save with each file system call failing in turn.
#include "FaultyFileSystem.h"
#include "ValveInstall.h"
#include "core/platform/Paths.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace rotaline::testing {
namespace {

// Runs `run` as the calls are, then with each of them failing in turn as on a real system, on a
// disk that moves 3 bytes per read or write so that each can fail halfway.
template <typename Run> void FailEachCallInTurn(Run run) {
    const std::map<std::string, std::vector<int>> ways{{"", {0}},
                                                       {"Read", {EIO, EINTR}},
                                                       {"Write", {ENOSPC, EINTR}},
                                                       {"Fchown", {EPERM, EIO}},
                                                       {"LinkUnnamed", {ENOENT, EEXIST, ENOSPC}},
                                                       {"Open", {EACCES, ELOOP}},
                                                       {"Rename", {EACCES, EBUSY, ENOSPC}}};
    std::vector<std::string> calls{""};
    for (std::size_t at = 0; at < calls.size(); ++at) {
        for (int error : ways.contains(calls[at]) ? ways.at(calls[at]) : std::vector{EACCES, EIO}) {
            SCOPED_TRACE(calls[at] + " #" + std::to_string(at) + ": " + std::strerror(error));
            FaultyFileSystem faults(at, error);
            faults.maxRead = faults.maxWrite = 3;
            run(faults);
            calls = at == 0 ? faults.calls : calls;
            ASSERT_EQ(faults.failed, calls[at]);
        }
    }
}

class Failing : public ::testing::Test, protected ValveInstall {};

// Start-up leaves out a mod it cannot read, and Edit reports (with reason and path) what it cannot
// do without. A failing close loses nothing; a map whose kind cannot be told is left out.
TEST_F(Failing, StartUpAndEditReportWhatTheyCannotReadAndTheChooserStaysUsable) {
    FailEachCallInTurn([&](FaultyFileSystem& faults) {
        const ShownMessage started = Shown([&] { Form_Load(modList, windows, install.Path()); });
        const std::string& call = faults.failed; // as the calls are made
        const std::string& path = faults.failedPath;
        EXPECT_EQ(windows.FormsCount(), 1);
        if (!call.empty() && call != "Closedir") { // start-up lost something
            Names mods = path == install.Path() ? Names{} : Names{"cstrike", "valve"};
            std::erase_if(mods,
                          [&](auto& m) { return (path + "/").starts_with(install / m + "/"); });
            EXPECT_EQ(Items(modList), mods);
            EXPECT_EQ(started.title, mods.empty() ? "Cannot Continue" : "");
            EXPECT_TRUE(Has(started.text, mods.empty() ? strerror(faults.error) : ""));
            return;
        }
        modList.SetSelected(1, true); // "valve"
        const ShownMessage shown = Edit();
        const bool reported = !call.empty() && faults.error != EINTR && call != "Fstatat" &&
                              !call.starts_with("Close");
        EXPECT_EQ(shown.title, reported ? "Cannot Continue" : "") << shown.text;
        if (reported) {
            EXPECT_TRUE(Has(shown.text, std::strerror(faults.error)) &&
                        Has(shown.text, path.empty() ? NativePath(MapCyclePath()) : path))
                << shown.text;
            EXPECT_TRUE(windows.chooser->visible && !windows.editor->visible);
            faults.failAt = 0; // the disk behaves again
            EXPECT_EQ(Edit().title, "");
        }
        EXPECT_TRUE(windows.editor->visible && !windows.chooser->visible);
        EXPECT_EQ(Items(Lists().lstBSP),
                  (call == "Fstatat" ? Names{"datacore"} : Names{"datacore", "linked"}));
        EXPECT_EQ(Items(Lists().lstMap), (Names{"CrossFire", "bounce 30"}));
        cmdClose_Click(windows, *windows.editor);
    });
}

class FailingSave : public ::testing::TestWithParam<std::string>, protected ValveInstall {
protected:
    bool Is(const char* row) const { return GetParam() == row; }
    void SetUp() override {
        if (Is("LinkToAnotherFolder")) { // to the cycle of "cstrike"
            std::filesystem::remove(cycle);
            symlink("../cstrike/mapcycle.txt", cycle.c_str());
            cycle = install / "cstrike/mapcycle.txt";
        }
        chmod(cycle.c_str(), 0640);
        if (Is("OwnedByAnotherUser") && chown(cycle.c_str(), 65534, 65534) != 0) {
            GTEST_SKIP() << "only root can give a file to another user";
        }
        ASSERT_TRUE(!Is("SecondHardLink") || link(cycle.c_str(), (install / "2").c_str()) == 0);
        EditAndMove();
        edited = EditorState(Lists());
    }
    // Saves; true if it said so. Either way: one whole cycle, owner, mode and links kept, alone.
    bool SaveAndCheck(FaultyFileSystem& faults) {
        std::ofstream(cycle, std::ios::binary) << kOldCycle;
        Lists().cycleFileBytes = kOldCycle;
        faults.noUnnamed = Is("WithoutUnnamedFiles");
        const ShownMessage shown = Save();
        const bool saved = shown.title == "Saved";
        EXPECT_TRUE(saved ||
                    (shown.title == "Cannot Save" && Has(shown.text, NativePath(MapCyclePath())) &&
                     Has(shown.text, strerror(faults.error))))
            << shown.text;
        EXPECT_EQ(ScratchFolder::Read(cycle), saved ? kNewCycle : kOldCycle);
        struct stat status {};
        stat(cycle.c_str(), &status);
        EXPECT_EQ(status.st_uid, Is("OwnedByAnotherUser") ? 65534 : geteuid());
        EXPECT_EQ(status.st_mode & 07777, 0640u);
        EXPECT_EQ(status.st_nlink, Is("SecondHardLink") ? 2u : 1u);
        EXPECT_EQ(ScratchFolder::Entries(cycle.substr(0, cycle.rfind('/'))).size(),
                  Is("LinkToAnotherFolder") ? 1u : 2u)
            << "a temporary file was left behind";
        EXPECT_EQ(EditorState(Lists()), edited);
        return saved;
    }

    std::string cycle = install / "valve/mapcycle.txt", edited;
};

// A failed save has left the old cycle; a save may not fail for closing the file it read to
// compare with the editor's, nor for an interrupted call.
TEST_P(FailingSave, EveryFailingCallLeavesTheOldCycleOrTheWholeNewOne) {
    std::size_t compared = 0;
    FailEachCallInTurn([&](FaultyFileSystem& faults) {
        const bool saved = SaveAndCheck(faults);
        if (faults.failAt == 0) {
            compared = std::ranges::find(faults.calls, "Close") - faults.calls.begin();
        }
        EXPECT_TRUE(saved ||
                    (faults.failAt > 0 && faults.failAt != compared && faults.error != EINTR));
    });
    // A device that takes no more bytes fails the save, not retried until the alarm ends it.
    FaultyFileSystem stalled(0, EIO);
    stalled.maxWrite = 0;
    EXPECT_FALSE(SaveAndCheck(stalled));
}

INSTANTIATE_TEST_SUITE_P(Cycle, FailingSave,
                         ::testing::Values("PlainFile", "LinkToAnotherFolder", "OwnedByAnotherUser",
                                           "WithoutUnnamedFiles", "SecondHardLink"),
                         [](const auto& row) { return row.param; });

} // namespace
} // namespace rotaline::testing
