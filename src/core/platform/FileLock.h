// An advisory lock that keeps other copies of the program from replacing a file meanwhile.
#pragma once

#include <cstdint>
#include <string>

namespace rotaline {

// Held from construction to destruction. It keeps out only those who take it too, which is
// every save of this program; other programs are caught by comparing the file before writing.
// A file that is missing, or a file system without locks, goes without: the lock then holds
// nothing and the comparison alone guards the file.
class FileLock {
public:
    // Waits until no other holder has the file at `nativePath` locked.
    explicit FileLock(const std::string& nativePath);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    // POSIX: the descriptor that holds the lock, or -1; Windows: the mutex handle, or null.
    std::intptr_t held_;
};

} // namespace rotaline
