// Program paths turned into native ones through the Wine prefix's drive links.
#include "core/platform/Paths.h"
#include "ScopedEnv.h"
#include "core/platform/FolderListing.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

class PathsTest : public testing::Test {
protected:
    ScopedEnv prefix_{"WINEPREFIX", "/srv/wine"};
    ScopedEnv home_{"HOME", "/home/op"};
};

TEST_F(PathsTest, DriveLetterGoesThroughDosDevices) {
    EXPECT_EQ(rotaline::NativePath("C:\\Games\\Half-Life"),
              "/srv/wine/dosdevices/c:/Games/Half-Life");
    EXPECT_EQ(rotaline::NativePath("d:\\x"), "/srv/wine/dosdevices/d:/x");
    EXPECT_EQ(rotaline::NativePath("C:"), "/srv/wine/dosdevices/c:");
}

TEST_F(PathsTest, NothingElseIsNormalised) {
    EXPECT_EQ(rotaline::NativePath("C:\\Half-Life\\\\valve\\"),
              "/srv/wine/dosdevices/c:/Half-Life//valve/");
    EXPECT_EQ(rotaline::NativePath("valve\\maps\\*.bsp"), "valve/maps/*.bsp");
    EXPECT_EQ(rotaline::NativePath("1:\\x"), "1:/x");
    EXPECT_EQ(rotaline::NativePath("ab:\\x"), "ab:/x");
    EXPECT_EQ(rotaline::NativePath(""), "");
}

TEST_F(PathsTest, PrefixDefaultsToWineInHome) {
    EXPECT_EQ(rotaline::WinePrefix(), "/srv/wine");
    unsetenv("WINEPREFIX");
    EXPECT_EQ(rotaline::WinePrefix(), "/home/op/.wine");
    setenv("WINEPREFIX", "", 1);
    EXPECT_EQ(rotaline::NativePath("C:\\x"), "/home/op/.wine/dosdevices/c:/x");
}

TEST_F(PathsTest, ListingFollowsDriveLink) {
    const TempFolder prefix;
    prefix.MakeFolder("dosdevices");
    prefix.MakeFolder("drive_c");
    prefix.MakeFolder("drive_c/Half-Life");
    prefix.MakeFolder("drive_c/Half-Life/valve");
    ASSERT_EQ(symlink("../drive_c", (prefix / "dosdevices/c:").c_str()), 0);
    setenv("WINEPREFIX", prefix.Path().c_str(), 1);

    const auto listing = rotaline::ListFolder("C:\\Half-Life\\v*.", 16);
    ASSERT_TRUE(listing.ok());
    EXPECT_EQ(*listing, std::vector<std::string>{"valve"});
}

} // namespace
