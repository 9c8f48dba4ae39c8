// The system calls behind reading, listing and safely replacing files, as one replaceable set.
#pragma once

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

namespace rotaline {

// Each member makes the system call it is named after and answers as that call does: its
// result, with errno set on failure. Tests derive from it to make chosen calls fail the way a
// full disk, a failing drive or a missing right makes them fail, which no real folder can be
// made to do on demand.
class FileSystemCalls {
public:
    virtual ~FileSystemCalls() = default;

    virtual int Open(const char* path, int flags, mode_t mode);
    // mkostemp with O_CLOEXEC: creates and opens a new file from a name ending in "XXXXXX".
    virtual int MakeTemporary(char* pathTemplate);
    // open(folder, O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600): a new file without a name yet.
    virtual int OpenUnnamed(const char* folder);
    // Gives the unnamed file open at `fd` the name `path` (linkat through /proc/self/fd).
    virtual int LinkUnnamed(int fd, const char* path);
    virtual ssize_t Read(int fd, void* buffer, size_t size);
    virtual ssize_t Write(int fd, const void* buffer, size_t size);
    virtual int Fsync(int fd);
    virtual int Ftruncate(int fd, off_t length);
    virtual int Close(int fd);
    virtual int Rename(const char* from, const char* to);
    virtual int Unlink(const char* path);

    virtual int Fstat(int fd, struct stat* status);
    virtual int Lstat(const char* path, struct stat* status);
    // fstatat following links: the kind of an entry of an open folder.
    virtual int Fstatat(int folderFd, const char* name, struct stat* status);
    virtual ssize_t Readlink(const char* path, char* buffer, size_t size);
    virtual int Fchown(int fd, uid_t owner, gid_t group);
    virtual int Fchmod(int fd, mode_t mode);
    // faccessat(AT_FDCWD, path, W_OK, AT_EACCESS).
    virtual int CheckWritable(const char* path);

    virtual DIR* Opendir(const char* path);
    virtual dirent* Readdir(DIR* folder);
    virtual int Closedir(DIR* folder);
};

// The calls in use: the system's own unless a test has put its own in.
FileSystemCalls& SystemCalls();

// Puts `calls` in use (null for the system's own again) and gives back the set it replaces.
FileSystemCalls* UseFileSystemCalls(FileSystemCalls* calls);

} // namespace rotaline
