// INI files read through Windows' own GetPrivateProfileStringA and GetPrivateProfileIntA.
#pragma once

#include "core/settings/ProfileApi.h"

namespace rotaline {

class Win32Profile final : public ProfileApi {
public:
    std::uint32_t GetString(const std::string& section, const std::string& key,
                            const std::string& defaultText, char* buffer, std::uint32_t size,
                            const std::string& file) override;
    std::uint32_t GetInt(const std::string& section, const std::string& key,
                         std::int32_t defaultValue, const std::string& file) override;
};

} // namespace rotaline
