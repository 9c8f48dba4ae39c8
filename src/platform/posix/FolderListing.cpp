// Lists a folder on POSIX systems under the DOS listing rules: masks, hidden names, "." and "..".
#include "platform/FolderListing.h"
#include "platform/Paths.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace rotaline {

namespace {

enum class EntryKind { File, Folder, Other };

SystemError ErrorFromCode(int code) {
    return SystemError{code, std::strerror(code)};
}

// The kind the entry has once symbolic links are followed. d_type saves a stat call for
// plain files and folders, which in a large maps folder is nearly every entry.
EntryKind KindOf(DIR* folder, const dirent& entry) {
    switch (entry.d_type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN:
        break;
    default:
        return EntryKind::Other;
    }
    struct stat status;
    if (fstatat(dirfd(folder), entry.d_name, &status, 0) != 0) {
        return EntryKind::Other; // a broken or looping link is neither
    }
    if (S_ISREG(status.st_mode)) {
        return EntryKind::File;
    }
    return S_ISDIR(status.st_mode) ? EntryKind::Folder : EntryKind::Other;
}

// A leading dot is what hides a name here; "." and ".." are the folder and its parent, which
// the DOS listing reports like any folder.
bool IsHidden(std::string_view name) {
    return name.front() == '.' && name != "." && name != "..";
}

// The program joins its paths with backslashes, so a name holding one could never be opened
// through a path built from it.
bool IsAddressable(std::string_view name) {
    return name.find('\\') == std::string_view::npos;
}

bool IsAdmitted(EntryKind kind, int mask) {
    return kind == EntryKind::File || (kind == EntryKind::Folder && (mask & kAttrDirectory) != 0);
}

} // namespace

ListingResult ListFolder(const std::string& pattern, int mask) {
    ListingResult result;
    const std::size_t lastSeparator = pattern.rfind('\\');
    std::string folder = ".";
    std::string_view namePattern = pattern;
    if (lastSeparator != std::string::npos) {
        folder = NativePath(pattern.substr(0, lastSeparator));
        if (folder.empty()) {
            folder = "/"; // "\name": the root of the current drive
        }
        namePattern.remove_prefix(lastSeparator + 1);
    }

    DIR* stream = opendir(folder.c_str());
    if (stream == nullptr) {
        if (errno != ENOENT && errno != ENOTDIR) {
            result.error = ErrorFromCode(errno);
        }
        return result;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(stream);
        if (entry == nullptr) {
            if (errno != 0) {
                result.error = ErrorFromCode(errno);
                result.names.clear();
            }
            break;
        }
        const std::string_view name = entry->d_name;
        if (IsHidden(name) || !IsAddressable(name) || !MatchesPattern(name, namePattern)) {
            continue;
        }
        if (IsAdmitted(KindOf(stream, *entry), mask)) {
            result.names.emplace_back(name);
        }
    }
    closedir(stream);
    return result;
}

} // namespace rotaline
