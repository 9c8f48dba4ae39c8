// Save with each of its file system calls failing in turn: the old file or all of the new one.
#include "FaultyFileSystem.h"
#include "core/FakeWindowSystem.h"
#include "core/cycle/MapCycleFile.h"
#include "core/lists/EditingOperations.h"
#include "core/platform/Paths.h"
#include "core/session/Globals.h"
#include "core/session/OpenMod.h"
#include "core/session/SaveAndReturn.h"
#include "lists/ListText.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace rotaline {
namespace {

using testing::FaultyFileSystem;
using testing::FileCall;
using Names = std::vector<std::string>;

constexpr uid_t kNobody = 65534;
const std::string kOldCycle = "crossfire\r\nbounce";
const std::string kNewCycle = "datacore\r\ncrossfire\r\nbounce\r\n";

// The ways each call fails on a real system during a save.
std::vector<int> ErrorsOf(FileCall call) {
    switch (call) {
    case FileCall::Write:
        return {ENOSPC, EIO, EDQUOT};
    case FileCall::MakeTemporary:
    case FileCall::OpenUnnamed:
        return {EACCES, ENOSPC, EMFILE, EROFS};
    case FileCall::LinkUnnamed:
        return {ENOENT, EEXIST, ENOSPC};
    case FileCall::Rename:
        return {EACCES, ENOSPC, EBUSY};
    case FileCall::Ftruncate:
        return {EIO, EPERM};
    case FileCall::Open:
        return {EACCES, EMFILE};
    case FileCall::CheckWritable:
    case FileCall::Fchmod:
        return {EACCES, EROFS, EPERM};
    default:
        return {EIO, EACCES, ENOSPC};
    }
}

// Owner and permission bits.
std::pair<uid_t, mode_t> AccessOf(const std::string& path) {
    struct stat status {};
    stat(path.c_str(), &status);
    return {status.st_uid, status.st_mode & 07777};
}

// The cycle file as a plain file, a link to a file in another folder (the save writes next to
// its target), another user's file (whose owner the save hands on), on a file system without
// unnamed files (a named temporary file then), or with a second hard link (written in place).
struct Scenario {
    const char* name;
    bool linked;
    bool otherOwner;
    bool noUnnamedFiles = false;
    bool hardLinked = false;
};

void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

class SaveFault : public ::testing::TestWithParam<Scenario> {
protected:
    void SetUp() override {
        if (GetParam().otherOwner && geteuid() != 0) {
            GTEST_SKIP() << "only root can give a file to another user";
        }
        install.MakeFolder("valve");
        install.MakeFolder("valve/maps");
        for (const char* map : {"crossfire.bsp", "bounce.bsp", "datacore.bsp"}) {
            install.Write(std::string("valve/maps/") + map, "");
        }
        if (GetParam().linked) {
            install.MakeFolder("shared");
            symlink("../shared/cycle.txt", (install / "valve/mapcycle.txt").c_str());
        }
        PutOldContentBack();
        InstallPath = install.Path();
        windows.chooser->Show();
        modList.AddItem("valve");
        modList.SetSelected(0, true);
        cmdEdit_Click(modList, windows);
        ASSERT_TRUE(windows.messages.shown.empty());
        // Some editing, so that a save that lost the edits would show.
        Lists().lstBSP.SetSelected(0, true);
        cmdMove_Click(Lists());
        Lists().lstMap.SetSelected(1, true);
        Lists().lstMap.SetListIndex(1);
    }

    EditorLists& Lists() { return windows.editor->lists; }
    std::string ContentName() const {
        return GetParam().linked ? "shared/cycle.txt" : "valve/mapcycle.txt";
    }
    std::string Content() const { return TempFolder::Read(install / ContentName()); }
    // Written anew, with its access; the editor takes it for the file it read.
    void PutOldContentBack() {
        std::filesystem::remove(install / ContentName());
        install.Write(ContentName(), kOldCycle, 0640);
        if (GetParam().otherOwner) {
            ASSERT_EQ(chown((install / ContentName()).c_str(), kNobody, kNobody), 0);
        }
        if (GetParam().hardLinked) {
            std::filesystem::remove(install / "second-link");
            ASSERT_EQ(link((install / ContentName()).c_str(), (install / "second-link").c_str()),
                      0);
        }
        if (windows.editor != nullptr) {
            Lists().cycleFileBytes = kOldCycle;
        }
        windows.messages.shown.clear();
    }
    // Save under `faults`; the message shown.
    testing::ShownMessage Save(FaultyFileSystem& faults) {
        if (GetParam().noUnnamedFiles) {
            faults.NoUnnamedFiles();
        }
        cmdSave_Click(Lists(), windows.messages);
        EXPECT_EQ(windows.messages.shown.size(), 1u);
        return windows.messages.shown.empty() ? testing::ShownMessage{} : windows.messages.shown[0];
    }
    void ExpectNothingLeft() {
        EXPECT_EQ(AccessOf(install / ContentName()),
                  std::make_pair(GetParam().otherOwner ? kNobody : geteuid(), mode_t{0640}));
        const Names expected =
            GetParam().linked ? Names{"cycle.txt"} : Names{"mapcycle.txt", "maps"};
        EXPECT_EQ(TempFolder::Entries(install / (GetParam().linked ? "shared" : "valve")), expected)
            << "a temporary file was left behind";
    }

    TempFolder install;
    testing::FakeWindowSystem windows;
    SelectableList modList{SelectionStyle::Single, false};
};

TEST_P(SaveFault, EveryFailingCallLeavesTheOldFileOrTheWholeNewOne) {
    std::vector<FileCall> calls;
    {
        FaultyFileSystem recorder;
        ASSERT_EQ(Save(recorder).title, "Saved");
        calls = recorder.trace;
    }
    ASSERT_EQ(Content(), kNewCycle);
    const FileCall made = GetParam().hardLinked       ? FileCall::Ftruncate
                          : GetParam().noUnnamedFiles ? FileCall::MakeTemporary
                                                      : FileCall::LinkUnnamed;
    for (const FileCall needed : {made, FileCall::Write, FileCall::Fsync, FileCall::Close}) {
        ASSERT_NE(std::find(calls.begin(), calls.end(), needed), calls.end()) << NameOf(needed);
    }
    // From the rename on, or the flush of the file written in place, the new content is there;
    // closing the file read to compare it with the editor's loses nothing.
    const auto rename = std::find(calls.begin(), calls.end(), FileCall::Rename);
    const auto commitAt =
        (rename != calls.end()
             ? rename
             : std::find(calls.rbegin(), calls.rend(), FileCall::Fsync).base() - 1) -
        calls.begin();
    const auto comparedAt = std::find(calls.begin(), calls.end(), FileCall::Close) - calls.begin();

    const std::string before = EditorState(Lists());
    std::map<FileCall, int> seen;
    for (std::ptrdiff_t at = 0; at < std::ssize(calls); ++at) {
        const int nth = ++seen[calls[at]];
        for (const int error : ErrorsOf(calls[at])) {
            SCOPED_TRACE(std::string(NameOf(calls[at])) + " #" + std::to_string(nth) +
                         " fails with " + std::strerror(error));
            PutOldContentBack();
            FaultyFileSystem faults;
            faults.FailNth(calls[at], nth, error);
            const testing::ShownMessage shown = Save(faults);
            ASSERT_TRUE(faults.Fired());
            if (at <= commitAt && at != comparedAt && shown.title != "Saved") {
                // No way saved it: the old content, and a message naming file and reason.
                EXPECT_EQ(shown.title, "Cannot Save");
                EXPECT_EQ(shown.icon, MessageIcon::Critical);
                EXPECT_NE(shown.text.find(NativePath(MapCyclePath())), std::string::npos);
                EXPECT_NE(shown.text.find(std::strerror(error)), std::string::npos) << shown.text;
                EXPECT_EQ(Content(), kOldCycle);
            } else {
                // In place, maybe another way after the failure: a failure would be untrue.
                EXPECT_EQ(shown.title, "Saved") << shown.text;
                EXPECT_EQ(Content(), kNewCycle);
            }
            ExpectNothingLeft();
            EXPECT_EQ(EditorState(Lists()), before);
        }
    }
}

TEST_P(SaveFault, ShortInterruptedOrStalledWritesNeverCorruptTheFile) {
    struct Row {
        const char* name;
        std::size_t limit;
        bool interrupt;
        bool stall;
    };
    for (const Row& row : {Row{"three bytes at a time", 3, false, false},
                           Row{"one byte at a time, each interrupted once", 1, true, false},
                           Row{"writes that make no progress", 0, false, true}}) {
        SCOPED_TRACE(row.name);
        PutOldContentBack();
        FaultyFileSystem faults;
        faults.LimitTransfers(row.limit);
        if (row.interrupt) {
            faults.InterruptTransfers();
        }
        if (row.stall) {
            faults.StallWrites();
        }
        EXPECT_EQ(Save(faults).title, row.stall ? "Cannot Save" : "Saved");
        EXPECT_FALSE(faults.RanAway()) << "the save kept retrying a write that made no progress";
        EXPECT_EQ(Content(), row.stall ? kOldCycle : kNewCycle);
        ExpectNothingLeft();
    }
}

INSTANTIATE_TEST_SUITE_P(Cycle, SaveFault,
                         ::testing::Values(Scenario{"PlainFile", false, false},
                                           Scenario{"LinkToAnotherFolder", true, false},
                                           Scenario{"OwnedByAnotherUser", false, true},
                                           Scenario{"WithoutUnnamedFiles", false, false, true},
                                           Scenario{"SecondHardLink", false, false, false, true}),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace rotaline
