// Lists as text in tests: the items in order, and the editor as the user sees it.
#pragma once

#include "ListModel.h"

namespace rotaline {

inline std::vector<std::string> Items(const SelectableList& list) {
    std::vector<std::string> items;
    for (std::int16_t i = 0; i < list.ListCount(); ++i) {
        items.push_back(list.List(i));
    }
    return items;
}

inline std::string EditorState(const EditorLists& lists) {
    return model::Describe(model::Snapshot(lists));
}

} // namespace rotaline
