// File system calls that fail on demand, for tests of what a failing disk does to the program.
#pragma once

#include "core/platform/posix/FileSystemCalls.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <tuple>
#include <vector>

namespace rotaline::testing {

// In use for its lifetime; logs each call by its name. Call number `failAt` (from 1) fails with
// `error` as the system fails it (a failed close still closes), kept in `failed` with the path it
// names ("" for a descriptor). Reads and writes move at most `maxRead` and `maxWrite` bytes.
class FaultyFileSystem : public FileSystemCalls {
public:
    explicit FaultyFileSystem(std::size_t nth = 0, int code = 0)
        : failAt(nth), error(code), previous_(UseFileSystemCalls(this)) {}
    ~FaultyFileSystem() override { UseFileSystemCalls(previous_); }
    void NoUnnamedFiles() { noUnnamed = true; } // as on a file system without O_TMPFILE

    std::size_t failAt, maxRead = SIZE_MAX, maxWrite = SIZE_MAX;
    int error;
    bool noUnnamed = false;
    std::vector<std::string> calls{""}; // from 1, as `failAt` counts
    std::string failed, failedPath;

    int Close(int fd) override { return After(FileSystemCalls::Close(fd), "Close", ""); }
    int Closedir(DIR* d) override { return After(FileSystemCalls::Closedir(d), "Closedir", dir_); }

#define FAULTY(Type, Name, path, Params, ...)                                                      \
    Type Name Params override {                                                                    \
        return Fails(#Name, path) ? Type(-1) : FileSystemCalls::Name(__VA_ARGS__);                 \
    }
    FAULTY(int, Open, p, (const char* p, int f, mode_t m), p, f, m)
    FAULTY(int, MakeTemporary, t, (char* t), t)
    FAULTY(int, OpenUnnamed, p, (const char* p), p)
    FAULTY(int, LinkUnnamed, p, (int fd, const char* p), fd, p)
    FAULTY(ssize_t, Read, "", (int f, void* b, size_t n), f, b, std::min(n, maxRead))
    FAULTY(ssize_t, Write, "", (int f, const void* b, size_t n), f, b, std::min(n, maxWrite))
    FAULTY(int, Fsync, "", (int fd), fd)
    FAULTY(int, Ftruncate, "", (int fd, off_t n), fd, n)
    FAULTY(int, Rename, to, (const char* from, const char* to), from, to)
    FAULTY(int, Unlink, p, (const char* p), p)
    FAULTY(int, Fstat, "", (int fd, struct stat* s), fd, s)
    FAULTY(int, Lstat, p, (const char* p, struct stat* s), p, s)
    FAULTY(int, Fstatat, dir_ + "/" + n, (int f, const char* n, struct stat* s), f, n, s)
    FAULTY(ssize_t, Readlink, p, (const char* p, char* b, size_t n), p, b, n)
    FAULTY(int, Fchown, "", (int fd, uid_t u, gid_t g), fd, u, g)
    FAULTY(int, Fchmod, "", (int fd, mode_t m), fd, m)
    FAULTY(int, CheckWritable, p, (const char* p), p)
#undef FAULTY
    // The program lists one folder at a time: Readdir and Fstatat name the last one opened.
    DIR* Opendir(const char* path) override {
        return Fails("Opendir", dir_ = path) ? nullptr : FileSystemCalls::Opendir(path);
    }
    dirent* Readdir(DIR* folder) override {
        return Fails("Readdir", dir_) ? nullptr : FileSystemCalls::Readdir(folder);
    }

private:
    bool Fails(const std::string& call, const std::string& path) {
        calls.push_back(call);
        if (calls.size() == failAt + 1) {
            std::tie(failed, failedPath, errno) = std::tie(call, path, error);
        }
        // A file system without O_TMPFILE refuses unnamed files, which is no fault of the disk.
        return calls.size() == failAt + 1 ||
               (noUnnamed && call == "OpenUnnamed" && (errno = EOPNOTSUPP) != 0);
    }
    int After(int result, const std::string& call, const std::string& path) {
        return Fails(call, path) ? -1 : result;
    }

    std::string dir_;
    FileSystemCalls* previous_;
};

} // namespace rotaline::testing
