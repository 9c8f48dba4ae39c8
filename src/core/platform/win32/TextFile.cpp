// Reads whole files and replaces file contents atomically on Windows.
#include "core/platform/TextFile.h"

#include "core/platform/Clock.h"
#include "core/platform/win32/WindowsError.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <windows.h>

#include <optional>

namespace rotaline {

namespace {

// ERROR_DIRECTORY_NOT_SUPPORTED, which older SDK headers lack.
constexpr DWORD kErrorIsFolder = 336;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// What a replaced file hands on to its successor; read-only files are refused before.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// Virus scanners and indexers open a file that has just been written for a moment; waiting
// 25, 50, ... 400 ms between tries rides that out in under a second.
constexpr int kBusyTries = 6;
constexpr DWORD kFirstBusyWaitMs = 25;
constexpr int kTemporaryNameTries = 100;

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { Close(); }

    bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    bool Close() {
        const HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle) != 0;
    }

private:
    HANDLE handle_;
};

Error IsFolderError() {
    return WindowsError(kErrorIsFolder, "Is a folder, not a file");
}

Error NotRegularFile() {
    Error error = WindowsError(ERROR_BAD_FILE_TYPE, "Not a regular file");
    error.detail = "Not a regular file";
    return error;
}

Error TooLarge(std::size_t maxBytes) {
    Error error = WindowsError(ERROR_FILE_TOO_LARGE);
    error.detail = "File too large: at most " + std::to_string(maxBytes) + " bytes can be read";
    return error;
}

Error ReadOnly() {
    Error error = WindowsError(ERROR_ACCESS_DENIED);
    error.detail += ": the file is read-only";
    return error;
}

// The program's paths are bytes in the ANSI code page; the wide calls take UTF-16.
std::wstring Wide(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int length =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

bool IsBusy(DWORD code) {
    return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION;
}

// Runs `attempt` (which gives 0 or an error code) again while `busy` says the error is passing.
template <typename Attempt, typename Busy> DWORD RetryWhileBusy(Attempt attempt, Busy busy) {
    DWORD wait = kFirstBusyWaitMs;
    DWORD code = attempt();
    for (int tries = 1; code != 0 && busy(code) && tries < kBusyTries; ++tries) {
        Sleep(wait);
        wait *= 2;
        code = attempt();
    }
    return code;
}

// A folder answers CreateFileA with "access denied"; saying what it is helps more.
Error OpenError(const std::string& nativePath, DWORD code) {
    if (code == ERROR_ACCESS_DENIED) {
        const DWORD attributes = GetFileAttributesA(nativePath.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return IsFolderError();
        }
    }
    return WindowsError(code);
}

// Reads to the end rather than trusting the size: the file may grow while it is read, and
// growing past the limit still counts as too large.
std::optional<Error> ReadToEnd(HANDLE file, std::size_t maxBytes, std::string& bytes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        return LastWindowsError();
    }
    if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        return TooLarge(maxBytes);
    }
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, buffer, static_cast<DWORD>(sizeof buffer), &got, nullptr)) {
            return LastWindowsError();
        }
        if (got == 0) {
            return std::nullopt;
        }
        bytes.append(buffer, got);
        if (bytes.size() > maxBytes) {
            return TooLarge(maxBytes);
        }
    }
}

// What is known of the file about to be replaced.
struct Target {
    std::wstring path; // where the content really lives, links followed
    bool exists = false;
    DWORD attributes = 0;
};

// Opening the file follows every link to its end; the final path of the open file is then the
// path to replace, so that a symbolic link stays a link and its target gets the new content.
// A file that does not exist yet is made where the path says.
std::optional<Error> ExamineTarget(const std::wstring& path, Target& target) {
    target.path = path;
    const Handle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.IsValid()) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND) {
            return std::nullopt;
        }
        return WindowsError(code);
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.Get(), &information)) {
        return LastWindowsError();
    }
    target.exists = true;
    target.attributes = information.dwFileAttributes;
    if ((target.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return IsFolderError();
    }
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) {
        return NotRegularFile();
    }
    // Some network and RAM-disk drivers cannot name an open file; the path as given still
    // reaches it then, just without following a link.
    std::wstring finalPath(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFinalPathNameByHandleW(file.Get(), finalPath.data(),
                                      static_cast<DWORD>(finalPath.size()), FILE_NAME_NORMALIZED);
        if (length == 0) {
            return std::nullopt;
        }
        if (length < finalPath.size()) {
            finalPath.resize(length);
            target.path = std::move(finalPath);
            return std::nullopt;
        }
        finalPath.resize(length);
    }
}

// The file's own read-only mark, not just the access check: a file its owner marked read-only
// is not to be rewritten, and Wine would let the rename replace it. An open for writing then
// finds what the rename would not: rights withheld from this user on the file itself.
std::optional<Error> CheckWritable(const Target& target) {
    if ((target.attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return ReadOnly();
    }
    const DWORD code = RetryWhileBusy(
        [&] {
            const Handle file(CreateFileW(target.path.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            return file.IsValid() ? DWORD{0} : GetLastError();
        },
        IsBusy);
    if (code != 0) {
        return WindowsError(code);
    }
    return std::nullopt;
}

std::wstring FolderPrefix(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/:");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

std::wstring BaseName(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/:");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

// A new file beside the target, hidden while it is being filled so that no listing offers it.
std::optional<Error> CreateTemporary(const std::wstring& targetPath, std::wstring& path,
                                     HANDLE& file) {
    const std::wstring stem = FolderPrefix(targetPath) + L"." + BaseName(targetPath) + L".";
    for (int tries = 0; tries < kTemporaryNameTries; ++tries) {
        wchar_t suffix[17];
        std::swprintf(suffix, 17, L"%08x", static_cast<unsigned>(ClockSeed()));
        path = stem + suffix;
        file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            return std::nullopt;
        }
        const DWORD code = GetLastError();
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
            return WindowsError(code);
        }
    }
    return WindowsError(ERROR_FILE_EXISTS);
}

std::optional<Error> WriteAll(HANDLE file, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const auto chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 20));
        DWORD put = 0;
        if (!WriteFile(file, bytes.data() + written, chunk, &put, nullptr)) {
            return LastWindowsError();
        }
        if (put == 0) {
            // A write that makes no progress would loop for ever; the disk is in trouble.
            return WindowsError(ERROR_WRITE_FAULT);
        }
        written += put;
    }
    return std::nullopt;
}

std::optional<Error> FillTemporary(const std::wstring& path, HANDLE handle,
                                   const std::string& bytes, const Target& target) {
    Handle file(handle);
    if (auto failed = WriteAll(file.Get(), bytes)) {
        return failed;
    }
    if (!FlushFileBuffers(file.Get())) {
        return LastWindowsError();
    }
    if (!file.Close()) {
        return LastWindowsError();
    }
    const DWORD kept = target.exists ? target.attributes & kKeptAttributes : FILE_ATTRIBUTE_ARCHIVE;
    if (!SetFileAttributesW(path.c_str(), kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL)) {
        return LastWindowsError();
    }
    return std::nullopt;
}

// One rename that replaces the old file whole or not at all. Replacing a file that someone holds
// open answers "access denied" rather than a sharing violation, so that is waited out too; a
// file that is truly out of reach was refused before the temporary file was made.
// (ReplaceFileW keeps more of the old file, but when it fails at its second step without a
// backup the old file is gone, and Wine's leaves a stray file behind when it fails.)
DWORD MoveIntoPlace(const std::wstring& temporary, const std::wstring& target) {
    return RetryWhileBusy(
        [&] {
            return MoveFileExW(temporary.c_str(), target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                       ? DWORD{0}
                       : GetLastError();
        },
        [](DWORD code) { return IsBusy(code) || code == ERROR_ACCESS_DENIED; });
}

void RemoveTemporary(const std::wstring& path) {
    RetryWhileBusy(
        [&] {
            return DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND
                       ? DWORD{0}
                       : GetLastError();
        },
        [](DWORD code) { return IsBusy(code) || code == ERROR_ACCESS_DENIED; });
}

} // namespace

Result<std::string> ReadWholeFile(const std::string& nativePath, std::size_t maxBytes) {
    const Handle file(CreateFileA(nativePath.c_str(), GENERIC_READ, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.IsValid()) {
        return OpenError(nativePath, GetLastError()).At(nativePath);
    }
    // A device, console or pipe is refused before any read: it could block or never end.
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) {
        return NotRegularFile().At(nativePath);
    }
    std::string bytes;
    if (std::optional<Error> error = ReadToEnd(file.Get(), maxBytes, bytes)) {
        return std::move(*error).At(nativePath);
    }
    return bytes;
}

namespace {

std::optional<Error> ReplaceContent(const std::string& nativePath, const std::string& bytes) {
    Target target;
    if (auto failed = ExamineTarget(Wide(nativePath), target)) {
        return failed;
    }
    if (target.exists) {
        if (auto refused = CheckWritable(target)) {
            return refused;
        }
    }

    // Same folder, so that the rename stays on one volume and is atomic.
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    if (auto failed = CreateTemporary(target.path, temporary, file)) {
        return failed;
    }
    std::optional<Error> error = FillTemporary(temporary, file, bytes, target);
    if (!error) {
        if (const DWORD code = MoveIntoPlace(temporary, target.path)) {
            error = WindowsError(code);
        }
    }
    if (error) {
        RemoveTemporary(temporary);
    }
    return error;
}

} // namespace

Result<void> ReplaceFileContent(const std::string& nativePath, const std::string& bytes) {
    if (std::optional<Error> error = ReplaceContent(nativePath, bytes)) {
        return std::move(*error).At(nativePath);
    }
    return {};
}

} // namespace rotaline
