// Reads one named setting from the registry or from an INI file, reporting by a numeric status.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace rotaline {

class RegistryApi;
class ProfileApi;

// What a setting holds: text for "S", Boolean for "B", a 32-bit number for "D".
using SettingValue = std::variant<std::string, bool, std::int32_t>;

inline constexpr std::int32_t SETTINGS_NOT_FOUND = 99;
inline constexpr std::uint32_t LOCATION_UNKNOWN = 0;
inline constexpr std::uint32_t LOCATION_FILE = 1;

// The root-key handle for a location name ("HKLM" and the rest, any letter case), LOCATION_FILE
// for the path of an existing plain file, else LOCATION_UNKNOWN.
std::uint32_t ClassifyLocation(const std::string& location);

// Stores `defaultValue` in `value`, then the setting when one is read. Returns 0 on success,
// SETTINGS_NOT_FOUND when the location is neither a root key nor a file, otherwise the error code
// of the registry call that failed.
std::int32_t GetSettingValue(const std::string& location, const std::string& keyPath,
                             const std::string& valueName, const std::string& valueType,
                             const SettingValue& defaultValue, SettingValue& value);

// The same with the registry and INI functions supplied by the caller.
std::int32_t GetSettingValue(RegistryApi& registry, ProfileApi& profile,
                             const std::string& location, const std::string& keyPath,
                             const std::string& valueName, const std::string& valueType,
                             const SettingValue& defaultValue, SettingValue& value);

} // namespace rotaline
