// File system calls that fail on demand, for tests of what a failing disk does to the program.
#pragma once

#include "core/platform/posix/FileSystemCalls.h"

#include <cerrno>
#include <cstddef>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace rotaline::testing {

enum class FileCall {
    Open,
    MakeTemporary,
    OpenUnnamed,
    LinkUnnamed,
    Read,
    Write,
    Fsync,
    Ftruncate,
    Close,
    Rename,
    Unlink,
    Fstat,
    Lstat,
    Fstatat,
    Readlink,
    Fchown,
    Fchmod,
    CheckWritable,
    Opendir,
    Readdir,
    Closedir,
};

inline const char* NameOf(FileCall call) {
    static const char* const kNames[] = {
        "open",      "mkostemp", "O_TMPFILE", "linkat",    "read",    "write",   "fsync",
        "ftruncate", "close",    "rename",    "unlink",    "fstat",   "lstat",   "fstatat",
        "readlink",  "fchown",   "fchmod",    "faccessat", "opendir", "readdir", "closedir"};
    static_assert(std::size(kNames) == static_cast<std::size_t>(FileCall::Closedir) + 1);
    return kNames[static_cast<std::size_t>(call)];
}

// Puts itself in use for its lifetime. Every call is logged; the one planned call fails with
// its error code, the way the system fails it (a failed close still releases the descriptor).
// Reads and writes can also be made to move a few bytes at a time, or to be interrupted first.
class FaultyFileSystem : public FileSystemCalls {
public:
    FaultyFileSystem() : previous_(UseFileSystemCalls(this)) {}
    ~FaultyFileSystem() override { UseFileSystemCalls(previous_); }
    FaultyFileSystem(const FaultyFileSystem&) = delete;
    FaultyFileSystem& operator=(const FaultyFileSystem&) = delete;

    // The `nth` call (from 1) of `call` fails with `error`.
    void FailNth(FileCall call, int nth, int error) { plan_ = Plan{call, nth, error}; }
    // Reads and writes move at most this many bytes per call.
    void LimitTransfers(std::size_t bytes) { transferLimit_ = bytes; }
    // Every read and write is interrupted once (EINTR) before it goes through.
    void InterruptTransfers() { interrupt_ = true; }
    // Writes report that they wrote nothing, as a device that takes no more bytes might.
    void StallWrites() { stallWrites_ = true; }
    // Every O_TMPFILE open fails, as on a file system without unnamed files.
    void NoUnnamedFiles() { noUnnamed_ = true; }

    bool Fired() const { return fired_; }
    // True when stalled writes were retried so often that this set had to fail them itself.
    bool RanAway() const { return ranAway_; }

    std::vector<FileCall> trace;
    // The path each call names (for fstatat the folder's joined with the name, for readdir and
    // closedir the folder's); "" for the others.
    std::vector<std::string> paths;

    int Open(const char* path, int flags, mode_t mode) override {
        return Fails(FileCall::Open, path) ? -1 : FileSystemCalls::Open(path, flags, mode);
    }
    int MakeTemporary(char* pathTemplate) override {
        return Fails(FileCall::MakeTemporary, pathTemplate)
                   ? -1
                   : FileSystemCalls::MakeTemporary(pathTemplate);
    }
    int OpenUnnamed(const char* folder) override {
        if (Fails(FileCall::OpenUnnamed, folder)) {
            return -1;
        }
        if (noUnnamed_) {
            errno = EOPNOTSUPP;
            return -1;
        }
        return FileSystemCalls::OpenUnnamed(folder);
    }
    int LinkUnnamed(int fd, const char* path) override {
        return Fails(FileCall::LinkUnnamed, path) ? -1 : FileSystemCalls::LinkUnnamed(fd, path);
    }
    ssize_t Read(int fd, void* buffer, size_t size) override {
        if (Fails(FileCall::Read) || Interrupts()) {
            return -1;
        }
        return FileSystemCalls::Read(fd, buffer, Limited(size));
    }
    ssize_t Write(int fd, const void* buffer, size_t size) override {
        if (Fails(FileCall::Write) || Interrupts()) {
            return -1;
        }
        if (stallWrites_ && size > 0) {
            // A loop that keeps retrying a write that makes no progress would never end.
            if (++stalls_ > kMaxStalls) {
                ranAway_ = true;
                errno = EIO;
                return -1;
            }
            return 0;
        }
        return FileSystemCalls::Write(fd, buffer, Limited(size));
    }
    int Fsync(int fd) override { return Fails(FileCall::Fsync) ? -1 : FileSystemCalls::Fsync(fd); }
    int Ftruncate(int fd, off_t length) override {
        return Fails(FileCall::Ftruncate) ? -1 : FileSystemCalls::Ftruncate(fd, length);
    }
    int Close(int fd) override {
        const int result = FileSystemCalls::Close(fd);
        return Fails(FileCall::Close) ? -1 : result;
    }
    int Rename(const char* from, const char* to) override {
        return Fails(FileCall::Rename, to) ? -1 : FileSystemCalls::Rename(from, to);
    }
    int Unlink(const char* path) override {
        return Fails(FileCall::Unlink, path) ? -1 : FileSystemCalls::Unlink(path);
    }
    int Fstat(int fd, struct stat* status) override {
        return Fails(FileCall::Fstat) ? -1 : FileSystemCalls::Fstat(fd, status);
    }
    int Lstat(const char* path, struct stat* status) override {
        return Fails(FileCall::Lstat, path) ? -1 : FileSystemCalls::Lstat(path, status);
    }
    int Fstatat(int folderFd, const char* name, struct stat* status) override {
        const std::string path = folderPaths_[folderFd] + "/" + name;
        return Fails(FileCall::Fstatat, path.c_str())
                   ? -1
                   : FileSystemCalls::Fstatat(folderFd, name, status);
    }
    ssize_t Readlink(const char* path, char* buffer, size_t size) override {
        return Fails(FileCall::Readlink, path) ? -1 : FileSystemCalls::Readlink(path, buffer, size);
    }
    int Fchown(int fd, uid_t owner, gid_t group) override {
        return Fails(FileCall::Fchown) ? -1 : FileSystemCalls::Fchown(fd, owner, group);
    }
    int Fchmod(int fd, mode_t mode) override {
        return Fails(FileCall::Fchmod) ? -1 : FileSystemCalls::Fchmod(fd, mode);
    }
    int CheckWritable(const char* path) override {
        return Fails(FileCall::CheckWritable, path) ? -1 : FileSystemCalls::CheckWritable(path);
    }
    DIR* Opendir(const char* path) override {
        if (Fails(FileCall::Opendir, path)) {
            return nullptr;
        }
        DIR* folder = FileSystemCalls::Opendir(path);
        if (folder != nullptr) {
            folders_[folder] = path;
            folderPaths_[dirfd(folder)] = path;
        }
        return folder;
    }
    dirent* Readdir(DIR* folder) override {
        return Fails(FileCall::Readdir, folders_[folder].c_str())
                   ? nullptr
                   : FileSystemCalls::Readdir(folder);
    }
    int Closedir(DIR* folder) override {
        const std::string path = folders_[folder];
        folders_.erase(folder);
        const int result = FileSystemCalls::Closedir(folder);
        return Fails(FileCall::Closedir, path.c_str()) ? -1 : result;
    }

private:
    struct Plan {
        FileCall call;
        int nth;
        int error;
    };
    static constexpr int kMaxStalls = 1000;

    bool Fails(FileCall call, const char* path = "") {
        trace.push_back(call);
        paths.emplace_back(path);
        const int count = ++counts_[call];
        if (plan_ && plan_->call == call && plan_->nth == count) {
            fired_ = true;
            errno = plan_->error;
            return true;
        }
        return false;
    }
    bool Interrupts() {
        interrupted_ = interrupt_ && !interrupted_;
        if (interrupted_) {
            errno = EINTR;
        }
        return interrupted_;
    }
    size_t Limited(size_t size) const {
        return transferLimit_ > 0 && size > transferLimit_ ? transferLimit_ : size;
    }

    FileSystemCalls* previous_;
    std::optional<Plan> plan_;
    std::map<FileCall, int> counts_;
    std::map<DIR*, std::string> folders_;
    std::map<int, std::string> folderPaths_;
    bool fired_ = false;
    std::size_t transferLimit_ = 0;
    bool interrupt_ = false;
    bool interrupted_ = false;
    bool stallWrites_ = false;
    bool noUnnamed_ = false;
    int stalls_ = 0;
    bool ranAway_ = false;
};

} // namespace rotaline::testing
