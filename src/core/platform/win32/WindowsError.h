// SystemError values made from Win32 error codes, worded by the system's own message table.
#pragma once

#include "core/platform/SystemError.h"

#include <string>

namespace rotaline {

// The system's wording of `code`, else `fallback`, else "Error <code>".
SystemError WindowsError(unsigned long code, const std::string& fallback = {});

// The calling thread's last error (GetLastError).
SystemError LastWindowsError();

} // namespace rotaline
