// What a view of a list shows: each item's shown bytes, and the selected items as runs.
#pragma once

#include "core/lists/SelectableList.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace rotaline {

// Far more than a list row shows, and more than a file name can hold. Laying out the text of a
// cycle line of megabytes would freeze a window for a minute and take hundreds of MB; the item
// itself keeps every byte, and a save writes them all.
inline constexpr std::size_t kMaxShownBytes = 256;

struct ShownItem {
    std::string_view bytes; // the item's first kMaxShownBytes at most, cut between characters
    bool cut = false;       // true when bytes were left out: views add an ellipsis
};

ShownItem ShownBytes(std::string_view item);

// A run of neighbouring selected items, first to last.
struct SelectedRun {
    std::int16_t first;
    std::int16_t last;
};

// The selected items as the fewest runs, in list order: views select whole ranges at once,
// since selecting 32,767 rows one at a time costs minutes in a list view.
std::vector<SelectedRun> SelectedRuns(const SelectableList& list);

} // namespace rotaline
