// Program paths turned into native ones through the Wine prefix's drive links.
#include "core/platform/Paths.h"

#include "ScopedEnv.h"

#include <gtest/gtest.h>

#include <map>

TEST(NativePath, DriveLetterGoesThroughDosDevicesAndNothingElseIsNormalised) {
    const ScopedEnv prefix{"WINEPREFIX", "/srv/wine"};
    for (const auto& [program, native] : std::map<std::string, std::string>{
             {"C:\\Games\\Half-Life", "/srv/wine/dosdevices/c:/Games/Half-Life"},
             {"C:", "/srv/wine/dosdevices/c:"},
             {"C:\\Half-Life\\\\valve\\", "/srv/wine/dosdevices/c:/Half-Life//valve/"},
             {"valve\\maps\\*.bsp", "valve/maps/*.bsp"},
             {"1:\\x", "1:/x"},
             {"ab:\\x", "ab:/x"},
             {"", ""}}) {
        EXPECT_EQ(rotaline::NativePath(program), native);
    }
    // Without a prefix of its own the user has Wine's default one.
    const ScopedEnv home{"HOME", "/home/op"};
    unsetenv("WINEPREFIX");
    EXPECT_EQ(rotaline::WinePrefix(), "/home/op/.wine");
    setenv("WINEPREFIX", "", 1);
    EXPECT_EQ(rotaline::NativePath("C:\\x"), "/home/op/.wine/dosdevices/c:/x");
}
