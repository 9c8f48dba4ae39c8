// Lists a folder on POSIX systems under the DOS listing rules: masks, hidden names, "." and "..".
#include "core/platform/FolderListing.h"

#include "core/platform/AsciiCase.h"
#include "core/platform/Paths.h"
#include "core/platform/posix/FileSystemCalls.h"

#include <algorithm>
#include <cerrno>
#include <compare>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rotaline {

namespace {

enum class EntryKind { File, Folder, Other };

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
    if (SystemCalls().Fstatat(dirfd(folder), entry.d_name, &status) != 0) {
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

bool HasWildcards(std::string_view pattern) {
    return pattern.find_first_of("*?") != std::string_view::npos;
}

// A name without wildcards stands for one entry, so once the folder is open the entry is looked
// up directly instead of read out with all the others: start-up asks this of every mod folder.
// The folder is still opened as a listing opens it, so that a folder the listing could not read
// fails here in the same way.
std::vector<std::string> LookUpExactName(DIR* folder, std::string_view name, int mask) {
    std::vector<std::string> names;
    const bool listable = !name.empty() && !IsHidden(name) &&
                          name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
    struct stat status;
    // A failed look-up is an entry of no admitted kind, as a broken link is in a listing.
    if (listable && SystemCalls().Fstatat(dirfd(folder), std::string(name).c_str(), &status) == 0) {
        const EntryKind kind = S_ISREG(status.st_mode)   ? EntryKind::File
                               : S_ISDIR(status.st_mode) ? EntryKind::Folder
                                                         : EntryKind::Other;
        if (IsAdmitted(kind, mask)) {
            names.emplace_back(name);
        }
    }
    return names;
}

// NTFS keeps a folder's names in the order of their upper-case forms and lists them so; Windows
// users see mods in that order, so a listing here is put in it too. Names that differ only in
// case, which NTFS cannot hold side by side, keep a fixed order by their bytes.
void SortAsNtfsLists(std::vector<std::string>& names) {
    const auto upperCaseOrder = [](char x, char y) {
        return static_cast<unsigned char>(AsciiUpper(x)) <=>
               static_cast<unsigned char>(AsciiUpper(y));
    };
    std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        const auto order = std::lexicographical_compare_three_way(a.begin(), a.end(), b.begin(),
                                                                  b.end(), upperCaseOrder);
        return order != 0 ? order < 0 : a < b;
    });
}

} // namespace

Result<std::vector<std::string>> ListFolder(const std::string& pattern, int mask) {
    std::vector<std::string> names;
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

    DIR* stream = SystemCalls().Opendir(folder.c_str());
    if (stream == nullptr) {
        if (errno != ENOENT && errno != ENOTDIR) {
            return PosixError(errno).At(folder);
        }
        return names;
    }
    if (!HasWildcards(namePattern)) {
        names = LookUpExactName(stream, namePattern, mask);
        SystemCalls().Closedir(stream);
        return names;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = SystemCalls().Readdir(stream);
        if (entry == nullptr) {
            if (errno != 0) {
                Error error = PosixError(errno).At(folder);
                SystemCalls().Closedir(stream);
                return error;
            }
            break;
        }
        const std::string_view name = entry->d_name;
        if (IsHidden(name) || !IsAddressable(name) || !MatchesPattern(name, namePattern)) {
            continue;
        }
        if (IsAdmitted(KindOf(stream, *entry), mask)) {
            names.emplace_back(name);
        }
    }
    SystemCalls().Closedir(stream);
    SortAsNtfsLists(names);
    return names;
}

} // namespace rotaline
