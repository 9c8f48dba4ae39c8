// The editor's operations on its two lists: carrying maps over, reordering, shuffling, headings.
#include "core/lists/EditingOperations.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace rotaline {

namespace {

// The maps are taken out of one list before they go into the other: a full target list must
// stop the operation before that, or the maps taken out would be lost.
void CheckRoomFor(const SelectableList& target, std::int16_t incoming) {
    if (target.ListCount() + incoming > SelectableList::kMaxItems) {
        throw std::length_error("a list holds at most 32767 items");
    }
}

// Moves the first selected map among first..last by `step` places, then makes it the only
// selected map and the current one; nothing changes when none of them is selected.
void MoveFirstSelected(SelectableList& lstMap, std::int16_t first, std::int16_t last,
                       std::int16_t step) {
    for (std::int16_t i = first; i <= last; ++i) {
        if (!lstMap.Selected(i)) {
            continue;
        }
        const auto target = static_cast<std::int16_t>(i + step);
        SelectableList::UpdateBatch batch(lstMap);
        std::string map = lstMap.List(i);
        lstMap.RemoveItem(i);
        lstMap.AddItem(std::move(map), target);
        lstMap.ClearSelection();
        lstMap.SetSelected(target, true);
        lstMap.SetListIndex(target);
        return;
    }
}

// The shuffle draws maps out of the middle of the list; erasing each from a vector would cost
// O(n^2) for a long cycle. 32,767 maps (bench/CoreBench.cpp, BM_Randomize): 13 to 22 ms with
// this tree, 49 to 58 ms erasing each draw from a vector of places. This Fenwick tree counts the
// maps not yet drawn by their original position, so the r-th one left is found and taken out in
// O(log n). Its size is a power of two, with empty places past the end, so that the search needs no
// bounds test; 16-bit counts hold any list and keep the tree small enough for the fastest caches.
class PositionsLeft {
public:
    explicit PositionsLeft(std::size_t count) {
        while (size_ < count) {
            size_ *= 2;
        }
        tree_.assign(size_ + 1, 0);
        for (std::size_t k = 1; k <= size_; ++k) {
            tree_[k] = static_cast<std::uint16_t>(tree_[k] + (k <= count ? 1 : 0));
            const std::size_t parent = k + LowBit(k);
            if (parent <= size_) {
                tree_[parent] = static_cast<std::uint16_t>(tree_[parent] + tree_[k]);
            }
        }
    }

    // Takes out the map at `rank` (from 0) among those left and gives its original position.
    // One walk down the tree finds it and counts it out: a node is on the found position's
    // update path exactly when the walk does not step past it. Each step is computed with masks
    // rather than branches, since for a random rank every step is a coin toss.
    std::size_t TakeRank(std::uint32_t rank) {
        std::size_t position = 0;
        std::uint32_t wanted = rank + 1;
        for (std::size_t step = size_; step > 0; step /= 2) {
            std::uint16_t& node = tree_[position + step];
            const std::uint32_t count = node;
            const std::uint32_t past = count < wanted ? 1 : 0;
            wanted -= count & (0U - past);
            node = static_cast<std::uint16_t>(count - (past ^ 1U));
            position += step & (std::size_t{0} - past);
        }
        return position;
    }

private:
    static std::size_t LowBit(std::size_t k) { return k & (~k + 1); }

    std::size_t size_ = 1;
    std::vector<std::uint16_t> tree_;
};

} // namespace

void RefreshCountCaptions(EditorLists& lists) {
    lists.Label1.SetText("All Half Life Maps (" + std::to_string(lists.lstBSP.ListCount()) +
                         " maps)");
    lists.Label2.SetText("Map Cycle File (" + std::to_string(lists.lstMap.ListCount()) + " maps)");
}

void cmdMove_Click(EditorLists& lists) {
    CheckRoomFor(lists.lstMap, lists.lstBSP.SelCount());
    // The walk up lstBSP inserts each map at 0, which leaves them at the head in lstBSP order.
    lists.lstMap.InsertItems(lists.lstBSP.TakeSelected(), 0);
    RefreshCountCaptions(lists);
}

void cmdRemove_Click(EditorLists& lists) {
    CheckRoomFor(lists.lstBSP, lists.lstMap.SelCount());
    std::vector<std::string> maps = lists.lstMap.TakeSelected();
    // The walk adds the maps from the last selected to the first, and that order decides where
    // equal maps land in the sorted list.
    std::reverse(maps.begin(), maps.end());
    lists.lstBSP.AddItems(std::move(maps));
    RefreshCountCaptions(lists);
}

void cmdUP_Click(SelectableList& lstMap) {
    const auto last = static_cast<std::int16_t>(lstMap.ListCount() - 1);
    MoveFirstSelected(lstMap, 1, last, -1);
}

void cmdDown_Click(SelectableList& lstMap) {
    const auto last = static_cast<std::int16_t>(lstMap.ListCount() - 2);
    MoveFirstSelected(lstMap, 0, last, 1);
}

void cmdRandom_Click(SelectableList& lstMap, RandomSource& random) {
    if (lstMap.ListCount() == 0) {
        return;
    }
    random.ReseedFromClock();
    const std::int16_t n = lstMap.ListCount();
    const auto count = static_cast<std::size_t>(n);
    // First where each map goes, then the maps: copied in list order, each to its slot, the
    // copies read the list front to back instead of jumping about it once per draw.
    std::vector<std::int16_t> slotOf(count, 0);
    PositionsLeft left(count);
    // At each pass `remaining`, the number of maps still to draw, equals the slot filled.
    for (auto remaining = static_cast<std::int16_t>(n - 1); remaining >= 1; --remaining) {
        double drawn = std::floor(remaining * random.Draw() + 1.0);
        // Some generators round up to 1.0; whatever comes, the draw must name a map other than
        // the first one left.
        if (!(drawn >= 1.0)) {
            drawn = 1.0;
        }
        if (drawn > remaining) {
            drawn = remaining;
        }
        slotOf[left.TakeRank(static_cast<std::uint32_t>(drawn))] = remaining;
    }
    std::vector<std::string> slots(count);
    for (std::size_t position = 0; position < count; ++position) {
        slots[static_cast<std::size_t>(slotOf[position])] =
            lstMap.List(static_cast<std::int16_t>(position));
    }
    // The map left over, in slot 0, is the one that stood first; it goes to index n / 2.
    const auto middle = static_cast<std::size_t>(n / 2);
    std::rotate(slots.begin(), slots.begin() + 1, slots.begin() + middle + 1);
    lstMap.ReplaceAll(std::move(slots));
}

} // namespace rotaline
