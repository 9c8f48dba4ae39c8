// Program paths turned into native ones: through the Wine prefix's drive links on POSIX, handed
// over unchanged on Windows.
#include "core/platform/Paths.h"

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
TEST(NativePath, DriveLettersAndSeparatorsStay) {
    for (const std::string path :
         {"C:\\Sierra\\Half-Life", "c:\\x\\\\valve\\", "\\\\server\\hlds\\valve",
          "valve\\maps\\*.bsp", "No Name\\*.", ""}) {
        EXPECT_EQ(rotaline::NativePath(path), path);
    }
}
#else
#include "ScopedEnv.h"
#include "core/platform/FolderListing.h"
#include "platform/TempFolder.h"

#include <unistd.h>

TEST(NativePath, DriveLetterGoesThroughDosDevicesAndNothingElseIsNormalised) {
    const ScopedEnv prefix{"WINEPREFIX", "/srv/wine"};
    const std::pair<const char*, const char*> rows[] = {
        {"C:\\Games\\Half-Life", "/srv/wine/dosdevices/c:/Games/Half-Life"},
        {"d:\\x", "/srv/wine/dosdevices/d:/x"},
        {"C:", "/srv/wine/dosdevices/c:"},
        {"C:\\Half-Life\\\\valve\\", "/srv/wine/dosdevices/c:/Half-Life//valve/"},
        {"valve\\maps\\*.bsp", "valve/maps/*.bsp"},
        {"1:\\x", "1:/x"},
        {"ab:\\x", "ab:/x"},
        {"", ""},
    };
    for (const auto& [program, native] : rows) {
        EXPECT_EQ(rotaline::NativePath(program), native);
    }
}

TEST(NativePath, PrefixDefaultsToWineInHome) {
    const ScopedEnv prefix{"WINEPREFIX", "/srv/wine"};
    const ScopedEnv home{"HOME", "/home/op"};
    EXPECT_EQ(rotaline::WinePrefix(), "/srv/wine");
    unsetenv("WINEPREFIX");
    EXPECT_EQ(rotaline::WinePrefix(), "/home/op/.wine");
    setenv("WINEPREFIX", "", 1);
    EXPECT_EQ(rotaline::NativePath("C:\\x"), "/home/op/.wine/dosdevices/c:/x");
}

TEST(NativePath, ListingFollowsDriveLink) {
    const TempFolder prefix;
    for (const char* folder :
         {"dosdevices", "drive_c", "drive_c/Half-Life", "drive_c/Half-Life/valve"}) {
        prefix.MakeFolder(folder);
    }
    ASSERT_EQ(symlink("../drive_c", (prefix / "dosdevices/c:").c_str()), 0);
    const ScopedEnv env{"WINEPREFIX", prefix.Path()};
    EXPECT_EQ(rotaline::ListFolder("C:\\Half-Life\\v*.", 16).value(),
              std::vector<std::string>{"valve"});
}
#endif
