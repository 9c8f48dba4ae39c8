// Times the Windows program's own windows under Wine or Windows: Edit, Move and Remove, each from
// the click until the windows have repainted; and, beside Edit, the reading of the mod's files
// alone that Edit cannot do without.  Usage: rotaline-win32-bench [RUNS [MAPS...]]
#include "core/cycle/MapCycleFile.h"
#include "core/cycle/ModMaps.h"
#include "core/lists/EditorLists.h"
#include "core/lists/SelectableList.h"
#include "core/platform/Paths.h"
#include "core/session/Globals.h"
#include "frontends/win32/FrmMods.h"
#include "frontends/win32/FrmRotaline.h"
#include "frontends/win32/Resources.h"
#include "frontends/win32/Win32WindowSystem.h"

#include "RecordingMessages.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace rotaline::win32 {
namespace {

double NowMs() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Map names as a large server has them: a few prefixes in either letter case, then a number, in
// a scrambled but fixed order.
std::vector<std::string> MapNames(int count) {
    const char* prefixes[] = {"de_", "CS_", "dm_", "Fy_", "aim_", "surf_"};
    std::vector<std::string> names;
    for (int k = 0; k < count; ++k) {
        const int scrambled = static_cast<int>((static_cast<long long>(k) * 7919) % count);
        names.push_back(prefixes[scrambled % 6] + std::string("map") + std::to_string(scrambled));
    }
    return names;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// An install folder with one mod, "valve", of `count` maps whose cycle names half of them. It is
// kept in the temporary folder for the next run: making 32,767 files under Wine takes minutes.
std::string MakeInstall(int count, const std::vector<std::string>& names) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string install = std::string(temp) + "rotaline-bench-" + std::to_string(count);
    CreateDirectoryA(install.c_str(), nullptr);
    CreateDirectoryA((install + "\\valve").c_str(), nullptr);
    CreateDirectoryA((install + "\\valve\\maps").c_str(), nullptr);
    std::string cycle;
    for (int k = 0; k < count; ++k) {
        const std::string map = install + "\\valve\\maps\\" + names[k] + ".bsp";
        if (GetFileAttributesA(map.c_str()) == INVALID_FILE_ATTRIBUTES) {
            WriteFile(map, "");
        }
        if (k % 2 == 0) {
            cycle += names[k] + "\r\n";
        }
    }
    WriteFile(install + "\\valve\\mapcycle.txt", cycle);
    return install;
}

std::vector<std::string> Items(const SelectableList& list) {
    std::vector<std::string> items;
    for (std::int16_t i = 0; i < list.ListCount(); ++i) {
        items.push_back(list.List(i));
    }
    return items;
}

struct Timing {
    double median;
    double least;
};

// Runs `prepare` (untimed) and `act` (timed) `runs` times.
Timing Measure(int runs, const std::function<void()>& prepare, const std::function<void()>& act) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        prepare();
        const double start = NowMs();
        act();
        times.push_back(NowMs() - start);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front()};
}

class Bench {
public:
    explicit Bench(const std::string& install) {
        if (!windows.Start(install)) {
            std::fprintf(stderr, "the chooser did not open\n");
            std::exit(1);
        }
        Settle();
        SendMessageA(windows.ChooserWindow()->Item(IDC_LSTMODLIST), LB_SETCURSEL, 0, 0);
        windows.ChooserWindow()->ModList().SetListIndex(0);
    }

    // What the click left queued, then every invalid part of both windows painted.
    void Settle() {
        windows.ProcessQueued();
        for (FormWindow* form : {static_cast<FormWindow*>(windows.ChooserWindow()),
                                 static_cast<FormWindow*>(windows.EditorWindow())}) {
            if (form != nullptr && form->Handle() != nullptr) {
                RedrawWindow(form->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            }
        }
        windows.ProcessQueued();
    }
    void Click(HWND button) {
        SendMessageA(button, BM_CLICK, 0, 0);
        Settle();
    }
    bool Open() {
        Click(windows.ChooserWindow()->Item(IDC_EDIT));
        return windows.EditorWindow() != nullptr &&
               IsWindowVisible(windows.EditorWindow()->Handle()) && messages.shown.empty();
    }

    rotaline::testing::RecordingMessages messages;
    Win32WindowSystem windows{messages};
};

void SelectAll(SelectableList& list) {
    if (list.ListCount() > 0) {
        list.SetSelectedRange(0, static_cast<std::int16_t>(list.ListCount() - 1), true);
    }
}

void Report(const char* name, int count, const Timing& timing) {
    std::printf("%-8s %6d maps   median %8.2f ms   least %8.2f ms\n", name, count, timing.median,
                timing.least);
}

void RunAt(int count, int runs) {
    const std::vector<std::string> names = MapNames(count);
    const std::string install = MakeInstall(count, names);
    {
        Bench bench(install);
        const Timing edit = Measure(
            runs,
            [&] {
                if (bench.windows.EditorWindow() != nullptr) {
                    bench.Click(bench.windows.EditorWindow()->Item(IDC_CLOSE));
                }
            },
            [&] {
                if (!bench.Open()) {
                    std::fprintf(stderr, "the editor did not open\n");
                    std::exit(1);
                }
            });
        Report("Edit", count, edit);
        // What Edit cannot avoid: listing the maps and reading the cycle, through the system.
        const Timing reading = Measure(
            runs, [] {},
            [] {
                const auto maps = ListModMaps(CurrentMod());
                const auto cycle = ReadMapCycle(NativePath(MapCyclePath()));
                if (!maps.ok() || !cycle.ok() || maps->empty() || cycle->lines.empty()) {
                    std::fprintf(stderr, "the mod's files were not read\n");
                    std::exit(1);
                }
            });
        Report("Reading", count, reading);

        EditorLists& lists = bench.windows.EditorWindow()->Lists();
        const std::vector<std::string> available = Items(lists.lstBSP);
        const std::vector<std::string> cycle = Items(lists.lstMap);
        const auto refill = [&] {
            lists.lstBSP.ReplaceAll(available);
            lists.lstMap.ReplaceAll(cycle);
            SelectAll(lists.lstBSP);
            SelectAll(lists.lstMap);
            bench.Settle();
        };
        const HWND editor = bench.windows.EditorWindow()->Handle();
        for (const auto& [name, id, toCycle] :
             {std::tuple{"Move", IDC_MOVE, true}, std::tuple{"Remove", IDC_REMOVE, false}}) {
            const Timing timing =
                Measure(runs, refill, [&, id = id] { bench.Click(GetDlgItem(editor, id)); });
            const HWND source = GetDlgItem(editor, toCycle ? IDC_LSTBSP : IDC_LSTMAP);
            const HWND target = GetDlgItem(editor, toCycle ? IDC_LSTMAP : IDC_LSTBSP);
            if (SendMessageA(source, LB_GETCOUNT, 0, 0) != 0 ||
                SendMessageA(target, LB_GETCOUNT, 0, 0) != count || !bench.messages.shown.empty()) {
                std::fprintf(stderr, "%s: the boxes do not show every map on the other side\n",
                             name);
                std::exit(1);
            }
            Report(name, count, timing);
        }
    }
}

} // namespace
} // namespace rotaline::win32

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    std::vector<int> counts;
    for (int k = 2; k < argc; ++k) {
        counts.push_back(std::clamp(std::atoi(argv[k]), 2, 32767));
    }
    if (counts.empty()) {
        counts = {1000, 32767};
    }
    for (const int count : counts) {
        rotaline::win32::RunAt(count, runs);
    }
    return 0;
}
