// Lists the names in a folder that match a wildcard pattern under a DOS attribute mask.
#pragma once

#include "core/platform/Error.h"

#include <string>
#include <string_view>
#include <vector>

namespace rotaline {

// Attribute masks: files only, or folders as well as files. Hidden and system entries are
// admitted under neither.
inline constexpr int kAttrNormal = 0;
inline constexpr int kAttrDirectory = 16;

// True when a bare name matches the last part of a listing pattern. "*" and "?" match any run
// and any one character, letter case ignored; a pattern ending in "." ("*.") admits only names
// without an extension; "." and ".." match what "*" matches. A pattern without wildcards matches
// the name exactly.
bool MatchesPattern(std::string_view name, std::string_view pattern);

// Lists the entries matching `pattern`, a program path (backslash separated) whose last part may
// hold wildcards. Bare names come in the file system's own order; a missing folder or no match
// gives an empty list, and an error means the folder could not be read at all.
Result<std::vector<std::string>> ListFolder(const std::string& pattern, int mask);

} // namespace rotaline
