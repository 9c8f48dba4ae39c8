// Makes the benchmarks' install folders under one scratch folder, removed when the program ends.
#include "BenchData.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace rotaline::bench {
namespace {

class ScratchFolder {
public:
    ScratchFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/rotaline-bench-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a scratch folder from " + pattern);
        }
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// A static, so that the folder goes when main returns, after the last benchmark.
const std::string& ScratchRoot() {
    static const ScratchFolder root;
    return root.Path();
}

void MakeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
        throw std::runtime_error("cannot make " + path);
    }
}

void WriteFile(const std::string& path, const std::string& bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw std::runtime_error("cannot write " + path);
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t put = write(fd, bytes.data() + written, bytes.size() - written);
        if (put <= 0) {
            close(fd);
            throw std::runtime_error("cannot write " + path);
        }
        written += static_cast<std::size_t>(put);
    }
    close(fd);
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

std::string UpperCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

} // namespace

std::vector<std::string> MapNames(int count) {
    static const char* const kPrefixes[] = {"de_",   "cs_", "aim_", "fy_", "awp_", "ka_",
                                            "surf_", "DE_", "Cs_",  "dm_", "ctf_", "zm_"};
    static const char* const kWords[] = {
        "dust",  "aztec",  "italy",  "office",  "nuke",  "train",   "inferno", "mirage",
        "cbble", "havana", "estate", "prodigy", "Storm", "vertigo", "assault", "militia"};
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        names.push_back(std::string(kPrefixes[k % 12]) + kWords[(k / 12) % 16] + std::to_string(k));
    }
    std::mt19937 scramble(20240501);
    std::shuffle(names.begin(), names.end(), scramble);
    return names;
}

const ModFolder& ModWithMaps(int count) {
    static std::map<int, std::unique_ptr<ModFolder>> made;
    std::unique_ptr<ModFolder>& slot = made[count];
    if (slot) {
        return *slot;
    }
    auto data = std::make_unique<ModFolder>();
    data->install = ScratchRoot() + "/mod-" + std::to_string(count);
    data->mod = "valve";
    const std::string modFolder = data->install + "/" + data->mod;
    data->mapsFolder = modFolder + "/maps";
    data->fullCycle = modFolder + "/full-cycle.txt";
    MakeFolder(data->install);
    MakeFolder(modFolder);
    MakeFolder(data->mapsFolder);

    data->maps = MapNames(count);
    for (const std::string& map : data->maps) {
        WriteFile(data->mapsFolder + "/" + map + ".bsp", {});
    }
    for (int k = 0; k < count / 2; ++k) {
        const std::string& map = data->maps[static_cast<std::size_t>(k)];
        data->cycle.push_back(k % 7 == 0 ? UpperCase(map) : map);
    }
    WriteFile(modFolder + "/mapcycle.txt", JoinLines(data->cycle));
    WriteFile(data->fullCycle, JoinLines(data->maps));
    slot = std::move(data);
    return *slot;
}

const InstallFolder& InstallWithMods(int count) {
    static std::map<int, std::unique_ptr<InstallFolder>> made;
    std::unique_ptr<InstallFolder>& slot = made[count];
    if (slot) {
        return *slot;
    }
    auto data = std::make_unique<InstallFolder>();
    data->install = ScratchRoot() + "/install-" + std::to_string(count);
    MakeFolder(data->install);
    for (const char* file : {"hl.exe", "readme.txt", "Half-Life.url"}) {
        WriteFile(data->install + "/" + file, "x");
    }
    for (int k = 0; k < count / 32; ++k) {
        const std::string mod = (k % 3 == 0 ? "Mod" : "mod") + std::to_string(k);
        const std::string folder = data->install + "/" + mod;
        MakeFolder(folder);
        MakeFolder(folder + "/maps");
        for (const char* file : {"liblist.gam", "server.cfg", "motd.txt", "settings.scr"}) {
            WriteFile(folder + "/" + file, "x");
        }
        if (k % 2 == 0) {
            WriteFile(folder + "/mapcycle.txt", "crossfire\r\n");
            data->modsWithCycle.push_back(mod);
        }
    }
    std::sort(data->modsWithCycle.begin(), data->modsWithCycle.end());
    slot = std::move(data);
    return *slot;
}

const SaveFolder& FolderToSaveInto() {
    static const SaveFolder folder = [] {
        SaveFolder made;
        made.install = ScratchRoot() + "/save";
        made.mod = "valve";
        MakeFolder(made.install);
        MakeFolder(made.install + "/" + made.mod);
        made.cyclePath = made.install + "/" + made.mod + "/mapcycle.txt";
        WriteFile(made.cyclePath, "crossfire\r\n");
        return made;
    }();
    return folder;
}

} // namespace rotaline::bench
