// Start-up, opening a mod and saving, through the Win32 side over folders and registry made here.
#include "core/FakeWindowSystem.h"
#include "core/lists/SelectableList.h"
#include "core/session/Globals.h"
#include "core/session/InstallPathLookup.h"
#include "core/session/OpenMod.h"
#include "core/session/SaveAndReturn.h"
#include "core/session/Startup.h"
#include "lists/ListText.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace rotaline {
namespace {

using testing::FakeWindowSystem;
using Names = std::vector<std::string>;

Names Sorted(Names names) {
    std::sort(names.begin(), names.end());
    return names;
}

// Wine's ntdll names itself; Windows' does not.
bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Runs the system's reg.exe and gives its exit code.
DWORD RunReg(const std::string& arguments) {
    char system[MAX_PATH];
    const UINT length = GetSystemDirectoryA(system, MAX_PATH);
    std::string commandLine = "\"" + std::string(system, length) + "\\reg.exe\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return GetLastError();
    }
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// An install folder: valve (maps and a cycle), dod (its cycle spelt MapCycle.TXT), cstrike (no
// cycle), maps.old and hidden (cycles, but an extension and a hidden mark keep them out).
class InstallFolder {
public:
    InstallFolder() {
        for (const char* mod : {"valve", "dod", "cstrike", "maps.old"}) {
            folder.MakeFolder(mod);
        }
        folder.MakeFolder("hidden", FILE_ATTRIBUTE_HIDDEN);
        folder.MakeFolder("valve\\maps");
        for (const char* map : {"crossfire.bsp", "de_dust.bsp", "DE_AZTEC.BSP", "a.bspx"}) {
            folder.Write(std::string("valve\\maps\\") + map, "");
        }
        folder.Write("valve\\mapcycle.txt", "crossfire\r\nde_dust");
        folder.Write("dod\\MapCycle.TXT", "dod_anzio\r\n");
        folder.Write("maps.old\\mapcycle.txt", "x\r\n");
        folder.Write("hidden\\mapcycle.txt", "x\r\n");
    }
    ScratchFolder folder;
};

class ModsOnWindows : public ::testing::Test {
protected:
    void TearDown() override {
        InstallPath.clear();
        ModName.clear();
    }

    InstallFolder install;
    FakeWindowSystem windows;
    SelectableList modList{SelectionStyle::Single, false};
};

// The game's setup is a 32-bit program: on 64-bit Windows its value lands in the 32-bit view,
// as reg.exe's /reg:32 writes it. Only under Wine, whose prefix is the build's own: on a real
// machine this key may hold a real install.
TEST_F(ModsOnWindows, StartsFromValueOfThirtyTwoBitSetup) {
    if (!UnderWine()) {
        GTEST_SKIP() << "rewrites the game's registry key";
    }
    const std::string key = "\"HKLM\\Software\\Valve\\Half-Life\"";
    ASSERT_EQ(RunReg("add " + key + " /v InstallPath /t REG_SZ /d \"" + install.folder.Path() +
                     "\" /f /reg:32"),
              0u);
    const std::string found = LookUpInstallPath();
    Form_Load(modList, windows, std::nullopt);
    RunReg("delete " + key + " /f /reg:32");

    EXPECT_EQ(found, install.folder.Path());
    EXPECT_EQ(InstallPath, install.folder.Path());
    EXPECT_EQ(Sorted(Items(modList)), (Names{"dod", "valve"}));
    EXPECT_TRUE(windows.messages.shown.empty());
}

TEST_F(ModsOnWindows, OpensModAndSavesByteForByte) {
    Form_Load(modList, windows, install.folder.Path());
    const Names mods = Items(modList);
    const auto valve = std::find(mods.begin(), mods.end(), "valve");
    ASSERT_NE(valve, mods.end());
    modList.SetSelected(static_cast<std::int16_t>(valve - mods.begin()), true);

    cmdEdit_Click(modList, windows);
    ASSERT_TRUE(windows.messages.shown.empty()) << windows.messages.shown.front().text;
    ASSERT_NE(windows.editor, nullptr);
    EditorLists& lists = windows.editor->lists;
    // "a.bspx" matches "*.bsp" through its short name alone.
    EXPECT_EQ(Items(lists.lstBSP), Names{"DE_AZTEC"});
    EXPECT_EQ(Items(lists.lstMap), (Names{"crossfire", "de_dust"}));

    lists.lstMap.AddItem("DE_AZTEC");
    cmdSave_Click(lists, windows.messages);
    ASSERT_EQ(windows.messages.shown.size(), 1u);
    EXPECT_EQ(windows.messages.shown[0].text, "Map Saved");
    EXPECT_EQ(ScratchFolder::Read(install.folder / "valve\\mapcycle.txt"),
              "crossfire\r\nde_dust\r\nDE_AZTEC\r\n");
    EXPECT_EQ(ScratchFolder::Entries(install.folder / "valve"), (Names{"mapcycle.txt", "maps"}));
}

} // namespace
} // namespace rotaline
