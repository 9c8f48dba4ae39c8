// Lists a folder through FindFirstFileA under the same rules as the POSIX side.
#include "core/platform/FolderListing.h"

#include "core/platform/win32/WindowsError.h"

#include <windows.h>

namespace rotaline {

namespace {

constexpr DWORD kNeverListed = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Answers that mean there is nothing by that name to list: no match (2), no such folder (3), a
// file where the pattern needs a folder (267 from Windows, 123 from Wine), or a name no file may
// have (123). The POSIX side treats ENOENT and ENOTDIR the same way.
bool MeansNothingThere(DWORD code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
           code == ERROR_DIRECTORY || code == ERROR_INVALID_NAME;
}

// The folder a listing pattern names, for error messages.
std::string FolderOf(const std::string& pattern) {
    const std::size_t lastSeparator = pattern.find_last_of("\\/");
    return lastSeparator == std::string::npos ? std::string(".") : pattern.substr(0, lastSeparator);
}

bool HasWildcards(std::string_view pattern) {
    return pattern.find_first_of("*?") != std::string_view::npos;
}

// FindFirstFileA also matches the 8.3 short names ("*.bsp" takes "a.bspx" through "A~1.BSP"),
// and Wine's "*." takes every name: the real name decides, by the rules both sides share. A
// pattern without wildcards is left to the file system, whose letter case rules it is.
bool NameMatches(std::string_view name, std::string_view namePattern) {
    return !HasWildcards(namePattern) || MatchesPattern(name, namePattern);
}

// A name that the ANSI code page cannot hold comes back with '?' in place of what is missing;
// '?' is in no real name, and a path built from such a name would open nothing.
bool IsAddressable(std::string_view name) {
    return name.find('?') == std::string_view::npos;
}

bool IsAdmitted(const WIN32_FIND_DATAA& entry, int mask) {
    if ((entry.dwFileAttributes & kNeverListed) != 0) {
        return false;
    }
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || (mask & kAttrDirectory) != 0;
}

} // namespace

Result<std::vector<std::string>> ListFolder(const std::string& pattern, int mask) {
    std::vector<std::string> names;
    const std::size_t lastSeparator = pattern.find_last_of("\\/:");
    const std::string_view namePattern = std::string_view(pattern).substr(
        lastSeparator == std::string::npos ? 0 : lastSeparator + 1);

    WIN32_FIND_DATAA entry;
    const HANDLE listing = FindFirstFileA(pattern.c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (!MeansNothingThere(code)) {
            return WindowsError(code).At(FolderOf(pattern));
        }
        return names;
    }
    do {
        const std::string_view name = entry.cFileName;
        if (IsAdmitted(entry, mask) && IsAddressable(name) && NameMatches(name, namePattern)) {
            names.emplace_back(name);
        }
    } while (FindNextFileA(listing, &entry));
    const DWORD code = GetLastError();
    FindClose(listing);
    if (code != ERROR_NO_MORE_FILES) {
        return WindowsError(code).At(FolderOf(pattern));
    }
    return names;
}

} // namespace rotaline
