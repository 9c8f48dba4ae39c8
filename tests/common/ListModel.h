// A plain model of the editor's lists and operations, checked against the real ones.
#pragma once

#include "core/lists/EditorLists.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace rotaline::model {

struct Entry {
    std::string text;
    bool selected = false;
};

// ASCII letters made lower case; std::string compares bytes as unsigned, as the sort does.
inline std::string Folded(std::string text) {
    for (char& c : text) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    }
    return text;
}

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
    // A sorted add goes before the items equal to it.
    void Add(const std::string& text) {
        int at = sorted ? 0 : Count();
        while (at < Count() && Folded(entries[at].text) < Folded(text)) {
            ++at;
        }
        Insert(at, text);
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
        for (Entry& entry : entries) {
            entry.selected = false;
        }
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

inline List Snapshot(const SelectableList& real) {
    List list{{}, real.ListIndex()};
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

// lstBSP, lstMap and their headings.
struct Lists {
    List available{{}, -1, true};
    List cycle;
    std::string heading1 = "All Half Life Maps";
    std::string heading2 = "Map Cycle File";

    void Recount() {
        heading1 = "All Half Life Maps (" + std::to_string(available.Count()) + " maps)";
        heading2 = "Map Cycle File (" + std::to_string(cycle.Count()) + " maps)";
    }
};

inline Lists Snapshot(const EditorLists& real) {
    Lists lists{Snapshot(real.lstBSP), Snapshot(real.lstMap), real.Label1.Text(),
                real.Label2.Text()};
    lists.available.sorted = true;
    return lists;
}

inline std::string Describe(const Lists& lists) {
    return Describe(lists.available) + " / " + Describe(lists.cycle) + " / " + lists.heading1 +
           " / " + lists.heading2;
}

// cmdMove_Click: the selected maps go to the head of the cycle in their order.
inline void Move(Lists& m) {
    const std::vector<std::string> taken = m.available.TakeSelected();
    for (std::size_t k = 0; k < taken.size(); ++k) {
        m.cycle.Insert(static_cast<int>(k), taken[k]);
    }
    m.Recount();
}

// cmdRemove_Click: the selected maps go back to their sorted places, added from the last.
inline void Remove(Lists& m) {
    const std::vector<std::string> taken = m.cycle.TakeSelected();
    std::for_each(taken.rbegin(), taken.rend(),
                  [&](const std::string& map) { m.available.Add(map); });
    m.Recount();
}

// cmdUP_Click / cmdDown_Click: the first selected map that can move does, and is then the only
// selected map and the current one.
inline void UpOrDown(List& cycle, bool up) {
    for (int i = up ? 1 : 0; i <= cycle.Count() - (up ? 1 : 2); ++i) {
        if (cycle.entries[i].selected) {
            const int to = up ? i - 1 : i + 1;
            std::swap(cycle.entries[i], cycle.entries[to]);
            cycle.ClearSelection();
            cycle.entries[to].selected = true;
            cycle.current = to;
            return;
        }
    }
}

// cmdRandom_Click given its draws: each takes one of the maps left but the first, for the places
// from the last down; the first map then goes to n / 2.
inline void Shuffle(List& cycle, const std::vector<double>& draws) {
    std::vector<std::string> left;
    std::vector<std::string> placed;
    for (const Entry& entry : cycle.entries) {
        left.push_back(entry.text);
    }
    for (std::size_t d = 0; left.size() > 1; ++d) {
        const auto remaining = static_cast<double>(left.size() - 1);
        // A draw outside [0, 1), or NaN, from a faulty generator still names a map left.
        const double r = std::floor(remaining * draws[d] + 1);
        const auto k = static_cast<std::size_t>(r >= 1 ? std::min(r, remaining) : 1);
        placed.insert(placed.begin(), left[k]);
        left.erase(left.begin() + static_cast<std::ptrdiff_t>(k));
    }
    placed.insert(placed.begin() + static_cast<std::ptrdiff_t>(left.size() + placed.size()) / 2,
                  left.begin(), left.end());
    cycle.entries.clear();
    for (const std::string& text : placed) {
        cycle.entries.push_back(Entry{text});
    }
    cycle.current = -1;
}

} // namespace rotaline::model
