// INI files read by the rules of Windows' GetPrivateProfileStringA and GetPrivateProfileIntA.
#pragma once

#include "core/settings/ProfileApi.h"

#include <string_view>

namespace rotaline {

// GetPrivateProfileStringA's answer for an INI file whose bytes are `text`.
std::uint32_t ProfileStringFromText(std::string_view text, const std::string& section,
                                    const std::string& key, const std::string& defaultText,
                                    char* buffer, std::uint32_t size);

// Reads the file anew at each call; a file that cannot be read holds no keys.
class IniProfile final : public ProfileApi {
public:
    std::uint32_t GetString(const std::string& section, const std::string& key,
                            const std::string& defaultText, char* buffer, std::uint32_t size,
                            const std::string& file) override;
    std::uint32_t GetInt(const std::string& section, const std::string& key,
                         std::int32_t defaultValue, const std::string& file) override;
};

} // namespace rotaline
