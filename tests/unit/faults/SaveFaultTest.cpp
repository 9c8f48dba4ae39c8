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
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace rotaline {
namespace {

using testing::FakeWindowSystem;
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
    case FileCall::Fsync:
        return {EIO, ENOSPC};
    case FileCall::Close:
        return {EIO, ENOSPC};
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
        return {EACCES, EROFS};
    case FileCall::Fchmod:
        return {EPERM, EROFS};
    default:
        return {EIO, EACCES};
    }
}

uid_t OwnerOf(const std::string& path) {
    struct stat status {};
    stat(path.c_str(), &status);
    return status.st_uid;
}

mode_t PermissionsOf(const std::string& path) {
    struct stat status {};
    stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// A mod whose cycle file is a plain file, a link to a file in another folder (the save then
// resolves the link and writes next to its target), a file of another user's, whose owner the
// save hands on, one on a file system without unnamed files (a named temporary file then), or
// one with a second hard link (written in place).
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
            install.Write("shared/cycle.txt", kOldCycle, 0640);
            symlink("../shared/cycle.txt", (install / "valve/mapcycle.txt").c_str());
        } else {
            install.Write("valve/mapcycle.txt", kOldCycle, 0640);
        }
        GiveAway();
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
    // Where the content lives: the link's target when the cycle file is a link.
    std::string ContentName() const {
        return GetParam().linked ? "shared/cycle.txt" : "valve/mapcycle.txt";
    }
    std::string ContentPath() const { return install / ContentName(); }
    std::string Content() const { return TempFolder::Read(ContentPath()); }
    // Written anew rather than over the old file, whose permission bits the test checks; the
    // editor takes it for the file it read, so that the save goes ahead.
    void PutOldContentBack() {
        std::filesystem::remove(ContentPath());
        install.Write(ContentName(), kOldCycle, 0640);
        GiveAway();
        Lists().cycleFileBytes = kOldCycle;
    }
    void GiveAway() const {
        if (GetParam().otherOwner) {
            ASSERT_EQ(chown(ContentPath().c_str(), kNobody, kNobody), 0);
        }
        if (GetParam().hardLinked) {
            std::filesystem::remove(install / "second-link");
            ASSERT_EQ(link(ContentPath().c_str(), (install / "second-link").c_str()), 0);
        }
    }
    Names Folder() const {
        return TempFolder::Entries(install / (GetParam().linked ? "shared" : "valve"));
    }
    Names ExpectedFolder() const {
        return GetParam().linked ? Names{"cycle.txt"} : Names{"mapcycle.txt", "maps"};
    }

    TempFolder install;
    FakeWindowSystem windows;
    SelectableList modList{SelectionStyle::Single, false};
};

TEST_P(SaveFault, EveryFailingCallLeavesTheOldFileOrTheWholeNewOne) {
    std::vector<FileCall> calls;
    {
        FaultyFileSystem recorder;
        if (GetParam().noUnnamedFiles) {
            recorder.NoUnnamedFiles();
        }
        cmdSave_Click(Lists(), windows.messages);
        calls = recorder.trace;
    }
    ASSERT_EQ(Content(), kNewCycle);
    ASSERT_EQ(windows.messages.shown.size(), 1u);
    const FileCall made = GetParam().hardLinked       ? FileCall::Ftruncate
                          : GetParam().noUnnamedFiles ? FileCall::MakeTemporary
                                                      : FileCall::LinkUnnamed;
    for (const FileCall needed : {made, FileCall::Write, FileCall::Fsync, FileCall::Close}) {
        ASSERT_NE(std::find(calls.begin(), calls.end(), needed), calls.end()) << NameOf(needed);
    }
    // From the rename on, or the flush of the file written in place, the new content is there.
    const auto rename = std::find(calls.begin(), calls.end(), FileCall::Rename);
    const auto committed =
        rename != calls.end() ? rename
                              : std::find(calls.rbegin(), calls.rend(), FileCall::Fsync).base() - 1;
    const auto commitAt = static_cast<std::size_t>(committed - calls.begin());
    // Closing the file read to compare it with the editor's cannot lose anything.
    const auto comparedAt = static_cast<std::size_t>(
        std::find(calls.begin(), calls.end(), FileCall::Close) - calls.begin());

    const std::string before = EditorState(Lists());
    const std::string cyclePath = NativePath(MapCyclePath());
    std::map<FileCall, int> seen;
    for (std::size_t at = 0; at < calls.size(); ++at) {
        const FileCall call = calls[at];
        const int nth = ++seen[call];
        for (const int error : ErrorsOf(call)) {
            SCOPED_TRACE(std::string(NameOf(call)) + " #" + std::to_string(nth) + " fails with " +
                         std::strerror(error));
            // Each fault starts from the old file on disk and the same edits in the editor.
            PutOldContentBack();
            windows.messages.shown.clear();

            FaultyFileSystem faults;
            faults.FailNth(call, nth, error);
            if (GetParam().noUnnamedFiles) {
                faults.NoUnnamedFiles();
            }
            cmdSave_Click(Lists(), windows.messages);
            ASSERT_TRUE(faults.Fired());

            ASSERT_EQ(windows.messages.shown.size(), 1u);
            const testing::ShownMessage& shown = windows.messages.shown[0];
            if (at <= commitAt && at != comparedAt && shown.title != "Saved") {
                // Before the new content was in place, and no other way saved it: the old
                // content, and a message that names the file and the system's reason.
                EXPECT_EQ(shown.title, "Cannot Save");
                EXPECT_EQ(shown.icon, MessageIcon::Critical);
                EXPECT_NE(shown.text.find(cyclePath), std::string::npos) << shown.text;
                EXPECT_NE(shown.text.find(std::strerror(error)), std::string::npos) << shown.text;
                EXPECT_EQ(Content(), kOldCycle);
            } else {
                // The new content is in place, maybe written another way after the failure:
                // saying the save failed would be untrue.
                EXPECT_EQ(shown.title, "Saved") << shown.text;
                EXPECT_EQ(Content(), kNewCycle);
            }
            EXPECT_EQ(PermissionsOf(ContentPath()), 0640u);
            EXPECT_EQ(OwnerOf(ContentPath()), GetParam().otherOwner ? kNobody : geteuid());
            EXPECT_EQ(Folder(), ExpectedFolder()) << "a temporary file was left behind";
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
    const Row rows[] = {
        {"three bytes at a time", 3, false, false},
        {"every transfer interrupted once", 0, true, false},
        {"both", 1, true, false},
        {"writes that make no progress", 0, false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PutOldContentBack();
        windows.messages.shown.clear();
        FaultyFileSystem faults;
        faults.LimitTransfers(row.limit);
        if (GetParam().noUnnamedFiles) {
            faults.NoUnnamedFiles();
        }
        if (row.interrupt) {
            faults.InterruptTransfers();
        }
        if (row.stall) {
            faults.StallWrites();
        }
        cmdSave_Click(Lists(), windows.messages);
        EXPECT_FALSE(faults.RanAway()) << "the save kept retrying a write that made no progress";
        ASSERT_EQ(windows.messages.shown.size(), 1u);
        if (row.stall) {
            EXPECT_EQ(windows.messages.shown[0].title, "Cannot Save");
            EXPECT_EQ(Content(), kOldCycle);
        } else {
            EXPECT_EQ(windows.messages.shown[0].title, "Saved");
            EXPECT_EQ(Content(), kNewCycle);
        }
        EXPECT_EQ(Folder(), ExpectedFolder());
    }
}

INSTANTIATE_TEST_SUITE_P(Cycle, SaveFault,
                         ::testing::Values(Scenario{"PlainFile", false, false},
                                           Scenario{"LinkToAnotherFolder", true, false},
                                           Scenario{"OwnedByAnotherUser", false, true},
                                           Scenario{"WithoutUnnamedFiles", false, false, true},
                                           Scenario{"SecondHardLink", false, false, false, true}),
                         [](const ::testing::TestParamInfo<Scenario>& row) {
                             return row.param.name;
                         });

} // namespace
} // namespace rotaline
