// Start-up over install folders made by the test: which mods are offered, and the messages.
#include "app/Startup.h"
#include "FakeWindowSystem.h"
#include "app/Globals.h"
#include "app/Shutdown.h"
#include "lists/SelectableList.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rotaline {
namespace {

using testing::FakeWindowSystem;

std::vector<std::string> Items(const SelectableList& list) {
    std::vector<std::string> items;
    for (std::int16_t i = 0; i < list.ListCount(); ++i) {
        items.push_back(list.List(i));
    }
    return items;
}

// The order in which the file system lists a folder, which is the order the chooser keeps.
std::vector<std::string> ReaddirOrder(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    while (dirent* entry = readdir(dir)) {
        names.push_back(entry->d_name);
    }
    closedir(dir);
    return names;
}

class StartupTest : public ::testing::Test {
protected:
    void AddMod(const std::string& name, bool withCycle) {
        install.MakeFolder(name);
        if (withCycle) {
            install.Write(name + "/mapcycle.txt", "crossfire\r\n");
        }
    }
    void Load() { Form_Load(modList, windows, install.Path()); }

    TempFolder install;
    FakeWindowSystem windows;
    SelectableList modList{SelectionStyle::Single, false};
};

TEST_F(StartupTest, OffersTheFoldersHoldingACycleInListingOrder) {
    AddMod("valve", true);
    AddMod("dod", false);
    AddMod("cstrike", true);
    AddMod("tfc", true);
    Load();

    std::vector<std::string> expected;
    for (const std::string& name : ReaddirOrder(install.Path())) {
        if (name == "valve" || name == "cstrike" || name == "tfc") {
            expected.push_back(name);
        }
    }
    EXPECT_EQ(Items(modList), expected);
    EXPECT_EQ(InstallPath, install.Path());
    EXPECT_TRUE(windows.messages.shown.empty());
}

TEST_F(StartupTest, LeavesOutWhatIsNoModFolder) {
    AddMod("valve", true);
    AddMod("cstrike.old", true); // a name with an extension
    AddMod(".hidden", true);     // hidden
    install.MakeFolder("ricochet");
    install.MakeFolder("ricochet/mapcycle.txt"); // a folder, not a file
    install.Write("README", "a file without an extension\n");
    Load();

    EXPECT_EQ(Items(modList), std::vector<std::string>{"valve"});
}

TEST_F(StartupTest, KeepsDotWhenTheInstallFolderItselfHoldsACycle) {
    AddMod("valve", true);
    install.Write("mapcycle.txt", "bounce\r\n");
    Load();

    std::vector<std::string> items = Items(modList);
    std::sort(items.begin(), items.end());
    EXPECT_EQ(items, (std::vector<std::string>{".", "valve"}));
}

TEST_F(StartupTest, InstallPathEndingInASeparatorIsUsedAsItStands) {
    AddMod("valve", true);
    Form_Load(modList, windows, install.Path() + "\\");
    EXPECT_EQ(InstallPath, install.Path() + "\\");
    EXPECT_EQ(Items(modList), std::vector<std::string>{"valve"});
}

TEST_F(StartupTest, EmptyInstallFolderSaysCannotContinueAndNamesThePattern) {
    Form_Load(modList, windows, install.Path() + "/nothing-here");
    ASSERT_EQ(windows.messages.shown.size(), 1u);
    EXPECT_EQ(windows.messages.shown[0].title, "Cannot Continue");
    EXPECT_EQ(windows.messages.shown[0].text,
              "No files present in: " + install.Path() + "/nothing-here\\*.");
    EXPECT_EQ(windows.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(modList.ListCount(), 0);
    EXPECT_TRUE(windows.IsLoaded(windows.chooser.get()));
}

TEST_F(StartupTest, UnreadableInstallFolderSaysWhy) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads every folder";
    }
    AddMod("valve", true);
    chmod(install.Path().c_str(), 0);
    Load();
    ASSERT_EQ(windows.messages.shown.size(), 1u);
    EXPECT_EQ(windows.messages.shown[0].title, "Cannot Continue");
    EXPECT_NE(windows.messages.shown[0].text.find("Permission denied"), std::string::npos);
}

TEST_F(StartupTest, EmptyInstallPathCannotStartAndUnloadsTheChooser) {
    Form_Load(modList, windows, std::string());
    ASSERT_EQ(windows.messages.shown.size(), 1u);
    EXPECT_EQ(windows.messages.shown[0].text, "Half Life is not installed on this machine");
    EXPECT_EQ(windows.messages.shown[0].title, "Cannot Start");
    EXPECT_EQ(windows.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(windows.FormsCount(), 0);
}

TEST(StartupRegistryTest, MissingRegistryValueCountsAsNotInstalled) {
    TempFolder prefix;
    setenv("WINEPREFIX", prefix.Path().c_str(), 1);
    prefix.Write("system.reg", "WINE REGISTRY Version 2\n\n[Software\\\\Valve\\\\Half-Life] 1\n");
    FakeWindowSystem windows;
    SelectableList modList{SelectionStyle::Single, false};
    Form_Load(modList, windows, std::nullopt);
    unsetenv("WINEPREFIX");

    ASSERT_EQ(windows.messages.shown.size(), 1u);
    EXPECT_EQ(windows.messages.shown[0].title, "Cannot Start");
    EXPECT_EQ(windows.FormsCount(), 0);
}

TEST(StartupRegistryTest, ReadsTheInstallFolderFromTheRegistry) {
    TempFolder prefix;
    TempFolder install;
    install.MakeFolder("valve");
    install.Write("valve/mapcycle.txt", "crossfire\r\n");
    setenv("WINEPREFIX", prefix.Path().c_str(), 1);
    prefix.Write("system.reg", "WINE REGISTRY Version 2\n\n[Software\\\\Valve\\\\Half-Life] 1\n"
                               "\"InstallPath\"=\"" +
                                   install.Path() + "\"\n");
    FakeWindowSystem windows;
    SelectableList modList{SelectionStyle::Single, false};
    Form_Load(modList, windows, std::nullopt);
    unsetenv("WINEPREFIX");

    EXPECT_EQ(InstallPath, install.Path());
    EXPECT_EQ(Items(modList), std::vector<std::string>{"valve"});
}

TEST(ShutdownTest, UnloadsEveryOtherWindowFromTheLastDown) {
    FakeWindowSystem windows;
    windows.LoadEditor();
    Form_Unload(windows);
    EXPECT_EQ(windows.unloadOrder, std::vector<std::string>{"editor"});
    EXPECT_EQ(windows.FormsCount(), 1);
}

TEST(ShutdownTest, ExitWithTheEditorLoadedUnloadsTheEditorFirst) {
    FakeWindowSystem windows;
    windows.LoadEditor();
    cmdClose_Click(windows);
    EXPECT_EQ(windows.unloadOrder, (std::vector<std::string>{"editor", "chooser"}));
    EXPECT_EQ(windows.FormsCount(), 0);
}

TEST(ShutdownTest, ExitWithOnlyTheChooserUnloadsIt) {
    FakeWindowSystem windows;
    Form_Unload(windows);
    EXPECT_TRUE(windows.unloadOrder.empty());
    cmdClose_Click(windows);
    EXPECT_EQ(windows.unloadOrder, std::vector<std::string>{"chooser"});
}

} // namespace
} // namespace rotaline
