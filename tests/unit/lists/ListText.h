// Lists written as text in tests: "owl bee* yak" is three maps in list order, bee selected.
#pragma once

#include "core/lists/EditorLists.h"
#include "core/lists/SelectableList.h"

#include <sstream>
#include <string>
#include <vector>

namespace rotaline {

// The words must come in the order the list will hold them, sorted for a sorted list.
inline void Fill(SelectableList& list, const std::string& marked) {
    std::istringstream words(marked);
    std::vector<std::int16_t> selected;
    for (std::string word; words >> word;) {
        if (word.back() == '*') {
            word.pop_back();
            selected.push_back(list.ListCount());
        }
        list.AddItem(word);
    }
    for (std::int16_t row : selected) {
        list.SetSelected(row, true);
    }
}

// The items' texts in list order.
inline std::vector<std::string> Items(const SelectableList& list) {
    std::vector<std::string> items;
    for (std::int16_t i = 0; i < list.ListCount(); ++i) {
        items.push_back(list.List(i));
    }
    return items;
}

inline std::string Describe(const SelectableList& list) {
    std::string text;
    for (std::int16_t i = 0; i < list.ListCount(); ++i) {
        text += (i > 0 ? " " : "") + list.List(i) + (list.Selected(i) ? "*" : "");
    }
    return text;
}

// The editor as the user sees it: both lists with their selections and current items, and
// the headings.
inline std::string EditorState(const EditorLists& lists) {
    return Describe(lists.lstBSP) + " | " + std::to_string(lists.lstBSP.ListIndex()) + " | " +
           Describe(lists.lstMap) + " | " + std::to_string(lists.lstMap.ListIndex()) + " | " +
           lists.Label1.Text() + " | " + lists.Label2.Text();
}

} // namespace rotaline
