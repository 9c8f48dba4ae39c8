// An install folder to open and save a mod in, for tests of what disks and folders do to them.
#pragma once

#include "ScratchFolder.h"
#include "core/FakeWindowSystem.h"
#include "core/lists/EditingOperations.h"
#include "core/session/Globals.h"
#include "core/session/OpenMod.h"
#include "core/session/SaveAndReturn.h"
#include "core/session/Startup.h"
#include "lists/ListText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace rotaline::testing {

// The cycle names two maps, one in other letters, one with rules after it: the editor offers one.
inline const std::string kOldCycle = "CrossFire\r\nbounce 30";
inline const std::string kNewCycle = "datacore\r\nCrossFire\r\nbounce 30\r\n"; // after EditAndMove

using Names = std::vector<std::string>;

// "valve" (three maps, a link to one, a cycle), "cstrike" and "ricochet" (no cycle); "valve"
// chosen.
struct ValveInstall {
    ValveInstall() {
        for (const std::string entry :
             {"valve/", "valve/maps/", "cstrike/", "ricochet/", "valve/maps/crossfire.bsp",
              "valve/maps/bounce.bsp", "valve/maps/datacore.bsp", "valve/mapcycle.txt",
              "cstrike/mapcycle.txt"}) {
            entry.ends_with('/') ? install.MakeFolder(entry) : install.Write(entry, kOldCycle);
        }
        symlink("crossfire.bsp", (install / "valve/maps/linked.bsp").c_str());
        InstallPath = install.Path();
        modList.AddItem("valve");
        modList.SetSelected(0, true);
        windows.chooser->Show();
    }
    // Runs `step` and gives back the message it showed (no title if none). A step that blocks,
    // as on a pipe, ends the test run instead of hanging it.
    template <typename Step> ShownMessage Shown(Step step) {
        windows.messages.shown.clear();
        alarm(20);
        step();
        alarm(0);
        EXPECT_LE(windows.messages.shown.size(), 1u);
        return windows.messages.shown.empty() ? ShownMessage{} : windows.messages.shown[0];
    }
    ShownMessage Edit() {
        return Shown([&] { cmdEdit_Click(modList, windows); });
    }
    ShownMessage Save() {
        return Shown([&] { cmdSave_Click(Lists(), windows.messages); });
    }
    // Opens "valve" and moves "datacore" into the cycle, so that a save that lost it would show.
    void EditAndMove() {
        ASSERT_EQ(Edit().title, "");
        Lists().lstBSP.SetSelected(0, true);
        cmdMove_Click(Lists());
    }
    EditorLists& Lists() { return windows.editor->lists; }
    static bool Has(const std::string& s, const std::string& t) { return s.find(t) != s.npos; }

    ScratchFolder install;
    FakeWindowSystem windows;
    SelectableList modList{SelectionStyle::Single, true};
};

} // namespace rotaline::testing
