// Settings-reader cases as plain data, for the tests against any platform's registry and INI calls.
#pragma once

#include "core/settings/SettingsReader.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rotaline::vectors {

using namespace std::string_literals;
using namespace std::string_view_literals;

// Where the registry cases are stored: below HKEY_CURRENT_USER, one value per case, named after
// the case.
inline constexpr std::string_view kTestKey = "Software\\Rotaline Tests\\Settings";

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

inline const std::vector<RegistryCase> kRegistryCases = {
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

inline const std::string kTestKeyText{kTestKey};

// Every lookup passes the letter "S" and the default "No Name".
inline const std::vector<LookupCase> kLookupCases = {
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
inline const std::string kIniText = "[Server]\r\n"
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
inline const std::vector<IniCase> kIniCases = {
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
inline const std::string kProfileText = "top=before any section\r\n"
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

inline const std::vector<ProfileStringCase> kProfileStringCases = {
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
inline const std::vector<ProfileIntCase> kProfileIntCases = {
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

} // namespace rotaline::vectors
