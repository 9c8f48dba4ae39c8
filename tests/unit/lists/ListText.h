// Lists as text in tests: the items in order, and the editor as the user sees it.
#pragma once

#include "ListModel.h"

#include <string>
#include <vector>

namespace rotaline {

inline std::vector<std::string> Items(const SelectableList& list) {
    std::vector<std::string> items;
    for (const model::Entry& entry : model::Snapshot(list).entries) {
        items.push_back(entry.text);
    }
    return items;
}

// Both lists with their selections and current items, and the headings.
inline std::string EditorState(const EditorLists& lists) {
    return model::Describe(model::Snapshot(lists.lstBSP)) + " / " +
           model::Describe(model::Snapshot(lists.lstMap)) + " / " + lists.Label1.Text() + " / " +
           lists.Label2.Text();
}

} // namespace rotaline
