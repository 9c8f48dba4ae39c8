// What the settings reader answers from the registry and from INI files, the same rows on
// Windows' own calls and on the Wine prefix's files elsewhere; then how it drives those calls.
#include "core/settings/ProfileApi.h"
#include "core/settings/RegistryApi.h"
#include "core/settings/SettingsReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#ifdef _WIN32
#include "ScratchFolder.h"
#include "core/settings/win32/Win32Profile.h"
#include <windows.h>
#else
#include "TestPrefix.h"
#include "core/settings/posix/IniProfile.h"
#endif

namespace rotaline {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

template <typename Row> std::string RowName(const testing::TestParamInfo<Row>& row) {
    return row.param.name;
}

const std::string kKey = "Software\\Rotaline Tests\\Settings";

// A value stored below HKEY_CURRENT_USER as `data` (the bytes RegQueryValueExA hands back; text
// types hold ASCII), named after the row, then GetSettingValue(location, keyPath, valueName or
// else the row's name, letter, default "d").
struct RegistryCase {
    const char* name;
    std::uint32_t type;
    std::string_view data;
    const char* letter;
    std::int32_t status;
    SettingValue expected;
    const char* location = "HKCU";
    std::string keyPath = kKey;
    const char* valueName = nullptr;
};

const std::vector<RegistryCase> kRegistryCases = {
    {"TextWithNul", 1, "C:\\games\\hl\0"sv, "S", 0, "C:\\games\\hl"},
    {"TextWithoutNulLosesLastByte", 1, "ABC"sv, "S", 0, "AB"},
    {"TextOfOnlyNulIsEmpty", 1, "\0"sv, "S", 0, ""},
    {"TextWithNoBytesKeepsDefault", 1, ""sv, "S", 0, "d"},
    {"LetterInLowerCase", 1, "abc\0"sv, "s", 0, "abc"},
    {"TextOfDwordIsThreeOfItsBytes", 4, "abcd"sv, "S", 0, "abc"},
    {"TextOfMultiStringKeepsInnerNuls", 7, "a\0b\0\0"sv, "S", 0, "a\0b\0"s},
    {"BooleanOneByteZero", 3, "\0"sv, "B", 0, false},
    {"BooleanHighByteOnly", 3, "\0\1"sv, "b", 0, true},
    {"BooleanOfTextZeroIsTrue", 1, "0\0"sv, "B", 0, true},
    {"BooleanThreeBytesIsMoreData", 3, "\1\2\3"sv, "B", 234, "d"},
    {"DwordTwoBytes", 3, "\x34\x12"sv, "D", 0, 4660},
    {"DwordAllOnesIsMinusOne", 4, "\xff\xff\xff\xff"sv, "d", 0, -1},
    {"DwordNoBytesIsZero", 3, ""sv, "D", 0, 0},
    {"DwordFiveBytesIsMoreData", 3, "\1\2\3\4\5"sv, "D", 234, "d"},
    {"OtherLetterKeepsDefault", 1, "abc\0"sv, "SZ", 0, "d"},
    {"LocationInLowerCase", 1, "a\0"sv, "S", 0, "a", "hkcu"},
    {"FullRootNameIsNoLocation", 1, "a\0"sv, "S", 99, "d", "HKEY_CURRENT_USER"},
    {"KeyWithTrailingBackslash", 1, "a\0"sv, "S", 0, "a", "HKCU", kKey + "\\"},
    {"KeyInOtherCase", 1, "a\0"sv, "S", 0, "a", "HKCU", "SOFTWARE\\rotaline tests\\SETTINGS"},
    {"ValueNameInOtherCase", 1, "a\0"sv, "S", 0, "a", "HKCU", kKey, "VALUENAMEINOTHERCASE"},
    {"MissingValue", 1, "a\0"sv, "S", 2, "d", "HKCU", kKey, "NoSuchValue"},
    {"MissingKey", 1, "a\0"sv, "S", 2, "d", "HKCU", kKey + "\\None"},
    {"MissingKeyUnderMachine", 1, "a\0"sv, "S", 2, "d", "HKLM", kKey + "\\None"},
};

// The INI file of the INI rows, a UTF-8 byte order mark first.
const std::string kIniText = "\xEF\xBB\xBFtop=before any section\r\n[Main]\r\n"
                             "  Key  =  spaced value  \r\nkey=second of the same name\r\n"
                             "Inline=v ;x\nNoEquals\nEmpty=\nQuoted=\"abcd\"\rSingle='q'\r"
                             "Mismatched=\"abc'\rLone=\"\nNumber=12abc\nLetter=B\nNegative=-1\n"
                             "Hex=0x10\nHuge=99999999999\nQuotedNumber=\"42\"\n\x1a\n"
                             "[ Spaced ] trailing\nk=spaced section\n[Main]\nLater=never seen\n"
                             "[Long]\nx=" +
                             std::string(300, 'x') + "\n";

#ifdef _WIN32
using SystemProfile = Win32Profile;

std::wstring Wide(std::string_view text) {
    return {text.begin(), text.end()};
}

// Text types are stored as UTF-16, one unit per byte. Windows and Wine add a NUL to a text that
// lacks one when a NUL follows it in memory, so something else follows.
LSTATUS StoreValue(HKEY key, std::string_view name, DWORD type, std::string_view data) {
    std::string stored;
    for (const char byte : data) {
        stored +=
            type == REG_SZ || type == REG_MULTI_SZ ? std::string{byte, '\0'} : std::string{byte};
    }
    const std::string guarded = stored + "\xFF\xFF";
    return RegSetValueExW(key, Wide(name).c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(guarded.data()),
                          static_cast<DWORD>(stored.size()));
}

// The registry rows' values, and files in a scratch folder. Test processes run side by side and
// share the registry, so none deletes a key another may be reading.
class Store : public testing::Test {
protected:
    static void SetUpTestSuite() {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Wide(kKey).c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        for (const auto& c : kRegistryCases) {
            ASSERT_EQ(StoreValue(key, c.name, c.type, c.data), ERROR_SUCCESS) << c.name;
        }
        RegCloseKey(key);
    }
    void SetUp() override {
        folder_.Write("settings.ini", kIniText);
        folder_.Write(".hidden.ini", kIniText, FILE_ATTRIBUTE_HIDDEN);
        folder_.Write("system.ini", kIniText, FILE_ATTRIBUTE_SYSTEM);
        folder_.MakeFolder("folder.ini");
    }
    std::string Path(const std::string& name) const { return folder_ / name; }
    const std::string& Folder() const { return folder_.Path(); }

    ScratchFolder folder_;
};
#else
using SystemProfile = IniProfile;

// The registry rows' values in a scratch Wine prefix's user.reg, and files in the prefix.
class Store : public testing::Test {
protected:
    void SetUp() override {
        std::string values = "[Software\\\\Rotaline Tests\\\\Settings] 1\n";
        for (const auto& c : kRegistryCases) {
            values += ValueLine(c.name, c.type, c.data);
        }
        prefix_.WriteHive("user.reg", values);
        prefix_.folder.Write("settings.ini", kIniText);
        prefix_.folder.Write(".hidden.ini", kIniText);
        prefix_.folder.MakeFolder("folder.ini");
    }
    // As the program writes paths: "\tmp\...\name".
    std::string Path(const std::string& name) const {
        std::string path = prefix_.folder / name;
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }
    const std::string& Folder() const { return prefix_.folder.Path(); }

    TestPrefix prefix_;
};
#endif

// Something no row expects, so that a value left untouched shows.
const SettingValue kUntouched = std::int32_t{-12345};

class RegistryReads : public Store, public testing::WithParamInterface<RegistryCase> {};

TEST_P(RegistryReads, ByLetter) {
    const auto& c = GetParam();
    SettingValue value = kUntouched;
    EXPECT_EQ(GetSettingValue(c.location, c.keyPath, c.valueName ? c.valueName : c.name, c.letter,
                              "d", value),
              c.status);
    EXPECT_EQ(value, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Values, RegistryReads, testing::ValuesIn(kRegistryCases),
                         RowName<RegistryCase>);

// A key of kIniText read by GetSettingValue(file, section, key, letter, default) when `letter`
// is given, else by the profile call with a buffer of `size`.
struct IniCase {
    const char* name;
    const char* section;
    const char* key;
    SettingValue defaultValue;
    const char* letter;
    SettingValue expected;
    std::uint32_t size = 0;
};

const std::vector<IniCase> kIniCases = {
    {"TrimmedAroundEquals", "Main", "Key", "d", "S", "spaced value"},
    {"NamesAskedForTrimmedInAnyCase", " main ", " KEY ", "d", "s", "spaced value"},
    {"NoInlineComments", "Main", "Inline", "d", "S", "v ;x"},
    {"LineWithoutEqualsGivesDefault", "Main", "NoEquals", "d", "S", "d"},
    {"EmptyValueIsEmpty", "Main", "Empty", "d", "S", ""},
    {"DoubleQuotesDropped", "Main", "Quoted", "d", "S", "abcd"},
    {"SingleQuotesDropped", "Main", "Single", "d", "S", "q"},
    {"MismatchedQuotesKept", "Main", "Mismatched", "d", "S", "\"abc'"},
    {"LoneQuoteKept", "Main", "Lone", "d", "S", "\""},
    {"LinesBeforeSectionsNotInNamedOne", "Main", "top", "d", "S", "d"},
    {"LinesBeforeSectionsInUnnamedOne", "", "top", "d", "S", "before any section"},
    {"SectionHeaderTrimmed", "Spaced", "k", "d", "S", "spaced section"},
    {"LaterSectionOfSameNameUnread", "Main", "Later", "d", "S", "d"},
    {"MissingSection", "Other", "Key", "d", "S", "d"},
    {"DefaultTrailingSpacesDropped", "Main", "Missing", "d  ", "S", "d"},
    {"DefaultQuotesDropped", "Main", "Missing", "'q'  ", "S", "q"},
    {"DefaultOfSpacesKeepsOne", "Main", "Missing", "   ", "S", " "},
    {"TrueDefaultAsText", "Main", "Missing", true, "S", "True"},
    {"FalseDefaultAsText", "Main", "Missing", false, "S", "False"},
    {"NumberDefaultAsText", "Main", "Missing", -42, "S", "-42"},
    {"LongValueCut", "Long", "x", "d", "S", std::string(254, 'x')},
    {"NumberLetterKeepsDefault", "Main", "Number", 5, "D", 5},
    {"BooleanLetterKeepsDefault", "Main", "Number", "d", "B", "d"},
    {"CutToSizeLessOne", "Main", "Key", "d", nullptr, "spaced", 7},
    {"QuotedCutBeforeClosingQuote", "Main", "Quoted", "d", nullptr, "abc", 4},
    {"QuotedCutAtClosingQuote", "Main", "Quoted", "d", nullptr, "abc", 5},
    {"QuotedFitsWithClosingQuote", "Main", "Quoted", "d", nullptr, "abcd", 6},
    {"SizeOneGivesEmpty", "Main", "Key", "d", nullptr, "", 1},
    {"DefaultQuotedCut", "Main", "Missing", "\"abcdef\"", nullptr, "abcde", 7},
};

class IniReads : public Store, public testing::WithParamInterface<IniCase> {};

TEST_P(IniReads, AsWindowsReadsThem) {
    const IniCase& c = GetParam();
    if (c.letter != nullptr) {
        SettingValue value = kUntouched;
        EXPECT_EQ(GetSettingValue(Path("settings.ini"), c.section, c.key, c.letter, c.defaultValue,
                                  value),
                  0);
        EXPECT_EQ(value, c.expected);
        return;
    }
    // Copies as GetPrivateProfileStringA does, and nothing past the cut.
    std::string buffer(c.size + 1, '#');
    const std::uint32_t count =
        SystemProfile().GetString(c.section, c.key, std::get<std::string>(c.defaultValue),
                                  buffer.data(), c.size, Path("settings.ini"));
    EXPECT_EQ(SettingValue(buffer.substr(0, count)), c.expected);
    EXPECT_EQ(buffer[count], '\0');
    EXPECT_EQ(buffer[c.size], '#');
}

INSTANTIATE_TEST_SUITE_P(Keys, IniReads, testing::ValuesIn(kIniCases), RowName<IniCase>);

// GetPrivateProfileIntA's rules, each key of the section "Main" named after its case.
TEST_F(Store, IniNumbersAsWindowsReadsThem) {
    const std::vector<std::tuple<const char*, std::int32_t, std::uint32_t>> rows = {
        {"Number", 7, 12},
        {"Letter", 7, 0},
        {"Negative", 7, 4294967295u},
        {"Hex", 7, 16},
        {"Huge", 7, 1215752191u},
        {"QuotedNumber", 7, 42},
        {"Empty", 7, 7},
        {"Missing", -3, 4294967293u}};
    for (const auto& [key, defaultValue, expected] : rows) {
        EXPECT_EQ(SystemProfile().GetInt("Main", key, defaultValue, Path("settings.ini")), expected)
            << key;
    }
}

// A bare file name is the working folder's, for the listing and the INI calls alike (Windows'
// own calls would look in the Windows folder).
TEST_F(Store, BareFileNameIsReadFromWorkingFolder) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(Folder());
    SettingValue value = kUntouched;
    const std::int32_t status = GetSettingValue("settings.ini", "Main", "Key", "S", "d", value);
    std::filesystem::current_path(previous);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(value, SettingValue("spaced value"));
}

// How the registry and INI calls answer: a value, the open's and the close's results, and the
// call (the first is 1) that throws instead.
struct Script {
    std::optional<std::string> value;
    std::int32_t openResult = 0;
    std::int32_t closeResult = 0;
    int throwingCall = 0;
};

// Both sets of calls, logged ("open2" for the root 0x80000002, "query1:0" for type 1 and room
// 0, "ini" with the arguments, "int" with the default) so that order and arguments show.
struct FakeCalls : RegistryApi, ProfileApi {
    explicit FakeCalls(Script s) : script(std::move(s)) {}
    Script script;
    std::string log;
    int calls = 0;

    void Log(const std::string& call) {
        log += (log.empty() ? "" : " ") + call;
        if (++calls == script.throwingCall) {
            throw std::bad_alloc();
        }
    }
    std::int32_t OpenKey(std::uint32_t root, const std::string&, RegistryKey& key) override {
        Log("open" + std::to_string(root & 7));
        key = 42;
        return script.openResult;
    }
    std::int32_t QueryValue(RegistryKey key, const std::string&, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& size) override {
        Log("query" + std::to_string(type) + ":" + std::to_string(size) +
            (key == 42 && data != nullptr ? "" : "!"));
        if (!script.value) {
            return kErrorFileNotFound;
        }
        const std::uint32_t room =
            std::exchange(size, static_cast<std::uint32_t>(script.value->size()));
        if (room < size) {
            return kErrorMoreData;
        }
        std::memcpy(data, script.value->data(), size);
        return 0;
    }
    std::int32_t CloseKey(RegistryKey key) override {
        Log(key == 42 ? "close" : "close!");
        return script.closeResult;
    }
    std::uint32_t GetString(const std::string& section, const std::string& key,
                            const std::string& defaultText, char* buffer, std::uint32_t size,
                            const std::string&) override {
        Log("ini " + section + "/" + key + "/" + defaultText + "/" + std::to_string(size));
        std::memcpy(buffer, "read", 5);
        return 4;
    }
    std::uint32_t GetInt(const std::string&, const std::string&, std::int32_t defaultValue,
                         const std::string&) override {
        Log("int" + std::to_string(defaultValue));
        return 77;
    }
};

// GetSettingValue(location, "K", "V", letter, "d") over the fakes; "@name" is a file of the
// scratch folder.
struct CallCase {
    const char* name;
    const char* location;
    const char* letter;
    Script script;
    std::int32_t status;
    SettingValue expected;
    const char* log;
};

const std::vector<CallCase> kCallCases = {
    {"TextProbesThenReads", "HKLM", "S", {"abc\0"s}, 0, "abc", "open2 query1:0 query1:4 close"},
    {"BooleanReadsTwoBytes", "HKLM", "B", {"\1"s}, 0, true, "open2 query3:2 close"},
    {"DwordReadsFourBytes", "HKLM", "D", {"\1\0\0\0"s}, 0, 1, "open2 query4:4 close"},
    {"MissingValueClosesKey", "HKLM", "S", {}, 2, "d", "open2 query1:0 close"},
    {"FailedOpenClosesNothing", "HKLM", "S", {"a\0"s, 5}, 5, "d", "open2"},
    {"CloseResultIsStatusAfterRead",
     "HKLM",
     "S",
     {"ab\0"s, 0, 6},
     6,
     "ab",
     "open2 query1:0 query1:3 close"},
    {"NothingToReadIsSuccess", "HKLM", "S", {""s, 0, 6}, 0, "d", "open2 query1:0 close"},
    {"FailedQueryReportedOverClose",
     "HKLM",
     "B",
     {"\1\2\3"s, 0, 6},
     234,
     "d",
     "open2 query3:2 close"},
    {"ThrowInProbeReportsOpen", "HKLM", "S", {"a\0"s, 0, 0, 2}, 0, "d", "open2 query1:0 close"},
    {"ThrowInReadReportsProbe",
     "HKLM",
     "S",
     {"a\0"s, 0, 0, 3},
     234,
     "d",
     "open2 query1:0 query1:2 close"},
    {"ThrowInIniCallIsNotFound", "@settings.ini", "S", {{}, 0, 0, 1}, 99, "d", "ini K/V/d/255"},
    {"IniText", "@settings.ini", "s", {}, 0, "read", "ini K/V/d/255"},
    {"IniNumberReadButDropped", "@settings.ini", "D", {}, 0, "d", "int0"},
    {"IniWildcards", "@set*.i?i", "Q", {}, 0, "d", "int0"},
    {"IniFolderIsNoFile", "@folder.ini", "S", {}, 99, "d", ""},
    {"IniHiddenFileIsNoFile", "@.hidden.ini", "S", {}, 99, "d", ""},
    {"IniMissingFile", "@missing.ini", "S", {}, 99, "d", ""},
    {"IniMissingFolder", "@missing\\settings.ini", "S", {}, 99, "d", ""},
#ifdef _WIN32
    {"IniNameInOtherCase", "@SETTINGS.INI", "Q", {}, 0, "d", "int0"},
    {"IniSystemFileIsNoFile", "@system.ini", "S", {}, 99, "d", ""},
#endif
    {"OtherLetterOnlyOpensAndCloses", "HKCU", "Q", {}, 0, "d", "open1 close"},
    {"MachineInLowerCase", "hklm", "Q", {}, 0, "d", "open2 close"},
    {"Users", "Hku", "Q", {}, 0, "d", "open3 close"},
    {"DynData", "hkdd", "Q", {}, 0, "d", "open6 close"},
    {"CurrentConfig", "HKcc", "Q", {}, 0, "d", "open5 close"},
    {"ClassesRoot", "hKCR", "Q", {}, 0, "d", "open0 close"},
    {"FullRootNameIsNoLocation", "HKEY_LOCAL_MACHINE", "S", {}, 99, "d", ""},
};

class Calls : public Store, public testing::WithParamInterface<CallCase> {};

TEST_P(Calls, StatusValueAndCallsAsWindowsWould) {
    const CallCase& c = GetParam();
    FakeCalls fake(c.script);
    const std::string location = c.location[0] == '@' ? Path(c.location + 1) : c.location;
    SettingValue value = kUntouched;
    EXPECT_EQ(GetSettingValue(fake, fake, location, "K", "V", c.letter, "d", value), c.status);
    EXPECT_EQ(value, c.expected);
    EXPECT_EQ(fake.log, c.log);
}

INSTANTIATE_TEST_SUITE_P(Fakes, Calls, testing::ValuesIn(kCallCases), RowName<CallCase>);

#ifdef _WIN32
// HKEY_LOCAL_MACHINE\Software is read in its 32-bit view, where the game's 32-bit setup writes
// on 64-bit Windows.
TEST(RegistryView, ThirtyTwoBitViewIsRead) {
    const std::wstring path = L"Software\\Rotaline Tests\\View";
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        HKEY key = nullptr;
        const LSTATUS created = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                                KEY_ALL_ACCESS | view, nullptr, &key, nullptr);
        if (created == ERROR_ACCESS_DENIED) {
            GTEST_SKIP() << "writing HKEY_LOCAL_MACHINE needs an administrator";
        }
        ASSERT_EQ(created, ERROR_SUCCESS);
        const std::string_view where = view == KEY_WOW64_32KEY ? "32\0"sv : "64\0"sv;
        ASSERT_EQ(StoreValue(key, "Where", REG_SZ, where), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    SettingValue value = kUntouched;
    const std::int32_t status =
        GetSettingValue("HKLM", "Software\\Rotaline Tests\\View", "Where", "S", "d", value);
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), view, 0);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Rotaline Tests", view, 0);
    }
    EXPECT_EQ(status, 0);
    EXPECT_EQ(value, SettingValue("32"));
}
#endif

} // namespace
} // namespace rotaline
