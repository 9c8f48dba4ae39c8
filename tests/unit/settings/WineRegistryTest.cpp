// Tests of the Wine registry reader: the file format, advapi32's answers and the key namespace.
#include "core/settings/posix/WineRegistry.h"

#include "TestPrefix.h"

#include <gtest/gtest.h>

#include <optional>

namespace rotaline {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

constexpr std::string_view kHeader = "WINE REGISTRY Version 2\n;; All keys relative to "
                                     "REGISTRY\\\\Machine\n\n#arch=win64\n\n";

struct ReadBack {
    std::int32_t status;
    std::uint32_t type;
    std::string data;
};

// What RegQueryValueExA gives for `name` with a buffer of `room` bytes.
ReadBack Query(RegistryApi& registry, RegistryKey key, const std::string& name,
               std::uint32_t room = 256) {
    std::string buffer(room, '\xcc');
    std::uint32_t type = 0;
    std::uint32_t size = room;
    const std::int32_t status =
        registry.QueryValue(key, name, type, reinterpret_cast<unsigned char*>(buffer.data()), size);
    buffer.resize(status == 0 ? size : 0);
    return {status, type, buffer};
}

std::optional<ReadBack> ParseValue(const std::string& lines) {
    const auto keys = ParseRegistryFile(std::string(kHeader) + "[Key] 1\n" + lines);
    if (!keys || keys->size() != 1 || keys->front().values.empty()) {
        return std::nullopt;
    }
    const RegistryValue& value = keys->front().values.back();
    std::string buffer(256, '\0');
    std::uint32_t type = 0;
    std::uint32_t size = 256;
    const auto status =
        QueryRegistryValue(value, type, reinterpret_cast<unsigned char*>(buffer.data()), size);
    buffer.resize(size);
    return ReadBack{status, type, buffer};
}

struct FormatCase {
    const char* name;
    std::string lines;
    std::uint32_t type; // 0: the value is skipped
    std::string data;   // as RegQueryValueExA hands it back
};

class RegistryFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(RegistryFormat, ReadsValueAsAdvapi32) {
    const FormatCase& c = GetParam();
    const auto value = ParseValue(c.lines);
    if (c.type == 0) {
        EXPECT_FALSE(value.has_value());
        return;
    }
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->type, c.type);
    EXPECT_EQ(value->data, c.data);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RegistryFormat,
    testing::Values(
        FormatCase{"QuotedTextGainsNul", "\"v\"=\"C:\\\\games\\\\hl\"\n", 1, "C:\\games\\hl\0"s},
        FormatCase{"NamedEscapes", R"("v"="\"\a\b\t\n\v\f\r\e")", 1, "\"\a\b\t\n\v\f\r\x1b\0"s},
        FormatCase{"OctalEscapes", R"("v"="a\101\7b\0")", 1,
                   "aA\x07"
                   "b\0\0"s},
        FormatCase{"HexEscapes", R"("v"="caf\xe9 \x20ac")", 1, "caf\xc3\xa9 \xe2\x82\xac\0"s},
        FormatCase{"HexEscapeStopsAtFourDigits", R"("v"="\x00e9abc")", 1,
                   "\xc3\xa9"
                   "abc\0"s},
        FormatCase{"SurrogatePair", R"("v"="\xd83d\xde00")", 1, "\xf0\x9f\x98\x80\0"s},
        FormatCase{"LoneSurrogate", R"("v"="\xd83d")", 1, "\xef\xbf\xbd\0"s},
        FormatCase{"RawUtf8", "\"v\"=\"\xc3\xa9\"", 1, "\xc3\xa9\0"s},
        FormatCase{"RawByteNotUtf8", "\"v\"=\"\xe9\"", 1, "\xc3\xa9\0"s},
        FormatCase{"StrTag", R"("v"=str:"x")", 1, "x\0"s},
        FormatCase{"ExpandString", R"("v"=str(2):"%PATH%")", 2, "%PATH%\0"s},
        FormatCase{"MultiString", R"("v"=str(7):"a\0b\0")", 7, "a\0b\0\0"s},
        FormatCase{"Dword", "\"v\"=dword:0000abcd", 4, "\xcd\xab\0\0"s},
        FormatCase{"Binary", "\"v\"=hex:0a,0b", 3, "\x0a\x0b"},
        FormatCase{"BinaryContinued", "\"v\"=hex:01,02,\\\n  03,\\\r\n  04\n", 3, "\1\2\3\4"},
        FormatCase{"BinaryEmpty", "\"v\"=hex:", 3, ""},
        FormatCase{"HexTextKeepsNoNul", "\"v\"=hex(1):41,00,42,00,43,00", 1, "ABC"},
        FormatCase{"HexTextOddByteDropped", "\"v\"=hex(1):41,00,42", 1, "A"},
        FormatCase{"HexOtherType", "\"v\"=hex(100000):01", 0x100000, "\1"},
        FormatCase{"DefaultValue", "@=\"d\"", 1, "d\0"s},
        FormatCase{"SpacesAroundEquals", "\"v\" = \"d\"", 1, "d\0"s},
        FormatCase{"EscapedQuoteInName", "\"v\\\"\"=\"d\"", 1, "d\0"s},
        FormatCase{"DwordWithoutDigitsSkipped", "\"v\"=dword:", 0, ""},
        FormatCase{"ByteAboveFFSkipped", "\"v\"=hex:1ff", 0, ""},
        FormatCase{"UnterminatedTextSkipped", "\"v\"=\"abc", 0, ""},
        FormatCase{"ContinuationAtEndSkipped", "\"v\"=hex:01,\\", 0, ""},
        FormatCase{"UnknownTagSkipped", "\"v\"=link:\"x\"", 0, ""},
        FormatCase{"MissingEqualsSkipped", "\"v\" \"x\"", 0, ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(RegistryFile, NeedsWineHeader) {
    EXPECT_FALSE(ParseRegistryFile("REGEDIT4\n[Key]\n").has_value());
    EXPECT_FALSE(ParseRegistryFile("").has_value());
    EXPECT_TRUE(ParseRegistryFile("WINE REGISTRY Version 2\r\n").has_value());
}

TEST(RegistryFile, ReadsKeysAndTheirOptions) {
    const auto keys =
        ParseRegistryFile(std::string(kHeader) + "\"early\"=\"no key yet\"\n"
                                                 "[Software\\\\Valve\\\\Half-Life] 1796580896\n"
                                                 "#time=1dd85b265d33e08\n"
                                                 "#class=\"x\"\n"
                                                 "\"InstallPath\"=\"C:\\\\hl\"\n"
                                                 "\n;; comment\n"
                                                 "[Odd\\[1\\]\\\\\\\\Name\\\\] 1\n"
                                                 "#link\n"
                                                 "[software\\\\VALVE\\\\half-life] 2\n"
                                                 "\"Second\"=dword:1\n"
                                                 "[Broken\n"
                                                 "\"lost\"=dword:2\n");
    ASSERT_TRUE(keys.has_value());
    ASSERT_EQ(keys->size(), 2u);
    const RegistryFileKey& valve = (*keys)[0];
    EXPECT_EQ(valve.path, "Software\\Valve\\Half-Life");
    EXPECT_FALSE(valve.link);
    ASSERT_EQ(valve.values.size(), 2u); // a second section of the key adds to the first
    EXPECT_EQ(valve.values[0].name, "InstallPath");
    EXPECT_EQ(valve.values[1].name, "Second");
    EXPECT_EQ((*keys)[1].path, "Odd[1]\\Name"); // empty parts dropped, brackets unescaped
    EXPECT_TRUE((*keys)[1].link);
    EXPECT_TRUE((*keys)[1].values.empty());
}

std::string Wide(std::string_view text) {
    std::string bytes;
    for (const char c : text) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

struct QueryCase {
    const char* name;
    RegistryValue value;
    bool nullData;
    std::uint32_t room;
    std::int32_t status;
    std::uint32_t size;
    std::string data; // the buffer's first size + 1 bytes after the call
};

class RegistryQuery : public testing::TestWithParam<QueryCase> {};

TEST_P(RegistryQuery, AnswersAsAdvapi32) {
    const QueryCase& c = GetParam();
    std::string buffer(64, '\xcc');
    std::uint32_t type = 99;
    std::uint32_t size = c.room;
    auto* data = c.nullData ? nullptr : reinterpret_cast<unsigned char*>(buffer.data());
    EXPECT_EQ(QueryRegistryValue(c.value, type, data, size), c.status);
    EXPECT_EQ(type, c.value.type);
    EXPECT_EQ(size, c.size);
    EXPECT_EQ(buffer.substr(0, c.data.size()), c.data);
}

const RegistryValue kText{"v", 1, Wide("C:\\games\\hl") + "\0\0"s};
const RegistryValue kTextWithoutNul{"v", 1, Wide("ABC")};

INSTANTIATE_TEST_SUITE_P(
    Sizes, RegistryQuery,
    testing::Values(QueryCase{"ProbeOfTextCountsNul", kText, false, 0, 234, 12, "\xcc"},
                    QueryCase{"NullDataGetsSizeWithSuccess", kText, true, 0, 0, 12, "\xcc"},
                    QueryCase{"TooSmallWritesNothing", kText, false, 4, 234, 12, "\xcc"},
                    QueryCase{"ExactFit", kText, false, 12, 0, 12, "C:\\games\\hl\0\xcc"s},
                    QueryCase{"NulAddedWhenRoom", kTextWithoutNul, false, 8, 0, 3, "ABC\0"s},
                    QueryCase{"NoNulWithoutRoom", kTextWithoutNul, false, 3, 0, 3, "ABC\xcc"},
                    QueryCase{"EmptyValueProbeSucceeds", {"v", 3, ""}, false, 0, 0, 0, "\xcc"},
                    QueryCase{"BinaryTooLong", {"v", 3, "\1\2\3"}, false, 2, 234, 3, "\xcc"},
                    QueryCase{"BinaryGetsNoNul", {"v", 3, "\1"}, false, 8, 0, 1, "\1\xcc"}),
    [](const auto& row) { return std::string(row.param.name); });

// A prefix holding the three files Wine keeps, with one link and one looping link.
class WinePrefixFiles : public testing::Test {
protected:
    void SetUp() override {
        const std::string toValve =
            ValueLine("SymbolicLinkValue", 6, "\\Registry\\Machine\\Software\\Valve");
        const std::string toLoop =
            ValueLine("SymbolicLinkValue", 6, "\\REGISTRY\\Machine\\Software\\Loop");
        prefix_.WriteHive("system.reg",
                          "[Software\\\\Valve\\\\Half-Life] 1\n\"InstallPath\"=\"C:\\\\hl\"\n"
                          "[Software\\\\Classes\\\\txtfile] 1\n@=\"Text\"\n"
                          "[System\\\\CurrentControlSet\\\\Hardware Profiles\\\\Current\\\\"
                          "Software\\\\Fonts] 1\n\"LogPixels\"=dword:00000060\n"
                          "[Software\\\\Linked] 1\n#link\n" +
                              toValve + "[Software\\\\Loop] 1\n#link\n" + toLoop);
        // Of two values of one name the later counts.
        prefix_.WriteHive("user.reg",
                          "[Software\\\\Rotaline] 1\n\"WHO\"=\"old\"\n\"Who\"=\"user\"\n");
        prefix_.WriteHive("userdef.reg", "[Software\\\\Rotaline] 1\n\"Who\"=\"default\"\n");
    }

    TestPrefix prefix_;
    WineRegistry registry_;
};

struct OpenCase {
    const char* name;
    std::uint32_t root;
    std::string path;
    std::int32_t status;
    std::string valueName; // read after a successful open, when not empty
    std::string data;
};

class WineKeys : public WinePrefixFiles, public testing::WithParamInterface<OpenCase> {};

TEST_P(WineKeys, OpenAsWineDoes) {
    const OpenCase& c = GetParam();
    RegistryKey key = 0;
    ASSERT_EQ(registry_.OpenKey(c.root, c.path, key), c.status);
    if (c.status != 0) {
        return;
    }
    if (!c.valueName.empty()) {
        const ReadBack value = Query(registry_, key, c.valueName);
        EXPECT_EQ(value.status, 0);
        EXPECT_EQ(value.data, c.data);
    }
    EXPECT_EQ(registry_.CloseKey(key), 0);
}

constexpr std::uint32_t kHklm = HKEY_LOCAL_MACHINE_VALUE;
constexpr std::uint32_t kHkcr = HKEY_CLASSES_ROOT_VALUE;
constexpr std::uint32_t kHku = HKEY_USERS_VALUE;

INSTANTIATE_TEST_SUITE_P(
    Paths, WineKeys,
    testing::Values(
        OpenCase{"MachineKey", kHklm, "Software\\Valve\\Half-Life\\", 0, "installpath",
                 "C:\\hl\0"s},
        OpenCase{"ImpliedParentInOtherCase", kHklm, "software\\VALVE", 0, "", ""},
        OpenCase{"MachineRoot", kHklm, "", 0, "", ""},
        OpenCase{"DoubledBackslash", kHklm, "Software\\\\Valve", 0, "", ""},
        OpenCase{"MissingKey", kHklm, "Software\\Valve\\Half-Life\\Missing", 2, "", ""},
        OpenCase{"LeadingBackslash", kHklm, "\\Software", 161, "", ""},
        OpenCase{"ClassesRoot", kHkcr, "txtfile", 0, "", ""},
        OpenCase{"ClassesRootForgivesOneBackslash", kHkcr, "\\txtfile", 0, "", ""},
        OpenCase{"ClassesRootRefusesTwo", kHkcr, "\\\\txtfile", 161, "", ""},
        OpenCase{"CurrentUser", HKEY_CURRENT_USER_VALUE, "Software\\Rotaline", 0, "Who", "user\0"s},
        OpenCase{"CurrentUserIsNotMachine", HKEY_CURRENT_USER_VALUE, "Software\\Valve", 2, "", ""},
        OpenCase{"UsersRoot", kHku, "", 0, "", ""},
        OpenCase{"UsersOwnSid", kHku, "S-1-5-21-0-0-0-1000\\Software\\Rotaline", 0, "Who",
                 "user\0"s},
        OpenCase{"UsersDefault", kHku, ".Default\\Software\\Rotaline", 0, "Who", "default\0"s},
        OpenCase{"UsersOtherKey", kHku, "Software", 2, "", ""},
        OpenCase{"CurrentConfig", HKEY_CURRENT_CONFIG_VALUE, "Software\\Fonts", 0, "LogPixels",
                 "\x60\0\0\0"s},
        OpenCase{"DynDataRootExists", HKEY_DYN_DATA_VALUE, "", 0, "", ""},
        OpenCase{"DynDataHoldsNothing", HKEY_DYN_DATA_VALUE, "X", 2, "", ""},
        OpenCase{"ThroughLink", kHklm, "Software\\Linked\\Half-Life", 0, "InstallPath",
                 "C:\\hl\0"s},
        OpenCase{"LoopingLink", kHklm, "Software\\Loop\\X", 2, "", ""},
        OpenCase{"UnknownRoot", 0x80000004u, "", 6, "", ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(WinePrefixFiles, ClassesRootDefaultValue) {
    RegistryKey key = 0;
    ASSERT_EQ(registry_.OpenKey(kHkcr, "txtfile", key), 0);
    EXPECT_EQ(Query(registry_, key, "").data, "Text\0"s);
    EXPECT_EQ(Query(registry_, key, "Missing").status, 2);
    EXPECT_EQ(registry_.CloseKey(key), 0);
}

TEST_F(WinePrefixFiles, FilesReadAtEachOpenAndKeysHeldUntilClosed) {
    RegistryKey before = 0;
    ASSERT_EQ(registry_.OpenKey(kHklm, "Software\\Valve\\Half-Life", before), 0);
    prefix_.WriteHive("system.reg", "[Software\\\\Valve\\\\Half-Life] 1\n\"InstallPath\"=\"D:\"\n");
    RegistryKey after = 0;
    ASSERT_EQ(registry_.OpenKey(kHklm, "Software\\Valve\\Half-Life", after), 0);
    EXPECT_NE(before, after);
    EXPECT_EQ(Query(registry_, before, "InstallPath").data, "C:\\hl\0"s);
    EXPECT_EQ(Query(registry_, after, "InstallPath").data, "D:\0"s);
    EXPECT_EQ(registry_.CloseKey(before), 0);
    EXPECT_EQ(registry_.CloseKey(before), 6);
    EXPECT_EQ(Query(registry_, before, "InstallPath").status, 6);
    EXPECT_EQ(registry_.CloseKey(after), 0);
}

TEST(WinePrefixWithoutFiles, HasRootsButNoKeys) {
    TestPrefix empty;
    WineRegistry registry;
    RegistryKey key = 0;
    EXPECT_EQ(registry.OpenKey(kHklm, "Software", key), 2);
    ASSERT_EQ(registry.OpenKey(kHklm, "", key), 0);
    EXPECT_EQ(Query(registry, key, "").status, 2);
    EXPECT_EQ(registry.CloseKey(key), 0);
}

} // namespace
} // namespace rotaline
