// The system's own file calls, and the one set in use.
#include "core/platform/posix/FileSystemCalls.h"

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <unistd.h>

namespace rotaline {

namespace {

FileSystemCalls& OwnCalls() {
    static FileSystemCalls own;
    return own;
}

FileSystemCalls* inUse = nullptr;

} // namespace

int FileSystemCalls::Open(const char* path, int flags, mode_t mode) {
    return open(path, flags, mode);
}

int FileSystemCalls::MakeTemporary(char* pathTemplate) {
    return mkostemp(pathTemplate, O_CLOEXEC);
}

int FileSystemCalls::OpenUnnamed(const char* folder) {
#ifdef O_TMPFILE
    return open(folder, O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
#else
    (void)folder;
    errno = EOPNOTSUPP;
    return -1;
#endif
}

int FileSystemCalls::LinkUnnamed(int fd, const char* path) {
    // AT_EMPTY_PATH would need a capability; the descriptor's entry in /proc needs none.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path, AT_SYMLINK_FOLLOW);
}

ssize_t FileSystemCalls::Read(int fd, void* buffer, size_t size) {
    return read(fd, buffer, size);
}

ssize_t FileSystemCalls::Write(int fd, const void* buffer, size_t size) {
    return write(fd, buffer, size);
}

int FileSystemCalls::Fsync(int fd) {
    return fsync(fd);
}

int FileSystemCalls::Ftruncate(int fd, off_t length) {
    return ftruncate(fd, length);
}

int FileSystemCalls::Close(int fd) {
    return close(fd);
}

int FileSystemCalls::Rename(const char* from, const char* to) {
    return rename(from, to);
}

int FileSystemCalls::Unlink(const char* path) {
    return unlink(path);
}

int FileSystemCalls::Fstat(int fd, struct stat* status) {
    return fstat(fd, status);
}

int FileSystemCalls::Lstat(const char* path, struct stat* status) {
    return lstat(path, status);
}

int FileSystemCalls::Fstatat(int folderFd, const char* name, struct stat* status) {
    return fstatat(folderFd, name, status, 0);
}

ssize_t FileSystemCalls::Readlink(const char* path, char* buffer, size_t size) {
    return readlink(path, buffer, size);
}

int FileSystemCalls::Fchown(int fd, uid_t owner, gid_t group) {
    return fchown(fd, owner, group);
}

int FileSystemCalls::Fchmod(int fd, mode_t mode) {
    return fchmod(fd, mode);
}

int FileSystemCalls::CheckWritable(const char* path) {
    return faccessat(AT_FDCWD, path, W_OK, AT_EACCESS);
}

DIR* FileSystemCalls::Opendir(const char* path) {
    return opendir(path);
}

dirent* FileSystemCalls::Readdir(DIR* folder) {
    return readdir(folder);
}

int FileSystemCalls::Closedir(DIR* folder) {
    return closedir(folder);
}

FileSystemCalls& SystemCalls() {
    return inUse != nullptr ? *inUse : OwnCalls();
}

FileSystemCalls* UseFileSystemCalls(FileSystemCalls* calls) {
    FileSystemCalls* previous = inUse;
    inUse = calls;
    return previous;
}

} // namespace rotaline
