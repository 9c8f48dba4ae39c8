// An ordered list of byte-string items with a selected flag each and a current index.
#pragma once

#include "core/lists/ListObserver.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rotaline {

enum class SelectionStyle { Single, Extended };

class SelectableList {
public:
    // Indices and counts are 16-bit signed, so a list holds at most this many items.
    static constexpr std::int16_t kMaxItems = 32767;

    SelectableList(SelectionStyle style, bool sorted);
    SelectableList(const SelectableList&) = delete;
    SelectableList& operator=(const SelectableList&) = delete;

    SelectionStyle Style() const { return style_; }

    std::int16_t ListCount() const { return static_cast<std::int16_t>(items_.size()); }
    const std::string& List(std::int16_t index) const;

    // Appends, or in a sorted list inserts at the item's sorted place (before any equal item).
    // The new item is not selected. Throws std::length_error when the list is full.
    void AddItem(std::string item);
    // Inserts before the item now at `index` (ListCount appends); only for unsorted lists.
    void AddItem(std::string item, std::int16_t index);
    void RemoveItem(std::int16_t index);
    void Clear();

    bool Selected(std::int16_t index) const;
    // In a single-selection list, selecting an item clears every other flag and makes it current.
    void SetSelected(std::int16_t index, bool selected);
    std::int16_t ListIndex() const { return listIndex_; }
    // -1 for none. In a single-selection list this also selects the item, or clears the selection.
    void SetListIndex(std::int16_t index);
    std::int16_t SelCount() const { return selCount_; }
    // The item a view has put its focus frame on. In a single-selection list the current item
    // is the selected one and comes with the selection, so the frame alone changes nothing.
    void SetCurrentFromView(std::int16_t index);

    // Bulk forms of the callers' patterns: each is linear in the list's size (plus a sort) and
    // gives the same result as the item-by-item calls it replaces, announced as one change.

    // As AddItem(item) for each item in order.
    void AddItems(std::vector<std::string> items);
    // As AddItem(items[k], index + k) for each k; only for unsorted lists.
    void InsertItems(std::vector<std::string> items, std::int16_t index);
    // Walk-and-remove of the selected items: removes them and returns them in list order.
    std::vector<std::string> TakeSelected();
    // Rebuild: Clear, then AddItem of each item in order.
    void ReplaceAll(std::vector<std::string> items);
    // Sets the flags of the items first..last.
    void SetSelectedRange(std::int16_t first, std::int16_t last, bool selected);
    void ClearSelection();

    // The sort order of sorted lists: bytes compared after folding ASCII letters to lower case.
    static int CompareForSort(std::string_view a, std::string_view b);

    // The one view of this list, or null.
    void SetObserver(ListObserver* observer) { observer_ = observer; }

    // Holds back SelectionChanged until the outermost batch ends.
    class UpdateBatch {
    public:
        explicit UpdateBatch(SelectableList& list);
        ~UpdateBatch();
        UpdateBatch(const UpdateBatch&) = delete;
        UpdateBatch& operator=(const UpdateBatch&) = delete;

    private:
        SelectableList& list_;
    };

private:
    struct Item {
        std::string text;
        bool selected = false;
    };

    // The texts as items, none of them selected.
    static std::vector<Item> AsItems(std::vector<std::string> texts);
    void NotifySelectionChanged();
    // Throws std::out_of_range unless 0 <= index < end.
    static void CheckIndex(std::int16_t index, int end);
    // Throws std::length_error unless `adding` more items fit.
    void CheckRoom(std::size_t adding) const;
    void CheckUnsorted() const;
    // Sets one flag and keeps SelCount; true when the flag changed.
    bool SetFlag(std::size_t index, bool selected);
    void InsertBlock(std::vector<std::string> items, std::int16_t index);
    void MergeSorted(std::vector<std::string> items);
    std::vector<std::string> RemoveMarked(const std::vector<bool>& marked);

    SelectionStyle style_;
    bool sorted_;
    std::vector<Item> items_;
    std::int16_t listIndex_ = -1;
    std::int16_t selCount_ = 0;
    ListObserver* observer_ = nullptr;
    int batchDepth_ = 0;
    bool selectionDirty_ = false;
};

} // namespace rotaline
