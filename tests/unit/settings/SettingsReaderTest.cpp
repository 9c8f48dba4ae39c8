// Tests of GetSettingValue end to end over a scratch Wine prefix, and of its calls through fakes.
#include "core/settings/SettingsReader.h"
#include "core/settings/ProfileApi.h"
#include "core/settings/RegistryApi.h"

#include "SettingsVectors.h"
#include "TestPrefix.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <optional>

namespace rotaline {
namespace {

using namespace std::string_literals;

// Something no case expects, so that a value left untouched shows.
const SettingValue kUntouched = std::int32_t{-12345};

class Settings : public testing::Test {
protected:
    void SetUp() override {
        std::string values;
        for (const auto& c : vectors::kRegistryCases) {
            values += ValueLine(c.name, c.type, c.data);
        }
        prefix_.WriteHive("user.reg", "[" + Escaped(vectors::kTestKeyText) + "] 1\n" + values);
        prefix_.WriteHive("system.reg", "[Software\\\\Valve\\\\Half-Life] 1\n"
                                        "\"InstallPath\"=\"C:\\\\Sierra\\\\Half-Life\"\n");
        prefix_.Folder().Write("settings.ini", vectors::kIniText);
        prefix_.Folder().Write(".hidden.ini", vectors::kIniText);
        prefix_.Folder().MakeFolder("folder.ini");
    }

    static std::string Escaped(const std::string& path) {
        std::string escaped;
        for (const char c : path) {
            escaped += c == '\\' ? "\\\\" : std::string(1, c);
        }
        return escaped;
    }

    TestPrefix prefix_;
};

class RegistryReads : public Settings, public testing::WithParamInterface<vectors::RegistryCase> {};

TEST_P(RegistryReads, ReadByLetter) {
    const auto& c = GetParam();
    SettingValue value = kUntouched;
    EXPECT_EQ(GetSettingValue("HKCU", vectors::kTestKeyText, std::string(c.name),
                              std::string(c.letter), c.defaultValue, value),
              c.status);
    EXPECT_EQ(value, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Values, RegistryReads, testing::ValuesIn(vectors::kRegistryCases),
                         [](const auto& row) { return std::string(row.param.name); });

class Lookups : public Settings, public testing::WithParamInterface<vectors::LookupCase> {};

TEST_P(Lookups, FindKeyAndValue) {
    const auto& c = GetParam();
    SettingValue value = kUntouched;
    EXPECT_EQ(GetSettingValue(std::string(c.location), c.keyPath, std::string(c.valueName), "S",
                              "No Name", value),
              c.status);
    EXPECT_EQ(value, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, Lookups, testing::ValuesIn(vectors::kLookupCases),
                         [](const auto& row) { return std::string(row.param.name); });

class IniReads : public Settings, public testing::WithParamInterface<vectors::IniCase> {};

TEST_P(IniReads, ReadFromFile) {
    const auto& c = GetParam();
    SettingValue value = kUntouched;
    EXPECT_EQ(GetSettingValue(prefix_.ProgramPath("settings.ini"), std::string(c.section),
                              std::string(c.key), std::string(c.letter), c.defaultValue, value),
              0);
    EXPECT_EQ(value, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, IniReads, testing::ValuesIn(vectors::kIniCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(Settings, StartupReadOfInstallPath) {
    SettingValue value = std::string();
    EXPECT_EQ(GetSettingValue("HKLM", "Software\\Valve\\Half-Life\\", "InstallPath", "S", "No Name",
                              value),
              0);
    EXPECT_EQ(value, SettingValue("C:\\Sierra\\Half-Life"));
}

TEST_F(Settings, LocationClasses) {
    const std::vector<std::pair<std::string, std::uint32_t>> cases = {
        {"HKCU", HKEY_CURRENT_USER_VALUE},
        {"hklm", HKEY_LOCAL_MACHINE_VALUE},
        {"Hku", HKEY_USERS_VALUE},
        {"hkdd", HKEY_DYN_DATA_VALUE},
        {"HKcc", HKEY_CURRENT_CONFIG_VALUE},
        {"hKCR", HKEY_CLASSES_ROOT_VALUE},
        {"HKEY_LOCAL_MACHINE", LOCATION_UNKNOWN},
        {prefix_.ProgramPath("settings.ini"), LOCATION_FILE},
        {prefix_.ProgramPath("set*.i?i"), LOCATION_FILE},
        {prefix_.ProgramPath("folder.ini"), LOCATION_UNKNOWN},
        {prefix_.ProgramPath(".hidden.ini"), LOCATION_UNKNOWN},
        {prefix_.ProgramPath("missing.ini"), LOCATION_UNKNOWN},
        {prefix_.ProgramPath("missing\\settings.ini"), LOCATION_UNKNOWN},
    };
    for (const auto& [location, expected] : cases) {
        EXPECT_EQ(ClassifyLocation(location), expected) << location;
    }
}

TEST_F(Settings, FolderIsNoLocation) {
    SettingValue value = kUntouched;
    EXPECT_EQ(
        GetSettingValue(prefix_.ProgramPath("folder.ini"), "Server", "Map", "S", "No Name", value),
        SETTINGS_NOT_FOUND);
    EXPECT_EQ(value, SettingValue("No Name"));
}

// One scripted value; records every call so that order, arguments and the close show.
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

class SettingsCalls : public Settings {
protected:
    std::int32_t Read(const std::string& location, const std::string& letter) {
        return GetSettingValue(registry_, profile_, location, "Key\\", "Value", letter, "No Name",
                               value_);
    }
    void ExpectClosedOnce() const {
        EXPECT_EQ(registry_.opens, 1);
        EXPECT_EQ(registry_.closes, 1);
    }

    FakeRegistry registry_;
    FakeProfile profile_;
    SettingValue value_ = kUntouched;
};

TEST_F(SettingsCalls, MissingValueClosesKey) {
    EXPECT_EQ(Read("HKLM", "S"), 2);
    EXPECT_EQ(value_, SettingValue("No Name"));
    ExpectClosedOnce();
}

TEST_F(SettingsCalls, FailedOpenClosesNothing) {
    registry_.openResult = 5;
    EXPECT_EQ(Read("HKLM", "S"), 5);
    EXPECT_EQ(registry_.closes, 0);
    EXPECT_TRUE(registry_.queries.empty());
}

TEST_F(SettingsCalls, OtherLetterOnlyOpensAndCloses) {
    registry_.value = "abc";
    EXPECT_EQ(Read("HKLM", "Q"), 0);
    EXPECT_TRUE(registry_.queries.empty());
    EXPECT_EQ(value_, SettingValue("No Name"));
    ExpectClosedOnce();
}

TEST_F(SettingsCalls, TypeWordsAndSizesByLetter) {
    registry_.value = "abc\0"s;
    using Calls = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
    const std::vector<std::pair<std::string, Calls>> cases = {
        {"S", {{kRegSz, 0}, {kRegSz, 4}}},
        {"B", {{kRegBinary, 2}}},
        {"D", {{kRegDword, 4}}},
    };
    for (const auto& [letter, calls] : cases) {
        registry_.queries.clear();
        Read("HKLM", letter);
        EXPECT_EQ(registry_.queries, calls) << letter;
    }
}

TEST_F(SettingsCalls, CloseResultIsStatusAfterRead) {
    registry_.closeResult = 6;
    registry_.value = "ab\0"s;
    EXPECT_EQ(Read("HKLM", "S"), 6);
    EXPECT_EQ(value_, SettingValue("ab"));
    registry_.value = ""; // found, but with nothing to read: 0 whatever the close says
    EXPECT_EQ(Read("HKLM", "S"), 0);
    EXPECT_EQ(registry_.closes, 2);
}

TEST_F(SettingsCalls, FailedQueryReportedOverClose) {
    registry_.value = "\1\2\3";
    registry_.closeResult = 6;
    EXPECT_EQ(Read("HKLM", "B"), kErrorMoreData);
    EXPECT_EQ(value_, SettingValue("No Name"));
    ExpectClosedOnce();
}

TEST_F(SettingsCalls, FailureReportsLastStatusAndCloses) {
    for (const auto& [throwAt, status] : {std::pair{1u, 0}, std::pair{2u, kErrorMoreData}}) {
        FakeRegistry registry;
        registry.value = "abc\0"s;
        registry.throwAtQuery = throwAt;
        SettingValue value = kUntouched;
        EXPECT_EQ(
            GetSettingValue(registry, profile_, "HKLM", "Key", "Value", "S", "No Name", value),
            status)
            << "query " << throwAt;
        EXPECT_EQ(value, SettingValue("No Name"));
        EXPECT_EQ(registry.closes, 1);
    }
}

TEST_F(SettingsCalls, IniArgumentsAndDefaults) {
    const std::string file = prefix_.ProgramPath("settings.ini");
    EXPECT_EQ(GetSettingValue(registry_, profile_, file, "Server", "Map", "s", true, value_), 0);
    EXPECT_EQ(profile_.stringArguments, (std::vector<std::string>{"Server", "Map", "True", file}));
    EXPECT_EQ(profile_.size, 255u);
    EXPECT_EQ(value_, SettingValue("read"));

    EXPECT_EQ(Read(file, "D"), 0);
    EXPECT_EQ(profile_.intDefaults, std::vector<std::int32_t>{0});
    EXPECT_EQ(value_, SettingValue("No Name"));
    EXPECT_EQ(registry_.opens, 0);
}

TEST_F(SettingsCalls, IniFailureBeforeAnyCallIsNotFound) {
    profile_.throws = true;
    EXPECT_EQ(Read(prefix_.ProgramPath("settings.ini"), "S"), SETTINGS_NOT_FOUND);
    EXPECT_EQ(value_, SettingValue("No Name"));
}

} // namespace
} // namespace rotaline
