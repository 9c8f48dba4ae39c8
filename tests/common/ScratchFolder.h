// A scratch folder for one test, removed with all it holds afterwards; the same on both systems.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

// Made under ROTALINE_TEST_FOLDER when that is set (under Wine: a folder on Z:, the host's root),
// else in the temporary folder. Paths are the system's own: backslash-joined on Windows.
class ScratchFolder {
public:
    static constexpr char kSeparator =
        static_cast<char>(std::filesystem::path::preferred_separator);
    ScratchFolder() {
        const char* chosen = std::getenv("ROTALINE_TEST_FOLDER");
        const auto base = chosen != nullptr ? std::filesystem::path(chosen)
                                            : std::filesystem::temp_directory_path();
        std::filesystem::create_directories(base);
        do {
            path_ = (base / ("rotaline-test-" + std::to_string(std::random_device()())))
                        .make_preferred()
                        .string();
        } while (!std::filesystem::create_directory(path_));
    }
    // Tests take rights away from folders, and Windows deletes no read-only file: the rights
    // are given back so that the removal can enter and delete. Links are not followed out.
    ~ScratchFolder() {
        namespace fs = std::filesystem;
        std::error_code ignored;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        for (auto entry = fs::recursive_directory_iterator(path_, ignored);
             entry != fs::recursive_directory_iterator(); entry.increment(ignored)) {
            if (!entry->is_symlink(ignored)) {
                fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add,
                                ignored);
            }
        }
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + kSeparator + name; }

    // `mark`: the mode bits on POSIX, the attributes on Windows; 0 leaves the defaults.
    void Write(const std::string& name, const std::string& bytes, unsigned mark = 0) const {
        std::ofstream(*this / name, std::ios::binary) << bytes;
        Mark(*this / name, mark);
    }
    void MakeFolder(const std::string& name, unsigned mark = 0) const {
        std::filesystem::create_directory(*this / name);
        Mark(*this / name, mark);
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Every name in a folder, hidden ones included, sorted.
    static std::vector<std::string> Entries(const std::string& folder) {
        std::vector<std::string> names;
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    static void Mark(const std::string& path, unsigned mark) {
        if (mark != 0) {
#ifdef _WIN32
            SetFileAttributesA(path.c_str(), mark);
#else
            chmod(path.c_str(), mark);
#endif
        }
    }
    std::string path_;
};
