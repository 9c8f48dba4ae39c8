// Reads INI files through kernel32's profile calls.
#include "core/settings/win32/Win32Profile.h"

#include <windows.h>

namespace rotaline {

namespace {

// The profile calls look for a bare file name ("settings.ini") in the Windows folder, while the
// listing that found the file looked in the working folder: ".\" makes them read that file.
std::string FileAsListed(const std::string& file) {
    if (file.find_first_of("\\/:") == std::string::npos) {
        return ".\\" + file;
    }
    return file;
}

} // namespace

std::uint32_t Win32Profile::GetString(const std::string& section, const std::string& key,
                                      const std::string& defaultText, char* buffer,
                                      std::uint32_t size, const std::string& file) {
    return GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultText.c_str(), buffer, size,
                                    FileAsListed(file).c_str());
}

std::uint32_t Win32Profile::GetInt(const std::string& section, const std::string& key,
                                   std::int32_t defaultValue, const std::string& file) {
    return GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue,
                                 FileAsListed(file).c_str());
}

} // namespace rotaline
