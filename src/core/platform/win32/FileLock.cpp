// The advisory file lock on Windows: a named mutex made from the file's full path.
//
// Not LockFileEx on the file: a lock needs an open handle, and a file held open cannot be
// replaced by the rename that saves it. The mutex is released by the system if its holder
// dies, as a file lock would be.
#include "core/platform/FileLock.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <windows.h>

namespace rotaline {

namespace {

// The path the file system itself gives the file, so that every spelling of it (short names,
// "..", a link, letter case) leads to the same mutex.
std::wstring CanonicalPath(const std::string& nativePath) {
    const int length = MultiByteToWideChar(CP_ACP, 0, nativePath.c_str(), -1, nullptr, 0);
    std::wstring path(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, nativePath.c_str(), -1, path.data(), length);
    path.resize(path.size() - 1);
    const HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        std::wstring final(MAX_PATH, L'\0');
        DWORD got = GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()),
                                              FILE_NAME_NORMALIZED);
        if (got >= final.size()) {
            final.resize(got);
            got = GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()),
                                            FILE_NAME_NORMALIZED);
        }
        CloseHandle(file);
        if (got > 0 && got < final.size()) {
            final.resize(got);
            path = std::move(final);
        }
    }
    if (!path.empty()) {
        CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    }
    return path;
}

// A mutex name may not hold a backslash past its namespace: the path goes in as a hash.
std::wstring MutexName(const std::wstring& path) {
    std::uint64_t hash = 0xCBF29CE484222325ULL;
    for (const wchar_t c : path) {
        hash = (hash ^ static_cast<std::uint16_t>(c)) * 0x100000001B3ULL;
    }
    wchar_t name[64];
    std::swprintf(name, 64, L"Local\\rotaline-file-lock-%016llx",
                  static_cast<unsigned long long>(hash));
    return name;
}

} // namespace

FileLock::FileLock(const std::string& nativePath) : held_(0) {
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, MutexName(CanonicalPath(nativePath)).c_str());
    if (mutex == nullptr) {
        return;
    }
    const DWORD waited = WaitForSingleObject(mutex, INFINITE);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return;
    }
    held_ = reinterpret_cast<std::intptr_t>(mutex);
}

FileLock::~FileLock() {
    if (held_ != 0) {
        const HANDLE mutex = reinterpret_cast<HANDLE>(held_);
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
}

} // namespace rotaline
