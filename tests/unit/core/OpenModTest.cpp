// Opening a mod in the editor, and saving and closing it, over install folders made by the test.
#include "core/session/OpenMod.h"
#include "FakeWindowSystem.h"
#include "core/lists/EditingOperations.h"
#include "core/session/Globals.h"
#include "core/session/SaveAndReturn.h"
#include "lists/ListText.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>

namespace rotaline {
namespace {

using Names = std::vector<std::string>;

class OpenModTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallPath = install.Path();
        windows.chooser->Show();
    }
    void MakeMod(const std::string& mod, const Names& mapFiles, const std::string& cycle) {
        install.MakeFolder(mod);
        install.MakeFolder(mod + "/maps");
        for (const std::string& file : mapFiles) {
            install.Write(mod + "/maps/" + file, "");
        }
        install.Write(mod + "/mapcycle.txt", cycle);
    }
    void Open(const std::string& mod) {
        modList.Clear();
        modList.AddItem(mod);
        modList.SetSelected(0, true);
        cmdEdit_Click(modList, windows);
    }
    EditorLists& Lists() { return windows.editor->lists; }
    const testing::ShownMessage& Shown() {
        EXPECT_EQ(windows.messages.shown.size(), 1u);
        return windows.messages.shown.back();
    }

    TempFolder install;
    testing::FakeWindowSystem windows;
    SelectableList modList{SelectionStyle::Single, false};
};

TEST_F(OpenModTest, NothingSelectedDoesNothing) {
    modList.AddItem("valve");
    cmdEdit_Click(modList, windows);
    EXPECT_EQ(windows.editorLoads, 0);
    EXPECT_TRUE(windows.messages.shown.empty());
}

// Maps of valve_addon and valve_downloads too, each once; no line can name "two\nlines".
TEST_F(OpenModTest, MatchesEntriesToMapsByTheirFirstWordIgnoringLetterCase) {
    MakeMod("valve",
            {"Bounce.bsp", "CROSSFIRE.BSP", "crossfire.bsp", "datacore.bsp", "frenzy.bsp",
             "gasworks.bsp", "x.bspx", "notes.txt"},
            "BOUNCE\ncrossfire \"\\minplayers\\1\\\"\n datacore // note\nbounce\n\nnowhere\n");
    MakeMod("valve_addon", {"addon_only.bsp", "two\nlines.bsp"}, "");
    MakeMod("valve_downloads", {"frenzy.bsp"}, "");
    Open("valve");
    EXPECT_EQ(Items(Lists().lstBSP), (Names{"addon_only", "frenzy", "gasworks"}));
    EXPECT_EQ(Items(Lists().lstMap), (Names{"BOUNCE", "crossfire \"\\minplayers\\1\\\"",
                                            " datacore // note", "bounce", "", "nowhere"}));
    EXPECT_EQ(Lists().Label2.Text(), "Map Cycle File (6 maps)");
}

TEST_F(OpenModTest, FileChangedOnDiskIsNotSavedOverOnce) {
    MakeMod("valve", {"crossfire.bsp", "bounce.bsp"}, "bounce\ncrossfire\n");
    Open("valve");
    install.Write("valve/mapcycle.txt", "other\n");
    cmdSave_Click(Lists(), windows.messages);
    EXPECT_EQ(Shown().text, install.Path() + "/valve/mapcycle.txt was changed by another program "
                                             "since it was opened. Press Save again to replace "
                                             "it with the editor's cycle.");
    EXPECT_EQ(Shown().title, "Cannot Save");
    EXPECT_EQ(Shown().icon, MessageIcon::Critical);
    EXPECT_EQ(TempFolder::Read(install / "valve/mapcycle.txt"), "other\n");

    windows.messages.shown.clear();
    cmdSave_Click(Lists(), windows.messages);
    EXPECT_EQ(Shown().text, "Map Saved");
    EXPECT_EQ(Shown().icon, MessageIcon::None);
    EXPECT_EQ(TempFolder::Read(install / "valve/mapcycle.txt"), "bounce\ncrossfire\n");
}

TEST_F(OpenModTest, ModWithoutMapsSaysSoAndKeepsTheChooser) {
    MakeMod("valve", {}, "crossfire\r\n");
    MakeMod("cstrike", {"de_dust.bsp"}, "");
    Open("valve");
    EXPECT_EQ(Shown().text, "No files present in: " + install.Path() + "\\valve\\maps\\*.bsp");
    EXPECT_EQ(Shown().title, "Cannot Continue");
    EXPECT_FALSE(windows.editor->visible);
    EXPECT_TRUE(windows.chooser->visible);
    // The editor stays loaded and is used again for the next mod, with only that mod's maps.
    Open("cstrike");
    EXPECT_EQ(windows.editorLoads, 1);
    EXPECT_EQ(Items(Lists().lstBSP), Names{"de_dust"});
    EXPECT_EQ(Lists().lstMap.ListCount(), 0);
}

TEST_F(OpenModTest, CycleLongerThanAListCanHoldIsRefused) {
    std::string cycle;
    for (int i = 0; i < SelectableList::kMaxItems + 1; ++i) {
        cycle += "m\r\n";
    }
    MakeMod("valve", {"crossfire.bsp"}, cycle);
    Open("valve");
    EXPECT_NE(Shown().text.find("32767"), std::string::npos);
    EXPECT_FALSE(windows.editor->visible);
}

TEST_F(OpenModTest, EmptyCycleIsNotSavedAndCloseShowsTheChooser) {
    MakeMod("valve", {"crossfire.bsp"}, "crossfire\r\n");
    Open("valve");
    Lists().lstMap.SetSelected(0, true);
    cmdRemove_Click(Lists());
    cmdSave_Click(Lists(), windows.messages);
    EXPECT_EQ(TempFolder::Read(install / "valve/mapcycle.txt"), "crossfire\r\n");
    EXPECT_TRUE(windows.messages.shown.empty());

    testing::FakeForm* editor = windows.editor;
    cmdClose_Click(windows, *editor);
    EXPECT_TRUE(windows.chooser->visible);
    EXPECT_FALSE(windows.IsLoaded(editor));
    EXPECT_EQ(modList.ListIndex(), 0);
}

} // namespace
} // namespace rotaline
