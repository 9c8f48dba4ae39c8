// The advisory file lock on POSIX systems: flock on the file itself.
#include "core/platform/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rotaline {

namespace {

// A save puts a new file in the old one's place, so a lock that was waited for may belong to a
// file the path no longer names; then the file now there is locked instead. Bounded, in case
// some other program keeps replacing it.
constexpr int kMaxTries = 100;

bool NamesFile(const std::string& path, int fd) {
    struct stat held;
    struct stat named;
    return fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

} // namespace

FileLock::FileLock(const std::string& nativePath) : held_(-1) {
    for (int tries = 0; tries < kMaxTries; ++tries) {
        // Not blocking: a named pipe in the file's place must not hang the program here.
        const int fd = open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return;
        }
        int locked;
        while ((locked = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (locked != 0) {
            close(fd);
            return;
        }
        if (NamesFile(nativePath, fd)) {
            held_ = fd;
            return;
        }
        close(fd);
    }
}

FileLock::~FileLock() {
    if (held_ >= 0) {
        close(static_cast<int>(held_)); // releases the lock
    }
}

} // namespace rotaline
