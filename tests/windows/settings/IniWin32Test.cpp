// The settings reader's INI mode and the profile calls on real files, by the shared cases.
#include "core/settings/RegistryApi.h"
#include "core/settings/SettingsReader.h"
#include "core/settings/win32/Win32Profile.h"

#include "ScratchFolder.h"
#include "settings/SettingsVectors.h"

#include <gtest/gtest.h>

#include <string>

namespace rotaline {
namespace {

const SettingValue kUntouched = std::int32_t{-12345};

class IniWin32 : public testing::Test {
protected:
    void SetUp() override {
        folder_.Write("settings.ini", vectors::kIniText);
        folder_.Write("profile.ini", vectors::kProfileText);
        folder_.Write(".hidden.ini", vectors::kIniText, FILE_ATTRIBUTE_HIDDEN);
        folder_.Write("system.ini", vectors::kIniText, FILE_ATTRIBUTE_SYSTEM);
        folder_.MakeFolder("folder.ini");
    }
    ScratchFolder folder_;
};

class IniReadsWin32 : public IniWin32, public testing::WithParamInterface<vectors::IniCase> {};

TEST_P(IniReadsWin32, ReadFromFile) {
    const auto& c = GetParam();
    SettingValue value = kUntouched;
    EXPECT_EQ(GetSettingValue(folder_ / "settings.ini", std::string(c.section), std::string(c.key),
                              std::string(c.letter), c.defaultValue, value),
              0);
    EXPECT_EQ(value, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, IniReadsWin32, testing::ValuesIn(vectors::kIniCases),
                         [](const auto& row) { return std::string(row.param.name); });

class ProfileStringsWin32 : public IniWin32,
                            public testing::WithParamInterface<vectors::ProfileStringCase> {};

TEST_P(ProfileStringsWin32, GetString) {
    const auto& c = GetParam();
    std::string buffer(80, '#');
    Win32Profile profile;
    const std::uint32_t copied =
        profile.GetString(std::string(c.section), std::string(c.key), std::string(c.defaultText),
                          buffer.data(), c.size, folder_ / "profile.ini");
    EXPECT_EQ(copied, c.expected.size());
    EXPECT_EQ(buffer.substr(0, c.expected.size()), c.expected);
    EXPECT_EQ(buffer[c.expected.size()], '\0');
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileStringsWin32,
                         testing::ValuesIn(vectors::kProfileStringCases),
                         [](const auto& row) { return std::string(row.param.name); });

class ProfileIntsWin32 : public IniWin32,
                         public testing::WithParamInterface<vectors::ProfileIntCase> {};

TEST_P(ProfileIntsWin32, GetInt) {
    const auto& c = GetParam();
    Win32Profile profile;
    EXPECT_EQ(profile.GetInt("Main", std::string(c.key), c.defaultValue, folder_ / "profile.ini"),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileIntsWin32, testing::ValuesIn(vectors::kProfileIntCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(IniWin32, LocationClasses) {
    const std::vector<std::pair<std::string, std::uint32_t>> cases = {
        {"HKCU", HKEY_CURRENT_USER_VALUE},
        {"hklm", HKEY_LOCAL_MACHINE_VALUE},
        {"Hku", HKEY_USERS_VALUE},
        {"hkdd", HKEY_DYN_DATA_VALUE},
        {"HKcc", HKEY_CURRENT_CONFIG_VALUE},
        {"hKCR", HKEY_CLASSES_ROOT_VALUE},
        {"HKEY_LOCAL_MACHINE", LOCATION_UNKNOWN},
        {folder_ / "settings.ini", LOCATION_FILE},
        {folder_ / "SETTINGS.INI", LOCATION_FILE},
        {folder_ / "set*.i?i", LOCATION_FILE},
        {folder_ / "folder.ini", LOCATION_UNKNOWN},
        {folder_ / ".hidden.ini", LOCATION_UNKNOWN},
        {folder_ / "system.ini", LOCATION_UNKNOWN},
        {folder_ / "missing.ini", LOCATION_UNKNOWN},
        {folder_ / "missing\\settings.ini", LOCATION_UNKNOWN},
    };
    for (const auto& [location, expected] : cases) {
        EXPECT_EQ(ClassifyLocation(location), expected) << location;
    }
}

TEST_F(IniWin32, FolderIsNoLocation) {
    SettingValue value = kUntouched;
    EXPECT_EQ(GetSettingValue(folder_ / "folder.ini", "Server", "Map", "S", "No Name", value),
              SETTINGS_NOT_FOUND);
    EXPECT_EQ(value, SettingValue("No Name"));
}

// The listing finds a bare name in the working folder; the profile calls would look in the
// Windows folder unless told otherwise.
TEST_F(IniWin32, BareFileNameIsReadFromWorkingFolder) {
    char previous[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.Path().c_str()));
    SettingValue value = kUntouched;
    const std::int32_t status =
        GetSettingValue("settings.ini", "Server", "Map", "S", "No Name", value);
    ASSERT_TRUE(SetCurrentDirectoryA(previous));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(value, SettingValue("crossfire"));
}

} // namespace
} // namespace rotaline
