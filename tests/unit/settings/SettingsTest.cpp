// What the settings reader answers from the registry and from INI files: the same rows on
// Windows' own calls and on the Wine prefix's files elsewhere, and rows of Wine's file format.
#include "core/settings/ProfileApi.h"
#include "core/settings/RegistryApi.h"
#include "core/settings/SettingsReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include "ScratchFolder.h"
#include <windows.h>
#else
#include "ScopedEnv.h"
#include "core/settings/posix/WineRegistry.h"
#include "platform/TempFolder.h"

#include <algorithm>
#include <cstdio>
#endif

namespace rotaline {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

const std::string kKey = "Software\\Rotaline Tests\\Settings";
const std::string kHl = "Software\\Valve\\Half-Life";

// GetSettingValue(location, keyPath, valueName or else the row's name, letter, defaultValue).
// Registry rows first store `data` under the row's name below HKEY_CURRENT_USER\kKey, and read
// through the system's registry, whose close answers `closeResult` and whose call numbered
// `throwingCall` throws instead. "@name" is a file of the scratch folder.
struct Read {
    const char* name;
    std::uint32_t type;    // 0: nothing stored, or on POSIX `data` follows "=" in Wine's file
    std::string_view data; // as RegQueryValueExA hands it back; text types hold ASCII
    const char* letter;
    std::int32_t status;
    SettingValue expected;
    const char* location = "HKCU";
    std::string keyPath = kKey;
    const char* valueName = nullptr;
    SettingValue defaultValue = "d";
    std::int32_t closeResult = 0;
    int throwingCall = 0;
};

const std::vector<Read> kReads = {
    {"TextWithNul", 1, "C:\\games\\hl\0"sv, "S", 0, "C:\\games\\hl"},
    {"TextWithoutNulLosesLastByte", 1, "ABC"sv, "S", 0, "AB"},
    {"TextOfOnlyNulIsEmpty", 1, "\0"sv, "S", 0, ""},
    {"LetterInLowerCase", 1, "abc\0"sv, "s", 0, "abc"},
    {"TextOfDwordIsThreeOfItsBytes", 4, "abcd"sv, "S", 0, "abc"},
    {"TextOfMultiStringKeepsInnerNuls", 7, "a\0b\0\0"sv, "S", 0, "a\0b\0"s},
    {"BooleanOneByteZero", 3, "\0"sv, "B", 0, false},
    {"BooleanHighByteOnly", 3, "\0\1"sv, "b", 0, true},
    {"BooleanOfTextZeroIsTrue", 1, "0\0"sv, "B", 0, true},
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
    {"MissingKeyUnderMachine", 0, "", "S", 2, "d", "HKLM", kKey + "\\None"},
    // The close's own result is the status after a read, and never hides a failure.
    {"CloseResultIsStatusAfterRead", 1, "ab\0"sv, "S", 6, "ab", "HKCU", kKey, nullptr, "d", 6},
    {"TextWithNoBytesIsSuccess", 1, ""sv, "S", 0, "d", "HKCU", kKey, nullptr, "d", 6},
    {"MissingValueOverClose", 0, "", "S", 2, "d", "HKCU", kKey, "NoSuchValue", "d", 6},
    {"MoreDataOverClose", 3, "\1\2\3"sv, "B", 234, "d", "HKCU", kKey, nullptr, "d", 6},
    {"MissingKeyIsNotClosed", 0, "", "S", 2, "d", "HKCU", kKey + "\\None", nullptr, "d", 6},
    // A call that throws: the status is that of the last call that returned.
    {"ThrowInOpenIsNotFound", 1, "a\0"sv, "S", 99, "d", "HKCU", kKey, nullptr, "d", 0, 1},
    {"ThrowInProbeReportsOpen", 1, "a\0"sv, "S", 0, "d", "HKCU", kKey, nullptr, "d", 0, 2},
    {"ThrowInReadReportsProbe", 1, "a\0"sv, "S", 234, "d", "HKCU", kKey, nullptr, "d", 0, 3},
    // INI files, by the rules Windows' profile calls follow.
    {"IniTrimmedAroundEquals", 0, "", "S", 0, "spaced value", "@settings.ini", "Main", "Key"},
    {"IniNamesTrimmedInAnyCase", 0, "", "s", 0, "spaced value", "@settings.ini", " main ", "KEY "},
    {"IniNoInlineComments", 0, "", "S", 0, "v ;x", "@settings.ini", "Main", "Inline"},
    {"IniLineWithoutEquals", 0, "", "S", 0, "d", "@settings.ini", "Main", "NoEquals"},
    {"IniEmptyValue", 0, "", "S", 0, "", "@settings.ini", "Main", "Empty"},
    {"IniDoubleQuotesDropped", 0, "", "S", 0, "abcd", "@settings.ini", "Main", "Quoted"},
    {"IniSingleQuotesDropped", 0, "", "S", 0, "q", "@settings.ini", "Main", "Single"},
    {"IniMismatchedQuotesKept", 0, "", "S", 0, "\"abc'", "@settings.ini", "Main", "Mismatched"},
    {"IniLinesBeforeAnySection", 0, "", "S", 0, "top", "@settings.ini", "", "top"},
    {"IniSectionNameTrimmed", 0, "", "S", 0, "spaced", "@settings.ini", "Spaced", "k"},
    {"IniLaterSectionOfSameName", 0, "", "S", 0, "d", "@settings.ini", "Main", "Later"},
    {"IniDefaultTrimmedAndUnquoted", 0, "", "S", 0, "q", "@settings.ini", "Main", "No", "'q'  "},
    {"IniTrueDefaultAsText", 0, "", "S", 0, "True", "@settings.ini", "Main", "No", true},
    {"IniNumberDefaultAsText", 0, "", "S", 0, "-42", "@settings.ini", "Main", "No", -42},
    {"IniNumberLetterKeepsDefault", 0, "", "D", 0, 5, "@settings.ini", "Main", "Key", 5},
    // Cut to the reader's 255 bytes less one; so is a quoted text, and when the cut falls where
    // its closing quote would go, that quote's place goes too.
    {"IniLongValueCut", 0, "", "S", 0, std::string(254, 'x'), "@settings.ini", "Long", "x"},
    {"IniQuotedCutAtQuote", 0, "", "S", 0, std::string(253, 'y'), "@settings.ini", "Long", "at"},
    {"IniQuotedCutBefore", 0, "", "S", 0, std::string(254, 'y'), "@settings.ini", "Long", "by"},
    {"IniWildcardsFindFile", 0, "", "S", 0, "d", "@set*.i?i"},
    {"IniFolderIsNoFile", 0, "", "S", 99, "d", "@folder.ini"},
    {"IniHiddenFileIsNoFile", 0, "", "S", 99, "d", "@.hidden.ini"},
    {"IniMissingFolder", 0, "", "S", 99, "d", "@missing\\settings.ini"},
#ifdef _WIN32
    {"IniFileNameInOtherCase", 0, "", "S", 0, "spaced value", "@SETTINGS.INI", "Main", "Key"},
    {"IniSystemFileIsNoFile", 0, "", "S", 99, "d", "@system.ini"},
#else
    // Wine's file format: escapes, tags and continued lines; lines Wine would refuse are skipped.
    {"WineNamedEscapes", 0, R"("\"\a\b\t\n\v\f\r\e")", "S", 0, "\"\a\b\t\n\v\f\r\x1b"},
    {"WineOctalEscapes", 0, R"("a\101\7b\0")", "S", 0, "aA\ab\0"s},
    {"WineHexEscapes", 0, R"("caf\xe9 \x20ac")", "S", 0, "caf\xc3\xa9 \xe2\x82\xac"},
    {"WineHexEscapeOfFourDigits", 0, R"("\x00e9bc")", "S", 0, "\303\251bc"},
    {"WineSurrogatePair", 0, R"("\xd83d\xde00")", "S", 0, "\xf0\x9f\x98\x80"},
    {"WineLoneSurrogate", 0, R"("\xd83d")", "S", 0, "\xef\xbf\xbd"},
    {"WineRawUtf8", 0, "\"\xc3\xa9\"", "S", 0, "\xc3\xa9"},
    {"WineRawByteNotUtf8", 0, "\"\xe9\"", "S", 0, "\xc3\xa9"},
    {"WineStrTag", 0, R"(str:"x")", "S", 0, "x"},
    {"WineExpandString", 0, R"(str(2):"%PATH%")", "S", 0, "%PATH%"},
    {"WineMultiString", 0, R"(str(7):"a\0b\0")", "S", 0, "a\0b\0"s},
    {"WineDword", 0, "dword:fedcba98", "D", 0, -19088744},
    {"WineBinaryContinued", 0, "hex:01,02,\\\n  03,\\\r\n  04", "D", 0, 67305985},
    {"WineHexTextOddByteDropped", 0, "hex(1):41,00,42,00,43", "S", 0, "A"},
    {"WineHexOtherType", 0, "hex(100000):01,02", "D", 0, 513},
    {"WineDwordWithoutDigits", 0, "dword:", "D", 2, "d"},
    {"WineByteAboveFF", 0, "hex:1ff", "D", 2, "d"},
    {"WineUnterminatedText", 0, "\"abc", "S", 2, "d"},
    {"WineUnknownTag", 0, "link:\"x\"", "S", 2, "d"},
    {"WineContinuationAtEnd", 0, "hex:01,\\", "D", 2, "d"}, // the file's last line
    // Lines written by hand below, and the keys of the other files, with links.
    {"WineDefaultValue", 0, "", "S", 0, "at", "HKCU", kKey, ""},
    {"WineSpacesAroundEquals", 0, "", "S", 0, "s", "HKCU", kKey, "Spaced"},
    {"WineEscapedQuoteInName", 0, "", "S", 0, "q", "HKCU", kKey, "Quote\"d"},
    {"WineMissingEquals", 0, "", "S", 2, "d", "HKCU", kKey, "NoEquals"},
    {"WineLaterValueOfSameNameWins", 0, "", "S", 0, "new", "HKCU", kKey, "Who"},
    {"WineMachineKey", 0, "", "S", 0, "C:\\hl", "HKLM", kHl + "\\", "installpath"},
    {"WineValueBeforeAnyKey", 0, "", "S", 2, "d", "HKLM", "", "early"},
    {"WineKeyInTwoSections", 0, "", "D", 0, 2, "HKLM", "software\\VALVE\\half-life", "Two"},
    {"WineBrokenKeyLine", 0, "", "D", 2, "d", "HKLM", kHl, "lost"},
    {"WineKeyNameEscapes", 0, "", "D", 0, 1, "HKLM", "Odd[1]\\Name", "v"},
    {"WineLeadingBackslash", 0, "", "S", 161, "d", "HKLM", "\\" + kHl, "InstallPath"},
    {"WineClassesRootForgivesOne", 0, "", "S", 0, "Text", "HKCR", "\\txtfile", ""},
    {"WineClassesRootRefusesTwo", 0, "", "S", 161, "d", "HKCR", "\\\\txtfile", ""},
    {"WineUsersOwnSid", 0, "", "S", 0, "new", "HKU", "S-1-5-21-0-0-0-1000\\" + kKey, "Who"},
    {"WineUsersDefault", 0, "", "S", 0, "default", "HKU", ".Default\\Software\\Rotaline", "Who"},
    {"WineCurrentConfig", 0, "", "D", 0, 96, "HKCC", "Software\\Fonts", "Dpi"},
    {"WineDynDataHoldsNoKeys", 0, "", "S", 2, "d", "HKDD", kHl, "InstallPath"},
    {"WineThroughLink", 0, "", "S", 0, "C:\\hl", "HKLM", "Software\\Link\\Half-Life",
     "InstallPath"},
    {"WineLoopingLink", 0, "", "S", 2, "d", "HKLM", "Software\\Loop\\X", "InstallPath"},
#endif
};

// The INI file of the INI rows, with a UTF-8 byte order mark.
const std::string kIniText = "\xEF\xBB\xBFtop=top\r\n[Main]\r\n  Key  =  spaced value  \r\n"
                             "key=second of the name\r\nInline=v ;x\nNoEquals\nEmpty=\n"
                             "Quoted=\"abcd\"\rSingle='q'\rMismatched=\"abc'\r\x1a\n"
                             "[ Spaced ] trailing\nk=spaced\n[Main]\nLater=never seen\n[Long]\nx=" +
                             std::string(300, 'x') + "\nat=\"" + std::string(254, 'y') +
                             "\"\nby=\"" + std::string(255, 'y') + "\"\n";

#ifdef _WIN32
// The ANSI call makes text types UTF-16. It would add a NUL to a text that lacks one when a NUL
// followed it in memory, so something else follows.
LSTATUS StoreValue(HKEY key, const char* name, DWORD type, std::string_view data) {
    const std::string guarded = std::string(data) + "\xFF";
    return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(guarded.data()),
                          static_cast<DWORD>(data.size()));
}

// The registry rows' values, and files in a scratch folder. Test processes run side by side and
// share the registry, so none deletes a key another may be reading.
class Store : public testing::Test {
protected:
    static void SetUpTestSuite() {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        for (const Read& c : kReads) {
            ASSERT_TRUE(c.type == 0 || StoreValue(key, c.name, c.type, c.data) == 0) << c.name;
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
// `"name"=hex(type):..` for a value RegQueryValueExA hands back as `data`: Wine holds text types
// and link targets (type 6) as UTF-16LE, each ASCII byte one unit.
std::string ValueLine(std::string_view name, std::uint32_t type, std::string_view data) {
    std::string line = "\"" + std::string(name) + "\"=hex(" + std::to_string(type) + "):";
    char byte[8];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(byte, sizeof byte, i > 0 ? ",%02x" : "%02x",
                      static_cast<unsigned char>(data[i]));
        line += byte + std::string(type == 1 || type == 2 || type == 6 || type == 7 ? ",00" : "");
    }
    return line + "\n";
}

// A scratch Wine prefix with the rows' values in its three registry files, and the INI files.
class Store : public testing::Test {
protected:
    void SetUp() override {
        std::string user =
            "[Software\\\\Rotaline Tests\\\\Settings] 1\n@=\"at\"\n\"Spaced\" = \"s\"\n"
            "\"Quote\\\"d\"=\"q\"\n\"NoEquals\" \"x\"\n\"WHO\"=\"old\"\n\"Who\"=\"new\"\n";
        for (const Read& c : kReads) {
            user += c.type != 0 ? ValueLine(c.name, c.type, c.data)
                    : c.data.empty() ? ""
                                     : "\""s + c.name + "\"=" + std::string(c.data) + "\n";
        }
        WriteHive("user.reg", user);
        WriteHive("userdef.reg", "[Software\\\\Rotaline] 1\n\"Who\"=\"default\"\n");
        WriteHive("system.reg",
                  "\"early\"=\"x\"\n[Software\\\\Valve\\\\Half-Life] 1796580896\n#time=1dd85b2\n"
                  "\"InstallPath\"=\"C:\\\\hl\"\n;; comment\n[Odd\\[1\\]\\\\\\\\Name\\\\] 1\n"
                  "\"v\"=dword:1\n[software\\\\VALVE\\\\half-life] 2\n\"Two\"=dword:2\n[Broken\n"
                  "\"lost\"=dword:3\n[Software\\\\Classes\\\\txtfile] 1\n@=\"Text\"\n[System\\\\"
                  "CurrentControlSet\\\\Hardware Profiles\\\\Current\\\\Software\\\\Fonts] 1\n"
                  "\"Dpi\"=dword:60\n[Software\\\\Link] 1\n#link\n" +
                      ValueLine("SymbolicLinkValue", 6, "\\Registry\\Machine\\Software\\Valve") +
                      "[Software\\\\Loop] 1\n#link\n" +
                      ValueLine("SymbolicLinkValue", 6, "\\REGISTRY\\Machine\\Software\\Loop"));
        folder_.Write("settings.ini", kIniText);
        folder_.Write(".hidden.ini", kIniText);
        folder_.MakeFolder("folder.ini");
    }
    void WriteHive(const std::string& file, const std::string& body) const {
        folder_.Write(file, "WINE REGISTRY Version 2\n\n" + body);
    }
    // As the program writes paths: "\tmp\...\name".
    std::string Path(const std::string& name) const {
        std::string path = folder_ / name;
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }
    const std::string& Folder() const { return folder_.Path(); }

    TempFolder folder_;
    ScopedEnv prefix_{"WINEPREFIX", folder_.Path()};
};

TEST(WineRegistryFile, NeedsWineHeader) {
    EXPECT_FALSE(ParseRegistryFile("REGEDIT4\n[Key]\n"));
    EXPECT_TRUE(ParseRegistryFile("WINE REGISTRY Version 2\r\n"));
}
#endif

// The system's registry, but the close answers `closeResult` and the call numbered
// `throwingCall` (the first is 1) throws; counts the keys left open, or closed unopened.
struct ScriptedRegistry : RegistryApi {
    ScriptedRegistry(std::int32_t close, int throwing)
        : closeResult(close), throwingCall(throwing) {}
    std::int32_t OpenKey(std::uint32_t root, const std::string& path, RegistryKey& key) override {
        Call();
        const std::int32_t status = system->OpenKey(root, path, key);
        keysOpen += status == 0 ? 1 : 0;
        return status;
    }
    std::int32_t QueryValue(RegistryKey key, const std::string& name, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& size) override {
        Call();
        return system->QueryValue(key, name, type, data, size);
    }
    std::int32_t CloseKey(RegistryKey key) override {
        --keysOpen;
        system->CloseKey(key);
        return closeResult;
    }
    void Call() {
        if (++calls == throwingCall) {
            throw std::bad_alloc();
        }
    }

    std::unique_ptr<RegistryApi> system = MakeSystemRegistry();
    std::int32_t closeResult;
    int throwingCall;
    int calls = 0;
    int keysOpen = 0;
};

class Reads : public Store, public testing::WithParamInterface<Read> {};

TEST_P(Reads, GiveStatusAndValue) {
    const Read& c = GetParam();
    ScriptedRegistry registry(c.closeResult, c.throwingCall);
    const std::string location = c.location[0] == '@' ? Path(c.location + 1) : c.location;
    SettingValue value = std::int32_t{-12345}; // no row expects it
    EXPECT_EQ(GetSettingValue(registry, *MakeSystemProfile(), location, c.keyPath,
                              c.valueName ? c.valueName : c.name, c.letter, c.defaultValue, value),
              c.status);
    EXPECT_EQ(value, c.expected);
    EXPECT_EQ(registry.keysOpen, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, Reads, testing::ValuesIn(kReads),
                         [](const auto& row) { return std::string(row.param.name); });

// A bare file name is the working folder's, for the listing and the INI calls alike (Windows'
// own calls would look in the Windows folder).
TEST_F(Store, BareFileNameIsReadFromWorkingFolder) {
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(Folder());
    SettingValue value;
    const std::int32_t status = GetSettingValue("settings.ini", "Main", "Key", "S", "d", value);
    std::filesystem::current_path(previous);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(value, SettingValue("spaced value"));
}

#ifdef _WIN32
// HKEY_LOCAL_MACHINE\Software is read in its 32-bit view, where the game's 32-bit setup writes
// on 64-bit Windows.
TEST(RegistryView, ThirtyTwoBitViewIsRead) {
    const char* path = "Software\\Rotaline Tests\\View";
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        HKEY key = nullptr;
        const LSTATUS created = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0,
                                                KEY_ALL_ACCESS | view, nullptr, &key, nullptr);
        if (created == ERROR_ACCESS_DENIED) {
            GTEST_SKIP() << "writing HKEY_LOCAL_MACHINE needs an administrator";
        }
        ASSERT_EQ(created, ERROR_SUCCESS);
        ASSERT_EQ(StoreValue(key, "Where", REG_SZ, view == KEY_WOW64_32KEY ? "32\0"sv : "64\0"sv),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    SettingValue value;
    const std::int32_t status = GetSettingValue("HKLM", path, "Where", "S", "d", value);
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path, view, 0);
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "Software\\Rotaline Tests", view, 0);
    }
    EXPECT_EQ(status, 0);
    EXPECT_EQ(value, SettingValue("32"));
}
#endif

} // namespace
} // namespace rotaline
