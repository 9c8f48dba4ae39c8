// Shows a SelectableList in an owner-drawn list box that holds no items of its own.
#pragma once

#include "core/lists/ListObserver.h"

#include <windows.h>

namespace rotaline {
class SelectableList;
}

namespace rotaline::win32 {

// The list box (LBS_NODATA | LBS_OWNERDRAWFIXED) knows only the count and the selection: each
// row is drawn from the list when it comes into view, so 32,767 items cost no more than 10.
class ListBoxAdapter : private ListObserver {
public:
    ListBoxAdapter(SelectableList& list, HWND listBox);
    ~ListBoxAdapter() override;
    ListBoxAdapter(const ListBoxAdapter&) = delete;
    ListBoxAdapter& operator=(const ListBoxAdapter&) = delete;

    HWND Handle() const { return box_; }
    // The parent window passes on its WM_DRAWITEM for this box, and LBN_SELCHANGE.
    void DrawItem(const DRAWITEMSTRUCT& item) const;
    void TakeSelectionFromControl();

private:
    void ItemsAboutToBeInserted(std::int16_t first, std::int16_t last) override;
    void ItemsInserted(std::int16_t first, std::int16_t last) override;
    void ItemsAboutToBeRemoved(std::int16_t first, std::int16_t last) override;
    void ItemsRemoved(std::int16_t first, std::int16_t last) override;
    void AboutToReset() override;
    void Reset() override;
    void SelectionChanged() override;

    // The count, then the whole selection as runs (LB_SELITEMRANGE), not item by item.
    void PushCount();
    void PushSelection();

    SelectableList& list_;
    HWND box_;
    // Set while the list's own changes reach the box, so that they are not echoed back.
    bool pushing_ = false;
};

} // namespace rotaline::win32
