// The search for a Half-Life install among Steam's library folders and SteamCMD's usual places.
#include "core/session/InstallSearch.h"

#include "core/platform/TextFile.h"
#include "core/settings/VdfReader.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace rotaline {

namespace {

// Steam's library list is a few hundred bytes; anything far larger is not one.
constexpr std::size_t kMaxLibraryFileBytes = 1024 * 1024;

// Library paths are joined with further parts, so a trailing slash would double at the join.
std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

bool IsDecimal(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Today's file lists each library as a numbered block holding a "path"; files older than 2021
// give the path as the numbered key's own value. Libraries come in file order.
std::vector<std::string> LibrariesListedIn(const VdfNode& list) {
    std::vector<std::string> libraries;
    for (const VdfNode& entry : list.children) {
        if (entry.block) {
            const VdfNode* path = entry.Find("path");
            if (path != nullptr && !path->block && !path->value.empty()) {
                libraries.push_back(path->value);
            }
        } else if (IsDecimal(entry.key) && !entry.value.empty()) {
            libraries.push_back(entry.value);
        }
    }
    return libraries;
}

// A missing, unreadable or damaged library file lists nothing; the root is still tried.
std::vector<std::string> SteamLibraries(const std::string& root) {
    std::vector<std::string> libraries;
    const Result<std::string> file =
        ReadWholeFile(root + "/steamapps/libraryfolders.vdf", kMaxLibraryFileBytes);
    if (file) {
        const VdfDocument document = ReadVdf(*file);
        const VdfNode* list = document.root.Find("libraryfolders");
        if (list != nullptr && list->block) {
            libraries = LibrariesListedIn(*list);
        }
    }
    libraries.push_back(root);
    return libraries;
}

void AddOnce(std::vector<std::string>& candidates, const std::string& library) {
    const std::string folder = WithoutTrailingSlashes(library) + "/steamapps/common/Half-Life";
    if (std::find(candidates.begin(), candidates.end(), folder) == candidates.end()) {
        candidates.push_back(folder);
    }
}

} // namespace

std::vector<std::string> HalfLifeFolderCandidates(const std::string& home) {
    const std::string base = WithoutTrailingSlashes(home);
    const std::string steamRoots[] = {
        base + "/.local/share/Steam",
        base + "/.steam/steam",
        base + "/.steam/root",
        base + "/.var/app/com.valvesoftware.Steam/.local/share/Steam",
    };
    const std::string steamCmdRoots[] = {base + "/Steam", base + "/.steam/steamcmd"};

    std::vector<std::string> candidates;
    for (const std::string& root : steamRoots) {
        for (const std::string& library : SteamLibraries(root)) {
            AddOnce(candidates, library);
        }
    }
    for (const std::string& root : steamCmdRoots) {
        AddOnce(candidates, root);
    }
    return candidates;
}

bool HoldsModFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        const std::string name = entries->path().filename().string();
        std::error_code ignored;
        if (!name.starts_with(".") && entries->is_directory(ignored)) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> FindHalfLifeFolder(const std::string& home) {
    for (const std::string& candidate : HalfLifeFolderCandidates(home)) {
        if (HoldsModFolder(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

} // namespace rotaline
