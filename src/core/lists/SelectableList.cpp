// The list model behind every list box: items, selected flags, current index, change notices.
#include "core/lists/SelectableList.h"

#include "core/platform/AsciiCase.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace rotaline {

namespace {

constexpr const char* kFullMessage = "a list holds at most 32767 items";

unsigned char FoldForSort(char c) {
    return static_cast<unsigned char>(AsciiLower(c));
}

bool SortsBefore(const std::string& a, const std::string& b) {
    return SelectableList::CompareForSort(a, b) < 0;
}

// An item's place in a sort: its first 16 bytes, folded and packed most significant first with
// zero bytes after its end, so that comparing the numbers compares those bytes; and where the
// item stood. Items whose numbers are equal are compared whole.
struct SortKey {
    std::uint64_t head;
    std::uint64_t next;
    std::uint32_t index;
};

SortKey KeyOf(const std::string& item, std::size_t index) {
    std::uint64_t words[2] = {0, 0};
    const std::size_t packed = std::min<std::size_t>(item.size(), 16);
    for (std::size_t k = 0; k < packed; ++k) {
        words[k / 8] |= std::uint64_t{FoldForSort(item[k])} << (56 - 8 * (k % 8));
    }
    return {words[0], words[1], static_cast<std::uint32_t>(index)};
}

// Sorted adds put each item before its equals, so equal items added one by one end up in the
// reverse of their adding order: among equals, the later one goes first.
void SortAsAddedOneByOne(std::vector<std::string>& items) {
    const std::size_t count = items.size();
    if (count < 2) {
        return;
    }
    // Small keys settle nearly every comparison without folding the texts again, and the items
    // themselves move once, in place. Remove of half of 32,767 maps back into the other half
    // (bench/CoreBench.cpp, BM_Remove/32767): 15 to 17 ms with these keys, 26 to 39 ms with
    // std::stable_sort on the texts, near or over the 30 ms an editor operation may take.
    std::vector<SortKey> keys;
    keys.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        keys.push_back(KeyOf(items[k], k));
    }
    std::sort(keys.begin(), keys.end(), [&items](const SortKey& a, const SortKey& b) {
        if (a.head != b.head) {
            return a.head < b.head;
        }
        if (a.next != b.next) {
            return a.next < b.next;
        }
        const int byText = SelectableList::CompareForSort(items[a.index], items[b.index]);
        return byText != 0 ? byText < 0 : a.index > b.index;
    });
    // keys[to].index names the item that belongs at `to`; each cycle of that permutation is
    // walked once, and a placed item is marked by pointing its key at its own place.
    for (std::size_t start = 0; start < count; ++start) {
        if (keys[start].index == start) {
            continue;
        }
        std::string held = std::move(items[start]);
        std::size_t to = start;
        for (;;) {
            const std::size_t from = keys[to].index;
            keys[to].index = static_cast<std::uint32_t>(to);
            if (from == start) {
                items[to] = std::move(held);
                break;
            }
            items[to] = std::move(items[from]);
            to = from;
        }
    }
}

} // namespace

SelectableList::SelectableList(SelectionStyle style, bool sorted)
    : style_(style), sorted_(sorted) {}

const std::string& SelectableList::List(std::int16_t index) const {
    CheckIndex(index, ListCount());
    return items_[index].text;
}

void SelectableList::AddItem(std::string item) {
    CheckRoom(1);
    auto at = items_.end();
    if (sorted_) {
        at = std::ranges::lower_bound(items_, item, SortsBefore, &Item::text);
    }
    const auto index = static_cast<std::int16_t>(at - items_.begin());
    std::vector<std::string> one;
    one.push_back(std::move(item));
    InsertBlock(std::move(one), index);
}

void SelectableList::AddItem(std::string item, std::int16_t index) {
    CheckUnsorted();
    CheckIndex(index, ListCount() + 1);
    CheckRoom(1);
    std::vector<std::string> one;
    one.push_back(std::move(item));
    InsertBlock(std::move(one), index);
}

void SelectableList::RemoveItem(std::int16_t index) {
    CheckIndex(index, ListCount());
    if (observer_ != nullptr) {
        observer_->ItemsAboutToBeRemoved(index, index);
    }
    const bool wasSelected = items_[index].selected;
    items_.erase(items_.begin() + index);
    if (wasSelected) {
        --selCount_;
    }
    const std::int16_t oldCurrent = listIndex_;
    if (listIndex_ == index) {
        listIndex_ = -1;
    } else if (listIndex_ > index) {
        --listIndex_;
    }
    if (observer_ != nullptr) {
        observer_->ItemsRemoved(index, index);
    }
    if (wasSelected || listIndex_ != oldCurrent) {
        NotifySelectionChanged();
    }
}

void SelectableList::Clear() {
    ReplaceAll({});
}

bool SelectableList::Selected(std::int16_t index) const {
    CheckIndex(index, ListCount());
    return items_[index].selected;
}

void SelectableList::SetSelected(std::int16_t index, bool selected) {
    CheckIndex(index, ListCount());
    bool changed = false;
    if (style_ == SelectionStyle::Single && selected) {
        for (std::size_t k = 0; k < items_.size(); ++k) {
            if (k != static_cast<std::size_t>(index) && SetFlag(k, false)) {
                changed = true;
            }
        }
        if (listIndex_ != index) {
            listIndex_ = index;
            changed = true;
        }
    }
    if (SetFlag(static_cast<std::size_t>(index), selected)) {
        changed = true;
    }
    if (changed) {
        NotifySelectionChanged();
    }
}

void SelectableList::SetListIndex(std::int16_t index) {
    if (index != -1) {
        CheckIndex(index, ListCount());
    }
    UpdateBatch batch(*this);
    // In a single-selection list the current item is the selected one, as in a list box.
    if (style_ == SelectionStyle::Single) {
        if (index == -1) {
            ClearSelection();
        } else {
            SetSelected(index, true);
        }
    }
    if (listIndex_ != index) {
        listIndex_ = index;
        NotifySelectionChanged();
    }
}

void SelectableList::SetCurrentFromView(std::int16_t index) {
    if (style_ == SelectionStyle::Extended) {
        SetListIndex(index);
    }
}

void SelectableList::AddItems(std::vector<std::string> items) {
    if (items.empty()) {
        return;
    }
    CheckRoom(items.size());
    if (sorted_) {
        MergeSorted(std::move(items));
    } else {
        InsertBlock(std::move(items), ListCount());
    }
}

void SelectableList::InsertItems(std::vector<std::string> items, std::int16_t index) {
    if (items.empty()) {
        return;
    }
    CheckUnsorted();
    CheckIndex(index, ListCount() + 1);
    CheckRoom(items.size());
    InsertBlock(std::move(items), index);
}

std::vector<std::string> SelectableList::TakeSelected() {
    if (selCount_ == 0) {
        return {};
    }
    std::vector<bool> marked;
    for (const Item& item : items_) {
        marked.push_back(item.selected);
    }
    return RemoveMarked(marked);
}

void SelectableList::ReplaceAll(std::vector<std::string> items) {
    if (items.size() > static_cast<std::size_t>(kMaxItems)) {
        throw std::length_error(kFullMessage);
    }
    if (items_.empty() && items.empty()) {
        return;
    }
    if (sorted_) {
        SortAsAddedOneByOne(items);
    }
    const bool selectionTouched = selCount_ > 0 || listIndex_ != -1;
    if (observer_ != nullptr) {
        observer_->AboutToReset();
    }
    items_ = AsItems(std::move(items));
    selCount_ = 0;
    listIndex_ = -1;
    if (observer_ != nullptr) {
        observer_->Reset();
    }
    if (selectionTouched) {
        NotifySelectionChanged();
    }
}

void SelectableList::SetSelectedRange(std::int16_t first, std::int16_t last, bool selected) {
    CheckIndex(first, ListCount());
    CheckIndex(last, ListCount());
    if (first > last) {
        throw std::out_of_range("list range ends before it starts");
    }
    // Selecting item after item in a single-selection list leaves only the last one selected.
    if (style_ == SelectionStyle::Single && selected) {
        SetSelected(last, true);
        return;
    }
    bool changed = false;
    for (auto k = static_cast<std::size_t>(first); k <= static_cast<std::size_t>(last); ++k) {
        if (SetFlag(k, selected)) {
            changed = true;
        }
    }
    if (changed) {
        NotifySelectionChanged();
    }
}

void SelectableList::ClearSelection() {
    if (selCount_ == 0) {
        return;
    }
    for (Item& item : items_) {
        item.selected = false;
    }
    selCount_ = 0;
    NotifySelectionChanged();
}

int SelectableList::CompareForSort(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t k = 0; k < common; ++k) {
        const unsigned char x = FoldForSort(a[k]);
        const unsigned char y = FoldForSort(b[k]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

SelectableList::UpdateBatch::UpdateBatch(SelectableList& list) : list_(list) {
    ++list_.batchDepth_;
}

SelectableList::UpdateBatch::~UpdateBatch() {
    if (--list_.batchDepth_ == 0 && list_.selectionDirty_) {
        list_.selectionDirty_ = false;
        list_.NotifySelectionChanged();
    }
}

std::vector<SelectableList::Item> SelectableList::AsItems(std::vector<std::string> texts) {
    std::vector<Item> items;
    for (std::string& text : texts) {
        items.push_back({std::move(text), false});
    }
    return items;
}

void SelectableList::NotifySelectionChanged() {
    if (batchDepth_ > 0) {
        selectionDirty_ = true;
    } else if (observer_ != nullptr) {
        observer_->SelectionChanged();
    }
}

void SelectableList::CheckIndex(std::int16_t index, int end) {
    if (index < 0 || index >= end) {
        throw std::out_of_range("list index " + std::to_string(index) + " is out of range");
    }
}

void SelectableList::CheckRoom(std::size_t adding) const {
    if (adding > static_cast<std::size_t>(kMaxItems) - items_.size()) {
        throw std::length_error(kFullMessage);
    }
}

void SelectableList::CheckUnsorted() const {
    // An index would put the item out of order, and sorted inserts rely on the order.
    if (sorted_) {
        throw std::logic_error("a sorted list places its items itself");
    }
}

bool SelectableList::SetFlag(std::size_t index, bool selected) {
    if (items_[index].selected == selected) {
        return false;
    }
    items_[index].selected = selected;
    if (selected) {
        ++selCount_;
    } else {
        --selCount_;
    }
    return true;
}

void SelectableList::InsertBlock(std::vector<std::string> items, std::int16_t index) {
    const auto added = static_cast<std::int16_t>(items.size());
    if (observer_ != nullptr) {
        observer_->ItemsAboutToBeInserted(index, static_cast<std::int16_t>(index + added - 1));
    }
    std::vector<Item> block = AsItems(std::move(items));
    items_.insert(items_.begin() + index, std::make_move_iterator(block.begin()),
                  std::make_move_iterator(block.end()));
    // The current item stays the same item, so its index follows it down.
    const bool currentMoved = listIndex_ >= index;
    if (currentMoved) {
        listIndex_ = static_cast<std::int16_t>(listIndex_ + added);
    }
    if (observer_ != nullptr) {
        observer_->ItemsInserted(index, static_cast<std::int16_t>(index + added - 1));
    }
    if (currentMoved) {
        NotifySelectionChanged();
    }
}

void SelectableList::MergeSorted(std::vector<std::string> items) {
    SortAsAddedOneByOne(items);
    if (observer_ != nullptr) {
        observer_->AboutToReset();
    }
    // A new item goes before the old items equal to it, as a sorted AddItem puts it: so the
    // new items not after the current one come before it.
    std::int16_t current = listIndex_;
    if (current >= 0) {
        const auto before =
            std::upper_bound(items.begin(), items.end(), items_[current].text, SortsBefore);
        current = static_cast<std::int16_t>(current + (before - items.begin()));
    }
    std::vector<Item> fresh = AsItems(std::move(items));
    std::vector<Item> merged;
    std::merge(std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()),
               std::make_move_iterator(items_.begin()), std::make_move_iterator(items_.end()),
               std::back_inserter(merged),
               [](const Item& a, const Item& b) { return SortsBefore(a.text, b.text); });
    items_ = std::move(merged);
    const bool currentMoved = current != listIndex_;
    listIndex_ = current;
    if (observer_ != nullptr) {
        observer_->Reset();
    }
    if (currentMoved) {
        NotifySelectionChanged();
    }
}

std::vector<std::string> SelectableList::RemoveMarked(const std::vector<bool>& marked) {
    const auto first = std::find(marked.begin(), marked.end(), true);
    if (first == marked.end()) {
        return {};
    }
    const auto afterLast = std::find(marked.rbegin(), marked.rend(), true).base();
    const bool oneRun = std::find(first, afterLast, false) == afterLast;
    const auto firstIndex = static_cast<std::int16_t>(first - marked.begin());
    const auto lastIndex = static_cast<std::int16_t>(afterLast - marked.begin() - 1);
    if (observer_ != nullptr) {
        if (oneRun) {
            observer_->ItemsAboutToBeRemoved(firstIndex, lastIndex);
        } else {
            observer_->AboutToReset();
        }
    }

    std::vector<std::string> removed;
    std::vector<Item> kept;
    bool flagsChanged = false;
    std::int16_t current = -1;
    for (std::size_t k = 0; k < items_.size(); ++k) {
        if (marked[k]) {
            flagsChanged = flagsChanged || items_[k].selected;
            removed.push_back(std::move(items_[k].text));
        } else {
            if (listIndex_ >= 0 && k == static_cast<std::size_t>(listIndex_)) {
                current = static_cast<std::int16_t>(kept.size());
            }
            kept.push_back(std::move(items_[k]));
        }
    }
    items_ = std::move(kept);
    selCount_ = static_cast<std::int16_t>(std::count_if(
        items_.begin(), items_.end(), [](const Item& item) { return item.selected; }));
    const bool currentChanged = current != listIndex_;
    listIndex_ = current;

    if (observer_ != nullptr) {
        if (oneRun) {
            observer_->ItemsRemoved(firstIndex, lastIndex);
        } else {
            observer_->Reset();
        }
    }
    if (flagsChanged || currentChanged) {
        NotifySelectionChanged();
    }
    return removed;
}

} // namespace rotaline
