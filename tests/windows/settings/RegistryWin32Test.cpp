// The settings reader against the real registry: the shared cases, the 32-bit view, the probe.
#include "core/settings/RegistryApi.h"
#include "core/settings/SettingsReader.h"
#include "core/settings/win32/Win32Registry.h"

#include "settings/SettingsVectors.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace rotaline {
namespace {

// Something no case expects, so that a value left untouched shows.
const SettingValue kUntouched = std::int32_t{-12345};

const wchar_t* const kTestRoot = L"Software\\Rotaline Tests";

// The registry holds text types as UTF-16; the cases' text is ASCII, one unit per byte.
std::string StoredData(DWORD type, std::string_view data) {
    const bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
    if (!text) {
        return std::string(data);
    }
    std::string wide;
    for (const char byte : data) {
        wide += byte;
        wide += '\0';
    }
    return wide;
}

std::wstring WideAscii(std::string_view text) {
    return std::wstring(text.begin(), text.end());
}

// Writes the value with the bytes and type given. A text whose last unit is not NUL gets one
// added when a NUL follows it in memory (Windows and Wine both "help" so), so the bytes are
// followed by something else to store a text without its NUL.
LSTATUS StoreValue(HKEY key, std::string_view name, DWORD type, const std::string& data) {
    const std::string guarded = data + "\xFF\xFF";
    return RegSetValueExW(key, WideAscii(name).c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(guarded.data()),
                          static_cast<DWORD>(data.size()));
}

LSTATUS CreateKey(HKEY root, const std::wstring& path, REGSAM view, HKEY& key) {
    return RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                           nullptr);
}

void DeleteViewKeys(REGSAM view) {
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kTestRoot) + L"\\View").c_str(), view, 0);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kTestRoot, view, 0);
}

// Test processes run side by side and share the registry, so none deletes the key another may
// be reading: each writes the same values over whatever an earlier run left.
class RegistryWin32 : public testing::Test {
protected:
    static void SetUpTestSuite() {
        HKEY key = nullptr;
        ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, WideAscii(vectors::kTestKey), 0, key),
                  ERROR_SUCCESS);
        for (const auto& c : vectors::kRegistryCases) {
            ASSERT_EQ(StoreValue(key, c.name, c.type, StoredData(c.type, c.data)), ERROR_SUCCESS)
                << c.name;
        }
        RegCloseKey(key);
    }
};

class RegistryReadsWin32 : public RegistryWin32,
                           public testing::WithParamInterface<vectors::RegistryCase> {};

TEST_P(RegistryReadsWin32, ReadByLetter) {
    const auto& c = GetParam();
    SettingValue value = kUntouched;
    EXPECT_EQ(GetSettingValue("HKCU", vectors::kTestKeyText, std::string(c.name),
                              std::string(c.letter), c.defaultValue, value),
              c.status);
    EXPECT_EQ(value, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Values, RegistryReadsWin32, testing::ValuesIn(vectors::kRegistryCases),
                         [](const auto& row) { return std::string(row.param.name); });

class LookupsWin32 : public RegistryWin32,
                     public testing::WithParamInterface<vectors::LookupCase> {};

TEST_P(LookupsWin32, FindKeyAndValue) {
    const auto& c = GetParam();
    SettingValue value = kUntouched;
    EXPECT_EQ(GetSettingValue(std::string(c.location), c.keyPath, std::string(c.valueName), "S",
                              "No Name", value),
              c.status);
    EXPECT_EQ(value, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, LookupsWin32, testing::ValuesIn(vectors::kLookupCases),
                         [](const auto& row) { return std::string(row.param.name); });

// The reader's size probe hands a real buffer of size 0; the registry answers a null one
// differently, so the pointer must reach it unchanged.
TEST_F(RegistryWin32, ProbeBufferReachesRegistryUnchanged) {
    Win32Registry registry;
    RegistryKey key = 0;
    ASSERT_EQ(registry.OpenKey(HKEY_CURRENT_USER_VALUE, vectors::kTestKeyText, key), 0);

    unsigned char none = 0;
    std::uint32_t type = kRegSz;
    std::uint32_t size = 0;
    EXPECT_EQ(registry.QueryValue(key, "TextWithNul", type, &none, size), kErrorMoreData);
    EXPECT_EQ(size, 12u);
    EXPECT_EQ(type, kRegSz);

    type = kRegDword;
    size = 0;
    EXPECT_EQ(registry.QueryValue(key, "TextWithNul", type, nullptr, size), 0);
    EXPECT_EQ(size, 12u);
    EXPECT_EQ(type, kRegSz) << "the registry reports the stored type";

    EXPECT_EQ(registry.CloseKey(key), 0);
}

// A value in each view of HKEY_LOCAL_MACHINE\Software: the 32-bit one, where the game's 32-bit
// setup writes on 64-bit Windows, is the one read.
class RegistryViewWin32 : public testing::Test {
protected:
    void SetUp() override {
        for (const auto& [view, where] : {std::pair{KEY_WOW64_32KEY, "32-bit view"},
                                          std::pair{KEY_WOW64_64KEY, "64-bit view"}}) {
            HKEY key = nullptr;
            const LSTATUS created =
                CreateKey(HKEY_LOCAL_MACHINE, std::wstring(kTestRoot) + L"\\View", view, key);
            if (created == ERROR_ACCESS_DENIED) {
                GTEST_SKIP() << "writing HKEY_LOCAL_MACHINE needs an administrator";
            }
            ASSERT_EQ(created, ERROR_SUCCESS);
            const std::string data = std::string(where) + '\0';
            ASSERT_EQ(StoreValue(key, "Where", REG_SZ, StoredData(REG_SZ, data)), ERROR_SUCCESS);
            if (view == KEY_WOW64_64KEY) {
                ASSERT_EQ(StoreValue(key, "Only64", REG_SZ, StoredData(REG_SZ, data)),
                          ERROR_SUCCESS);
            }
            RegCloseKey(key);
        }
    }
    void TearDown() override {
        DeleteViewKeys(KEY_WOW64_32KEY);
        DeleteViewKeys(KEY_WOW64_64KEY);
    }
};

TEST_F(RegistryViewWin32, ReadsThirtyTwoBitView) {
    SettingValue value = kUntouched;
    EXPECT_EQ(
        GetSettingValue("HKLM", "Software\\Rotaline Tests\\View\\", "Where", "S", "No Name", value),
        0);
    EXPECT_EQ(value, SettingValue("32-bit view"));

    value = kUntouched;
    EXPECT_EQ(
        GetSettingValue("HKLM", "Software\\Rotaline Tests\\View", "Only64", "S", "No Name", value),
        ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(value, SettingValue("No Name"));
}

} // namespace
} // namespace rotaline
