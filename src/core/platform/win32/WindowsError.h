// Error values made from Win32 error codes: their kind, and the same wording as on POSIX where
// the kind has one, else the system's own message table.
#pragma once

#include "core/platform/Error.h"

#include <string>

namespace rotaline {

// The system's wording of `code`, else `fallback`, else "Error <code>".
Error WindowsError(unsigned long code, const std::string& fallback = {});

// The calling thread's last error (GetLastError).
Error LastWindowsError();

} // namespace rotaline
