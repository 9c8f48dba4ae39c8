// Reads one setting from the registry or an INI file, reporting by status and never by a throw.
#include "core/settings/SettingsReader.h"

#include "core/platform/AsciiCase.h"
#include "core/platform/FolderListing.h"
#include "core/settings/ProfileApi.h"
#include "core/settings/RegistryApi.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace rotaline {

namespace {

struct LocationName {
    std::string_view name;
    std::uint32_t root;
};

// Tried in this order; the first equal name decides.
constexpr std::array<LocationName, 6> kLocationNames{{
    {"HKCU", HKEY_CURRENT_USER_VALUE},
    {"HKLM", HKEY_LOCAL_MACHINE_VALUE},
    {"HKU", HKEY_USERS_VALUE},
    {"HKDD", HKEY_DYN_DATA_VALUE},
    {"HKCC", HKEY_CURRENT_CONFIG_VALUE},
    {"HKCR", HKEY_CLASSES_ROOT_VALUE},
}};

constexpr std::uint32_t kIniBufferSize = 255;

std::string UpperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), AsciiUpper);
    return text;
}

// The default as the INI call's default text: Booleans read "True"/"False" as the setting's
// caller would write them, numbers in decimal.
std::string DefaultText(const SettingValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto* flag = std::get_if<bool>(&value)) {
        return *flag ? "True" : "False";
    }
    return std::to_string(std::get<std::int32_t>(value));
}

std::uint32_t LittleEndian(const unsigned char* bytes, std::size_t count) {
    std::uint32_t number = 0;
    for (std::size_t i = count; i-- > 0;) {
        number = (number << 8) | bytes[i];
    }
    return number;
}

// One registry read. `status` always holds the result of the last call that returned, which is
// what a failure in the middle (no memory for a buffer, a throwing API) reports.
class RegistryRead {
public:
    RegistryRead(RegistryApi& registry, std::int32_t& status)
        : registry_(registry), status_(status) {}
    RegistryRead(const RegistryRead&) = delete;
    RegistryRead& operator=(const RegistryRead&) = delete;
    ~RegistryRead() { CloseQuietly(); }

    bool Open(std::uint32_t root, const std::string& keyPath) {
        RegistryKey key = 0;
        status_ = registry_.OpenKey(root, keyPath, key);
        if (status_ != 0) {
            return false;
        }
        key_ = key;
        open_ = true;
        return true;
    }

    std::int32_t Query(const std::string& valueName, std::uint32_t type, unsigned char* data,
                       std::uint32_t& size) {
        status_ = registry_.QueryValue(key_, valueName, type, data, size);
        return status_;
    }

    // The normal end of a read: the close's own result becomes the status.
    std::int32_t Close() {
        open_ = false;
        status_ = registry_.CloseKey(key_);
        return status_;
    }

    // An early end: `code` is reported whatever the close answers.
    std::int32_t CloseAndReturn(std::int32_t code) {
        CloseQuietly();
        return code;
    }

private:
    void CloseQuietly() noexcept {
        if (!open_) {
            return;
        }
        open_ = false;
        try {
            registry_.CloseKey(key_);
        } catch (...) {
            // Nothing more can be done for a key that will not close.
        }
    }

    RegistryApi& registry_;
    std::int32_t& status_;
    RegistryKey key_ = 0;
    bool open_ = false;
};

std::int32_t ReadRegistry(RegistryApi& registry, std::uint32_t root, const std::string& keyPath,
                          const std::string& valueName, const std::string& letter,
                          SettingValue& value, std::int32_t& status) {
    RegistryRead read(registry, status);
    if (!read.Open(root, keyPath)) {
        return status;
    }
    if (letter == "S") {
        // The probe hands a real buffer of size 0: given no buffer at all, Windows reports the
        // size with success instead of ERROR_MORE_DATA.
        unsigned char none = 0;
        std::uint32_t size = 0;
        const std::int32_t probe = read.Query(valueName, kRegSz, &none, size);
        if (probe == 0) {
            return read.CloseAndReturn(0); // the value holds no bytes at all
        }
        if (probe != kErrorMoreData) {
            return read.CloseAndReturn(probe);
        }
        std::string buffer(size, ' ');
        const std::int32_t result =
            read.Query(valueName, kRegSz, reinterpret_cast<unsigned char*>(buffer.data()), size);
        if (result != 0) {
            return read.CloseAndReturn(result);
        }
        if (size == 0) {
            return read.CloseAndReturn(status); // no terminator to drop: nothing is stored
        }
        buffer.resize(std::min<std::size_t>(size - 1, buffer.size()));
        value = std::move(buffer);
    } else if (letter == "B") {
        std::array<unsigned char, 2> word{};
        std::uint32_t size = word.size();
        const std::int32_t result = read.Query(valueName, kRegBinary, word.data(), size);
        if (result != 0) {
            return read.CloseAndReturn(result);
        }
        value = LittleEndian(word.data(), word.size()) != 0;
    } else if (letter == "D") {
        std::array<unsigned char, 4> number{};
        std::uint32_t size = number.size();
        const std::int32_t result = read.Query(valueName, kRegDword, number.data(), size);
        if (result != 0) {
            return read.CloseAndReturn(result);
        }
        value = static_cast<std::int32_t>(LittleEndian(number.data(), number.size()));
    }
    return read.Close();
}

std::int32_t ReadProfile(ProfileApi& profile, const std::string& file, const std::string& section,
                         const std::string& key, const std::string& letter,
                         const SettingValue& defaultValue, SettingValue& value,
                         std::int32_t& status) {
    if (letter == "S") {
        std::string buffer(kIniBufferSize, ' ');
        const std::uint32_t copied = profile.GetString(section, key, DefaultText(defaultValue),
                                                       buffer.data(), kIniBufferSize, file);
        status = static_cast<std::int32_t>(copied);
        buffer.resize(std::min<std::size_t>(copied, buffer.size()));
        value = std::move(buffer);
        return 0;
    }
    // The number is read but has nowhere to go: the caller's value keeps its default.
    status = static_cast<std::int32_t>(profile.GetInt(section, key, 0, file));
    return 0;
}

} // namespace

std::uint32_t ClassifyLocation(const std::string& location) {
    try {
        const std::string upper = UpperCase(location);
        for (const LocationName& entry : kLocationNames) {
            if (upper == entry.name) {
                return entry.root;
            }
        }
        // The location is a listing pattern, so wildcards count as a file when anything matches.
        const Result<std::vector<std::string>> listing = ListFolder(location, kAttrNormal);
        if (listing && !listing->empty() && !listing->front().empty()) {
            return LOCATION_FILE;
        }
    } catch (...) {
        // A location that cannot even be examined is no location.
    }
    return LOCATION_UNKNOWN;
}

std::int32_t GetSettingValue(const std::string& location, const std::string& keyPath,
                             const std::string& valueName, const std::string& valueType,
                             const SettingValue& defaultValue, SettingValue& value) {
    std::unique_ptr<RegistryApi> registry;
    std::unique_ptr<ProfileApi> profile;
    try {
        registry = MakeSystemRegistry();
        profile = MakeSystemProfile();
    } catch (...) {
        try {
            value = defaultValue;
        } catch (...) {
            // The caller's variable keeps what it held.
        }
        return SETTINGS_NOT_FOUND;
    }
    return GetSettingValue(*registry, *profile, location, keyPath, valueName, valueType,
                           defaultValue, value);
}

std::int32_t GetSettingValue(RegistryApi& registry, ProfileApi& profile,
                             const std::string& location, const std::string& keyPath,
                             const std::string& valueName, const std::string& valueType,
                             const SettingValue& defaultValue, SettingValue& value) {
    std::int32_t status = SETTINGS_NOT_FOUND;
    try {
        value = defaultValue;
        const std::uint32_t where = ClassifyLocation(location);
        if (where == LOCATION_UNKNOWN) {
            return status;
        }
        const std::string letter = UpperCase(valueType);
        if (where == LOCATION_FILE) {
            return ReadProfile(profile, location, keyPath, valueName, letter, defaultValue, value,
                               status);
        }
        return ReadRegistry(registry, where, keyPath, valueName, letter, value, status);
    } catch (...) {
        // The key, if open, was closed on the way out; the status is that of the last call.
        return status;
    }
}

} // namespace rotaline
