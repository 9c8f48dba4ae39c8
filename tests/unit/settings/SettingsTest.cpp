// What the settings reader and the INI calls must answer alike on Windows' own API and on the
// Wine prefix's files elsewhere; the rows are the same on both.
#include "core/settings/ProfileApi.h"
#include "core/settings/RegistryApi.h"
#include "core/settings/SettingsReader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include "ScratchFolder.h"
#include "core/settings/win32/Win32Profile.h"
#include "core/settings/win32/Win32Registry.h"
#include <windows.h>
#else
#include "TestPrefix.h"
#include "core/settings/posix/IniProfile.h"
#endif

namespace rotaline {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

// Where the registry cases are stored: below HKEY_CURRENT_USER, one value per case, named after
// the case.
constexpr std::string_view kTestKey = "Software\\Rotaline Tests\\Settings";

// A value to store and what GetSettingValue("HKCU", kTestKey, name, letter, ...) makes of it.
// `data` is the value as RegQueryValueExA hands it back; text types hold ASCII only, so each
// byte is one UTF-16 unit in the registry.
struct RegistryCase {
    std::string_view name;
    std::uint32_t type;
    std::string_view data;
    std::string_view letter;
    SettingValue defaultValue;
    std::int32_t status;
    SettingValue expected;
};

const std::vector<RegistryCase> kRegistryCases = {
    {"TextWithNul", 1, "C:\\games\\hl\0"sv, "S", "No Name", 0, "C:\\games\\hl"},
    {"TextWithoutNulLosesLastCharacter", 1, "ABC"sv, "S", "No Name", 0, "AB"},
    {"TextOfOnlyNulIsEmpty", 1, "\0"sv, "S", "No Name", 0, ""},
    {"TextWithNoBytesKeepsDefault", 1, ""sv, "S", "No Name", 0, "No Name"},
    {"LowerCaseLetter", 1, "abc\0"sv, "s", "No Name", 0, "abc"},
    {"TextOfDwordIsThreeOfItsBytes", 4, "abcd"sv, "S", "No Name", 0, "abc"},
    {"TextOfMultiStringKeepsInnerNuls", 7, "a\0b\0\0"sv, "S", "No Name", 0, "a\0b\0"s},
    {"BooleanOneByteOne", 3, "\x01"sv, "B", "No Name", 0, true},
    {"BooleanOneByteZero", 3, "\0"sv, "B", true, 0, false},
    {"BooleanHighByteOnly", 3, "\0\x01"sv, "b", false, 0, true},
    {"BooleanOfTextZeroIsTrue", 1, "0\0"sv, "B", false, 0, true},
    {"BooleanThreeBytesIsMoreData", 3, "\x01\x02\x03"sv, "B", "No Name", 234, "No Name"},
    {"DwordTwoBytes", 3, "\x34\x12"sv, "D", "No Name", 0, 4660},
    {"DwordAllOnesIsMinusOne", 4, "\xff\xff\xff\xff"sv, "d", 7, 0, -1},
    {"DwordNoBytesIsZero", 3, ""sv, "D", 7, 0, 0},
    {"DwordFiveBytesIsMoreData", 3, "\x01\x02\x03\x04\x05"sv, "D", 7, 234, 7},
    {"OtherLetterKeepsDefault", 1, "abc\0"sv, "X", "No Name", 0, "No Name"},
    {"EmptyLetterKeepsDefault", 1, "abc\0"sv, "", "No Name", 0, "No Name"},
    {"LongerLetterKeepsDefault", 1, "abc\0"sv, "SZ", "No Name", 0, "No Name"},
};

// A call with the registry cases in store, varying the location, key and value name.
struct LookupCase {
    std::string_view name;
    std::string_view location;
    std::string keyPath;
    std::string_view valueName;
    std::int32_t status;
    SettingValue expected;
};

const std::string kTestKeyText{kTestKey};

// Every lookup passes the letter "S" and the default "No Name".
const std::vector<LookupCase> kLookupCases = {
    {"UpperCaseLocation", "HKCU", kTestKeyText, "TextWithNul", 0, "C:\\games\\hl"},
    {"LowerCaseLocation", "hkcu", kTestKeyText, "TextWithNul", 0, "C:\\games\\hl"},
    {"MixedCaseLocation", "HkCu", kTestKeyText, "TextWithNul", 0, "C:\\games\\hl"},
    {"FullRootNameIsNoLocation", "HKEY_LOCAL_MACHINE", kTestKeyText, "TextWithNul", 99, "No Name"},
    {"UnknownRootName", "HKXX", kTestKeyText, "TextWithNul", 99, "No Name"},
    {"EmptyLocation", "", kTestKeyText, "TextWithNul", 99, "No Name"},
    {"KeyWithTrailingBackslash", "HKCU", kTestKeyText + "\\", "TextWithNul", 0, "C:\\games\\hl"},
    {"KeyInOtherCase", "HKCU", "SOFTWARE\\rotaline tests\\SETTINGS", "TextWithNul", 0,
     "C:\\games\\hl"},
    {"ValueNameInOtherCase", "HKCU", kTestKeyText, "textwithnul", 0, "C:\\games\\hl"},
    {"MissingValue", "HKCU", kTestKeyText, "NoSuchValue", 2, "No Name"},
    {"MissingKey", "HKCU", "Software\\Rotaline Tests\\No Such Key", "TextWithNul", 2, "No Name"},
    {"MissingKeyUnderMachine", "HKLM", "Software\\Rotaline Tests\\No Such Key", "InstallPath", 2,
     "No Name"},
};

// The INI file of the INI-mode cases, and GetSettingValue(file, section, key, letter, ...) on it.
const std::string kIniText = "[Server]\r\n"
                             "Map = crossfire\r\n"
                             "Quoted=\"de_dust \"\r\n"
                             "Count=12\r\n"
                             "Long=" +
                             std::string(300, 'x') + "\r\n";

struct IniCase {
    std::string_view name;
    std::string_view section;
    std::string_view key;
    std::string_view letter;
    SettingValue defaultValue;
    SettingValue expected;
};

// Every INI read returns 0.
const std::vector<IniCase> kIniCases = {
    {"Text", "Server", "Map", "S", "No Name", "crossfire"},
    {"NamesInOtherCase", "SERVER", "map", "s", "No Name", "crossfire"},
    {"QuotesDropped", "Server", "Quoted", "S", "No Name", "de_dust "},
    {"KeyAbsentGivesDefault", "Server", "Missing", "S", "No Name", "No Name"},
    {"SectionAbsentGivesDefault", "Client", "Map", "S", "No Name", "No Name"},
    {"BooleanDefaultAsText", "Server", "Missing", "S", true, "True"},
    {"FalseDefaultAsText", "Server", "Missing", "S", false, "False"},
    {"NumberDefaultAsText", "Server", "Missing", "S", -42, "-42"},
    {"LongValueCut", "Server", "Long", "S", "No Name", std::string(254, 'x')},
    {"LongDefaultCut", "Server", "Missing", "S", std::string(300, 'y'), std::string(254, 'y')},
    {"NumberLetterKeepsDefault", "Server", "Count", "D", 5, 5},
    {"BooleanLetterKeepsDefault", "Server", "Count", "B", "No Name", "No Name"},
};

// The profile calls themselves, on kProfileText.
const std::string kProfileText = "top=before any section\r\n"
                                 "[Main]\r\n"
                                 "  Key  =  spaced value  \r\n"
                                 "key=second of the same name\r\n"
                                 "Inline=v ;x\n"
                                 "NoEquals\n"
                                 "Empty=\n"
                                 "Quoted=\"abcd\"\r"
                                 "Single='q'\r"
                                 "Mismatched=\"abc'\r"
                                 "Lone=\"\n"
                                 "Number=12abc\n"
                                 "Letter=B\n"
                                 "Negative=-1\n"
                                 "Hex=0x10\n"
                                 "Huge=99999999999\n"
                                 "QuotedNumber=\"42\"\n"
                                 "\x1a\n"
                                 "[ Spaced ] trailing\n"
                                 "k=spaced section\n"
                                 "[Main]\n"
                                 "Later=never seen\n";

struct ProfileStringCase {
    std::string_view name;
    std::string_view section;
    std::string_view key;
    std::string_view defaultText;
    std::uint32_t size;
    std::string_view expected; // the return value is its length
};

const std::vector<ProfileStringCase> kProfileStringCases = {
    {"TrimmedAroundEquals", "Main", "Key", "d", 64, "spaced value"},
    {"NamesAskedForAreTrimmed", " main ", " KEY ", "d", 64, "spaced value"},
    {"NoInlineComments", "Main", "Inline", "d", 64, "v ;x"},
    {"LineWithoutEqualsGivesDefault", "Main", "NoEquals", "dflt", 64, "dflt"},
    {"EmptyValueIsEmpty", "Main", "Empty", "dflt", 64, ""},
    {"DoubleQuotesDropped", "Main", "Quoted", "d", 64, "abcd"},
    {"SingleQuotesDropped", "Main", "Single", "d", 64, "q"},
    {"MismatchedQuotesKept", "Main", "Mismatched", "d", 64, "\"abc'"},
    {"LoneQuoteKept", "Main", "Lone", "d", 64, "\""},
    {"CutToSizeLessOne", "Main", "Key", "d", 7, "spaced"},
    {"QuotedCutBeforeClosingQuote", "Main", "Quoted", "d", 4, "abc"},
    {"QuotedCutAtClosingQuote", "Main", "Quoted", "d", 5, "abc"},
    {"QuotedFitsWithClosingQuote", "Main", "Quoted", "d", 6, "abcd"},
    {"SizeOneGivesEmpty", "Main", "Key", "d", 1, ""},
    {"LinesBeforeSectionsNotInNamedSection", "Main", "top", "d", 64, "d"},
    {"LinesBeforeSectionsInUnnamedSection", "", "top", "d", 64, "before any section"},
    {"SectionHeaderTrimmed", "Spaced", "k", "d", 64, "spaced section"},
    {"LaterSectionOfSameNameUnread", "Main", "Later", "d", 64, "d"},
    {"MissingSection", "Other", "Key", "d", 64, "d"},
    {"DefaultTrailingSpacesDropped", "Main", "Missing", "dflt  ", 64, "dflt"},
    {"DefaultQuotesDropped", "Main", "Missing", "'q'  ", 64, "q"},
    {"DefaultOfSpacesKeepsOne", "Main", "Missing", "   ", 64, " "},
    {"DefaultQuotedCut", "Main", "Missing", "\"abcdef\"", 7, "abcde"},
};

struct ProfileIntCase {
    std::string_view name;
    std::string_view key;
    std::int32_t defaultValue;
    std::uint32_t expected;
};

// All in the section "Main".
const std::vector<ProfileIntCase> kProfileIntCases = {
    {"LeadingNumber", "Number", 7, 12},
    {"NoDigitsIsZero", "Letter", 7, 0},
    {"MinusOneWraps", "Negative", 7, 4294967295u},
    {"HexPrefix", "Hex", 7, 16},
    {"WrapsPast32Bits", "Huge", 7, 1215752191u},
    {"QuotesDropped", "QuotedNumber", 7, 42},
    {"EmptyValueGivesDefault", "Empty", 7, 7},
    {"MissingKeyGivesDefault", "Missing", -3, 4294967293u},
    {"NoEqualsGivesDefault", "NoEquals", 7, 7},
};

template <typename Row> std::string RowName(const testing::TestParamInfo<Row>& row) {
    return std::string(row.param.name);
}

// Something no case expects, so that a value left untouched shows.
const SettingValue kUntouched = std::int32_t{-12345};

#ifdef _WIN32
using SystemProfile = Win32Profile;

std::wstring WideAscii(std::string_view text) {
    return std::wstring(text.begin(), text.end());
}

// Text types are stored as UTF-16, each ASCII byte one unit. A text whose last unit is not NUL
// gets one added when a NUL follows it in memory (Windows and Wine both "help" so): the bytes
// are followed by something else.
LSTATUS StoreValue(HKEY key, std::string_view name, DWORD type, std::string_view data) {
    std::string stored;
    for (const char byte : data) {
        stored += byte;
        stored += type == REG_SZ || type == REG_MULTI_SZ ? "\0"s : "";
    }
    const std::string guarded = stored + "\xFF\xFF";
    return RegSetValueExW(key, WideAscii(name).c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(guarded.data()),
                          static_cast<DWORD>(stored.size()));
}

// The cases' values below HKEY_CURRENT_USER, and files in a scratch folder. Test processes run
// side by side and share the registry, so none deletes a key another may be reading.
class Store : public testing::Test {
protected:
    static void SetUpTestSuite() {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, WideAscii(kTestKey).c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        for (const auto& c : kRegistryCases) {
            ASSERT_EQ(StoreValue(key, c.name, c.type, c.data), ERROR_SUCCESS) << c.name;
        }
        RegCloseKey(key);
    }
    void SetUp() override {
        folder_.Write("settings.ini", kIniText);
        folder_.Write("profile.ini", kProfileText);
        folder_.Write(".hidden.ini", kIniText, FILE_ATTRIBUTE_HIDDEN);
        folder_.Write("system.ini", kIniText, FILE_ATTRIBUTE_SYSTEM);
        folder_.MakeFolder("folder.ini");
    }
    std::string Path(const std::string& name) const { return folder_ / name; }

    ScratchFolder folder_;
};
#else
using SystemProfile = IniProfile;

// The cases' values in a scratch Wine prefix's user.reg, and files in the prefix's folder.
class Store : public testing::Test {
protected:
    void SetUp() override {
        std::string values = "[Software\\\\Rotaline Tests\\\\Settings] 1\n";
        for (const auto& c : kRegistryCases) {
            values += ValueLine(c.name, c.type, c.data);
        }
        prefix_.WriteHive("user.reg", values);
        prefix_.Folder().Write("settings.ini", kIniText);
        prefix_.Folder().Write("profile.ini", kProfileText);
        prefix_.Folder().Write(".hidden.ini", kIniText);
        prefix_.Folder().MakeFolder("folder.ini");
    }
    std::string Path(const std::string& name) const { return prefix_.ProgramPath(name); }

    TestPrefix prefix_;
};
#endif

class RegistryReads : public Store, public testing::WithParamInterface<RegistryCase> {};

TEST_P(RegistryReads, ByLetter) {
    const auto& c = GetParam();
    SettingValue value = kUntouched;
    EXPECT_EQ(GetSettingValue("HKCU", kTestKeyText, std::string(c.name), std::string(c.letter),
                              c.defaultValue, value),
              c.status);
    EXPECT_EQ(value, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Values, RegistryReads, testing::ValuesIn(kRegistryCases),
                         RowName<RegistryCase>);

class Lookups : public Store, public testing::WithParamInterface<LookupCase> {};

TEST_P(Lookups, FindKeyAndValue) {
    const auto& c = GetParam();
    SettingValue value = kUntouched;
    EXPECT_EQ(GetSettingValue(std::string(c.location), c.keyPath, std::string(c.valueName), "S",
                              "No Name", value),
              c.status);
    EXPECT_EQ(value, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, Lookups, testing::ValuesIn(kLookupCases), RowName<LookupCase>);

class IniReads : public Store, public testing::WithParamInterface<IniCase> {};

TEST_P(IniReads, FromFile) {
    const auto& c = GetParam();
    SettingValue value = kUntouched;
    EXPECT_EQ(GetSettingValue(Path("settings.ini"), std::string(c.section), std::string(c.key),
                              std::string(c.letter), c.defaultValue, value),
              0);
    EXPECT_EQ(value, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, IniReads, testing::ValuesIn(kIniCases), RowName<IniCase>);

class ProfileStrings : public Store, public testing::WithParamInterface<ProfileStringCase> {};

// Copies as GetPrivateProfileStringA does, and nothing past the cut.
TEST_P(ProfileStrings, MatchWindows) {
    const auto& c = GetParam();
    std::string buffer(c.size + 1, '#');
    const std::uint32_t count = SystemProfile().GetString(
        std::string(c.section), std::string(c.key), std::string(c.defaultText), buffer.data(),
        c.size, Path("profile.ini"));
    EXPECT_EQ(buffer.substr(0, count), c.expected);
    EXPECT_EQ(buffer[count], c.size > 0 ? '\0' : '#');
    EXPECT_EQ(buffer[c.size], '#');
}

INSTANTIATE_TEST_SUITE_P(Rules, ProfileStrings, testing::ValuesIn(kProfileStringCases),
                         RowName<ProfileStringCase>);

class ProfileInts : public Store, public testing::WithParamInterface<ProfileIntCase> {};

TEST_P(ProfileInts, MatchWindows) {
    const auto& c = GetParam();
    EXPECT_EQ(
        SystemProfile().GetInt("Main", std::string(c.key), c.defaultValue, Path("profile.ini")),
        c.expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, ProfileInts, testing::ValuesIn(kProfileIntCases),
                         RowName<ProfileIntCase>);

TEST_F(Store, LocationClasses) {
    const std::vector<std::pair<std::string, std::uint32_t>> rows = {
        {"HKCU", HKEY_CURRENT_USER_VALUE},
        {"hklm", HKEY_LOCAL_MACHINE_VALUE},
        {"Hku", HKEY_USERS_VALUE},
        {"hkdd", HKEY_DYN_DATA_VALUE},
        {"HKcc", HKEY_CURRENT_CONFIG_VALUE},
        {"hKCR", HKEY_CLASSES_ROOT_VALUE},
        {"HKEY_LOCAL_MACHINE", LOCATION_UNKNOWN},
        {Path("settings.ini"), LOCATION_FILE},
        {Path("set*.i?i"), LOCATION_FILE},
        {Path("folder.ini"), LOCATION_UNKNOWN},
        {Path(".hidden.ini"), LOCATION_UNKNOWN},
        {Path("missing.ini"), LOCATION_UNKNOWN},
        {Path("missing\\settings.ini"), LOCATION_UNKNOWN},
#ifdef _WIN32
        {Path("SETTINGS.INI"), LOCATION_FILE},
        {Path("system.ini"), LOCATION_UNKNOWN},
#endif
    };
    for (const auto& [location, expected] : rows) {
        EXPECT_EQ(ClassifyLocation(location), expected) << location;
    }
    SettingValue value = kUntouched;
    EXPECT_EQ(GetSettingValue(Path("folder.ini"), "Server", "Map", "S", "No Name", value),
              SETTINGS_NOT_FOUND);
    EXPECT_EQ(value, SettingValue("No Name"));
}

TEST_F(Store, MissingFileGivesDefaults) {
    char buffer[16];
    SystemProfile profile;
    EXPECT_EQ(profile.GetString("Main", "Key", "'dflt'", buffer, 16, Path("gone.ini")), 4u);
    EXPECT_STREQ(buffer, "dflt");
    EXPECT_EQ(profile.GetInt("Main", "Number", 9, Path("gone.ini")), 9u);
}

// One scripted value; records the calls so that their order, arguments and the close show.
struct FakeRegistry : RegistryApi {
    static constexpr RegistryKey kKey = 42;
    std::int32_t openResult = 0;
    std::int32_t closeResult = 0;
    std::optional<std::string> value;
    std::size_t throwAtQuery = 0; // 1 for the first query; 0 for none
    int opens = 0;
    int closes = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> queries; // type word and size passed

    std::int32_t OpenKey(std::uint32_t, const std::string&, RegistryKey& key) override {
        ++opens;
        key = kKey;
        return openResult;
    }
    std::int32_t QueryValue(RegistryKey key, const std::string&, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& size) override {
        EXPECT_EQ(key, kKey);
        EXPECT_NE(data, nullptr);
        queries.emplace_back(type, size);
        if (queries.size() == throwAtQuery) {
            throw std::bad_alloc();
        }
        if (!value) {
            return kErrorFileNotFound;
        }
        const auto room = size;
        size = static_cast<std::uint32_t>(value->size());
        if (room < size) {
            return kErrorMoreData;
        }
        std::memcpy(data, value->data(), size);
        return 0;
    }
    std::int32_t CloseKey(RegistryKey key) override {
        EXPECT_EQ(key, kKey);
        ++closes;
        return closeResult;
    }
};

struct FakeProfile : ProfileApi {
    bool throws = false;
    std::vector<std::string> stringArguments; // section, key, default text, file
    std::uint32_t size = 0;
    std::vector<std::int32_t> intDefaults;

    std::uint32_t GetString(const std::string& section, const std::string& key,
                            const std::string& defaultText, char* buffer, std::uint32_t bufferSize,
                            const std::string& file) override {
        if (throws) {
            throw std::bad_alloc();
        }
        stringArguments = {section, key, defaultText, file};
        size = bufferSize;
        std::memcpy(buffer, "read\0", 5);
        return 4;
    }
    std::uint32_t GetInt(const std::string&, const std::string&, std::int32_t defaultValue,
                         const std::string&) override {
        intDefaults.push_back(defaultValue);
        return 77;
    }
};

// How the reader drives the registry calls: statuses, closes, and the probe's sizes.
struct CallCase {
    const char* name;
    std::optional<std::string> value;
    const char* letter;
    std::int32_t openResult, closeResult;
    std::size_t throwAtQuery;
    std::int32_t status;
    SettingValue expected;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> queries;
};

void PrintTo(const CallCase& row, std::ostream* out) {
    *out << row.name;
}

class RegistryCalls : public testing::TestWithParam<CallCase> {};

TEST_P(RegistryCalls, StatusAndCloseAsWindowsWould) {
    const CallCase& c = GetParam();
    FakeRegistry registry;
    FakeProfile profile;
    registry.value = c.value;
    registry.openResult = c.openResult;
    registry.closeResult = c.closeResult;
    registry.throwAtQuery = c.throwAtQuery;
    SettingValue value = kUntouched;
    EXPECT_EQ(
        GetSettingValue(registry, profile, "HKLM", "Key\\", "Value", c.letter, "No Name", value),
        c.status);
    EXPECT_EQ(value, c.expected);
    EXPECT_EQ(registry.queries, c.queries);
    EXPECT_EQ(registry.closes, c.openResult == 0 ? 1 : 0);
}

constexpr std::uint32_t kSz = kRegSz;
INSTANTIATE_TEST_SUITE_P(
    Fakes, RegistryCalls,
    testing::Values(
        CallCase{"TextProbesThenReads", "abc\0"s, "S", 0, 0, 0, 0, "abc", {{kSz, 0}, {kSz, 4}}},
        CallCase{"BooleanReadsTwoBytes", "\1"s, "B", 0, 0, 0, 0, true, {{kRegBinary, 2}}},
        CallCase{"DwordReadsFourBytes", "\1\0\0\0"s, "D", 0, 0, 0, 0, 1, {{kRegDword, 4}}},
        CallCase{"MissingValueClosesKey", std::nullopt, "S", 0, 0, 0, 2, "No Name", {{kSz, 0}}},
        CallCase{"FailedOpenClosesNothing", "abc\0"s, "S", 5, 0, 0, 5, "No Name", {}},
        CallCase{"OtherLetterOnlyOpensAndCloses", "abc"s, "Q", 0, 0, 0, 0, "No Name", {}},
        CallCase{
            "CloseResultIsStatusAfterRead", "ab\0"s, "S", 0, 6, 0, 6, "ab", {{kSz, 0}, {kSz, 3}}},
        CallCase{"NothingToReadIsSuccess", ""s, "S", 0, 6, 0, 0, "No Name", {{kSz, 0}}},
        CallCase{"FailedQueryReportedOverClose",
                 "\1\2\3"s,
                 "B",
                 0,
                 6,
                 0,
                 kErrorMoreData,
                 "No Name",
                 {{kRegBinary, 2}}},
        CallCase{"FailureInProbeReportsSuccessAndCloses",
                 "abc\0"s,
                 "S",
                 0,
                 0,
                 1,
                 0,
                 "No Name",
                 {{kSz, 0}}},
        CallCase{"FailureInReadReportsProbeAndCloses",
                 "abc\0"s,
                 "S",
                 0,
                 0,
                 2,
                 kErrorMoreData,
                 "No Name",
                 {{kSz, 0}, {kSz, 4}}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(Store, IniArgumentsAndDefaultsReachTheProfileCalls) {
    const std::string file = Path("settings.ini");
    FakeRegistry registry;
    FakeProfile profile;
    SettingValue value = kUntouched;
    EXPECT_EQ(GetSettingValue(registry, profile, file, "Server", "Map", "s", true, value), 0);
    EXPECT_EQ(profile.stringArguments, (std::vector<std::string>{"Server", "Map", "True", file}));
    EXPECT_EQ(profile.size, 255u);
    EXPECT_EQ(value, SettingValue("read"));
    EXPECT_EQ(GetSettingValue(registry, profile, file, "S", "K", "D", "No Name", value), 0);
    EXPECT_EQ(profile.intDefaults, std::vector<std::int32_t>{0});
    EXPECT_EQ(value, SettingValue("No Name"));
    EXPECT_EQ(registry.opens, 0);
    // A failure before any call made is reported as no setting found.
    profile.throws = true;
    EXPECT_EQ(GetSettingValue(registry, profile, file, "S", "K", "S", "No Name", value),
              SETTINGS_NOT_FOUND);
    EXPECT_EQ(value, SettingValue("No Name"));
}

#ifdef _WIN32
// The reader's size probe hands a real buffer of size 0; the registry answers a null one
// differently, so the pointer must reach it unchanged.
TEST_F(Store, ProbeBufferReachesRegistryUnchanged) {
    Win32Registry registry;
    RegistryKey key = 0;
    ASSERT_EQ(registry.OpenKey(HKEY_CURRENT_USER_VALUE, kTestKeyText, key), 0);
    unsigned char none = 0;
    std::uint32_t type = kRegSz;
    std::uint32_t size = 0;
    EXPECT_EQ(registry.QueryValue(key, "TextWithNul", type, &none, size), kErrorMoreData);
    EXPECT_EQ(size, 12u);
    type = kRegDword;
    size = 0;
    EXPECT_EQ(registry.QueryValue(key, "TextWithNul", type, nullptr, size), 0);
    EXPECT_EQ(size, 12u);
    EXPECT_EQ(type, kRegSz) << "the registry reports the stored type";
    EXPECT_EQ(registry.CloseKey(key), 0);
}

// The 32-bit view of HKEY_LOCAL_MACHINE\Software, where the game's 32-bit setup writes on 64-bit
// Windows, is the one read.
TEST(RegistryView, ThirtyTwoBitViewIsRead) {
    const std::wstring path = L"Software\\Rotaline Tests\\View";
    for (const auto& [view, where] :
         {std::pair{KEY_WOW64_32KEY, "32-bit view"}, std::pair{KEY_WOW64_64KEY, "64-bit view"}}) {
        HKEY key = nullptr;
        const LSTATUS created = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                                KEY_ALL_ACCESS | view, nullptr, &key, nullptr);
        if (created == ERROR_ACCESS_DENIED) {
            GTEST_SKIP() << "writing HKEY_LOCAL_MACHINE needs an administrator";
        }
        ASSERT_EQ(created, ERROR_SUCCESS);
        ASSERT_EQ(StoreValue(key, "Where", REG_SZ, where + "\0"s), ERROR_SUCCESS);
        if (view == KEY_WOW64_64KEY) {
            ASSERT_EQ(StoreValue(key, "Only64", REG_SZ, where + "\0"s), ERROR_SUCCESS);
        }
        RegCloseKey(key);
    }
    SettingValue value = kUntouched;
    EXPECT_EQ(
        GetSettingValue("HKLM", "Software\\Rotaline Tests\\View\\", "Where", "S", "No Name", value),
        0);
    EXPECT_EQ(value, SettingValue("32-bit view"));
    EXPECT_EQ(
        GetSettingValue("HKLM", "Software\\Rotaline Tests\\View", "Only64", "S", "No Name", value),
        ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(value, SettingValue("No Name"));
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), view, 0);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Rotaline Tests", view, 0);
    }
}

// The listing finds a bare name in the working folder; the profile calls would look in the
// Windows folder unless told otherwise.
TEST_F(Store, BareFileNameIsReadFromWorkingFolder) {
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
#else
TEST_F(Store, ByteOrderMarkIsNoPartOfFirstLine) {
    prefix_.Folder().Write("profile.ini", "\xEF\xBB\xBF[Main]\nKey=marked\n");
    char buffer[16];
    EXPECT_EQ(IniProfile().GetString("Main", "Key", "d", buffer, 16, Path("profile.ini")), 6u);
    EXPECT_STREQ(buffer, "marked");
}
#endif

} // namespace
} // namespace rotaline
