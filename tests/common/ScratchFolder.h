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
        auto base = chosen ? std::filesystem::path(chosen) : std::filesystem::temp_directory_path();
        std::filesystem::create_directories(base.make_preferred());
        do {
            path_ = (base / ("rotaline-test-" + std::to_string(std::random_device()()))).string();
        } while (!std::filesystem::create_directory(path_));
    }
    // Tests take rights away from folders, and Windows deletes no read-only file: the rights
    // are given back so that the removal can enter and delete. Links are not followed out.
    ~ScratchFolder() {
        namespace fs = std::filesystem;
        std::error_code no;
        const auto opts = fs::perm_options::add | fs::perm_options::nofollow;
        fs::permissions(path_, fs::perms::owner_all, opts, no);
        for (auto it = fs::recursive_directory_iterator(path_, no); it != decltype(it)();
             it.increment(no)) {
            fs::permissions(it->path(), fs::perms::owner_all, opts, no);
        }
        fs::remove_all(path_, no);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + kSeparator + name; }

    // `mark`: the mode bits on POSIX, the attributes on Windows; 0 leaves the defaults.
    void Write(const std::string& name, const std::string& bytes, unsigned mark = 0) const {
        std::ofstream(*this / name, std::ios::binary) << bytes;
        if (mark != 0) {
#ifdef _WIN32
            SetFileAttributesA((*this / name).c_str(), mark);
#else
            chmod((*this / name).c_str(), mark);
#endif
        }
    }
    void MakeFolder(const std::string& name) const {
        std::filesystem::create_directory(*this / name);
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Every name in a folder, hidden ones included, sorted.
    static std::vector<std::string> Entries(const std::string& folder) {
        std::vector<std::string> names;
        std::error_code no;
        for (const auto& entry : std::filesystem::directory_iterator(folder, no)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string path_;
};
