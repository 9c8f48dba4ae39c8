// A plain model of a list for tests that compare the list model with it: entries with their
// flags, a current item, and the order of a sorted list.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace rotaline::reference {

struct Entry {
    std::string text;
    bool selected = false;
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

// The current item stays the same item while others come and go; it is gone with its item.
inline void InsertAt(std::vector<Entry>& list, int& current, int at, const std::string& text) {
    list.insert(list.begin() + at, Entry{text, false});
    if (current >= at) {
        ++current;
    }
}

inline void EraseAt(std::vector<Entry>& list, int& current, int at) {
    list.erase(list.begin() + at);
    if (current == at) {
        current = -1;
    } else if (current > at) {
        --current;
    }
}

// A sorted add goes before the items equal to it.
inline void AddSorted(std::vector<Entry>& list, int& current, const std::string& text) {
    int at = 0;
    while (at < static_cast<int>(list.size()) && SortsBefore(list[at].text, text)) {
        ++at;
    }
    InsertAt(list, current, at, text);
}

} // namespace rotaline::reference
