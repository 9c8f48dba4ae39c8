// File system calls that fail on demand, for tests of what a failing disk does to the program.
#pragma once

#include "core/platform/posix/FileSystemCalls.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace rotaline::testing {

// Puts itself in use for its lifetime and logs each call with the path it names ("" for calls
// on a descriptor). Call number `failAt` (from 1) fails with `error` as the system fails it: a
// failed close still closes. Reads and writes can be made to move at most `transferLimit` bytes
// each, and writes to move none (a device that takes no more bytes).
class FaultyFileSystem : public FileSystemCalls {
public:
    explicit FaultyFileSystem(std::size_t nth = 0, int code = 0)
        : failAt(nth), error(code), previous_(UseFileSystemCalls(this)) {}
    ~FaultyFileSystem() override { UseFileSystemCalls(previous_); }
    FaultyFileSystem(const FaultyFileSystem&) = delete;
    FaultyFileSystem& operator=(const FaultyFileSystem&) = delete;
    // Every O_TMPFILE open fails, as on a file system without unnamed files.
    void NoUnnamedFiles() { noUnnamed = true; }

    std::size_t failAt;
    int error;
    std::size_t transferLimit = 0;
    bool stallWrites = false;
    bool noUnnamed = false;
    bool fired = false;
    int stalls = 0; // writes answered with no progress
    std::vector<std::string> calls;
    std::vector<std::string> paths;

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
    ROTALINE_FAULTY(int, Fstatat, "fstatat", folders_[fd] + "/" + n,
                    (int fd, const char* n, struct stat* s), fd, n, s)
    ROTALINE_FAULTY(ssize_t, Readlink, "readlink", p, (const char* p, char* b, size_t n), p, b, n)
    ROTALINE_FAULTY(int, Fchown, "fchown", "", (int fd, uid_t u, gid_t g), fd, u, g)
    ROTALINE_FAULTY(int, Fchmod, "fchmod", "", (int fd, mode_t m), fd, m)
    ROTALINE_FAULTY(int, CheckWritable, "faccessat", p, (const char* p), p)
    ROTALINE_FAULTY(ssize_t, Read, "read", "", (int fd, void* b, size_t n), fd, b, Limited(n))
#undef ROTALINE_FAULTY
    int OpenUnnamed(const char* folder) override {
        return Fails("O_TMPFILE", folder) ? -1
               : noUnnamed                ? (errno = EOPNOTSUPP, -1)
                                          : FileSystemCalls::OpenUnnamed(folder);
    }
    ssize_t Write(int fd, const void* buffer, size_t size) override {
        if (Fails("write", "")) {
            return -1;
        }
        if (stallWrites && size > 0) { // a save that retried this for ever would never end
            return ++stalls > 1000 ? (errno = EIO, -1) : 0;
        }
        return FileSystemCalls::Write(fd, buffer, Limited(size));
    }
    int Close(int fd) override {
        const int result = FileSystemCalls::Close(fd);
        return Fails("close", "") ? -1 : result;
    }
    DIR* Opendir(const char* path) override {
        DIR* folder = Fails("opendir", path) ? nullptr : FileSystemCalls::Opendir(path);
        if (folder != nullptr) {
            folders_[dirfd(folder)] = path;
        }
        return folder;
    }
    dirent* Readdir(DIR* folder) override {
        return Fails("readdir", folders_[dirfd(folder)]) ? nullptr
                                                         : FileSystemCalls::Readdir(folder);
    }
    int Closedir(DIR* folder) override {
        const std::string path = folders_[dirfd(folder)];
        const int result = FileSystemCalls::Closedir(folder);
        return Fails("closedir", path) ? -1 : result;
    }

private:
    bool Fails(const std::string& call, const std::string& path) {
        calls.push_back(call);
        paths.push_back(path);
        if (calls.size() != failAt) {
            return false;
        }
        errno = error;
        return fired = true;
    }
    size_t Limited(size_t size) const {
        return transferLimit > 0 && size > transferLimit ? transferLimit : size;
    }

    std::map<int, std::string> folders_;
    FileSystemCalls* previous_;
};

// The ways each call fails on a real system: interrupted, on a full disk or a failing drive,
// refused by the rights, the link count or a mount.
inline std::vector<int> ErrorsOf(const std::string& call) {
    static const std::map<std::string, std::vector<int>> kErrors{
        {"read", {EIO, EINTR}},
        {"write", {ENOSPC, EDQUOT, EINTR}},
        {"linkat", {ENOENT, EEXIST, ENOSPC}},
        {"rename", {EACCES, EBUSY, ENOSPC}},
        {"fchown", {EPERM, EIO}},
        {"open", {EACCES, EMFILE, ELOOP}}};
    const auto found = kErrors.find(call);
    return found != kErrors.end() ? found->second : std::vector<int>{EACCES, EIO};
}

// Runs `run` with the calls in use, once as they are and then once for each call that first
// run made and each way it fails: `run` tells the runs apart by the set's `failAt`.
template <typename Run> void FailEachCallInTurn(Run run) {
    std::vector<std::string> calls;
    {
        FaultyFileSystem recorder;
        run(recorder);
        calls = recorder.calls;
    }
    for (std::size_t at = 1; at <= calls.size(); ++at) {
        for (const int error : ErrorsOf(calls[at - 1])) {
            SCOPED_TRACE(calls[at - 1] + " (call " + std::to_string(at) + ") fails with " +
                         std::strerror(error));
            FaultyFileSystem faults(at, error);
            run(faults);
            ASSERT_TRUE(faults.fired);
            ASSERT_EQ(faults.calls[at - 1], calls[at - 1]) << "the runs make different calls";
        }
    }
}

} // namespace rotaline::testing
