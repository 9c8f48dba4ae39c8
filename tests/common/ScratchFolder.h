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

namespace fs = std::filesystem;

// Made under ROTALINE_TEST_FOLDER when that is set (under Wine: a folder on Z:, the host's root),
// else in the temporary folder. Paths are the system's own: backslash-joined on Windows.
class ScratchFolder {
public:
    ScratchFolder() {
        const char* chosen = std::getenv("ROTALINE_TEST_FOLDER");
        auto base = chosen ? fs::path(chosen) : fs::temp_directory_path();
        auto name = "rotaline-test-" + std::to_string(std::random_device()());
        fs::create_directories(path_ = (base / name).make_preferred().string());
    }
    // Tests take rights away from folders, and Windows deletes no read-only file: the rights
    // are given back so that the removal can enter and delete. Links are not followed out.
    ~ScratchFolder() {
        std::error_code no;
        const auto opts = fs::perm_options::add | fs::perm_options::nofollow;
        for (fs::recursive_directory_iterator it(path_, no), end; it != end; it.increment(no)) {
            fs::permissions(it->path(), fs::perms::owner_all, opts, no);
        }
        fs::remove_all(path_, no);
    }
    ScratchFolder(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const {
        return (fs::path(path_) / name).make_preferred().string();
    }

    void MakeFolder(const std::string& name) const { fs::create_directory(*this / name); }
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
    static std::string Read(const std::string& path) {
        return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
    }
    // Every name in a folder, hidden ones included, sorted.
    static std::vector<std::string> Entries(const std::string& folder) {
        std::vector<std::string> names;
        std::error_code no;
        for (const auto& entry : fs::directory_iterator(folder, no)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string path_;
};
using TempFolder = ScratchFolder; // the name older tests know it by
