// Start-up, opening a mod, saving and shutdown as the windows drive them, over a made install.
#include "FakeWindowSystem.h"
#include "core/lists/EditingOperations.h"
#include "core/session/Globals.h"
#include "core/session/OpenMod.h"
#include "core/session/SaveAndReturn.h"
#include "core/session/Shutdown.h"
#include "core/session/Startup.h"
#include "lists/ListText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#ifdef _WIN32
#include "ScratchFolder.h"
using Folder = ScratchFolder;
#else
#include "ScratchFolder.h"
using Folder = TempFolder;
#endif

namespace rotaline {
namespace {

using Names = std::vector<std::string>;
using testing::FakeWindowSystem;

// The mods are cstrike and dod; .hidden, maps.old and ricochet (its cycle file a folder) are
// none. Maps of cstrike_addon count; "a.bspx" is no map.
class ChooserAndEditor : public ::testing::Test {
protected:
    void SetUp() override {
        std::istringstream paths("cstrike/maps/de_dust.bsp cstrike/maps/DE_AZTEC.BSP "
                                 "cstrike/maps/a.bspx cstrike_addon/maps/cs_office.bsp "
                                 "dod/mapcycle.txt maps.old/mapcycle.txt .hidden/mapcycle.txt "
                                 "ricochet/mapcycle.txt/ README");
        for (std::string path; paths >> path;) {
            for (std::size_t at = 0; (at = path.find('/', at + 1)) != std::string::npos;) {
                install.MakeFolder(path.substr(0, at));
            }
            if (path.back() != '/') {
                install.Write(path, "");
            }
        }
        install.Write("cstrike/mapcycle.txt", "crossfire\r\nde_dust");
#ifdef _WIN32
        SetFileAttributesA((install / ".hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
#endif
    }
    // Sorted: the listing's order is the folder listing's own concern.
    Names Mods() const {
        Names mods = Items(modList);
        std::sort(mods.begin(), mods.end());
        return mods;
    }
    std::string Shown() {
        EXPECT_EQ(windows.messages.shown.size(), 1u);
        const std::string shown = windows.messages.shown.back().text;
        windows.messages.shown.clear();
        return shown;
    }

    Folder install;
    FakeWindowSystem windows;
    SelectableList modList{SelectionStyle::Single, false};
};

// The editor stays loaded after a refusal and is used again for the next mod.
TEST_F(ChooserAndEditor, EditorOpensSavesAndNeverSavesOverAnotherProgramsChange) {
    Form_Load(modList, windows, install.Path());
    EXPECT_EQ(Mods(), (Names{"cstrike", "dod"}));
    for (const char* mod : {"dod", "cstrike"}) {
        modList.Clear();
        modList.AddItem(mod);
        modList.SetSelected(0, true);
        cmdEdit_Click(modList, windows);
    }
    EXPECT_EQ(Shown(), "No files present in: " + install.Path() + "\\dod\\maps\\*.bsp");
    EditorLists& lists = windows.editor->lists;
    EXPECT_EQ(windows.editorLoads, 1);
    EXPECT_EQ(Items(lists.lstBSP), (Names{"cs_office", "DE_AZTEC"}));
    lists.lstBSP.SetSelected(1, true);
    cmdMove_Click(lists);
    EXPECT_EQ(lists.Label1.Text() + lists.Label2.Text(),
              "All Half Life Maps (1 maps)Map Cycle File (3 maps)");
    const std::string cycle = install / "cstrike/mapcycle.txt";
    cmdSave_Click(lists, windows.messages);
    EXPECT_EQ(Shown(), "Map Saved");
    EXPECT_EQ(Folder::Read(cycle), "DE_AZTEC\r\ncrossfire\r\nde_dust\r\n");
    EXPECT_EQ(Folder::Entries(install / "cstrike"), (Names{"mapcycle.txt", "maps"}));

    install.Write("cstrike/mapcycle.txt", "other\n");
    cmdSave_Click(lists, windows.messages);
    EXPECT_NE(Shown().find(" was changed by another program since it was opened. Press Save "
                           "again to replace it with the editor's cycle."),
              std::string::npos);
    EXPECT_EQ(Folder::Read(cycle), "other\n");
    cmdSave_Click(lists, windows.messages);
    EXPECT_EQ(Shown(), "Map Saved");
    EXPECT_EQ(Folder::Read(cycle), "DE_AZTEC\ncrossfire\nde_dust\n");

    // An empty cycle is never saved; Close shows the chooser again.
    for (std::int16_t i = 0; i < 3; ++i) {
        lists.lstMap.SetSelected(i, true);
    }
    cmdRemove_Click(lists);
    cmdSave_Click(lists, windows.messages);
    EXPECT_TRUE(windows.messages.shown.empty());
    EXPECT_EQ(Folder::Read(cycle), "DE_AZTEC\ncrossfire\nde_dust\n");
    cmdClose_Click(windows, *windows.editor);
    EXPECT_TRUE(windows.chooser->visible);
    EXPECT_FALSE(windows.IsLoaded(*windows.editor));
}

// Unloading the chooser unloads every other window, from the last down; Exit unloads them all,
// and so does a start-up that finds no install.
TEST(WindowRegistry, UnloadsTheEditorFirstAndQuitsWithTheChooser) {
    FakeWindowSystem windows;
    Form_Unload(windows);
    EXPECT_TRUE(windows.unloadOrder.empty());
    windows.LoadEditor();
    Form_Unload(windows);
    EXPECT_EQ(windows.unloadOrder, Names{"editor"});
    FakeWindowSystem exiting;
    exiting.LoadEditor();
    cmdClose_Click(exiting);
    EXPECT_EQ(exiting.unloadOrder, (Names{"editor", "chooser"}));
    EXPECT_TRUE(exiting.quit);
    FakeWindowSystem notInstalled;
    SelectableList modList{SelectionStyle::Single, false};
    Form_Load(modList, notInstalled, "");
    EXPECT_EQ(notInstalled.messages.shown.at(0).title, "Cannot Start");
    EXPECT_TRUE(notInstalled.quit);
}

#ifdef _WIN32
// The game's setup is a 32-bit program: on 64-bit Windows its value lands in the registry's
// 32-bit view. Only under Wine, whose prefix is the build's own: on a real machine this key may
// hold a real install.
TEST_F(ChooserAndEditor, StartsFromValueOfThirtyTwoBitSetup) {
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr) {
        GTEST_SKIP() << "rewrites the game's registry key";
    }
    const char* const game = "Software\\Valve\\Half-Life";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, game, 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::string& path = install.Path();
    RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
    RegCloseKey(key);
    Form_Load(modList, windows, std::nullopt);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, game, KEY_WOW64_32KEY, 0);
    EXPECT_EQ(Mods(), (Names{"cstrike", "dod"}));
}
#endif

} // namespace
} // namespace rotaline
