// Turns the program's backslash-joined paths into paths the operating system opens.
#pragma once

#include <string>

namespace rotaline {

// On POSIX a leading drive letter ("C:") resolves through the Wine prefix's dosdevices link
// (WINEPREFIX, else ~/.wine) and every backslash becomes "/"; on Windows the path is unchanged.
// A program path that starts with the folder last given to TakeLiterally keeps that part as it is.
std::string NativePath(const std::string& programPath);

// Marks a folder given as a path of this system (--install-path): program paths built on it
// keep it literally, so that on POSIX a backslash or a leading "C:" in it is part of a name.
// Empty text ends that, for a folder found in the registry.
void TakeLiterally(const std::string& nativeFolder);

// The folder holding the Wine prefix's registry files, for POSIX systems.
std::string WinePrefix();

} // namespace rotaline
