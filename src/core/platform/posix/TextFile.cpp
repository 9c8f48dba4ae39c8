// Reads whole files and replaces file contents on POSIX systems without changing who may use them.
#include "core/platform/TextFile.h"

#include "core/platform/posix/FileSystemCalls.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace rotaline {

namespace {

// Deeper chains than the system itself follows (Linux stops at 40) are taken for loops.
constexpr int kMaxLinkHops = 40;
constexpr mode_t kNewFileMode = 0644;
// A temporary file that has a name is called ".NAME.rotaline-save-PID-XXXXXX", so that a later
// save can tell its own leftovers from anything else and knows whether their saver still runs.
constexpr std::string_view kTemporaryMark = ".rotaline-save-";
constexpr int kTemporaryNameTries = 100;

Error LastError() {
    return PosixError(errno);
}

// Says what the entry is instead, so that the user knows what to look for.
Error NotRegularFile(const struct stat& status) {
    const char* kind = S_ISFIFO(status.st_mode)   ? "a named pipe"
                       : S_ISCHR(status.st_mode)  ? "a character device"
                       : S_ISBLK(status.st_mode)  ? "a block device"
                       : S_ISSOCK(status.st_mode) ? "a socket"
                                                  : "a special file";
    Error error = PosixError(EINVAL, std::string("it is ") + kind + ", not a file");
    error.kind = ErrorKind::NotAFile;
    return error;
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
Error TooLarge(std::size_t size, std::size_t maxBytes) {
    const std::string held = size > 0 ? "it holds " + SizeText(size) : "it grew while being read";
    return PosixError(EFBIG, "File too large: " + held + ", and at most " + SizeText(maxBytes) +
                                 " can be read");
}

// "dir/name" gives "dir/", a bare name gives "": joining the result with a name stays in the
// same folder without ever introducing a path the caller did not use.
std::string FolderPrefix(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FolderOf(const std::string& path) {
    const std::string prefix = FolderPrefix(path);
    return prefix.empty() ? "." : prefix;
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A missing file or folder, said plainly: which of the two is missing is what the user needs.
Error Missing(const std::string& path) {
    struct stat folder;
    const std::string what =
        SystemCalls().Lstat(FolderOf(path).c_str(), &folder) != 0 && errno == ENOENT
            ? "its folder " + FolderOf(path)
            : "it";
    return PosixError(ENOENT, what + " does not exist (" + std::strerror(ENOENT) + ")");
}

// A folder, pipe or device is refused before any read: a pipe would block or never end.
std::optional<Error> CheckIsRegular(const struct stat& status) {
    if (S_ISDIR(status.st_mode)) {
        return PosixError(EISDIR);
    }
    if (!S_ISREG(status.st_mode)) {
        return NotRegularFile(status);
    }
    return std::nullopt;
}

// Reads to the end rather than trusting the size from fstat: the file may grow or shrink
// while it is read, and growing past the limit still counts as too large.
std::optional<Error> ReadToEnd(int fd, std::size_t maxBytes, std::string& bytes) {
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

std::optional<Error> WriteAll(int fd, const std::string& bytes) {
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
            return PosixError(EIO);
        }
        written += static_cast<std::size_t>(put);
    }
    return std::nullopt;
}

std::optional<Error> ReadLink(const std::string& path, std::string& target) {
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

// The file whose content a save replaces, links followed.
struct Target {
    std::string path;
    struct stat status {};
    bool exists = false;
};

// A link that another account planted is followed only when that account also owns what it
// points to, as the kernel's protected_symlinks rule has it: otherwise root, or a member of the
// server's group, would write wherever the link's owner chose.
std::optional<Error> CheckLinkOwners(const std::vector<std::pair<std::string, uid_t>>& links,
                                     const Target& target) {
    struct stat folder;
    const uid_t targetOwner = target.exists ? target.status.st_uid
                              : SystemCalls().Lstat(FolderOf(target.path).c_str(), &folder) == 0
                                  ? folder.st_uid
                                  : static_cast<uid_t>(-1);
    for (const auto& [link, owner] : links) {
        if (owner != geteuid() && owner != targetOwner) {
            return PosixError(EPERM, "the link " + link + " points to " + target.path +
                                         ", and it belongs to another account that does not "
                                         "own that file, so it is not followed");
        }
    }
    return std::nullopt;
}

// Where the content really lives: renaming over a link would replace the link with a plain
// file, so the chain is followed to its end. `exists` is false when the end is missing (a new
// file, or a dangling link whose target is to be created).
std::optional<Error> ResolveLinks(const std::string& path, Target& target) {
    std::vector<std::pair<std::string, uid_t>> links;
    std::string current = path;
    for (int hops = 0;; ++hops) {
        if (SystemCalls().Lstat(current.c_str(), &target.status) != 0) {
            if (errno != ENOENT) {
                return LastError();
            }
            target.exists = false;
            break;
        }
        if (!S_ISLNK(target.status.st_mode)) {
            target.exists = true;
            break;
        }
        if (hops == kMaxLinkHops) {
            return PosixError(ELOOP);
        }
        links.emplace_back(current, target.status.st_uid);
        std::string next;
        if (auto failed = ReadLink(current, next)) {
            return failed;
        }
        current = (!next.empty() && next.front() == '/') ? next : FolderPrefix(current) + next;
    }
    target.path = current;
    return CheckLinkOwners(links, target);
}

mode_t CurrentUmask() {
    // The only way to read the mask is to set it; the program is single-threaded, so putting
    // it straight back races with nothing.
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

// "/srv/a\040b" in /proc/self/mountinfo stands for "/srv/a b".
std::string UnescapeMountPath(const std::string& field) {
    std::string path;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            path += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                                      (field[i + 3] - '0'));
            i += 3;
        } else {
            path += field[i];
        }
    }
    return path;
}

// A file mounted over another (a single-file bind mount, as containers get their cycle) cannot
// be renamed over. The device number differs from its folder's, except for a bind mount from
// the same file system, which only the mount table shows.
bool IsMountPoint(const Target& target) {
    struct stat folder;
    if (stat(FolderOf(target.path).c_str(), &folder) == 0 &&
        folder.st_dev != target.status.st_dev) {
        return true;
    }
    char* resolved = realpath(target.path.c_str(), nullptr);
    if (resolved == nullptr) {
        return false;
    }
    const std::string real = resolved;
    std::free(resolved);
    std::ifstream table("/proc/self/mountinfo");
    for (std::string line; std::getline(table, line);) {
        // ID, parent ID, major:minor, root, then the mount point.
        std::size_t start = 0;
        for (int field = 0; field < 4 && start != std::string::npos; ++field) {
            start = line.find(' ', start);
            start = start == std::string::npos ? start : start + 1;
        }
        if (start == std::string::npos) {
            continue;
        }
        if (UnescapeMountPath(line.substr(start, line.find(' ', start) - start)) == real) {
            return true;
        }
    }
    return false;
}

// Why a new file put in the old one's place could not carry everything that decides who may
// use the file; empty when it can, as far as can be told before trying.
std::string WhyInPlace(const Target& target) {
    if (target.status.st_nlink > 1) {
        return "it has other hard links";
    }
    if (IsMountPoint(target)) {
        return BaseName(target.path) + " is a mount point";
    }
    const std::string folderPath = FolderOf(target.path);
    struct stat folder;
    if (stat(folderPath.c_str(), &folder) != 0 ||
        faccessat(AT_FDCWD, folderPath.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        return "the folder allows no new file";
    }
    const uid_t user = geteuid();
    if ((folder.st_mode & S_ISVTX) != 0 && user != 0 && user != target.status.st_uid &&
        user != folder.st_uid) {
        return "the folder allows only its owner to replace files";
    }
    if (user != 0 && user != target.status.st_uid) {
        return "a new file could not keep its owner";
    }
    return {};
}

// The names in a list that listxattr or flistxattr filled.
std::vector<std::string> SplitNames(const std::string& list) {
    std::vector<std::string> names;
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = list.find('\0', start);
        names.push_back(list.substr(start, end - start));
        start = end == std::string::npos ? list.size() : end + 1;
    }
    return names;
}

template <typename List> bool ListAttributes(List list, std::vector<std::string>& names) {
    for (int tries = 0; tries < 5; ++tries) {
        const ssize_t size = list(nullptr, 0);
        if (size < 0) {
            return errno == ENOTSUP; // a file system without them has none to carry
        }
        std::string buffer(static_cast<std::size_t>(size), '\0');
        const ssize_t got = list(buffer.data(), buffer.size());
        if (got >= 0) {
            buffer.resize(static_cast<std::size_t>(got));
            names = SplitNames(buffer);
            return true;
        }
        if (errno != ERANGE) {
            return false;
        }
    }
    return false;
}

// Extended attributes, the ACL (system.posix_acl_access) among them, made the same on the new
// file as on the old: those the folder's default ACL gave the new file go first.
bool CopyAttributes(const std::string& from, int to) {
    std::vector<std::string> wanted;
    std::vector<std::string> present;
    if (!ListAttributes([&](char* b, size_t n) { return llistxattr(from.c_str(), b, n); },
                        wanted) ||
        !ListAttributes([&](char* b, size_t n) { return flistxattr(to, b, n); }, present)) {
        return false;
    }
    for (const std::string& name : present) {
        if (std::find(wanted.begin(), wanted.end(), name) == wanted.end() &&
            fremovexattr(to, name.c_str()) != 0) {
            return false;
        }
    }
    for (const std::string& name : wanted) {
        const ssize_t size = lgetxattr(from.c_str(), name.c_str(), nullptr, 0);
        if (size < 0) {
            return false;
        }
        std::string value(static_cast<std::size_t>(size), '\0');
        const ssize_t got = lgetxattr(from.c_str(), name.c_str(), value.data(), value.size());
        if (got < 0 ||
            fsetxattr(to, name.c_str(), value.data(), static_cast<size_t>(got), 0) != 0) {
            return false;
        }
    }
    return true;
}

// Gives the new file the old file's owner, group, mode bits, ACL and extended attributes.
// Empty when all of them were carried; otherwise why not, and the file is written in place.
std::string CarryAccess(int fd, const Target& target, std::optional<Error>& error) {
    if (!target.exists) {
        if (SystemCalls().Fchmod(fd, kNewFileMode & ~CurrentUmask()) != 0) {
            error = LastError();
        }
        return {};
    }
    const struct stat& old = target.status;
    struct stat made;
    if (SystemCalls().Fstat(fd, &made) != 0) {
        error = LastError();
        return {};
    }
    if ((made.st_uid != old.st_uid || made.st_gid != old.st_gid) &&
        SystemCalls().Fchown(fd, old.st_uid, old.st_gid) != 0) {
        if (errno != EPERM && errno != EINVAL) {
            error = LastError();
        }
        return "a new file could not keep its owner and group";
    }
    // After fchown, which clears set-user-ID and set-group-ID bits, and before the ACL, whose
    // entries the mode bits would otherwise overwrite.
    if (SystemCalls().Fchmod(fd, old.st_mode & 07777) != 0) {
        error = LastError();
        return {};
    }
    if (!CopyAttributes(target.path, fd)) {
        return "a new file could not keep its ACL or extended attributes";
    }
    if (SystemCalls().Fstat(fd, &made) != 0) {
        error = LastError();
        return {};
    }
    if (made.st_uid != old.st_uid || made.st_gid != old.st_gid ||
        (made.st_mode & 07777) != (old.st_mode & 07777)) {
        return "a new file could not keep its owner, group and mode";
    }
    return {};
}

// The named temporary file of a save under way. SIGINT and SIGTERM remove it before they do
// what they would have done; a save killed otherwise leaves it to the next save, which
// recognises it by its name.
char pendingName[4096];
volatile std::sig_atomic_t pendingArmed = 0;
struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};

extern "C" void RemovePendingThenResignal(int signal) {
    if (pendingArmed != 0) {
        unlink(pendingName);
        pendingArmed = 0;
    }
    sigaction(signal, signal == SIGINT ? &previousInterrupt : &previousTerminate, nullptr);
    raise(signal); // delivered to the previous disposition once this handler returns
}

class PendingName {
public:
    explicit PendingName(const std::string& path) {
        if (path.size() >= sizeof pendingName) {
            return;
        }
        std::memcpy(pendingName, path.c_str(), path.size() + 1);
        struct sigaction cleanup {};
        cleanup.sa_handler = RemovePendingThenResignal;
        sigemptyset(&cleanup.sa_mask);
        sigaction(SIGINT, &cleanup, &previousInterrupt);
        sigaction(SIGTERM, &cleanup, &previousTerminate);
        pendingArmed = 1;
        installed_ = true;
    }
    ~PendingName() {
        pendingArmed = 0;
        if (installed_) {
            sigaction(SIGINT, &previousInterrupt, nullptr);
            sigaction(SIGTERM, &previousTerminate, nullptr);
        }
    }
    PendingName(const PendingName&) = delete;
    PendingName& operator=(const PendingName&) = delete;

private:
    bool installed_ = false;
};

std::string TemporaryStem(const std::string& target) {
    return FolderPrefix(target) + "." + BaseName(target) + std::string(kTemporaryMark) +
           std::to_string(getpid()) + "-";
}

// Leftovers of saves that were killed: only this user's plain files with the mark in their
// name, whose saver is gone.
void RemoveLeftovers(const std::string& target) {
    const std::string folder = FolderOf(target);
    const std::string start = "." + BaseName(target) + std::string(kTemporaryMark);
    DIR* listing = SystemCalls().Opendir(folder.c_str());
    if (listing == nullptr) {
        return;
    }
    while (const dirent* entry = SystemCalls().Readdir(listing)) {
        const std::string name = entry->d_name;
        if (!name.starts_with(start)) {
            continue;
        }
        const long saver = std::strtol(name.c_str() + start.size(), nullptr, 10);
        struct stat status;
        if (saver > 0 && kill(static_cast<pid_t>(saver), 0) != 0 && errno == ESRCH &&
            fstatat(dirfd(listing), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode) && status.st_uid == geteuid() && status.st_nlink == 1) {
            unlinkat(dirfd(listing), name.c_str(), 0);
        }
    }
    SystemCalls().Closedir(listing);
}

// Makes the rename itself durable, as far as the folder allows. The new content is in place and
// visible by then, so nothing that goes wrong here may be reported as a failed save: the user
// would take the old cycle to be still on disk. A folder that cannot be opened for reading
// (write and search rights only) or flushed just goes without this extra flush.
void SyncFolder(const std::string& path) {
    const int fd =
        SystemCalls().Open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) {
        return;
    }
    SystemCalls().Fsync(fd);
    SystemCalls().Close(fd);
}

// How a save by rename ended: done, failed with `error`, or given up for writing in place
// because of `inPlace`, with nothing changed.
struct RenameOutcome {
    std::optional<Error> error;
    std::string inPlace;
};

// Why a rename into the folder was refused, when the folder is what refused it.
std::string WhyRenameRefused(int code, const Target& target) {
    if (code == EBUSY || code == EXDEV) {
        return BaseName(target.path) + " is a mount point";
    }
    if (code == EPERM || code == EACCES) {
        struct stat folder;
        return stat(FolderOf(target.path).c_str(), &folder) == 0 && (folder.st_mode & S_ISVTX)
                   ? "the folder allows only its owner to replace files"
                   : "the folder allows no file in it to be replaced";
    }
    return {};
}

// Puts the complete new file, named `temporary`, in the old one's place.
RenameOutcome MoveIntoPlace(const std::string& temporary, const Target& target) {
    RenameOutcome outcome;
    if (SystemCalls().Rename(temporary.c_str(), target.path.c_str()) != 0) {
        const int code = errno;
        outcome.inPlace = target.exists ? WhyRenameRefused(code, target) : std::string();
        if (outcome.inPlace.empty()) {
            outcome.error = PosixError(code);
        }
        SystemCalls().Unlink(temporary.c_str());
        return outcome;
    }
    SyncFolder(target.path);
    return outcome;
}

// Fills the new file and carries the old one's access over; true when it is ready to be named.
bool Fill(int fd, const std::string& bytes, const Target& target, RenameOutcome& outcome) {
    if ((outcome.error = WriteAll(fd, bytes))) {
        return false;
    }
    outcome.inPlace = CarryAccess(fd, target, outcome.error);
    if (outcome.error || !outcome.inPlace.empty()) {
        return false;
    }
    if (SystemCalls().Fsync(fd) != 0) {
        outcome.error = LastError();
        return false;
    }
    return true;
}

// The file gets no name until it is complete, so that a save killed before leaves nothing. A
// new cycle file is named at once; an old one is replaced through a short-lived name.
std::optional<RenameOutcome> SaveThroughUnnamed(const Target& target, const std::string& bytes) {
    const int fd = SystemCalls().OpenUnnamed(FolderOf(target.path).c_str());
    if (fd < 0) {
        return std::nullopt; // no such files here: a named one instead
    }
    RenameOutcome outcome;
    if (!Fill(fd, bytes, target, outcome)) {
        SystemCalls().Close(fd);
        return outcome;
    }
    if (!target.exists) {
        if (SystemCalls().LinkUnnamed(fd, target.path.c_str()) != 0) {
            const int code = errno;
            SystemCalls().Close(fd);
            // Without /proc the file cannot be named this way: a named one instead.
            return code == ENOENT ? std::nullopt
                                  : std::optional(RenameOutcome{PosixError(code), {}});
        }
        if (SystemCalls().Close(fd) != 0) {
            outcome.error = LastError();
        }
        SyncFolder(target.path);
        return outcome;
    }
    const std::string stem = TemporaryStem(target.path);
    for (int tries = 0; tries < kTemporaryNameTries; ++tries) {
        const std::string temporary = stem + std::to_string(std::rand());
        const PendingName pending(temporary);
        if (SystemCalls().LinkUnnamed(fd, temporary.c_str()) != 0) {
            if (errno == EEXIST) {
                continue;
            }
            const int code = errno;
            SystemCalls().Close(fd);
            // Without /proc the file cannot be named this way: a named one instead.
            return code == ENOENT ? std::nullopt
                                  : std::optional(RenameOutcome{PosixError(code), {}});
        }
        if (SystemCalls().Close(fd) != 0) {
            outcome.error = LastError();
            SystemCalls().Unlink(temporary.c_str());
            return outcome;
        }
        return MoveIntoPlace(temporary, target);
    }
    SystemCalls().Close(fd);
    return RenameOutcome{PosixError(EEXIST), {}};
}

RenameOutcome SaveThroughNamed(const Target& target, const std::string& bytes) {
    std::string temporary = TemporaryStem(target.path) + "XXXXXX";
    RenameOutcome outcome;
    const int fd = SystemCalls().MakeTemporary(temporary.data());
    if (fd < 0) {
        const int code = errno;
        if (!target.exists) {
            outcome.error = code == ENOENT ? Missing(target.path) : PosixError(code);
        } else {
            outcome.inPlace =
                std::string("no new file can be made in the folder (") + std::strerror(code) + ")";
        }
        return outcome;
    }
    const PendingName named(temporary);
    const bool filled = Fill(fd, bytes, target, outcome);
    if (SystemCalls().Close(fd) != 0 && filled) {
        outcome.error = LastError();
    }
    if (!filled || outcome.error) {
        SystemCalls().Unlink(temporary.c_str());
        return outcome;
    }
    return MoveIntoPlace(temporary, target);
}

// Writes into the file itself: its inode, and with it every right, link and mount, stays. The
// old bytes are kept until the new ones are flushed and put back if anything fails.
std::optional<Error> WriteInPlace(const Target& target, const std::string& bytes,
                                  const std::string& why) {
    const auto failed = [&](Error error) {
        error.detail += " (written in place, as " + why + ")";
        return error;
    };
    const int fd =
        SystemCalls().Open(target.path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0);
    if (fd < 0) {
        return failed(LastError());
    }
    struct stat opened;
    std::string old;
    std::optional<Error> error;
    if (SystemCalls().Fstat(fd, &opened) != 0) {
        error = LastError();
    } else if (opened.st_dev != target.status.st_dev || opened.st_ino != target.status.st_ino) {
        error = PosixError(EAGAIN, "the file was replaced while it was being saved");
    } else {
        error = ReadToEnd(fd, std::numeric_limits<std::size_t>::max() / 2, old);
    }
    const auto rewrite = [&](const std::string& content) -> std::optional<Error> {
        if (lseek(fd, 0, SEEK_SET) != 0) {
            return LastError();
        }
        if (auto writeFailed = WriteAll(fd, content)) {
            return writeFailed;
        }
        if (SystemCalls().Ftruncate(fd, static_cast<off_t>(content.size())) != 0 ||
            SystemCalls().Fsync(fd) != 0) {
            return LastError();
        }
        return std::nullopt;
    };
    // SIGINT and SIGTERM wait until the file holds one whole content again; only SIGKILL or
    // a crash in the middle can leave a mix of old and new bytes.
    sigset_t deferred;
    sigset_t previous;
    sigemptyset(&deferred);
    sigaddset(&deferred, SIGINT);
    sigaddset(&deferred, SIGTERM);
    sigprocmask(SIG_BLOCK, &deferred, &previous);
    if (!error && (error = rewrite(bytes))) {
        rewrite(old);
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    // Once the new bytes are flushed a failing close changes nothing: they are on disk.
    SystemCalls().Close(fd);
    return error ? std::optional(failed(*error)) : std::nullopt;
}

} // namespace

Result<std::string> ReadWholeFile(const std::string& nativePath, std::size_t maxBytes) {
    const int fd = SystemCalls().Open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0);
    if (fd < 0) {
        return (errno == ENOENT ? Missing(nativePath) : LastError()).At(nativePath);
    }
    std::string bytes;
    std::optional<Error> error = ReadToEnd(fd, maxBytes, bytes);
    SystemCalls().Close(fd);
    if (error) {
        return std::move(*error).At(nativePath);
    }
    return bytes;
}

namespace {

std::optional<Error> ReplaceContent(const std::string& nativePath, const std::string& bytes) {
    Target target;
    if (auto failed = ResolveLinks(nativePath, target)) {
        return failed;
    }
    std::string inPlace;
    if (target.exists) {
        if (auto refused = CheckIsRegular(target.status)) {
            return refused;
        }
        // The owner's write bit, not access(): root passes access() for every file, and a
        // file its owner marked read-only is not to be rewritten by anyone.
        if ((target.status.st_mode & S_IWUSR) == 0) {
            return PosixError(EACCES, "Permission denied: the file is read-only");
        }
        // Neither way may replace a file the user may not write to.
        if (SystemCalls().CheckWritable(target.path.c_str()) != 0) {
            Error error = LastError();
            // A read-only mount on the file itself is the obstacle to name.
            if (IsMountPoint(target)) {
                error.detail += ": " + BaseName(target.path) + " is a mount point";
            }
            return error;
        }
        inPlace = WhyInPlace(target);
    }
    if (inPlace.empty()) {
        RemoveLeftovers(target.path);
        std::optional<RenameOutcome> outcome = SaveThroughUnnamed(target, bytes);
        if (!outcome) {
            outcome = SaveThroughNamed(target, bytes);
        }
        if (outcome->inPlace.empty()) {
            return outcome->error;
        }
        inPlace = outcome->inPlace;
    }
    return WriteInPlace(target, bytes, inPlace);
}

} // namespace

Result<void> ReplaceFileContent(const std::string& nativePath, const std::string& bytes) {
    std::optional<Error> error = ReplaceContent(nativePath, bytes);
    if (error) {
        return std::move(*error).At(nativePath);
    }
    return {};
}

} // namespace rotaline
