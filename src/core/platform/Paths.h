// Turns the program's backslash-joined paths into paths the operating system opens.
#pragma once

#include <string>

namespace rotaline {

// On POSIX a leading drive letter ("C:") resolves through the Wine prefix's dosdevices link
// (WINEPREFIX, else ~/.wine) and every backslash becomes "/"; on Windows the path is unchanged.
std::string NativePath(const std::string& programPath);

// The folder holding the Wine prefix's registry files, for POSIX systems.
std::string WinePrefix();

} // namespace rotaline
