// The editor's two lists and their headings: the maps not in the cycle, and the cycle.
#pragma once

#include "core/lists/Caption.h"
#include "core/lists/SelectableList.h"

namespace rotaline {

struct EditorLists {
    SelectableList lstBSP{SelectionStyle::Extended, true};
    SelectableList lstMap{SelectionStyle::Extended, false};
    Caption Label1{"All Half Life Maps"};
    Caption Label2{"Map Cycle File"};
};

} // namespace rotaline
