// What the settings reader answers from the registry and from INI files: the same rows on
// Windows' own calls and on the Wine prefix's files elsewhere, and rows of Wine's file format.
#include "core/settings/ProfileApi.h"
#include "core/settings/RegistryApi.h"
#include "core/settings/SettingsReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include "ScratchFolder.h"
#include <windows.h>
#else
#include "ScopedEnv.h"
#include "ScratchFolder.h"
#endif

namespace rotaline {
namespace {

using namespace std::literals;

const std::string kKey = "Software\\Rotaline Tests\\Settings";
const std::string kHl = "Software\\Valve\\Half-Life";

// GetSettingValue(location, keyPath, valueName or else the row's name, letter, defaultValue),
// with `data` stored first under the row's name below HKEY_CURRENT_USER\kKey, and the registry
// close answering `closeResult`. "@name" is a file of the scratch folder.
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
    // The close's own result is the status after a read, and never hides a failure.
    {"CloseResultIsStatusAfterRead", 1, "ab\0"sv, "S", 6, "ab", "HKCU", kKey, nullptr, "d", 6},
    {"TextWithNoBytesIsSuccess", 1, ""sv, "S", 0, "d", "HKCU", kKey, nullptr, "d", 6},
    {"MissingValueOverClose", 0, "", "S", 2, "d", "HKCU", kKey, "NoSuchValue", "d", 6},
    {"MoreDataOverClose", 3, "\1\2\3"sv, "B", 234, "d", "HKCU", kKey, nullptr, "d", 6},
    {"MissingKeyIsNotClosed", 0, "", "S", 2, "d", "HKCU", kKey + "\\None", nullptr, "d", 6},
    // INI files, by the rules Windows' profile calls follow.
    {"IniTrimmedInAnyCase", 0, "", "s", 0, "spaced value", "@settings.ini", " main ", "KEY "},
    {"IniNoInlineComments", 0, "", "S", 0, "v ;x", "@settings.ini", "Main", "Inline"},
    {"IniLineWithoutEquals", 0, "", "S", 0, "d", "@settings.ini", "Main", "NoEquals"},
    {"IniDoubleQuotesDropped", 0, "", "S", 0, "abcd", "@settings.ini", "Main", "Quoted"},
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
    {"IniBareNameInWorkingFolder", 0, "", "S", 0, "spaced value", "settings.ini", "Main", "Key"},
    {"IniWildcardsFindFile", 0, "", "S", 0, "d", "@set*.i?i"},
    {"IniFolderIsNoFile", 0, "", "S", 99, "d", "@folder.ini"},
    {"IniHiddenFileIsNoFile", 0, "", "S", 99, "d", "@.hidden.ini"},
    {"IniMissingFolder", 0, "", "S", 99, "d", "@missing\\settings.ini"},
#ifdef _WIN32
    {"MachineInItsThirtyTwoBitView", 0, "", "S", 0, "32", "HKLM", kKey, "View"},
    {"IniFileNameInOtherCase", 0, "", "S", 0, "spaced value", "@SETTINGS.INI", "Main", "Key"},
    {"IniSystemFileIsNoFile", 0, "", "S", 99, "d", "@system.ini"},
#else
    // Wine's file format: escapes, tags and continued lines; lines Wine would refuse are skipped.
    {"WineNamedEscapes", 0, R"("\"\a\b\t\n\v\f\r\e")", "S", 0, "\"\a\b\t\n\v\f\r\x1b"},
    {"WineOctalEscapes", 0, R"("a\101\7b\0")", "S", 0, "aA\ab\0"s},
    {"WineHexEscapes", 0, R"("caf\xe9 \x20ac")", "S", 0, "caf\xc3\xa9 \xe2\x82\xac"},
    {"WineHexEscapeOfFourDigits", 0, R"("\x00e9bc")", "S", 0, "\303\251bc"},
    {"WineSurrogatePair", 0, R"("\xd83d\xde00")", "S", 0, "\xf0\x9f\x98\x80"},
    {"WineRawUtf8", 0, "\"\xc3\xa9\"", "S", 0, "\xc3\xa9"},
    {"WineRawByteNotUtf8", 0, "\"\xe9\"", "S", 0, "\xc3\xa9"},
    {"WineExpandString", 0, R"(str(2):"%PATH%")", "S", 0, "%PATH%"},
    {"WineMultiString", 0, R"(str(7):"a\0b\0")", "S", 0, "a\0b\0"s},
    {"WineDword", 0, "dword:fedcba98", "D", 0, -19088744},
    {"WineBinaryContinued", 0, "hex:01,02,\\\n  03,\\\r\n  04", "D", 0, 67305985},
    {"WineHexTextOddByteDropped", 0, "hex(1):41,00,42,00,43", "S", 0, "A"},
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
    {"WineUsersDefault", 0, "", "S", 0, "default", "HKU", ".Default\\Software\\Rotaline", "Who"},
    {"WineCurrentConfig", 0, "", "D", 0, 96, "HKCC", "Software\\Fonts", "Dpi"},
    {"WineThroughLink", 0, "", "S", 0, "C:\\hl", "HKLM", "Software\\L\\Half-Life", "InstallPath"},
    {"WineDynDataHoldsNoKeys", 0, "", "S", 2, "d", "HKDD", kHl, "InstallPath"},
    {"WineLoopingLink", 0, "", "S", 2, "d", "HKLM", "Software\\Loop\\X", "InstallPath"},
#endif
};

// The INI file of the INI rows, with a UTF-8 byte order mark.
const std::string kIniText = "\xEF\xBB\xBFtop=top\r\n[Main]\r\n  Key  =  spaced value  \r\n"
                             "key=second of the name\r\nInline=v ;x\nNoEquals\n"
                             "Quoted=\"abcd\"\rMismatched=\"abc'\r\x1a\n"
                             "[ Spaced ] trailing\nk=spaced\n[Main]\nLater=never seen\n[Long]\nx=" +
                             std::string(300, 'x') + "\nat=\"" + std::string(254, 'y') +
                             "\"\nby=\"" + std::string(255, 'y') + "\"\n";

#ifdef _WIN32
using Scratch = ScratchFolder;

// The ANSI call makes text types UTF-16. It would add a NUL to a text that lacks one when a NUL
// followed it in memory, so something else follows.
LSTATUS StoreValue(HKEY key, const char* name, DWORD type, std::string_view data) {
    const std::string guarded = std::string(data) + "\xFF";
    return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(guarded.data()),
                          static_cast<DWORD>(data.size()));
}

// The rows' values below HKEY_CURRENT_USER and in both views of HKEY_LOCAL_MACHINE (which take an
// administrator). Test processes share the registry, so none deletes a key another may read.
void StoreRows(const Scratch& folder) {
    folder.Write(".hidden.ini", kIniText, FILE_ATTRIBUTE_HIDDEN);
    folder.Write("system.ini", kIniText, FILE_ATTRIBUTE_SYSTEM);
    for (const auto& [root, view] : {std::pair{HKEY_CURRENT_USER, KEY_WOW64_32KEY},
                                     {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY},
                                     {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY}}) {
        HKEY key = nullptr;
        RegCreateKeyExA(root, kKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                        nullptr);
        for (const Read& c : kReads) {
            StoreValue(key, c.name, c.type, c.data); // a row that is not stored fails
        }
        StoreValue(key, "View", REG_SZ, view == KEY_WOW64_32KEY ? "32\0"sv : "64\0"sv);
        RegCloseKey(key);
    }
}
#else
using Scratch = TempFolder;

// `"name"=hex(type):..` for a value RegQueryValueExA hands back as `data`: Wine holds text types
// and link targets (type 6) as UTF-16LE, each ASCII byte one unit.
std::string ValueLine(std::string_view name, std::uint32_t type, std::string_view data) {
    std::string line = "\"" + std::string(name) + "\"=hex(" + std::to_string(type) + "):";
    for (const char byte : data) {
        const auto bits = static_cast<unsigned char>(byte);
        line += {"0123456789abcdef"[bits >> 4], "0123456789abcdef"[bits & 15], ','};
        line += type == 1 || type == 2 || type == 6 || type == 7 ? "00," : "";
    }
    return line + "\n";
}

// The rows' values and the keys of the other rows in the three registry files of a Wine prefix.
void StoreRows(const Scratch& folder) {
    folder.Write(".hidden.ini", kIniText);
    const std::string head = "WINE REGISTRY Version 2\n\n";
    std::string user =
        "[Software\\\\Rotaline Tests\\\\Settings] 1\n@=\"at\"\n\"Spaced\" = \"s\"\n"
        "\"Quote\\\"d\"=\"q\"\n\"NoEquals\" \"x\"\n\"WHO\"=\"old\"\n\"Who\"=\"new\"\n";
    for (const Read& c : kReads) {
        user += c.type != 0 ? ValueLine(c.name, c.type, c.data)
                : c.data.empty() ? ""
                                 : "\""s + c.name + "\"=" + std::string(c.data) + "\n";
    }
    folder.Write("user.reg", head + user);
    folder.Write("userdef.reg", head + "[Software\\\\Rotaline] 1\n\"Who\"=\"default\"\n");
    folder.Write("system.reg",
                 head +
                     "\"early\"=\"x\"\n[Software\\\\Valve\\\\Half-Life] 1796580896\n#time=1dd85b2\n"
                     "\"InstallPath\"=\"C:\\\\hl\"\n;; comment\n[Odd\\[1\\]\\\\\\\\Name\\\\] 1\n"
                     "\"v\"=dword:1\n[software\\\\VALVE\\\\half-life] 2\n\"Two\"=dword:2\n[Broken\n"
                     "\"lost\"=dword:3\n[Software\\\\Classes\\\\txtfile] 1\n@=\"Text\"\n[System\\\\"
                     "CurrentControlSet\\\\Hardware Profiles\\\\Current\\\\Software\\\\Fonts] 1\n"
                     "\"Dpi\"=dword:60\n[Software\\\\L] 1\n#link\n" +
                     ValueLine("SymbolicLinkValue", 6, "\\Registry\\Machine\\Software\\Valve") +
                     "[Software\\\\Loop] 1\n#link\n" +
                     ValueLine("SymbolicLinkValue", 6, "\\REGISTRY\\Machine\\Software\\Loop"));
}
#endif

// The rows' registry values and INI files, and the scratch folder as the working folder.
class Store : public testing::Test {
protected:
    void SetUp() override {
        StoreRows(folder_);
        folder_.Write("settings.ini", kIniText);
        folder_.MakeFolder("folder.ini");
        std::filesystem::current_path(folder_.Path());
    }
    void TearDown() override { std::filesystem::current_path(previous_); }
    // As the program writes paths, with backslashes.
    std::string Path(const std::string& name) const {
        std::string path = folder_ / name;
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }

    const std::filesystem::path previous_ = std::filesystem::current_path();
    Scratch folder_;
#ifndef _WIN32
    ScopedEnv prefix_{"WINEPREFIX", folder_.Path()};
#endif
};

// The system's registry, but the close answers `closeResult`; counts the keys left open, or
// closed unopened.
struct ScriptedRegistry : RegistryApi {
    explicit ScriptedRegistry(std::int32_t close) : closeResult(close) {}
    std::int32_t OpenKey(std::uint32_t root, const std::string& path, RegistryKey& key) override {
        const std::int32_t status = system->OpenKey(root, path, key);
        keysOpen += status == 0 ? 1 : 0;
        return status;
    }
    std::int32_t QueryValue(RegistryKey key, const std::string& name, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& size) override {
        return system->QueryValue(key, name, type, data, size);
    }
    std::int32_t CloseKey(RegistryKey key) override {
        --keysOpen;
        system->CloseKey(key);
        return closeResult;
    }

    std::unique_ptr<RegistryApi> system = MakeSystemRegistry();
    std::int32_t closeResult;
    int keysOpen = 0;
};

class Reads : public Store, public testing::WithParamInterface<Read> {};

TEST_P(Reads, GiveStatusAndValue) {
    const Read& c = GetParam();
    ScriptedRegistry registry(c.closeResult);
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

} // namespace
} // namespace rotaline
