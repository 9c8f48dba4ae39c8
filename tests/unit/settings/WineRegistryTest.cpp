// The Wine prefix's registry files read as Wine's advapi32 answers: their format, the sizes a
// query reports, and the names of keys.
#include "core/settings/posix/WineRegistry.h"

#include "TestPrefix.h"

#include <gtest/gtest.h>

namespace rotaline {
namespace {

using namespace std::string_literals;

constexpr std::uint32_t kHklm = HKEY_LOCAL_MACHINE_VALUE;
constexpr std::uint32_t kHkcr = HKEY_CLASSES_ROOT_VALUE;
constexpr std::uint32_t kHku = HKEY_USERS_VALUE;

// Either a value of the key "Format", written `"<row name>"=<data>`, or a value looked up
// elsewhere in the prefix below; then RegQueryValueExA's answer: "type:bytes", or the status of
// the call that failed.
struct WineCase {
    const char* name;
    std::string data; // empty for a look-up
    std::string answer;
    std::uint32_t root = kHklm;
    const char* path = "Format";
    const char* value = nullptr; // the row's name when null
};

const std::vector<WineCase> kWineCases = {
    {"QuotedTextGainsNul", R"("C:\\games\\hl")", "1:C:\\games\\hl\0"s},
    {"NamedEscapes", R"("\"\a\b\t\n\v\f\r\e")", "1:\"\a\b\t\n\v\f\r\x1b\0"s},
    {"OctalEscapes", R"("a\101\7b\0")",
     "1:aA\x07"
     "b\0\0"s},
    {"HexEscapes", R"("caf\xe9 \x20ac")", "1:caf\xc3\xa9 \xe2\x82\xac\0"s},
    {"HexEscapeStopsAtFourDigits", R"("\x00e9abc")",
     "1:\xc3\xa9"
     "abc\0"s},
    {"SurrogatePair", R"("\xd83d\xde00")", "1:\xf0\x9f\x98\x80\0"s},
    {"LoneSurrogate", R"("\xd83d")", "1:\xef\xbf\xbd\0"s},
    {"RawUtf8", "\"\xc3\xa9\"", "1:\xc3\xa9\0"s},
    {"RawByteNotUtf8", "\"\xe9\"", "1:\xc3\xa9\0"s},
    {"StrTag", R"(str:"x")", "1:x\0"s},
    {"ExpandString", R"(str(2):"%PATH%")", "2:%PATH%\0"s},
    {"MultiString", R"(str(7):"a\0b\0")", "7:a\0b\0\0"s},
    {"Dword", "dword:0000abcd", "4:\xcd\xab\0\0"s},
    {"Binary", "hex:0a,0b", "3:\x0a\x0b"},
    {"BinaryContinued", "hex:01,02,\\\n  03,\\\r\n  04", "3:\1\2\3\4"},
    {"BinaryEmpty", "hex:", "3:"},
    {"HexTextKeepsNoNul", "hex(1):41,00,42,00,43,00", "1:ABC"},
    {"HexTextOddByteDropped", "hex(1):41,00,42", "1:A"},
    {"HexOtherType", "hex(100000):01", "1048576:\1"},
    {"DwordWithoutDigitsSkipped", "dword:", "query 2"},
    {"ByteAboveFFSkipped", "hex:1ff", "query 2"},
    {"UnterminatedTextSkipped", "\"abc", "query 2"},
    {"UnknownTagSkipped", "link:\"x\"", "query 2"},
    {"ContinuationAtEndSkipped", "hex:01,\\", "query 2"}, // the file's last line
    {"DefaultValue", "", "1:d\0"s, kHklm, "Format", ""},
    {"SpacesAroundEquals", "", "1:s\0"s, kHklm, "Format", "Spaced"},
    {"EscapedQuoteInName", "", "1:q\0"s, kHklm, "Format", "Quote\"d"},
    {"MissingEqualsSkipped", "", "query 2", kHklm, "Format", "NoEquals"},
    {"ValueBeforeAnyKeyDropped", "", "query 2", kHklm, "", "early"},
    {"MachineKey", "", "1:C:\\hl\0"s, kHklm, "Software\\Valve\\Half-Life\\", "installpath"},
    {"SecondSectionOfKeyAddsToIt", "", "4:\2\0\0\0"s, kHklm, "software\\VALVE\\half-life", "Two"},
    {"BrokenKeyLineTakesValues", "", "query 2", kHklm, "Software\\Valve\\Half-Life", "lost"},
    {"KeyNameEscapes", "", "4:\1\0\0\0"s, kHklm, "Odd[1]\\Name", "v"},
    {"ImpliedParent", "", "query 2", kHklm, "Software\\\\Valve", ""},
    {"MissingKey", "", "open 2", kHklm, "Software\\Valve\\Half-Life\\Missing"},
    {"LeadingBackslash", "", "open 161", kHklm, "\\Software"},
    {"ClassesRoot", "", "1:Text\0"s, kHkcr, "\\txtfile", ""},
    {"ClassesRootForgivesOneBackslashOnly", "", "open 161", kHkcr, "\\\\txtfile"},
    {"CurrentUserLaterValueWins", "", "1:user\0"s, HKEY_CURRENT_USER_VALUE, "Software\\Rotaline",
     "Who"},
    {"CurrentUserIsNotMachine", "", "open 2", HKEY_CURRENT_USER_VALUE, "Software\\Valve"},
    {"UsersOwnSid", "", "1:user\0"s, kHku, "S-1-5-21-0-0-0-1000\\Software\\Rotaline", "Who"},
    {"UsersDefault", "", "1:default\0"s, kHku, ".Default\\Software\\Rotaline", "Who"},
    {"UsersOtherKey", "", "open 2", kHku, "Software"},
    {"CurrentConfig", "", "4:\x60\0\0\0"s, HKEY_CURRENT_CONFIG_VALUE, "Software\\Fonts", "Dpi"},
    {"DynDataRootIsEmpty", "", "query 2", HKEY_DYN_DATA_VALUE, ""},
    {"DynDataHoldsNoKeys", "", "open 2", HKEY_DYN_DATA_VALUE, "X"},
    {"ThroughLink", "", "1:C:\\hl\0"s, kHklm, "Software\\Linked\\Half-Life", "InstallPath"},
    {"LoopingLink", "", "open 2", kHklm, "Software\\Loop\\X"},
    {"UnknownRoot", "", "open 6", 0x80000004u, ""},
};

// The answer to a query of `value` through a key opened at `path`, with room for 256 bytes.
std::string Answer(WineRegistry& registry, std::uint32_t root, const char* path,
                   const char* value) {
    RegistryKey key = 0;
    if (const std::int32_t status = registry.OpenKey(root, path, key); status != 0) {
        return "open " + std::to_string(status);
    }
    std::string data(256, '\0');
    std::uint32_t type = 0;
    std::uint32_t size = 256;
    const std::int32_t status =
        registry.QueryValue(key, value, type, reinterpret_cast<unsigned char*>(data.data()), size);
    EXPECT_EQ(registry.CloseKey(key), 0);
    return status != 0 ? "query " + std::to_string(status)
                       : std::to_string(type) + ":" + data.substr(0, size);
}

// The three files Wine keeps, with the rows' values, a link and a link that loops.
class WinePrefixFiles : public testing::Test {
protected:
    void SetUp() override {
        std::string format = "[Format] 1\n@=\"d\"\n\"Spaced\" = \"s\"\n\"Quote\\\"d\"=\"q\"\n"
                             "\"NoEquals\" \"x\"\n";
        for (const WineCase& c : kWineCases) {
            format += c.data.empty() ? "" : "\""s + c.name + "\"=" + c.data + "\n";
        }
        prefix_.WriteHive(
            "system.reg",
            "\"early\"=\"before any key\"\n"
            "[Software\\\\Valve\\\\Half-Life] 1796580896\n#time=1dd85b265d33e08\n#class=\"x\"\n"
            "\"InstallPath\"=\"C:\\\\hl\"\n\n;; comment\n"
            "[Odd\\[1\\]\\\\\\\\Name\\\\] 1\n\"v\"=dword:1\n"
            "[software\\\\VALVE\\\\half-life] 2\n\"Two\"=dword:2\n[Broken\n\"lost\"=dword:3\n"
            "[Software\\\\Classes\\\\txtfile] 1\n@=\"Text\"\n"
            "[System\\\\CurrentControlSet\\\\Hardware Profiles\\\\Current\\\\Software\\\\Fonts] 1\n"
            "\"Dpi\"=dword:00000060\n[Software\\\\Linked] 1\n#link\n" +
                ValueLine("SymbolicLinkValue", 6, "\\Registry\\Machine\\Software\\Valve") +
                "[Software\\\\Loop] 1\n#link\n" +
                ValueLine("SymbolicLinkValue", 6, "\\REGISTRY\\Machine\\Software\\Loop") + format);
        prefix_.WriteHive("user.reg",
                          "[Software\\\\Rotaline] 1\n\"WHO\"=\"old\"\n\"Who\"=\"user\"\n");
        prefix_.WriteHive("userdef.reg", "[Software\\\\Rotaline] 1\n\"Who\"=\"default\"\n");
    }

    TestPrefix prefix_;
    WineRegistry registry_;
};

class WineValues : public WinePrefixFiles, public testing::WithParamInterface<WineCase> {};

TEST_P(WineValues, AnswerAsAdvapi32) {
    const WineCase& c = GetParam();
    EXPECT_EQ(Answer(registry_, c.root, c.path, c.value ? c.value : c.name), c.answer);
}

INSTANTIATE_TEST_SUITE_P(Rows, WineValues, testing::ValuesIn(kWineCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(WinePrefixFiles, FilesReadAtEachOpenAndKeysHeldUntilClosed) {
    RegistryKey before = 0;
    ASSERT_EQ(registry_.OpenKey(kHklm, "Software\\Valve\\Half-Life", before), 0);
    prefix_.WriteHive("system.reg", "[Software\\\\Valve\\\\Half-Life] 1\n\"InstallPath\"=\"D:\"\n");
    EXPECT_EQ(Answer(registry_, kHklm, "Software\\Valve\\Half-Life", "InstallPath"), "1:D:\0"s);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(registry_.QueryValue(before, "InstallPath", type, nullptr, size), 0);
    EXPECT_EQ(size, 6u); // "C:\hl" and its NUL, as read at the open
    EXPECT_EQ(registry_.CloseKey(before), 0);
    EXPECT_EQ(registry_.CloseKey(before), 6);
    EXPECT_EQ(registry_.QueryValue(before, "InstallPath", type, nullptr, size), 6);
}

TEST(WineRegistryFile, NeedsWineHeader) {
    EXPECT_FALSE(ParseRegistryFile("REGEDIT4\n[Key]\n"));
    EXPECT_TRUE(ParseRegistryFile("WINE REGISTRY Version 2\r\n"));
}

// What a query answers for a buffer of `room` bytes (none at all for ~0u) on stored data.
struct SizeCase {
    const char* name;
    std::string stored; // UTF-16LE text
    std::uint32_t room;
    std::int32_t status;
    std::uint32_t size;
    std::string buffer; // its first bytes after the call
};

class QuerySizes : public testing::TestWithParam<SizeCase> {};

TEST_P(QuerySizes, AsAdvapi32) {
    const SizeCase& c = GetParam();
    std::string buffer(16, '#');
    std::uint32_t type = 0;
    std::uint32_t size = c.room == ~0u ? 0 : c.room;
    auto* data = c.room == ~0u ? nullptr : reinterpret_cast<unsigned char*>(buffer.data());
    EXPECT_EQ(QueryRegistryValue({"v", 1, c.stored}, type, data, size), c.status);
    EXPECT_EQ(type, 1u);
    EXPECT_EQ(size, c.size);
    EXPECT_EQ(buffer.substr(0, c.buffer.size()), c.buffer);
}

const std::string kHl = "h\0l\0\0\0"s; // "hl" as Wine holds a quoted text

INSTANTIATE_TEST_SUITE_P(Rows, QuerySizes,
                         testing::Values(SizeCase{"ProbeCountsNul", kHl, 0, 234, 3, "#"},
                                         SizeCase{"NoBufferGetsSizeWithSuccess", kHl, ~0u, 0, 3,
                                                  "#"},
                                         SizeCase{"TooSmallWritesNothing", kHl, 2, 234, 3, "#"},
                                         SizeCase{"ExactFit", kHl, 3, 0, 3, "hl\0#"s},
                                         SizeCase{"NulAddedWhenRoom", "A\0B\0"s, 8, 0, 2, "AB\0"s},
                                         SizeCase{"NoNulWithoutRoom", "A\0B\0"s, 2, 0, 2, "AB#"},
                                         SizeCase{"EmptyProbeSucceeds", "", 0, 0, 0, "#"}),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace rotaline
