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

TEST(Startup, OffersTheFoldersHoldingACycleFileInNameOrder) {
    TempFolder install;
    for (const char* mod :
         {"valve", "dod", "tf_x", "cstrike", "TFC", "cstrike.old", ".hidden", "ricochet"}) {
        install.MakeFolder(mod);
    }
    for (const char* cycle : {"valve", "tf_x", "cstrike", "TFC", "cstrike.old", ".hidden", "."}) {
        install.Write(cycle + std::string("/mapcycle.txt"), "crossfire\r\n");
    }
    install.MakeFolder("ricochet/mapcycle.txt"); // a folder, not a file
    install.Write("README", "a file without an extension\n");
    // In the order NTFS lists them: by the upper-case names, so "TFC" comes before "tf_x".
    const std::vector<std::string> expected{".", "cstrike", "TFC", "tf_x", "valve"};
    // A path ending in a separator is used as it stands.
    for (const std::string& path : {install.Path(), install.Path() + "/"}) {
        FakeWindowSystem windows;
        SelectableList modList{SelectionStyle::Single, false};
        Form_Load(modList, windows, path);
        EXPECT_EQ(Items(modList), expected);
        EXPECT_EQ(InstallPath, path);
        EXPECT_TRUE(windows.messages.shown.empty());
    }
}

TEST(Startup, SaysWhyItCannotContinueOrStart) {
    TempFolder install;
    install.MakeFolder("unreadable");
    install.MakeFolder("unreadable/valve");
    install.Write("unreadable/valve/mapcycle.txt", "crossfire\r\n");
    chmod((install / "unreadable").c_str(), 0);
    const struct {
        std::string path, text, title;
        int formsLeft;
    } rows[] = {
        {install / "nothing-here", "No files present in: " + install / "nothing-here\\*.",
         "Cannot Continue", 1},
        {install / "unreadable", "Permission denied", "Cannot Continue", 1},
        {"", "Half Life is not installed on this machine", "Cannot Start", 0},
    };
    for (const auto& row : rows) {
        if (row.text == "Permission denied" && geteuid() == 0) {
            continue; // root reads every folder
        }
        FakeWindowSystem windows;
        SelectableList modList{SelectionStyle::Single, false};
        Form_Load(modList, windows, row.path);
        ASSERT_EQ(windows.messages.shown.size(), 1u) << row.path;
        const std::string& text = windows.messages.shown[0].text;
        EXPECT_TRUE(row.text == "Permission denied" ? text.find(row.text) != std::string::npos
                                                    : text == row.text)
            << text;
        EXPECT_EQ(windows.messages.shown[0].title, row.title);
        EXPECT_EQ(windows.messages.shown[0].icon, MessageIcon::Critical);
        EXPECT_EQ(modList.ListCount(), 0);
        EXPECT_EQ(windows.FormsCount(), row.formsLeft);
    }
    chmod((install / "unreadable").c_str(), 0755);
}

// Unloading the chooser unloads every other window, from the last down; Exit unloads them all.
TEST(Shutdown, UnloadsTheEditorFirst) {
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
