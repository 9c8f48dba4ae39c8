// Turns Win32 error codes into Error values.
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

ErrorKind KindOfWin32(unsigned long code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ErrorKind::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return ErrorKind::AccessDenied;
    case ERROR_FILE_TOO_LARGE:
        return ErrorKind::TooLarge;
    case ERROR_BAD_FILE_TYPE:
    case 336: // ERROR_DIRECTORY_NOT_SUPPORTED: a folder opened as a file
        return ErrorKind::NotAFile;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return ErrorKind::Busy;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ErrorKind::NoSpace;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
        return ErrorKind::Invalid;
    default:
        return ErrorKind::Other;
    }
}

} // namespace

Error WindowsError(unsigned long code, const std::string& fallback) {
    char buffer[512];
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                       buffer, static_cast<DWORD>(sizeof buffer), nullptr);
    std::string message = Trimmed(std::string(buffer, length));
    if (message.empty()) {
        message = fallback.empty() ? "Error " + std::to_string(code) : fallback;
    }
    Error error{
        KindOfWin32(code), ErrorSystem::Win32, static_cast<int>(code), {}, std::move(message)};
    // The words of the POSIX error of the same kind, so that a failure reads alike on both.
    if (const char* common = CommonWording(error.kind)) {
        error.detail = common;
    }
    return error;
}

Error LastWindowsError() {
    return WindowsError(GetLastError());
}

} // namespace rotaline
