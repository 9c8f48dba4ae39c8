// Benchmarks of the core: opening a mod, discovery, the editing operations and saving.
#include "BenchData.h"
#include "FakeWindowSystem.h"
#include "core/cycle/MapCycleFile.h"
#include "core/lists/EditingOperations.h"
#include "core/platform/Paths.h"
#include "core/session/Globals.h"
#include "core/session/OpenMod.h"
#include "core/session/Startup.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace rotaline::bench {
namespace {

using testing::FakeWindowSystem;

constexpr int kSmall = 1000;
constexpr int kLarge = 32767;

void AtBothSizes(benchmark::internal::Benchmark* bench) {
    bench->Arg(kSmall)->Arg(kLarge)->UseRealTime()->Unit(benchmark::kMicrosecond);
}

std::vector<std::string> Items(const SelectableList& list) {
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(list.ListCount()));
    for (std::int16_t i = 0; i < list.ListCount(); ++i) {
        items.push_back(list.List(i));
    }
    return items;
}

bool IsSortedList(const SelectableList& list) {
    for (std::int16_t i = 1; i < list.ListCount(); ++i) {
        if (SelectableList::CompareForSort(list.List(static_cast<std::int16_t>(i - 1)),
                                           list.List(i)) > 0) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> Sorted(std::vector<std::string> items) {
    std::sort(items.begin(), items.end());
    return items;
}

bool EndsWithBsp(std::string_view name) {
    if (name.size() < 4) {
        return false;
    }
    const std::string_view end = name.substr(name.size() - 4);
    return end[0] == '.' && (end[1] | 0x20) == 'b' && (end[2] | 0x20) == 's' &&
           (end[3] | 0x20) == 'p';
}

// The least that opening must do: list the maps folder into names and read a cycle file into
// lines. No pattern matching beyond the ending, no kinds of entry, no sorting, no lists.
void BM_IoFloor(benchmark::State& state) {
    const ModFolder& data = ModWithMaps(static_cast<int>(state.range(0)));
    std::vector<std::string> names;
    std::vector<std::string> lines;
    for (auto _ : state) {
        names.clear();
        lines.clear();
        DIR* folder = opendir(data.mapsFolder.c_str());
        if (folder == nullptr) {
            state.SkipWithError("cannot list the maps");
            break;
        }
        while (const dirent* entry = readdir(folder)) {
            if (EndsWithBsp(entry->d_name)) {
                names.emplace_back(entry->d_name);
            }
        }
        closedir(folder);

        const int fd = open(data.fullCycle.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat status;
        if (fd < 0 || fstat(fd, &status) != 0) {
            state.SkipWithError("cannot open the cycle");
            break;
        }
        std::string bytes(static_cast<std::size_t>(status.st_size), '\0');
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t part = read(fd, bytes.data() + got, bytes.size() - got);
            if (part <= 0) {
                break;
            }
            got += static_cast<std::size_t>(part);
        }
        close(fd);
        for (std::size_t start = 0; start < bytes.size();) {
            const std::size_t cr = bytes.find('\r', start);
            const std::size_t end = cr == std::string::npos ? bytes.size() : cr;
            lines.emplace_back(bytes, start, end - start);
            start = end + 1;
            if (start < bytes.size() && bytes[start] == '\n') {
                ++start;
            }
        }
        benchmark::DoNotOptimize(names.data());
        benchmark::DoNotOptimize(lines.data());
    }
    if (names.size() != data.maps.size() || lines.size() != data.maps.size()) {
        state.SkipWithError("the floor did not read every map and line");
    }
}
BENCHMARK(BM_IoFloor)->Apply(AtBothSizes);

void BM_OpenMod(benchmark::State& state) {
    const ModFolder& data = ModWithMaps(static_cast<int>(state.range(0)));
    InstallPath = data.install;
    SelectableList lstModList{SelectionStyle::Single, false};
    lstModList.AddItem(data.mod);
    lstModList.SetListIndex(0);
    FakeWindowSystem windows;
    windows.chooser->Show();
    for (auto _ : state) {
        cmdEdit_Click(lstModList, windows);
        // The next opening starts from a new editor, as it does after Close.
        state.PauseTiming();
        const bool opened = windows.editor && windows.editor->visible;
        if (opened) {
            windows.Unload(*windows.editor);
            windows.forms.resize(1); // frees the unloaded editor
            windows.chooser->Show();
        }
        state.ResumeTiming();
        if (!opened) {
            break;
        }
    }
    if (!windows.messages.shown.empty()) {
        state.SkipWithError(("the editor said: " + windows.messages.shown.front().text).c_str());
        return;
    }
    cmdEdit_Click(lstModList, windows);
    const EditorLists& lists = windows.editor->lists;
    const std::size_t inCycle = data.cycle.size();
    std::vector<std::string> available(data.maps.begin() + static_cast<std::ptrdiff_t>(inCycle),
                                       data.maps.end());
    if (Items(lists.lstMap) != data.cycle || !IsSortedList(lists.lstBSP) ||
        Sorted(Items(lists.lstBSP)) != Sorted(available) ||
        lists.Label1.Text() !=
            "All Half Life Maps (" + std::to_string(available.size()) + " maps)" ||
        lists.Label2.Text() != "Map Cycle File (" + std::to_string(inCycle) + " maps)") {
        state.SkipWithError("the editor does not hold the mod's maps and cycle");
    }
}
BENCHMARK(BM_OpenMod)->Apply(AtBothSizes);

void BM_Discover(benchmark::State& state) {
    const InstallFolder& data = InstallWithMods(static_cast<int>(state.range(0)));
    SelectableList lstModList{SelectionStyle::Single, false};
    FakeWindowSystem windows;
    for (auto _ : state) {
        Form_Load(lstModList, windows, data.install);
    }
    if (!windows.messages.shown.empty() || Sorted(Items(lstModList)) != data.modsWithCycle) {
        state.SkipWithError("discovery did not find exactly the mods with a cycle");
    }
}
BENCHMARK(BM_Discover)->Apply(AtBothSizes);

// Both lists hold half the maps, every item selected.
struct HalfAndHalf {
    explicit HalfAndHalf(int count) {
        std::vector<std::string> names = MapNames(count);
        const auto middle = names.begin() + count / 2;
        available.assign(names.begin(), middle);
        std::sort(available.begin(), available.end(), [](const auto& a, const auto& b) {
            return SelectableList::CompareForSort(a, b) < 0;
        });
        cycle.assign(middle, names.end());
    }
    void Fill(EditorLists& lists) const {
        lists.lstBSP.ReplaceAll(available);
        lists.lstMap.ReplaceAll(cycle);
        SelectAll(lists.lstBSP);
        SelectAll(lists.lstMap);
    }
    static void SelectAll(SelectableList& list) {
        if (list.ListCount() > 0) {
            list.SetSelectedRange(0, static_cast<std::int16_t>(list.ListCount() - 1), true);
        }
    }
    std::vector<std::string> available; // in sorted order
    std::vector<std::string> cycle;
};

void BM_Move(benchmark::State& state) {
    const HalfAndHalf data(static_cast<int>(state.range(0)));
    EditorLists lists;
    for (auto _ : state) {
        state.PauseTiming();
        data.Fill(lists);
        state.ResumeTiming();
        cmdMove_Click(lists);
    }
    std::vector<std::string> expected = data.available;
    expected.insert(expected.end(), data.cycle.begin(), data.cycle.end());
    if (lists.lstBSP.ListCount() != 0 || Items(lists.lstMap) != expected ||
        lists.lstMap.SelCount() != static_cast<std::int16_t>(data.cycle.size()) ||
        lists.Label1.Text() != "All Half Life Maps (0 maps)") {
        state.SkipWithError("Move did not put every map at the head of the cycle");
    }
}
BENCHMARK(BM_Move)->Apply(AtBothSizes);

void BM_Remove(benchmark::State& state) {
    const HalfAndHalf data(static_cast<int>(state.range(0)));
    EditorLists lists;
    for (auto _ : state) {
        state.PauseTiming();
        data.Fill(lists);
        state.ResumeTiming();
        cmdRemove_Click(lists);
    }
    std::vector<std::string> all = data.available;
    all.insert(all.end(), data.cycle.begin(), data.cycle.end());
    if (lists.lstMap.ListCount() != 0 || !IsSortedList(lists.lstBSP) ||
        Sorted(Items(lists.lstBSP)) != Sorted(all) ||
        lists.lstBSP.SelCount() != static_cast<std::int16_t>(data.available.size()) ||
        lists.Label2.Text() != "Map Cycle File (0 maps)") {
        state.SkipWithError("Remove did not put every map back in sorted order");
    }
}
BENCHMARK(BM_Remove)->Apply(AtBothSizes);

void SelectOnly(SelectableList& list, std::int16_t index) {
    list.ClearSelection();
    list.SetSelected(index, true);
    list.SetListIndex(index);
}

// Up with the last map selected, or Down with the first: the move that walks the whole list.
void MoveOnePlace(benchmark::State& state, bool up) {
    const std::vector<std::string> names = MapNames(static_cast<int>(state.range(0)));
    const auto count = static_cast<std::int16_t>(names.size());
    const auto from = static_cast<std::int16_t>(up ? count - 1 : 0);
    const auto to = static_cast<std::int16_t>(up ? count - 2 : 1);
    SelectableList lstMap{SelectionStyle::Extended, false};
    lstMap.ReplaceAll(names);
    for (auto _ : state) {
        state.PauseTiming();
        SelectOnly(lstMap, from);
        state.ResumeTiming();
        if (up) {
            cmdUP_Click(lstMap);
        } else {
            cmdDown_Click(lstMap);
        }
    }
    lstMap.ReplaceAll(names);
    SelectOnly(lstMap, from);
    if (up) {
        cmdUP_Click(lstMap);
    } else {
        cmdDown_Click(lstMap);
    }
    std::vector<std::string> expected = names;
    std::swap(expected[static_cast<std::size_t>(from)], expected[static_cast<std::size_t>(to)]);
    if (Items(lstMap) != expected || lstMap.SelCount() != 1 || !lstMap.Selected(to) ||
        lstMap.ListIndex() != to) {
        state.SkipWithError("the map did not move one place and stay the only one selected");
    }
}

void BM_Up(benchmark::State& state) {
    MoveOnePlace(state, true);
}
BENCHMARK(BM_Up)->Apply(AtBothSizes);

void BM_Down(benchmark::State& state) {
    MoveOnePlace(state, false);
}
BENCHMARK(BM_Down)->Apply(AtBothSizes);

void BM_Randomize(benchmark::State& state) {
    const std::vector<std::string> names = MapNames(static_cast<int>(state.range(0)));
    SelectableList lstMap{SelectionStyle::Extended, false};
    lstMap.ReplaceAll(names);
    const std::unique_ptr<RandomSource> random = MakeClockRandomSource();
    for (auto _ : state) {
        cmdRandom_Click(lstMap, *random);
    }
    lstMap.ReplaceAll(names);
    cmdRandom_Click(lstMap, *random);
    const std::vector<std::string> shuffled = Items(lstMap);
    if (shuffled[names.size() / 2] != names.front() || Sorted(shuffled) != Sorted(names) ||
        lstMap.SelCount() != 0) {
        state.SkipWithError("the shuffle lost maps or did not put the first one in the middle");
    }
}
BENCHMARK(BM_Randomize)->Apply(AtBothSizes);

std::string ReadBytes(const std::string& path) {
    std::string bytes;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return bytes;
    }
    char buffer[65536];
    ssize_t got = 0;
    while ((got = read(fd, buffer, sizeof buffer)) > 0) {
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    close(fd);
    return bytes;
}

// The save by rename: the file compared under its lock, then a temporary file, flushed to
// disk, renamed over the old one.
void BM_Save(benchmark::State& state) {
    const SaveFolder& folder = FolderToSaveInto();
    const std::string cyclePath = NativePath(ModPaths{folder.install, folder.mod}.CyclePath());
    SelectableList lstMap{SelectionStyle::Extended, false};
    lstMap.ReplaceAll(MapNames(static_cast<int>(state.range(0))));
    std::string onDisk = ReadBytes(folder.cyclePath);
    for (auto _ : state) {
        Result<CycleWritten> saved = WriteMapCycle(cyclePath, lstMap, onDisk);
        if (!saved || saved->changedOnDisk) {
            state.SkipWithError("the save failed");
            return;
        }
        onDisk = std::move(saved->bytes);
    }
    if (ReadBytes(folder.cyclePath) != JoinCycleLines(lstMap)) {
        state.SkipWithError("the file does not hold the cycle");
    }
}
BENCHMARK(BM_Save)->Apply(AtBothSizes);

// The same save into a file with a second hard link, which it writes in place.
void BM_SaveInPlace(benchmark::State& state) {
    const std::string second = FolderToSaveInto().cyclePath + ".second";
    link(FolderToSaveInto().cyclePath.c_str(), second.c_str());
    BM_Save(state);
    unlink(second.c_str());
}
BENCHMARK(BM_SaveInPlace)->Apply(AtBothSizes);

} // namespace
} // namespace rotaline::bench
