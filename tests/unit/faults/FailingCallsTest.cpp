// Start-up, Edit and Save with each of their file system calls failing in turn: the old cycle
// or all of the new one, a message naming the file and the reason, and nothing left behind.
#include "FaultyFileSystem.h"
#include "core/FakeWindowSystem.h"
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
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace rotaline {
namespace {

using testing::FakeWindowSystem;
using testing::FaultyFileSystem;
using Names = std::vector<std::string>;

const std::string kOldCycle = "crossfire\r\nbounce";
const std::string kNewCycle = "datacore\r\ncrossfire\r\nbounce\r\n";

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The install: "valve" with three maps and a link to one, "cstrike", and "ricochet" without a
// cycle, which start-up leaves out.
class Failing : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"valve", "valve/maps", "cstrike", "ricochet"}) {
            install.MakeFolder(folder);
        }
        for (const char* map : {"crossfire", "bounce", "datacore"}) {
            install.Write("valve/maps/" + std::string(map) + ".bsp", "");
        }
        symlink("crossfire.bsp", (install / "valve/maps/linked.bsp").c_str());
        install.Write("valve/mapcycle.txt", kOldCycle);
        install.Write("cstrike/mapcycle.txt", kOldCycle);
        InstallPath = install.Path();
        modList.AddItem("valve");
        modList.SetSelected(0, true);
        windows.chooser->Show();
    }
    void Edit() {
        windows.messages.shown.clear();
        cmdEdit_Click(modList, windows);
    }
    const testing::ShownMessage& Shown() {
        EXPECT_EQ(windows.messages.shown.size(), 1u);
        static const testing::ShownMessage none{};
        return windows.messages.shown.empty() ? none : windows.messages.shown.back();
    }
    EditorLists& Lists() { return windows.editor->lists; }

    TempFolder install;
    FakeWindowSystem windows;
    SelectableList modList{SelectionStyle::Single, false};
};

// A call Edit cannot do without stops it with a message and leaves the chooser usable; a
// failing close loses nothing, and a map whose kind is unknown is left out, as a broken link.
TEST_F(Failing, EditReportsWhatItCannotReadAndTheChooserStaysUsable) {
    testing::FailEachCallInTurn([&](FaultyFileSystem& faults) {
        Edit();
        const std::string call = faults.failAt > 0 ? faults.calls[faults.failAt - 1] : "";
        const bool reported = !call.empty() && faults.error != EINTR && call != "fstatat" &&
                              call != "close" && call != "closedir";
        if (reported) {
            EXPECT_EQ(Shown().title, "Cannot Continue");
            EXPECT_EQ(Shown().icon, MessageIcon::Critical);
            EXPECT_TRUE(Has(Shown().text, std::strerror(faults.error))) << Shown().text;
            const std::string& path = faults.paths[faults.failAt - 1];
            EXPECT_TRUE(Has(Shown().text, path.empty() ? NativePath(MapCyclePath()) : path))
                << Shown().text;
            EXPECT_FALSE(windows.editor->visible);
            EXPECT_TRUE(windows.chooser->visible);
            EXPECT_EQ(Lists().lstBSP.ListCount() + Lists().lstMap.ListCount(), 0);
            EXPECT_EQ(Lists().Label2.Text(), "Map Cycle File");
            faults.failAt = 0; // the disk behaves again
            Edit();
        }
        EXPECT_TRUE(windows.messages.shown.empty());
        EXPECT_TRUE(windows.editor->visible);
        EXPECT_FALSE(windows.chooser->visible);
        EXPECT_EQ(Items(Lists().lstBSP),
                  (call == "fstatat" ? Names{"datacore"} : Names{"datacore", "linked"}));
        EXPECT_EQ(Items(Lists().lstMap), (Names{"crossfire", "bounce"}));
        EXPECT_EQ(TempFolder::Read(install / "valve/mapcycle.txt"), kOldCycle);
        cmdClose_Click(windows, *windows.editor);
    });
}

// What cannot be read in a mod folder might be anything: that mod is not offered. What cannot
// be read in the install folder is reported.
TEST_F(Failing, StartUpLeavesOutAModItCannotReadAndReportsTheInstallFolder) {
    testing::FailEachCallInTurn([&](FaultyFileSystem& faults) {
        FakeWindowSystem started;
        SelectableList mods(SelectionStyle::Single, false);
        Form_Load(mods, started, install.Path());
        Names expected{"cstrike", "valve"};
        const std::size_t at = faults.failAt;
        const bool counts = at > 0 && faults.calls[at - 1] != "closedir";
        if (counts && faults.paths[at - 1] == install.Path()) {
            ASSERT_EQ(started.messages.shown.size(), 1u);
            EXPECT_EQ(started.messages.shown[0].title, "Cannot Continue");
            EXPECT_TRUE(Has(started.messages.shown[0].text, std::strerror(faults.error)));
            expected.clear();
        } else {
            EXPECT_TRUE(started.messages.shown.empty());
        }
        std::erase_if(expected, [&](const std::string& mod) {
            return counts && (faults.paths[at - 1] + "/").starts_with(install / mod + "/");
        });
        Names offered = Items(mods);
        std::sort(offered.begin(), offered.end());
        EXPECT_EQ(offered, expected);
        EXPECT_EQ(started.FormsCount(), 1);
    });
}

// The cycle as a plain file, a link to a file in another folder (the save writes next to its
// target), another user's file (whose owner the save hands on), on a file system without
// unnamed files (a named temporary file then), or with a second hard link (written in place).
struct Scenario {
    const char* name;
    bool linked = false;
    bool otherOwner = false;
    bool noUnnamedFiles = false;
    bool hardLinked = false;
};

class FailingSave : public Failing, public ::testing::WithParamInterface<Scenario> {
protected:
    void SetUp() override {
        if (GetParam().otherOwner && geteuid() != 0) {
            GTEST_SKIP() << "only root can give a file to another user";
        }
        Failing::SetUp();
        if (GetParam().linked) {
            install.MakeFolder("shared");
            std::filesystem::remove(install / "valve/mapcycle.txt");
            symlink("../shared/cycle.txt", (install / "valve/mapcycle.txt").c_str());
        }
        PutOldCycleBack();
        Edit();
        ASSERT_TRUE(windows.messages.shown.empty());
        // Some editing, so that a save that lost the edits would show.
        Lists().lstBSP.SetSelected(0, true);
        cmdMove_Click(Lists());
        Lists().lstMap.SetSelected(1, true);
        edited = EditorState(Lists());
    }
    std::string CyclePath() const {
        return install / (GetParam().linked ? "shared/cycle.txt" : "valve/mapcycle.txt");
    }
    // Written anew with its access, and taken by the editor for the file it read.
    void PutOldCycleBack() {
        std::filesystem::remove(CyclePath());
        install.Write(CyclePath().substr(install.Path().size() + 1), kOldCycle, 0640);
        if (GetParam().otherOwner) {
            ASSERT_EQ(chown(CyclePath().c_str(), 65534, 65534), 0);
        }
        if (GetParam().hardLinked) {
            std::filesystem::remove(install / "second-link");
            ASSERT_EQ(link(CyclePath().c_str(), (install / "second-link").c_str()), 0);
        }
        if (windows.editor != nullptr) {
            Lists().cycleFileBytes = kOldCycle;
        }
        windows.messages.shown.clear();
    }
    // Saves; true when the save said so. A failure names the file, and either way the file
    // holds one whole cycle, keeps its owner and mode, and has no temporary file beside it.
    bool Save(FaultyFileSystem& faults) {
        PutOldCycleBack();
        if (GetParam().noUnnamedFiles) {
            faults.NoUnnamedFiles();
        }
        cmdSave_Click(Lists(), windows.messages);
        const bool saved = Shown().title == "Saved";
        if (!saved) {
            EXPECT_EQ(Shown().title, "Cannot Save");
            EXPECT_EQ(Shown().icon, MessageIcon::Critical);
            EXPECT_TRUE(Has(Shown().text, NativePath(MapCyclePath()))) << Shown().text;
        }
        EXPECT_EQ(TempFolder::Read(CyclePath()), saved ? kNewCycle : kOldCycle);
        struct stat status {};
        stat(CyclePath().c_str(), &status);
        EXPECT_EQ(status.st_uid, GetParam().otherOwner ? 65534 : geteuid());
        EXPECT_EQ(status.st_mode & 07777, 0640u);
        const std::string folder = CyclePath().substr(0, CyclePath().rfind('/'));
        EXPECT_EQ(TempFolder::Entries(folder),
                  (GetParam().linked ? Names{"cycle.txt"} : Names{"mapcycle.txt", "maps"}))
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
    testing::FailEachCallInTurn([&](FaultyFileSystem& faults) {
        const bool saved = Save(faults);
        const auto at = static_cast<std::ptrdiff_t>(faults.failAt) - 1;
        const std::vector<std::string>& calls = faults.calls;
        if (at < 0) {
            const auto rename = std::find(calls.begin(), calls.end(), "rename");
            commit = (rename != calls.end()
                          ? rename
                          : std::find(calls.rbegin(), calls.rend(), "fsync").base() - 1) -
                     calls.begin();
            compared = std::find(calls.begin(), calls.end(), "close") - calls.begin();
            // The calls that make the new file must be among those that fail.
            const std::string made = GetParam().hardLinked       ? "ftruncate"
                                     : GetParam().noUnnamedFiles ? "mkostemp"
                                                                 : "linkat";
            for (const std::string& needed : {made, std::string("write"), std::string("fsync")}) {
                EXPECT_NE(std::find(calls.begin(), calls.end(), needed), calls.end()) << needed;
            }
        }
        if (at < 0 || at > commit || at == compared || faults.error == EINTR) {
            EXPECT_TRUE(saved);
        } else if (!saved) {
            EXPECT_TRUE(Has(Shown().text, std::strerror(faults.error))) << Shown().text;
        }
    });
}

// Writes that move a few bytes at a time still write everything; a device that takes no more
// bytes fails the save instead of being retried for ever.
TEST_P(FailingSave, ShortAndStalledWritesNeverCorruptTheFile) {
    for (const bool stall : {false, true}) {
        FaultyFileSystem faults;
        faults.transferLimit = 3;
        faults.stallWrites = stall;
        EXPECT_EQ(Save(faults), !stall);
        EXPECT_LT(faults.stalls, 1000) << "the save kept retrying a write that made no progress";
    }
}

INSTANTIATE_TEST_SUITE_P(Cycle, FailingSave,
                         ::testing::Values(Scenario{"PlainFile"},
                                           Scenario{"LinkToAnotherFolder", true},
                                           Scenario{"OwnedByAnotherUser", false, true},
                                           Scenario{"WithoutUnnamedFiles", false, false, true},
                                           Scenario{"SecondHardLink", false, false, false, true}),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace rotaline
