// Lists the names in a folder that match a wildcard pattern under a DOS attribute mask.
#pragma once

#include "core/platform/SystemError.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rotaline {

// Attribute masks: files only, or folders as well as files. Hidden and system entries are
// admitted under neither.
inline constexpr int kAttrNormal = 0;
inline constexpr int kAttrDirectory = 16;

struct ListingResult {
    std::vector<std::string> names;   // bare names, in the file system's own order
    std::optional<SystemError> error; // set when the folder could not be read at all
};

// True when a bare name matches the last part of a listing pattern. "*" and "?" match any run
// and any one character, letter case ignored; a pattern ending in "." ("*.") admits only names
// without an extension; "." and ".." match what "*" matches. A pattern without wildcards matches
// the name exactly.
bool MatchesPattern(std::string_view name, std::string_view pattern);

// Lists the entries matching `pattern`, a program path (backslash separated) whose last part may
// hold wildcards. A missing folder or no match gives an empty list without an error.
ListingResult ListFolder(const std::string& pattern, int mask);

// The one listing in progress, walked a name at a time: First starts a new listing (ending the
// one before), Next gives the following name; both give empty text once there are no more.
class Dir {
public:
    std::string First(const std::string& pattern, int mask);
    std::string Next();
    const std::optional<SystemError>& Error() const { return listing_.error; }

private:
    ListingResult listing_;
    std::size_t next_ = 0;
};

} // namespace rotaline
