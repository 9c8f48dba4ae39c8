// Program paths on Windows are handed to the system as they are.
#include "core/platform/Paths.h"

#include <gtest/gtest.h>

#include <string>

TEST(NativePathWin32, DriveLettersAndSeparatorsStay) {
    for (const std::string path :
         {"C:\\Sierra\\Half-Life", "c:\\x\\\\valve\\", "\\\\server\\hlds\\valve",
          "valve\\maps\\*.bsp", "No Name\\*.", ""}) {
        EXPECT_EQ(rotaline::NativePath(path), path);
    }
}
