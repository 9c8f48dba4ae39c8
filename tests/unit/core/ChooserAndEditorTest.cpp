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
const std::string kSep = "\\";
#else
#include "platform/TempFolder.h"
using Folder = TempFolder;
const std::string kSep = "/";
#endif

namespace rotaline {
namespace {

using Names = std::vector<std::string>;
using testing::FakeWindowSystem;

class ChooserAndEditor : public ::testing::Test {
protected:
    // Mods hold a cycle file; .hidden, maps.old and ricochet (its cycle a
    // folder) are no mods. Maps of cstrike_addon count; "a.bspx" does not.
    void SetUp() override {
        std::istringstream paths(
            "cstrike/maps/de_dust.bsp cstrike/maps/DE_AZTEC.BSP cstrike/maps/a.bspx "
            "cstrike_addon/maps/cs_office.bsp dod/mapcycle.txt TFC/mapcycle.txt tf_x/mapcycle.txt "
            "maps.old/mapcycle.txt .hidden/mapcycle.txt ricochet/mapcycle.txt/ README");
        for (std::string path; paths >> path;) {
            for (std::size_t at = path.find('/'); at != std::string::npos;
                 at = path.find('/', at + 1)) {
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
        windows.chooser->Show();
    }
    // In the order NTFS lists them, by the upper-case names: "TFC" before "tf_x".
    void ExpectMods() const {
        Names mods = Items(modList);
#ifdef _WIN32
        // Wine lists folders in the host's order; the NTFS order is the POSIX side's own work.
        std::sort(mods.begin(), mods.end(), [](const std::string& a, const std::string& b) {
            return _stricmp(a.c_str(), b.c_str()) < 0;
        });
#endif
        EXPECT_EQ(mods, (Names{"cstrike", "dod", "TFC", "tf_x"}));
    }
    void Open(const char* mod) {
        modList.Clear();
        modList.AddItem(mod);
        modList.SetSelected(0, true);
        cmdEdit_Click(modList, windows);
    }
    EditorLists& Lists() {
        return windows.editor->lists;
    }
    testing::ShownMessage Shown() {
        EXPECT_EQ(windows.messages.shown.size(), 1u);
        const testing::ShownMessage shown = windows.messages.shown.back();
        windows.messages.shown.clear();
        return shown;
    }

    Folder install;
    FakeWindowSystem windows;
    SelectableList modList{SelectionStyle::Single, false};
};

// A path ending in a separator is used as it stands.
TEST_F(ChooserAndEditor, StartUpOffersTheFoldersHoldingACycleFile) {
    for (const std::string& path : {install.Path(), install.Path() + kSep}) {
        Form_Load(modList, windows, path);
        ExpectMods();
        EXPECT_EQ(InstallPath, path);
        EXPECT_TRUE(windows.messages.shown.empty());
    }
}

// Without an install the chooser goes, and with it the program.
TEST_F(ChooserAndEditor, StartUpSaysWhyItCannotContinueOrStart) {
    for (const std::string& path : {install / "none", std::string()}) {
        FakeWindowSystem fresh;
        Form_Load(modList, fresh, path);
        ASSERT_EQ(fresh.messages.shown.size(), 1u);
        EXPECT_EQ(fresh.messages.shown[0].title, path.empty() ? "Cannot Start" : "Cannot Continue");
        EXPECT_EQ(fresh.messages.shown[0].icon, MessageIcon::Critical);
        EXPECT_EQ(modList.ListCount(), 0);
        EXPECT_EQ(fresh.FormsCount(), path.empty() ? 0 : 1);
    }
}

// The editor stays loaded after a refusal and is used again for the next mod.
TEST_F(ChooserAndEditor, EditorOpensSavesAndNeverSavesOverAnotherProgramsChange) {
    InstallPath = install.Path();
    Open("dod");
    const testing::ShownMessage refusal = Shown();
    EXPECT_EQ(refusal.text, "No files present in: " + install.Path() + "\\dod\\maps\\*.bsp");
    EXPECT_EQ(refusal.title, "Cannot Continue");
    EXPECT_FALSE(windows.editor->visible);
    EXPECT_TRUE(windows.chooser->visible);

    Open("cstrike");
    EXPECT_EQ(windows.editorLoads, 1);
    EXPECT_EQ(Items(Lists().lstBSP), (Names{"cs_office", "DE_AZTEC"}));
    EXPECT_EQ(Items(Lists().lstMap), (Names{"crossfire", "de_dust"}));
    EXPECT_EQ(Lists().Label1.Text() + Lists().Label2.Text(),
              "All Half Life Maps (2 maps)Map Cycle File (2 maps)");
    EXPECT_TRUE(windows.editor->visible);
    EXPECT_FALSE(windows.chooser->visible);

    const std::string cycle = install / "cstrike" + kSep + "mapcycle.txt";
    Lists().lstBSP.SetSelected(1, true);
    cmdMove_Click(Lists());
    EXPECT_EQ(Lists().Label2.Text(), "Map Cycle File (3 maps)");
    cmdSave_Click(Lists(), windows.messages);
    EXPECT_EQ(Shown().text, "Map Saved");
    EXPECT_EQ(Folder::Read(cycle), "DE_AZTEC\r\ncrossfire\r\nde_dust\r\n");
    EXPECT_EQ(Folder::Entries(install / "cstrike"), (Names{"mapcycle.txt", "maps"}));

    install.Write("cstrike/mapcycle.txt", "other\n");
    cmdSave_Click(Lists(), windows.messages);
    const testing::ShownMessage changed = Shown();
    EXPECT_EQ(changed.text, cycle + " was changed by another program since it was opened. Press "
                                    "Save again to replace it with the editor's cycle.");
    EXPECT_EQ(changed.title, "Cannot Save");
    EXPECT_EQ(Folder::Read(cycle), "other\n");
    cmdSave_Click(Lists(), windows.messages);
    EXPECT_EQ(Shown().icon, MessageIcon::None);
    EXPECT_EQ(Folder::Read(cycle), "DE_AZTEC\ncrossfire\nde_dust\n");

    // An empty cycle is never saved; Close shows the chooser again.
    for (std::int16_t i = 0; i < 3; ++i) {
        Lists().lstMap.SetSelected(i, true);
    }
    cmdRemove_Click(Lists());
    cmdSave_Click(Lists(), windows.messages);
    EXPECT_TRUE(windows.messages.shown.empty());
    EXPECT_EQ(Folder::Read(cycle), "DE_AZTEC\ncrossfire\nde_dust\n");
    cmdClose_Click(windows, *windows.editor);
    EXPECT_TRUE(windows.chooser->visible);
    EXPECT_FALSE(windows.IsLoaded(*windows.editor));
}

// Unloading the chooser unloads every other window, from the last down; Exit unloads them all.
TEST(Shutdown, UnloadsTheEditorFirst) {
    FakeWindowSystem chooserOnly;
    Form_Unload(chooserOnly);
    EXPECT_TRUE(chooserOnly.unloadOrder.empty());
    FakeWindowSystem windows;
    windows.LoadEditor();
    Form_Unload(windows);
    EXPECT_EQ(windows.unloadOrder, Names{"editor"});
    EXPECT_EQ(windows.FormsCount(), 1);
    FakeWindowSystem exiting;
    exiting.LoadEditor();
    cmdClose_Click(exiting);
    EXPECT_EQ(exiting.unloadOrder, (Names{"editor", "chooser"}));
    EXPECT_EQ(exiting.FormsCount(), 0);
    EXPECT_TRUE(exiting.quit);
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
    RegSetValueExA(key, "InstallPath", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(install.Path().c_str()),
                   static_cast<DWORD>(install.Path().size() + 1));
    RegCloseKey(key);
    Form_Load(modList, windows, std::nullopt);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, game, KEY_WOW64_32KEY, 0);
    EXPECT_EQ(InstallPath, install.Path());
    ExpectMods();
}
#endif

} // namespace
} // namespace rotaline
