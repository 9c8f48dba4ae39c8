// The two INI-file calls the settings reader makes, with the Win32 API's meaning.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace rotaline {

class ProfileApi {
public:
    virtual ~ProfileApi() = default;
    // GetPrivateProfileStringA: copies at most size - 1 characters and a NUL into `buffer`,
    // returns the number copied without the NUL.
    virtual std::uint32_t GetString(const std::string& section, const std::string& key,
                                    const std::string& defaultText, char* buffer,
                                    std::uint32_t size, const std::string& file) = 0;
    // GetPrivateProfileIntA.
    virtual std::uint32_t GetInt(const std::string& section, const std::string& key,
                                 std::int32_t defaultValue, const std::string& file) = 0;
};

// INI reading of this system: Windows' own, or a reader with the same rules elsewhere.
std::unique_ptr<ProfileApi> MakeSystemProfile();

} // namespace rotaline
