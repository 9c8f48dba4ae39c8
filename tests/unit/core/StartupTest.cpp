// Start-up over install folders made by the test: which mods are offered, and the messages.
#include "core/session/Startup.h"
#include "FakeWindowSystem.h"
#include "core/lists/SelectableList.h"
#include "core/session/Globals.h"
#include "core/session/Shutdown.h"
#include "lists/ListText.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace rotaline {
namespace {

using testing::FakeWindowSystem;

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

// In the order NTFS lists them: by the upper-case names, so "TFC" comes before "tf_x".
TEST_F(StartupTest, OffersTheFoldersHoldingACycleInNameOrder) {
    AddMod("valve", true);
    AddMod("dod", false);
    AddMod("tf_x", true);
    AddMod("cstrike", true);
    AddMod("TFC", true);
    Load();

    EXPECT_EQ(Items(modList), (std::vector<std::string>{"cstrike", "TFC", "tf_x", "valve"}));
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
    Form_Load(modList, windows, install.Path() + "/");
    EXPECT_EQ(InstallPath, install.Path() + "/");
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
    EXPECT_TRUE(windows.IsLoaded(windows.chooser));
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

// Unloading the chooser unloads every other window, from the last down; Exit unloads them all.
TEST(ShutdownTest, UnloadsTheEditorFirst) {
    FakeWindowSystem chooserOnly;
    Form_Unload(chooserOnly);
    EXPECT_TRUE(chooserOnly.unloadOrder.empty());
    cmdClose_Click(chooserOnly);
    EXPECT_EQ(chooserOnly.unloadOrder, std::vector<std::string>{"chooser"});

    FakeWindowSystem windows;
    windows.LoadEditor();
    Form_Unload(windows);
    EXPECT_EQ(windows.unloadOrder, std::vector<std::string>{"editor"});
    EXPECT_EQ(windows.FormsCount(), 1);

    FakeWindowSystem exiting;
    exiting.LoadEditor();
    cmdClose_Click(exiting);
    EXPECT_EQ(exiting.unloadOrder, (std::vector<std::string>{"editor", "chooser"}));
    EXPECT_EQ(exiting.FormsCount(), 0);
}

} // namespace
} // namespace rotaline
