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
#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace rotaline {
namespace {

using testing::FakeWindowSystem;
using testing::FaultyFileSystem;
using testing::FileCall;
using Names = std::vector<std::string>;

const std::string kCycle = "crossfire\r\nbounce";

// What a failing call may do to an Edit: stop it with a message, or leave a result the user
// can work with.
enum class Outcome { Reported, OpensNormally, OpensWithoutTheLinkedMap };

struct CallFault {
    int error;
    Outcome outcome;
};

std::vector<CallFault> FaultsOfEdit(FileCall call) {
    switch (call) {
    case FileCall::Opendir:
        // EACCES is what a mod folder without read permission gives, also where the tests run
        // as root and cannot make one.
        return {{EACCES, Outcome::Reported}, {EIO, Outcome::Reported}, {EMFILE, Outcome::Reported}};
    case FileCall::Readdir:
        return {{EIO, Outcome::Reported}};
    case FileCall::Open:
        return {{EACCES, Outcome::Reported},
                {ENOENT, Outcome::Reported},
                {EIO, Outcome::Reported},
                {EMFILE, Outcome::Reported},
                {ELOOP, Outcome::Reported}};
    case FileCall::Fstat:
        return {{EIO, Outcome::Reported}};
    case FileCall::Read:
        return {{EIO, Outcome::Reported}, {EINTR, Outcome::OpensNormally}};
    case FileCall::Fstatat:
        // The entry's kind cannot be told, as with a broken link: it is no map file.
        return {{EIO, Outcome::OpensWithoutTheLinkedMap},
                {EACCES, Outcome::OpensWithoutTheLinkedMap}};
    case FileCall::Close:
    case FileCall::Closedir:
        // Everything was read by then.
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
        ModName.clear();
    }

    // Edit on valve from a chooser of its own.
    static void Edit(FakeWindowSystem& windows) {
        SelectableList modList(SelectionStyle::Single, false);
        modList.AddItem("valve");
        modList.SetSelected(0, true);
        windows.chooser->Show();
        cmdEdit_Click(modList, windows);
    }

    TempFolder install;
};

TEST_F(OpenFault, EditReportsWhatItCannotReadAndTheChooserStaysUsable) {
    std::vector<FileCall> calls;
    {
        FakeWindowSystem windows;
        FaultyFileSystem recorder;
        Edit(windows);
        calls = recorder.trace;
        ASSERT_TRUE(windows.messages.shown.empty());
    }
    // The linked map is looked at with fstatat.
    for (const FileCall needed : {FileCall::Opendir, FileCall::Readdir, FileCall::Fstatat,
                                  FileCall::Open, FileCall::Read, FileCall::Close}) {
        ASSERT_NE(std::find(calls.begin(), calls.end(), needed), calls.end()) << NameOf(needed);
    }

    std::map<FileCall, int> seen;
    for (const FileCall call : calls) {
        const int nth = ++seen[call];
        for (const CallFault& fault : FaultsOfEdit(call)) {
            SCOPED_TRACE(std::string(NameOf(call)) + " #" + std::to_string(nth) + " fails with " +
                         std::strerror(fault.error));
            FakeWindowSystem windows;
            {
                FaultyFileSystem faults;
                faults.FailNth(call, nth, fault.error);
                Edit(windows);
                ASSERT_TRUE(faults.Fired());
            }
            const EditorLists& lists = windows.editor->lists;
            if (fault.outcome == Outcome::Reported) {
                ASSERT_EQ(windows.messages.shown.size(), 1u);
                const testing::ShownMessage& shown = windows.messages.shown[0];
                EXPECT_EQ(shown.title, "Cannot Continue");
                EXPECT_EQ(shown.icon, MessageIcon::Critical);
                EXPECT_NE(shown.text.find(std::strerror(fault.error)), std::string::npos)
                    << shown.text;
                const std::string named = call == FileCall::Opendir || call == FileCall::Readdir
                                              ? NativePath(InstallPath + "\\valve")
                                              : NativePath(MapCyclePath());
                EXPECT_NE(shown.text.find(named), std::string::npos) << shown.text;
                EXPECT_FALSE(windows.editor->visible);
                EXPECT_TRUE(windows.chooser->visible);
                EXPECT_EQ(lists.lstBSP.ListCount() + lists.lstMap.ListCount(), 0);
                EXPECT_EQ(lists.Label1.Text(), "All Half Life Maps");
                EXPECT_EQ(lists.Label2.Text(), "Map Cycle File");

                // Once the disk behaves again, the same Edit opens the mod.
                windows.messages.shown.clear();
                Edit(windows);
                EXPECT_TRUE(windows.messages.shown.empty());
            } else {
                EXPECT_TRUE(windows.messages.shown.empty());
            }
            EXPECT_TRUE(windows.editor->visible);
            EXPECT_FALSE(windows.chooser->visible);
            const Names available = fault.outcome == Outcome::OpensWithoutTheLinkedMap
                                        ? Names{"datacore"}
                                        : Names{"datacore", "linked"};
            EXPECT_EQ(Items(lists.lstBSP), available);
            EXPECT_EQ(Items(lists.lstMap), (Names{"crossfire", "bounce"}));
            EXPECT_EQ(TempFolder::Read(install / "valve/mapcycle.txt"), kCycle);
        }
    }
}

TEST_F(OpenFault, StartUpLeavesOutAModFolderItCannotReadAndReportsAnInstallFolder) {
    const auto load = [this](FakeWindowSystem& windows, SelectableList& modList) {
        Form_Load(modList, windows, install.Path());
    };
    std::vector<FileCall> calls;
    Names paths;
    {
        FakeWindowSystem windows;
        SelectableList modList(SelectionStyle::Single, false);
        FaultyFileSystem recorder;
        load(windows, modList);
        calls = recorder.trace;
        paths = recorder.paths;
    }

    std::map<FileCall, int> seen;
    for (std::size_t at = 0; at < calls.size(); ++at) {
        const FileCall call = calls[at];
        const int nth = ++seen[call];
        const int error = call == FileCall::Opendir ? EACCES : EIO;
        SCOPED_TRACE(std::string(NameOf(call)) + " #" + std::to_string(nth) + " on " + paths[at] +
                     " fails with " + std::strerror(error));
        FakeWindowSystem windows;
        SelectableList modList(SelectionStyle::Single, false);
        {
            FaultyFileSystem faults;
            faults.FailNth(call, nth, error);
            load(windows, modList);
        }
        Names offered = Items(modList);
        std::sort(offered.begin(), offered.end());
        if (call == FileCall::Closedir) {
            EXPECT_TRUE(windows.messages.shown.empty());
            EXPECT_EQ(offered, (Names{"cstrike", "valve"}));
        } else if (paths[at] == install.Path()) {
            ASSERT_EQ(windows.messages.shown.size(), 1u);
            EXPECT_EQ(windows.messages.shown[0].title, "Cannot Continue");
            EXPECT_NE(windows.messages.shown[0].text.find(std::strerror(error)), std::string::npos);
            EXPECT_TRUE(offered.empty());
        } else {
            // What cannot be read in a mod folder might be anything: that mod is not offered.
            EXPECT_TRUE(windows.messages.shown.empty());
            Names expected{"cstrike", "valve"};
            std::erase_if(expected, [&](const std::string& mod) {
                const std::string folder = install / mod;
                return paths[at] == folder || paths[at].starts_with(folder + "/");
            });
            EXPECT_EQ(offered, expected);
        }
        EXPECT_EQ(windows.FormsCount(), 1);
    }
}

} // namespace
} // namespace rotaline
