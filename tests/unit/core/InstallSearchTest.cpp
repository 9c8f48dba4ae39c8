// The search for a Half-Life install in fake home folders laid out as Steam and SteamCMD do.
#include "core/session/InstallSearch.h"
#include "FakeWindowSystem.h"
#include "ScopedEnv.h"
#include "core/session/Globals.h"
#include "core/session/Startup.h"
#include "lists/ListText.h"
#include "core/lists/SelectableList.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rotaline {
namespace {

constexpr const char* kLocalSteam = ".local/share/Steam";
constexpr const char* kFlatpakSteam = ".var/app/com.valvesoftware.Steam/.local/share/Steam";
constexpr const char* kGame = "/steamapps/common/Half-Life";

class InstallSearchTest : public ::testing::Test {
protected:
    std::string Home() const { return home.Path(); }

    // A Half-Life folder with one mod in it, at `library`'s steamapps/common/Half-Life.
    static std::string MakeGame(const std::string& library) {
        const std::string game = library + kGame;
        std::filesystem::create_directories(game + "/valve");
        return game;
    }
    // Steam's library list for the client root `root` (relative to the home folder).
    void WriteLibraries(const std::string& root, const std::vector<std::string>& libraries) {
        std::string text = "\"libraryfolders\"\n{\n";
        for (std::size_t i = 0; i < libraries.size(); ++i) {
            text += "\t\"" + std::to_string(i) + "\"\n\t{\n\t\t\"path\"\t\t\"" + libraries[i] +
                    "\"\n\t\t\"label\"\t\t\"\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"70\"\t\t\"1\"\n\t\t}\n"
                    "\t}\n";
        }
        WriteLibraryFile(root, text + "}\n");
    }
    void WriteLibraryFile(const std::string& root, const std::string& text) {
        std::filesystem::create_directories(home / (root + "/steamapps"));
        home.Write(root + "/steamapps/libraryfolders.vdf", text);
    }

    TempFolder home;
};

TEST_F(InstallSearchTest, CandidatesComeInTheirOrderEachOnce) {
    WriteLibraries(kLocalSteam, {Home() + "/" + kLocalSteam, "/mnt/games/", "/srv/steam"});
    WriteLibraries(".steam/steam", {"/srv/steam", "/mnt/other"});
    const std::string h = Home();
    EXPECT_EQ(HalfLifeFolderCandidates(h + "/"), (std::vector<std::string>{
                                                     h + "/" + kLocalSteam + kGame,
                                                     std::string("/mnt/games") + kGame,
                                                     std::string("/srv/steam") + kGame,
                                                     std::string("/mnt/other") + kGame,
                                                     h + "/.steam/steam" + kGame,
                                                     h + "/.steam/root" + kGame,
                                                     h + "/" + kFlatpakSteam + kGame,
                                                     h + "/Steam" + kGame,
                                                     h + "/.steam/steamcmd" + kGame,
                                                 }));
}

TEST_F(InstallSearchTest, FindsTheGameInALaterLibraryOfTheList) {
    const std::string second = home / "disk2";
    const std::string third = home / "disk3";
    WriteLibraries(kLocalSteam, {Home() + "/" + kLocalSteam, second, third});
    MakeGame(third);
    MakeGame(second);
    EXPECT_EQ(FindHalfLifeFolder(Home()), second + kGame);
}

TEST_F(InstallSearchTest, ReadsTheLibraryFileOfBefore2021) {
    const std::string library = home / "old library";
    WriteLibraryFile(kLocalSteam, "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"16\"\n"
                                  "\t\"1\"\t\t\"" +
                                      library + "\"\n}\n");
    MakeGame(library);
    EXPECT_EQ(FindHalfLifeFolder(Home()), library + kGame);
}

TEST_F(InstallSearchTest, FindsTheFlatpakClientsRootAndLibraries) {
    // A root without a library file is a library all the same.
    MakeGame(home / kFlatpakSteam);
    EXPECT_EQ(FindHalfLifeFolder(Home()), home / kFlatpakSteam + kGame);
    const std::string library = home / "flatpak-games";
    WriteLibraries(kFlatpakSteam, {library, Home() + "/" + kFlatpakSteam});
    MakeGame(library);
    EXPECT_EQ(FindHalfLifeFolder(Home()), library + kGame);
}

TEST_F(InstallSearchTest, DamagedLibraryFileStillLetsTheRootBeTried) {
    const std::string library = home / "listed";
    MakeGame(library);
    MakeGame(home / kLocalSteam);
    WriteLibraryFile(kLocalSteam,
                     "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\"" + library + "\"\n");
    EXPECT_EQ(FindHalfLifeFolder(Home()), home / kLocalSteam + kGame);
}

TEST_F(InstallSearchTest, HalfLifeFolderWithoutAModFolderDoesNotCount) {
    EXPECT_EQ(FindHalfLifeFolder(Home()), std::nullopt);
    const std::string empty = home / "Steam" + kGame;
    std::filesystem::create_directories(empty + "/.hidden");
    home.Write(std::string("Steam") + kGame + "/hlds_run", "#!/bin/sh\n");
    EXPECT_FALSE(HoldsModFolder(empty));
    EXPECT_EQ(FindHalfLifeFolder(Home()), std::nullopt);

    MakeGame(home / ".steam/steamcmd");
    EXPECT_EQ(FindHalfLifeFolder(Home()), home / ".steam/steamcmd" + kGame);
}

// Start-up when the Wine prefix's registry names no install: the search under $HOME decides.
class StartupSearchTest : public InstallSearchTest {
protected:
    void Load() {
        const ScopedEnv homeVariable("HOME", Home());
        const ScopedEnv prefixVariable("WINEPREFIX", prefix.Path());
        Form_Load(modList, windows, std::nullopt);
    }

    TempFolder prefix;
    testing::FakeWindowSystem windows;
    SelectableList modList{SelectionStyle::Single, false};
};

TEST_F(StartupSearchTest, UsesTheFoundFolderWhenTheRegistryHasNone) {
    const std::string game = MakeGame(home / "Steam");
    home.Write(std::string("Steam") + kGame + "/valve/mapcycle.txt", "crossfire\r\n");
    Load();
    EXPECT_EQ(InstallPath, game);
    ASSERT_EQ(modList.ListCount(), 1);
    EXPECT_EQ(modList.List(0), "valve");
    EXPECT_TRUE(windows.messages.shown.empty());
}

TEST_F(StartupSearchTest, CannotStartWhenNothingIsFound) {
    // The registry's key without the value counts as no install.
    prefix.Write("system.reg", "WINE REGISTRY Version 2\n\n[Software\\\\Valve\\\\Half-Life] 1\n");
    Load();
    EXPECT_EQ(InstallPath, "");
    ASSERT_EQ(windows.messages.shown.size(), 1u);
    EXPECT_EQ(windows.messages.shown[0].title, "Cannot Start");
    EXPECT_EQ(windows.FormsCount(), 0);
}

TEST_F(StartupSearchTest, RegistryValueComesBeforeTheSearch) {
    MakeGame(home / "Steam");
    TempFolder registered;
    registered.MakeFolder("cstrike");
    registered.Write("cstrike/mapcycle.txt", "de_dust\r\n");
    prefix.Write("system.reg", "WINE REGISTRY Version 2\n\n[Software\\\\Valve\\\\Half-Life] 1\n"
                               "\"InstallPath\"=\"" +
                                   registered.Path() + "\"\n");
    Load();
    EXPECT_EQ(InstallPath, registered.Path());
    EXPECT_EQ(Items(modList), std::vector<std::string>{"cstrike"});
    EXPECT_TRUE(windows.messages.shown.empty());
}

} // namespace
} // namespace rotaline
