// A scratch folder for one Windows test, removed with all it holds afterwards.
#pragma once

#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

// Made under ROTALINE_TEST_FOLDER when that is set (under Wine: a folder on Z:, the host's root),
// else in the user's temporary folder. Paths are the program's own: backslash-joined ANSI.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string base = BaseFolder();
        CreateDirectoryA(base.c_str(), nullptr);
        static unsigned counter = 0;
        for (int tries = 0; tries < 1000; ++tries) {
            const std::string path = base + "\\rotaline-test-" +
                                     std::to_string(GetCurrentProcessId()) + "-" +
                                     std::to_string(++counter);
            if (CreateDirectoryA(path.c_str(), nullptr)) {
                path_ = path;
                return;
            }
        }
        throw std::runtime_error("cannot make a scratch folder in " + base);
    }
    ~ScratchFolder() { RemoveAll(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

    // Writes `bytes` to a new file, then gives it `attributes` (0 leaves the defaults).
    void Write(const std::string& name, const std::string& bytes, DWORD attributes = 0) const {
        const HANDLE file = CreateFileA((*this / name).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            throw std::runtime_error("cannot write " + name);
        }
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        if (attributes != 0) {
            SetFileAttributesA((*this / name).c_str(), attributes);
        }
    }
    void MakeFolder(const std::string& name, DWORD attributes = 0) const {
        CreateDirectoryA((*this / name).c_str(), nullptr);
        if (attributes != 0) {
            SetFileAttributesA((*this / name).c_str(), attributes | FILE_ATTRIBUTE_DIRECTORY);
        }
    }

    static std::string Read(const std::string& path) {
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return "(cannot open " + path + ")";
        }
        std::string bytes;
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            bytes.append(buffer, got);
        }
        CloseHandle(file);
        return bytes;
    }
    // Every name in a folder, hidden ones included, "." and ".." left out, sorted.
    static std::vector<std::string> Entries(const std::string& folder) {
        std::vector<std::string> names;
        ForEachEntry(folder,
                     [&](const WIN32_FIND_DATAA& entry) { names.push_back(entry.cFileName); });
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    static std::string BaseFolder() {
        char chosen[MAX_PATH + 1];
        const DWORD chosenLength =
            GetEnvironmentVariableA("ROTALINE_TEST_FOLDER", chosen, sizeof chosen);
        std::string base;
        if (chosenLength > 0 && chosenLength < sizeof chosen) {
            base.assign(chosen, chosenLength);
        } else {
            char temp[MAX_PATH + 1];
            const DWORD length = GetTempPathA(sizeof temp, temp);
            base = std::string(temp, length) + "rotaline-tests";
        }
        std::replace(base.begin(), base.end(), '/', '\\');
        while (base.size() > 3 && base.back() == '\\') {
            base.pop_back();
        }
        return base;
    }

    template <typename Visit> static void ForEachEntry(const std::string& folder, Visit visit) {
        WIN32_FIND_DATAA entry;
        const HANDLE listing = FindFirstFileA((folder + "\\*").c_str(), &entry);
        if (listing == INVALID_HANDLE_VALUE) {
            return;
        }
        do {
            const std::string name = entry.cFileName;
            if (name != "." && name != "..") {
                visit(entry);
            }
        } while (FindNextFileA(listing, &entry));
        FindClose(listing);
    }

    // Read-only marks are taken off first: Windows deletes no read-only file.
    static void RemoveAll(const std::string& path) {
        ForEachEntry(path, [&](const WIN32_FIND_DATAA& entry) {
            const std::string child = path + "\\" + entry.cFileName;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                RemoveAll(child);
            } else {
                DeleteFileA(child.c_str());
            }
        });
        RemoveDirectoryA(path.c_str());
    }

    std::string path_;
};
