// Turns Win32 error codes into SystemError values with FormatMessageA's wording.
#include "core/platform/win32/WindowsError.h"

#include <windows.h>

namespace rotaline {

namespace {

// FormatMessageA ends its text with a period and CR LF, which would sit badly inside the
// program's own sentences ("Cannot save X: <message>").
std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                             text.back() == '.')) {
        text.pop_back();
    }
    return text;
}

} // namespace

SystemError WindowsError(unsigned long code, const std::string& fallback) {
    char buffer[512];
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                       buffer, static_cast<DWORD>(sizeof buffer), nullptr);
    std::string message = Trimmed(std::string(buffer, length));
    if (message.empty()) {
        message = fallback.empty() ? "Error " + std::to_string(code) : fallback;
    }
    return SystemError{static_cast<int>(code), std::move(message)};
}

SystemError LastWindowsError() {
    return WindowsError(GetLastError());
}

} // namespace rotaline
