// Tests of the INI reader against the rules of the Windows profile calls.
#include "core/settings/posix/IniProfile.h"

#include "SettingsVectors.h"
#include "TestPrefix.h"

#include <gtest/gtest.h>

namespace rotaline {
namespace {

class IniFile : public testing::Test {
protected:
    void SetUp() override { prefix_.Folder().Write("profile.ini", vectors::kProfileText); }

    std::string File() const { return prefix_.ProgramPath("profile.ini"); }

    // Copies as GetPrivateProfileStringA would, checking nothing is written past the cut.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultText, std::uint32_t size) {
        std::string buffer(size + 1, '#');
        const std::uint32_t count =
            profile_.GetString(std::string(section), std::string(key), std::string(defaultText),
                               buffer.data(), size, File());
        EXPECT_LT(count, std::max(size, 1u));
        if (size > 0) {
            EXPECT_EQ(buffer[count], '\0');
        }
        EXPECT_EQ(buffer[size], '#');
        return buffer.substr(0, count);
    }

    TestPrefix prefix_;
    IniProfile profile_;
};

class ProfileStrings : public IniFile,
                       public testing::WithParamInterface<vectors::ProfileStringCase> {};

TEST_P(ProfileStrings, MatchWindows) {
    const auto& c = GetParam();
    EXPECT_EQ(GetString(c.section, c.key, c.defaultText, c.size), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, ProfileStrings, testing::ValuesIn(vectors::kProfileStringCases),
                         [](const auto& row) { return std::string(row.param.name); });

class ProfileInts : public IniFile, public testing::WithParamInterface<vectors::ProfileIntCase> {};

TEST_P(ProfileInts, MatchWindows) {
    const auto& c = GetParam();
    EXPECT_EQ(profile_.GetInt("Main", std::string(c.key), c.defaultValue, File()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, ProfileInts, testing::ValuesIn(vectors::kProfileIntCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(IniFile, SizeZeroCopiesNothing) {
    EXPECT_EQ(GetString("Main", "Key", "d", 0), "");
}

TEST_F(IniFile, MissingFileGivesDefaults) {
    char buffer[16];
    EXPECT_EQ(profile_.GetString("Main", "Key", "'dflt'", buffer, 16, File() + ".gone"), 4u);
    EXPECT_STREQ(buffer, "dflt");
    EXPECT_EQ(profile_.GetInt("Main", "Number", 9, File() + ".gone"), 9u);
}

TEST_F(IniFile, ByteOrderMarkIsNoPartOfFirstLine) {
    prefix_.Folder().Write("profile.ini", "\xEF\xBB\xBF[Main]\nKey=marked\n");
    EXPECT_EQ(GetString("Main", "Key", "d", 16), "marked");
}

} // namespace
} // namespace rotaline
