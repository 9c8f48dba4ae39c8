// A plain model of the editor's lists and operations, checked against the real ones.
#pragma once

#include "core/lists/EditorLists.h"
#include "core/lists/RandomSource.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

namespace rotaline::model {

struct Entry {
    std::string text;
    bool selected = false;
};

// A list done literally, one item at a time: the current index stays on its item.
struct List {
    std::vector<Entry> entries;
    int current = -1;
    bool sorted = false;
    bool single = false;

    int Count() const { return static_cast<int>(entries.size()); }
    void Insert(int at, const std::string& text) {
        entries.insert(entries.begin() + at, Entry{text});
        current += current >= at ? 1 : 0;
    }
    // A sorted add goes before the items equal to it once ASCII letters are made lower case
    // (std::string compares its bytes as unsigned, as the list does). The list stays sorted.
    void Add(const std::string& text) {
        const auto folded = [](std::string s) {
            std::ranges::for_each(s, [](char& c) { c = c >= 'A' && c <= 'Z' ? char(c + 32) : c; });
            return s;
        };
        const auto before = [&](const Entry& e) { return folded(e.text) < folded(text); };
        Insert(sorted ? static_cast<int>(std::ranges::count_if(entries, before)) : Count(), text);
    }
    void Erase(int at) {
        entries.erase(entries.begin() + at);
        current = current == at ? -1 : current - (current > at ? 1 : 0);
    }
    void Select(int at, bool on) {
        if (single && on) {
            ClearSelection();
            current = at;
        }
        entries[at].selected = on;
    }
    void ClearSelection() {
        std::ranges::for_each(entries, [](Entry& e) { e.selected = false; });
    }
    // Walks up from the last item taking out the selected ones; gives them in list order.
    std::vector<std::string> TakeSelected() {
        std::vector<std::string> taken;
        for (int i = Count() - 1; i >= 0; --i) {
            if (entries[i].selected) {
                taken.insert(taken.begin(), entries[i].text);
                Erase(i);
            }
        }
        return taken;
    }
};

inline List Snapshot(const SelectableList& real, bool sorted = false) {
    List list{{}, real.ListIndex(), sorted};
    for (std::int16_t i = 0; i < real.ListCount(); ++i) {
        list.entries.push_back(Entry{real.List(i), real.Selected(i)});
    }
    return list;
}

// "owl bee* yak | 1": the items, the selected ones starred, and the current index.
inline std::string Describe(const List& list) {
    std::string text;
    for (const Entry& entry : list.entries) {
        text += entry.text + (entry.selected ? "* " : " ");
    }
    return text + "| " + std::to_string(list.current);
}

// lstBSP and lstMap, and what their headings say.
struct Lists {
    List available{{}, -1, true};
    List cycle;
    std::string headings = "All Half Life Maps / Map Cycle File";
};

inline Lists Snapshot(const EditorLists& real) {
    return {Snapshot(real.lstBSP, true), Snapshot(real.lstMap),
            real.Label1.Text() + " / " + real.Label2.Text()};
}

// Both lists with their selections and current items, and the headings.
inline std::string Describe(const Lists& lists) {
    return Describe(lists.available) + " / " + Describe(lists.cycle) + " / " + lists.headings;
}

// cmdMove_Click and cmdRemove_Click: the selected maps go to the head of the cycle in their
// order, or back to their sorted places, added from the last one.
inline void MoveOrRemove(Lists& m, bool move) {
    const std::vector<std::string> taken = (move ? m.available : m.cycle).TakeSelected();
    for (std::size_t k = 0; k < taken.size(); ++k) {
        move ? m.cycle.Insert(static_cast<int>(k), taken[k]) : m.available.Add(taken.rbegin()[k]);
    }
    m.headings = "All Half Life Maps (" + std::to_string(m.available.Count()) +
                 " maps) / Map Cycle File (" + std::to_string(m.cycle.Count()) + " maps)";
}

// cmdUP_Click / cmdDown_Click: the first selected map that can move does, and is then the only
// selected map and the current one.
inline void UpOrDown(List& cycle, bool up) {
    for (int i = up ? 1 : 0; i <= cycle.Count() - (up ? 1 : 2); ++i) {
        if (cycle.entries[i].selected) {
            cycle.current = up ? i - 1 : i + 1;
            std::swap(cycle.entries[i], cycle.entries[cycle.current]);
            cycle.ClearSelection();
            cycle.entries[cycle.current].selected = true;
            return;
        }
    }
}

// cmdRandom_Click given its draws, one for each map but the first: each takes one of the maps
// left but the first, for the places from the last down; the first map then goes to n / 2.
inline void Shuffle(List& cycle, const std::vector<double>& draws) {
    if (cycle.entries.empty()) {
        return; // nothing drawn, not even a reseed: `draws` still holds an earlier click's
    }
    std::vector<Entry> left = cycle.entries;
    cycle.entries.clear();
    for (const double draw : draws) {
        // A draw outside [0, 1), or NaN, from a faulty generator still names a map left.
        const double r = std::floor(static_cast<double>(left.size() - 1) * draw + 1);
        const std::size_t k = r >= 1 ? std::min(static_cast<std::size_t>(r), left.size() - 1) : 1;
        cycle.entries.insert(cycle.entries.begin(), left[k]);
        left.erase(left.begin() + static_cast<std::ptrdiff_t>(k));
    }
    const auto middle = static_cast<std::ptrdiff_t>(cycle.entries.size() + 1) / 2;
    cycle.entries.insert(cycle.entries.begin() + middle, left.begin(), left.end());
    cycle.ClearSelection();
    cycle.current = -1;
}

// The shuffle's draws, kept for the model to replay: each click reseeds, then draws.
struct Draws : RandomSource {
    explicit Draws(std::function<double()> source) : next(std::move(source)) {}
    void ReseedFromClock() override { drawn.clear(), ++reseeds; }
    double Draw() override { return drawn.emplace_back(next()); }

    std::function<double()> next;
    std::vector<double> drawn;
    int reseeds = 0;
};

} // namespace rotaline::model
