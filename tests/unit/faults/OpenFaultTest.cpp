// Start-up and Edit with each of their file system calls failing in turn, one run per call.
#include "FaultyFileSystem.h"
#include "core/FakeWindowSystem.h"
#include "core/cycle/MapCycleFile.h"
#include "core/platform/Paths.h"
#include "core/session/Globals.h"
#include "core/session/OpenMod.h"
#include "core/session/Startup.h"
#include "lists/ListText.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <unistd.h>

namespace rotaline {
namespace {

using testing::FakeWindowSystem;
using testing::FaultyFileSystem;
using testing::FileCall;
using Names = std::vector<std::string>;

const std::string kCycle = "crossfire\r\nbounce";

// What a failing call does to an Edit: stops it with a message, or leaves a usable result.
enum class Outcome { Reported, OpensNormally, OpensWithoutTheLinkedMap };

std::vector<std::pair<int, Outcome>> FaultsOfEdit(FileCall call) {
    constexpr Outcome kReported = Outcome::Reported;
    switch (call) {
    case FileCall::Opendir: // EACCES: a mod folder without read permission, even for root
        return {{EACCES, kReported}, {EIO, kReported}, {EMFILE, kReported}};
    case FileCall::Open:
        return {{EACCES, kReported}, {ENOENT, kReported}, {EMFILE, kReported}, {ELOOP, kReported}};
    case FileCall::Readdir:
    case FileCall::Fstat:
        return {{EIO, kReported}};
    case FileCall::Read:
        return {{EIO, kReported}, {EINTR, Outcome::OpensNormally}};
    case FileCall::Fstatat: // the entry's kind is unknown, as with a broken link: no map file
        return {{EIO, Outcome::OpensWithoutTheLinkedMap}};
    case FileCall::Close:
    case FileCall::Closedir: // everything was read by then
        return {{EIO, Outcome::OpensNormally}};
    default:
        ADD_FAILURE() << "Edit makes a call the test does not expect: " << NameOf(call);
        return {};
    }
}

class OpenFault : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* mod : {"valve", "cstrike"}) {
            install.MakeFolder(mod);
            install.Write(std::string(mod) + "/mapcycle.txt", kCycle);
        }
        install.MakeFolder("ricochet");
        install.MakeFolder("valve/maps");
        for (const char* map : {"crossfire.bsp", "bounce.bsp", "datacore.bsp"}) {
            install.Write(std::string("valve/maps/") + map, "");
        }
        symlink("crossfire.bsp", (install / "valve/maps/linked.bsp").c_str());
        InstallPath = install.Path();
    }
    // Edit on valve from a chooser of its own.
    static void Edit(FakeWindowSystem& windows) {
        SelectableList modList(SelectionStyle::Single, false);
        modList.AddItem("valve");
        modList.SetSelected(0, true);
        windows.chooser->Show();
        cmdEdit_Click(modList, windows);
    }
    // The calls made by `run`, with the path each names.
    template <typename Run> static std::pair<std::vector<FileCall>, Names> Calls(Run run) {
        FaultyFileSystem recorder;
        run();
        return {recorder.trace, recorder.paths};
    }

    TempFolder install;
};

TEST_F(OpenFault, EditReportsWhatItCannotReadAndTheChooserStaysUsable) {
    const auto [calls, paths] = Calls([] {
        FakeWindowSystem windows;
        Edit(windows);
        EXPECT_TRUE(windows.messages.shown.empty());
    });
    std::map<FileCall, int> seen;
    for (const FileCall call : calls) {
        const int nth = ++seen[call];
        for (const auto& [error, outcome] : FaultsOfEdit(call)) {
            SCOPED_TRACE(std::string(NameOf(call)) + " #" + std::to_string(nth) + " fails with " +
                         std::strerror(error));
            FakeWindowSystem windows;
            {
                FaultyFileSystem faults;
                faults.FailNth(call, nth, error);
                Edit(windows);
                ASSERT_TRUE(faults.Fired());
            }
            const EditorLists& lists = windows.editor->lists;
            if (outcome == Outcome::Reported) {
                ASSERT_EQ(windows.messages.shown.size(), 1u);
                const testing::ShownMessage& shown = windows.messages.shown[0];
                EXPECT_EQ(shown.title, "Cannot Continue");
                EXPECT_EQ(shown.icon, MessageIcon::Critical);
                EXPECT_NE(shown.text.find(std::strerror(error)), std::string::npos) << shown.text;
                const std::string named = call == FileCall::Opendir || call == FileCall::Readdir
                                              ? NativePath(InstallPath + "\\valve")
                                              : NativePath(MapCyclePath());
                EXPECT_NE(shown.text.find(named), std::string::npos) << shown.text;
                EXPECT_FALSE(windows.editor->visible);
                EXPECT_TRUE(windows.chooser->visible);
                EXPECT_EQ(lists.lstBSP.ListCount() + lists.lstMap.ListCount(), 0);
                EXPECT_EQ(lists.Label2.Text(), "Map Cycle File");
                // Once the disk behaves again, the same Edit opens the mod.
                windows.messages.shown.clear();
                Edit(windows);
            }
            EXPECT_TRUE(windows.messages.shown.empty());
            EXPECT_TRUE(windows.editor->visible);
            EXPECT_FALSE(windows.chooser->visible);
            const Names available = outcome == Outcome::OpensWithoutTheLinkedMap
                                        ? Names{"datacore"}
                                        : Names{"datacore", "linked"};
            EXPECT_EQ(Items(lists.lstBSP), available);
            EXPECT_EQ(Items(lists.lstMap), (Names{"crossfire", "bounce"}));
            EXPECT_EQ(TempFolder::Read(install / "valve/mapcycle.txt"), kCycle);
        }
    }
}

// What cannot be read in a mod folder might be anything: that mod is not offered. What cannot
// be read in the install folder is reported.
TEST_F(OpenFault, StartUpLeavesOutAModFolderItCannotReadAndReportsAnInstallFolder) {
    const auto load = [this](FakeWindowSystem& windows, SelectableList& modList) {
        Form_Load(modList, windows, install.Path());
    };
    const auto [calls, paths] = Calls([&] {
        FakeWindowSystem windows;
        SelectableList modList(SelectionStyle::Single, false);
        load(windows, modList);
    });
    std::map<FileCall, int> seen;
    for (std::size_t at = 0; at < calls.size(); ++at) {
        const int nth = ++seen[calls[at]];
        const int error = calls[at] == FileCall::Opendir ? EACCES : EIO;
        SCOPED_TRACE(std::string(NameOf(calls[at])) + " #" + std::to_string(nth) + " on " +
                     paths[at]);
        FakeWindowSystem windows;
        SelectableList modList(SelectionStyle::Single, false);
        {
            FaultyFileSystem faults;
            faults.FailNth(calls[at], nth, error);
            load(windows, modList);
        }
        Names offered = Items(modList);
        std::sort(offered.begin(), offered.end());
        Names expected{"cstrike", "valve"};
        if (calls[at] != FileCall::Closedir && paths[at] == install.Path()) {
            ASSERT_EQ(windows.messages.shown.size(), 1u);
            EXPECT_EQ(windows.messages.shown[0].title, "Cannot Continue");
            EXPECT_NE(windows.messages.shown[0].text.find(std::strerror(error)), std::string::npos);
            expected.clear();
        } else {
            EXPECT_TRUE(windows.messages.shown.empty());
        }
        if (calls[at] != FileCall::Closedir) {
            std::erase_if(expected, [&](const std::string& mod) {
                return paths[at] == install / mod || paths[at].starts_with(install / mod + "/");
            });
        }
        EXPECT_EQ(offered, expected);
        EXPECT_EQ(windows.FormsCount(), 1);
    }
}

} // namespace
} // namespace rotaline
