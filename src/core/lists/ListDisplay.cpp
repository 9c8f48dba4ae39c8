// The shown part of an item, and the runs of selected items.
#include "core/lists/ListDisplay.h"

namespace rotaline {

ShownItem ShownBytes(std::string_view item) {
    if (item.size() <= kMaxShownBytes) {
        return {item, false};
    }
    // Cut before a character that UTF-8 spreads over several bytes, not in the middle of it.
    std::size_t cut = kMaxShownBytes;
    for (int back = 0; back < 3 && (static_cast<unsigned char>(item[cut]) & 0xC0) == 0x80; ++back) {
        --cut;
    }
    return {item.substr(0, cut), true};
}

std::vector<SelectedRun> SelectedRuns(const SelectableList& list) {
    std::vector<SelectedRun> runs;
    if (list.SelCount() == 0) {
        return runs;
    }
    const std::int16_t count = list.ListCount();
    for (std::int16_t row = 0; row < count;) {
        if (!list.Selected(row)) {
            ++row;
            continue;
        }
        const std::int16_t first = row;
        while (row < count && list.Selected(row)) {
            ++row;
        }
        runs.push_back({first, static_cast<std::int16_t>(row - 1)});
    }
    return runs;
}

} // namespace rotaline
