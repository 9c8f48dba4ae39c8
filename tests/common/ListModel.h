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
    bool operator==(const Entry&) const = default;
};

// The order of a sorted list: bytes compared after ASCII letters are made lower case.
inline bool SortsBefore(const std::string& a, const std::string& b) {
    const auto lower = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return static_cast<unsigned char>(byte >= 'A' && byte <= 'Z' ? byte + 32 : byte);
    };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return lower(x) < lower(y); });
}

// A list done literally, one item at a time: the current item stays with its item.
struct List {
    std::vector<Entry> entries;
    int current = -1;
    bool sorted = false;
    bool single = false;
    bool operator==(const List&) const = default;

    int Count() const { return static_cast<int>(entries.size()); }
    void Insert(int at, const std::string& text) {
        entries.insert(entries.begin() + at, Entry{text});
        current += current >= at ? 1 : 0;
    }
    // A sorted add goes before the items equal to it.
    void Add(const std::string& text) {
        int at = sorted ? 0 : Count();
        while (at < Count() && SortsBefore(entries[at].text, text)) {
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
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Entry& entry : entries) {
            texts.push_back(entry.text);
        }
        return texts;
    }
};

// The real list as the model holds it, to start a model from or to compare with one.
inline List Snapshot(const SelectableList& real) {
    List list{{}, real.ListIndex(), real.Sorted(), real.Style() == SelectionStyle::Single};
    for (std::int16_t i = 0; i < real.ListCount(); ++i) {
        list.entries.push_back(Entry{real.List(i), real.Selected(i)});
    }
    return list;
}

inline std::string Describe(const List& list) {
    std::string text;
    for (const Entry& entry : list.entries) {
        text += (text.empty() ? "" : " ") + entry.text + (entry.selected ? "*" : "");
    }
    return text + " | current " + std::to_string(list.current);
}

// lstBSP and lstMap.
struct Lists {
    List available{{}, -1, true};
    List cycle;
};

inline Lists Snapshot(const EditorLists& real) {
    return {Snapshot(real.lstBSP), Snapshot(real.lstMap)};
}

inline std::string Heading1(const Lists& m) {
    return "All Half Life Maps (" + std::to_string(m.available.Count()) + " maps)";
}
inline std::string Heading2(const Lists& m) {
    return "Map Cycle File (" + std::to_string(m.cycle.Count()) + " maps)";
}

// Everything the user sees of the lists; empty when the real lists match the model.
inline std::string Mismatch(const Lists& m, const EditorLists& real) {
    const Lists got = Snapshot(real);
    if (got.available == m.available && got.cycle == m.cycle && real.Label1.Text() == Heading1(m) &&
        real.Label2.Text() == Heading2(m)) {
        return "";
    }
    return "expected " + Describe(m.available) + " / " + Describe(m.cycle) + "\n     got " +
           Describe(got.available) + " / " + Describe(got.cycle) + " / " + real.Label1.Text() +
           " / " + real.Label2.Text();
}

// cmdMove_Click: the selected maps go to the head of the cycle in their order.
inline void Move(Lists& m) {
    for (int i = m.available.Count() - 1; i >= 0; --i) {
        if (m.available.entries[i].selected) {
            m.cycle.Insert(0, m.available.entries[i].text);
            m.available.Erase(i);
        }
    }
}

// cmdRemove_Click: the selected maps go back to their sorted places, walked from the end.
inline void Remove(Lists& m) {
    for (int i = m.cycle.Count() - 1; i >= 0; --i) {
        if (m.cycle.entries[i].selected) {
            m.available.Add(m.cycle.entries[i].text);
            m.cycle.Erase(i);
        }
    }
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

// cmdRandom_Click with the given draws (one for each map but the first): each draw takes one
// of the maps left but the first for the places from the end; the first map goes to n / 2.
inline void Shuffle(List& cycle, const std::vector<double>& draws) {
    const int n = cycle.Count();
    if (n == 0) {
        return;
    }
    std::vector<std::string> left = cycle.Texts();
    std::vector<std::string> placed(n);
    for (int remaining = n - 1; remaining >= 1; --remaining) {
        // A draw of NaN or outside [0, 1), or rounding up, still names a map left.
        const double u = draws[n - 1 - remaining];
        const double r = std::isnan(u) ? 1.0 : std::floor(remaining * u + 1);
        const int k = static_cast<int>(std::clamp(r, 1.0, double(remaining)));
        placed[remaining] = left[k];
        left.erase(left.begin() + k);
    }
    placed.erase(placed.begin());
    placed.insert(placed.begin() + n / 2, left[0]);
    cycle.entries.clear();
    for (const std::string& text : placed) {
        cycle.entries.push_back(Entry{text});
    }
    cycle.current = -1;
}

} // namespace rotaline::model
