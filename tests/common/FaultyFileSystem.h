// File system calls that fail on demand, for tests of what a failing disk does to the program.
#pragma once

#include "core/platform/posix/FileSystemCalls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace rotaline::testing {

// In use for its lifetime; logs each call with the path it names ("" for a descriptor). Call
// number `failAt` (from 1) fails with `error` as the system fails it: a failed close still
// closes. Reads and writes move at most `transferLimit` bytes, stalled writes none.
class FaultyFileSystem : public FileSystemCalls {
public:
    explicit FaultyFileSystem(std::size_t nth = 0, int code = 0)
        : failAt(nth), error(code), previous_(UseFileSystemCalls(this)) {}
    ~FaultyFileSystem() override { UseFileSystemCalls(previous_); }
    void NoUnnamedFiles() { noUnnamed = true; } // as on a file system without O_TMPFILE

    std::size_t failAt, transferLimit = SIZE_MAX;
    int error, stalls = 0;
    bool stallWrites = false, noUnnamed = false, fired = false;
    std::vector<std::string> calls, paths;

#define ROTALINE_FAULTY(Type, Name, name, path, Params, ...)                                       \
    Type Name Params override {                                                                    \
        return Fails(name, path) ? Type(-1) : FileSystemCalls::Name(__VA_ARGS__);                  \
    }
    ROTALINE_FAULTY(int, Open, "open", p, (const char* p, int f, mode_t m), p, f, m)
    ROTALINE_FAULTY(int, MakeTemporary, "mkostemp", t, (char* t), t)
    ROTALINE_FAULTY(int, LinkUnnamed, "linkat", p, (int fd, const char* p), fd, p)
    ROTALINE_FAULTY(int, Fsync, "fsync", "", (int fd), fd)
    ROTALINE_FAULTY(int, Ftruncate, "ftruncate", "", (int fd, off_t n), fd, n)
    ROTALINE_FAULTY(int, Rename, "rename", to, (const char* from, const char* to), from, to)
    ROTALINE_FAULTY(int, Unlink, "unlink", p, (const char* p), p)
    ROTALINE_FAULTY(int, Fstat, "fstat", "", (int fd, struct stat* s), fd, s)
    ROTALINE_FAULTY(int, Lstat, "lstat", p, (const char* p, struct stat* s), p, s)
    ROTALINE_FAULTY(int, Fstatat, "fstatat", folder_ + "/" + n,
                    (int fd, const char* n, struct stat* s), fd, n, s)
    ROTALINE_FAULTY(ssize_t, Readlink, "readlink", p, (const char* p, char* b, size_t n), p, b, n)
    ROTALINE_FAULTY(int, Fchown, "fchown", "", (int fd, uid_t u, gid_t g), fd, u, g)
    ROTALINE_FAULTY(int, Fchmod, "fchmod", "", (int fd, mode_t m), fd, m)
    ROTALINE_FAULTY(int, CheckWritable, "faccessat", p, (const char* p), p)
    ROTALINE_FAULTY(ssize_t, Read, "read", "", (int fd, void* b, size_t n), fd, b,
                    std::min(n, transferLimit))
#undef ROTALINE_FAULTY
    int OpenUnnamed(const char* folder) override {
        return Fails("O_TMPFILE", folder) ? -1
               : noUnnamed                ? (errno = EOPNOTSUPP, -1)
                                          : FileSystemCalls::OpenUnnamed(folder);
    }
    ssize_t Write(int fd, const void* buffer, size_t size) override {
        return Fails("write", "") ? -1
               : !stallWrites    ? FileSystemCalls::Write(fd, buffer, std::min(size, transferLimit))
               : ++stalls > 1000 ? (errno = EIO, -1) // a save retrying it would never end
                                 : 0;
    }
    int Close(int fd) override {
        const int result = FileSystemCalls::Close(fd);
        return Fails("close", "") ? -1 : result;
    }
    // The program lists one folder at a time: readdir and fstatat name the last one opened.
    DIR* Opendir(const char* path) override {
        folder_ = path;
        return Fails("opendir", path) ? nullptr : FileSystemCalls::Opendir(path);
    }
    dirent* Readdir(DIR* folder) override {
        return Fails("readdir", folder_) ? nullptr : FileSystemCalls::Readdir(folder);
    }
    int Closedir(DIR* folder) override {
        const int result = FileSystemCalls::Closedir(folder);
        return Fails("closedir", folder_) ? -1 : result;
    }

private:
    bool Fails(const std::string& call, const std::string& path) {
        calls.push_back(call);
        paths.push_back(path);
        fired = fired || calls.size() == failAt;
        errno = calls.size() == failAt ? error : errno;
        return calls.size() == failAt;
    }

    std::string folder_;
    FileSystemCalls* previous_;
};

// Runs `run` as the calls are, then with each call of that run failing in turn, in the ways
// it fails on a real system, on a disk that moves 3 bytes per read or write so that each can
// fail halfway. `run` tells the runs apart by `failAt`.
template <typename Run> void FailEachCallInTurn(Run run) {
    const std::map<std::string, std::vector<int>> errors{{"read", {EIO, EINTR}},
                                                         {"write", {ENOSPC, EINTR}},
                                                         {"linkat", {ENOENT, EEXIST, ENOSPC}},
                                                         {"rename", {EACCES, EBUSY, ENOSPC}},
                                                         {"fchown", {EPERM, EIO}},
                                                         {"open", {EACCES, ELOOP}}};
    std::vector<std::string> calls;
    for (std::size_t at = 0; at <= calls.size(); ++at) {
        const std::string call = at == 0 ? "" : calls[at - 1];
        for (const int error : at == 0              ? std::vector<int>{0}
                               : errors.count(call) ? errors.at(call)
                                                    : std::vector<int>{EACCES, EIO}) {
            SCOPED_TRACE(call + " (call " + std::to_string(at) +
                         ") fails: " + std::strerror(error));
            FaultyFileSystem faults(at, error);
            faults.transferLimit = 3;
            run(faults);
            calls = at == 0 ? faults.calls : calls;
            ASSERT_TRUE(at == 0 || (faults.fired && faults.calls[at - 1] == call));
        }
    }
}

} // namespace rotaline::testing
