// Reads whole files and replaces file contents atomically on POSIX systems.
#include "core/platform/TextFile.h"

#include "core/platform/posix/FileSystemCalls.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rotaline {

namespace {

// Deeper chains than the system itself follows (Linux stops at 40) are taken for loops.
constexpr int kMaxLinkHops = 40;
constexpr mode_t kNewFileMode = 0644;

SystemError ErrorFromCode(int code) {
    return SystemError{code, std::strerror(code)};
}

SystemError LastError() {
    return ErrorFromCode(errno);
}

// Says what the entry is instead, so that the user knows what to look for.
SystemError NotRegularFile(const struct stat& status) {
    const char* kind = S_ISFIFO(status.st_mode)   ? "a named pipe"
                       : S_ISCHR(status.st_mode)  ? "a character device"
                       : S_ISBLK(status.st_mode)  ? "a block device"
                       : S_ISSOCK(status.st_mode) ? "a socket"
                                                  : "a special file";
    return SystemError{EINVAL, std::string("Not a regular file: it is ") + kind};
}

// "16777216 bytes (16 MB)": the exact count, and a size a user can take in at a glance.
std::string SizeText(std::size_t bytes) {
    constexpr std::size_t kMegabyte = 1024 * 1024;
    std::string text = std::to_string(bytes) + " bytes";
    if (bytes >= kMegabyte) {
        text += " (" + std::to_string(bytes / kMegabyte) + " MB)";
    }
    return text;
}

// `size` is 0 when the file grew past the limit while it was read.
SystemError TooLarge(std::size_t size, std::size_t maxBytes) {
    const std::string held = size > 0 ? "it holds " + SizeText(size) : "it grew while being read";
    return SystemError{EFBIG, "File too large: " + held + ", and at most " + SizeText(maxBytes) +
                                  " can be read"};
}

// A folder, pipe or device is refused before any read: a pipe would block or never end.
std::optional<SystemError> CheckIsRegular(const struct stat& status) {
    if (S_ISDIR(status.st_mode)) {
        return ErrorFromCode(EISDIR);
    }
    if (!S_ISREG(status.st_mode)) {
        return NotRegularFile(status);
    }
    return std::nullopt;
}

// Reads to the end rather than trusting the size from fstat: the file may grow or shrink
// while it is read, and growing past the limit still counts as too large.
std::optional<SystemError> ReadToEnd(int fd, std::size_t maxBytes, std::string& bytes) {
    struct stat status;
    if (SystemCalls().Fstat(fd, &status) != 0) {
        return LastError();
    }
    if (auto refused = CheckIsRegular(status)) {
        return refused;
    }
    if (static_cast<std::size_t>(status.st_size) > maxBytes) {
        return TooLarge(static_cast<std::size_t>(status.st_size), maxBytes);
    }
    bytes.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = SystemCalls().Read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        if (got == 0) {
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > maxBytes) {
            return TooLarge(0, maxBytes);
        }
    }
}

std::optional<SystemError> WriteAll(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t put = SystemCalls().Write(fd, bytes.data() + written, bytes.size() - written);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        if (put == 0) {
            // No error and no progress: retrying could go on for ever.
            return ErrorFromCode(EIO);
        }
        written += static_cast<std::size_t>(put);
    }
    return std::nullopt;
}

// "dir/name" gives "dir/", a bare name gives "": joining the result with a name stays in the
// same folder without ever introducing a path the caller did not use.
std::string FolderPrefix(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::optional<SystemError> ReadLink(const std::string& path, std::string& target) {
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t length = SystemCalls().Readlink(path.c_str(), buffer.data(), buffer.size());
        if (length < 0) {
            return LastError();
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            target.assign(buffer.data(), static_cast<std::size_t>(length));
            return std::nullopt;
        }
        buffer.resize(buffer.size() * 2); // possibly cut short: try again with more room
    }
}

// Where the content really lives: renaming over a link would replace the link with a plain
// file, so the chain is followed to its end. `exists` is false when the end is missing (a new
// file, or a dangling link whose target is to be created).
std::optional<SystemError> ResolveLinks(const std::string& path, std::string& target,
                                        struct stat& status, bool& exists) {
    std::string current = path;
    for (int hops = 0;; ++hops) {
        if (SystemCalls().Lstat(current.c_str(), &status) != 0) {
            if (errno != ENOENT) {
                return LastError();
            }
            exists = false;
            target = current;
            return std::nullopt;
        }
        if (!S_ISLNK(status.st_mode)) {
            exists = true;
            target = current;
            return std::nullopt;
        }
        if (hops == kMaxLinkHops) {
            return ErrorFromCode(ELOOP);
        }
        std::string next;
        if (auto failed = ReadLink(current, next)) {
            return failed;
        }
        current = (!next.empty() && next.front() == '/') ? next : FolderPrefix(current) + next;
    }
}

mode_t CurrentUmask() {
    // The only way to read the mask is to set it; the program is single-threaded, so putting
    // it straight back races with nothing.
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

// Gives the temporary file the old file's owner and permissions before it takes the old file's
// place, so that the swap is the only visible change. An owner that the user may not give away
// stays the user's own.
std::optional<SystemError> MatchOwnerAndMode(int fd, const struct stat* old) {
    if (old == nullptr) {
        if (SystemCalls().Fchmod(fd, kNewFileMode & ~CurrentUmask()) != 0) {
            return LastError();
        }
        return std::nullopt;
    }
    struct stat created;
    if (SystemCalls().Fstat(fd, &created) != 0) {
        return LastError();
    }
    if ((created.st_uid != old->st_uid || created.st_gid != old->st_gid) &&
        SystemCalls().Fchown(fd, old->st_uid, old->st_gid) != 0 && errno != EPERM &&
        errno != EINVAL) {
        return LastError();
    }
    // After fchown, which clears set-user-ID and set-group-ID bits.
    if (SystemCalls().Fchmod(fd, old->st_mode & 07777) != 0) {
        return LastError();
    }
    return std::nullopt;
}

std::optional<SystemError> FillTemporary(int fd, const std::string& bytes, const struct stat* old) {
    if (auto failed = WriteAll(fd, bytes)) {
        return failed;
    }
    if (auto failed = MatchOwnerAndMode(fd, old)) {
        return failed;
    }
    if (SystemCalls().Fsync(fd) != 0) {
        return LastError();
    }
    return std::nullopt;
}

// Makes the rename itself durable, as far as the folder allows. The new content is in place and
// visible by then, so nothing that goes wrong here may be reported as a failed save: the user
// would take the old cycle to be still on disk. A folder that cannot be opened for reading
// (write and search rights only) or flushed just goes without this extra flush.
void SyncFolder(const std::string& folderPrefix) {
    const std::string folder = folderPrefix.empty() ? "." : folderPrefix;
    const int fd = SystemCalls().Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) {
        return;
    }
    SystemCalls().Fsync(fd);
    SystemCalls().Close(fd);
}

} // namespace

ReadResult ReadWholeFile(const std::string& nativePath, std::size_t maxBytes) {
    ReadResult result;
    const int fd = SystemCalls().Open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0);
    if (fd < 0) {
        result.error = LastError();
        return result;
    }
    result.error = ReadToEnd(fd, maxBytes, result.bytes);
    SystemCalls().Close(fd);
    if (result.error) {
        result.bytes.clear();
    }
    return result;
}

std::optional<SystemError> ReplaceFileContent(const std::string& nativePath,
                                              const std::string& bytes) {
    std::string target;
    struct stat old;
    bool exists = false;
    if (auto failed = ResolveLinks(nativePath, target, old, exists)) {
        return failed;
    }
    if (exists) {
        if (auto refused = CheckIsRegular(old)) {
            return refused;
        }
        // The owner's write bit, not access(): root passes access() for every file, and a
        // file its owner marked read-only is not to be rewritten by anyone.
        if ((old.st_mode & S_IWUSR) == 0) {
            return SystemError{EACCES, "Permission denied: the file is read-only"};
        }
        // A writable folder would let the rename replace a file the user may not write to.
        if (SystemCalls().CheckWritable(target.c_str()) != 0) {
            return LastError();
        }
    }

    // Same folder, so that the rename stays on one file system and is atomic.
    std::string temporary = FolderPrefix(target) + "." + BaseName(target) + ".XXXXXX";
    const int fd = SystemCalls().MakeTemporary(temporary.data());
    if (fd < 0) {
        return LastError();
    }
    std::optional<SystemError> error = FillTemporary(fd, bytes, exists ? &old : nullptr);
    if (SystemCalls().Close(fd) != 0 && !error) {
        error = LastError();
    }
    if (!error && SystemCalls().Rename(temporary.c_str(), target.c_str()) != 0) {
        error = LastError();
    }
    if (error) {
        SystemCalls().Unlink(temporary.c_str());
        return error;
    }
    SyncFolder(FolderPrefix(target));
    return std::nullopt;
}

} // namespace rotaline
