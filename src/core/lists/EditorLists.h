// The editor's two lists and their headings: the maps not in the cycle, and the cycle.
#pragma once

#include "core/lists/Caption.h"
#include "core/lists/SelectableList.h"

#include <string>

namespace rotaline {

struct EditorLists {
    SelectableList lstBSP{SelectionStyle::Extended, true};
    SelectableList lstMap{SelectionStyle::Extended, false};
    Caption Label1{"All Half Life Maps"};
    Caption Label2{"Map Cycle File"};
    // The cycle file as it was opened or last saved: Save writes only over these bytes, and in
    // their line ends.
    std::string cycleFileBytes;
};

} // namespace rotaline
