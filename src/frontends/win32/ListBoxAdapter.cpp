// The adapter between a SelectableList and a Windows list box.
#include "frontends/win32/ListBoxAdapter.h"

#include "core/lists/ListDisplay.h"
#include "core/lists/SelectableList.h"

#include <algorithm>
#include <vector>

namespace rotaline::win32 {

ListBoxAdapter::ListBoxAdapter(SelectableList& list, HWND listBox) : list_(list), box_(listBox) {
    list_.SetObserver(this);
    PushCount();
    PushSelection();
}

ListBoxAdapter::~ListBoxAdapter() {
    list_.SetObserver(nullptr);
}

void ListBoxAdapter::DrawItem(const DRAWITEMSTRUCT& item) const {
    const HDC dc = item.hDC;
    RECT row = item.rcItem;
    if (item.itemAction == ODA_FOCUS) {
        DrawFocusRect(dc, &row);
        return;
    }
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const int index = static_cast<int>(item.itemID);
    std::string text;
    if (index >= 0 && index < list_.ListCount()) {
        const ShownItem shown = ShownBytes(list_.List(static_cast<std::int16_t>(index)));
        text = std::string(shown.bytes) + (shown.cut ? "..." : "");
    }
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(box_, WM_GETFONT, 0, 0)));
    ExtTextOutA(dc, row.left + 2, row.top, ETO_OPAQUE | ETO_CLIPPED, &row, text.data(),
                static_cast<UINT>(text.size()), nullptr);
    SelectObject(dc, old);
    if ((item.itemState & ODS_FOCUS) != 0) {
        DrawFocusRect(dc, &row);
    }
}

void ListBoxAdapter::TakeSelectionFromControl() {
    if (pushing_) {
        return;
    }
    pushing_ = true;
    if (list_.Style() == SelectionStyle::Single) {
        const auto current = static_cast<int>(SendMessageA(box_, LB_GETCURSEL, 0, 0));
        list_.SetListIndex(static_cast<std::int16_t>(current < 0 ? -1 : current));
    } else {
        const auto count = static_cast<int>(SendMessageA(box_, LB_GETSELCOUNT, 0, 0));
        std::vector<int> rows(static_cast<std::size_t>(std::max(count, 0)));
        if (count > 0) {
            SendMessageA(box_, LB_GETSELITEMS, static_cast<WPARAM>(count),
                         reinterpret_cast<LPARAM>(rows.data()));
        }
        SelectableList::UpdateBatch batch(list_);
        list_.ClearSelection();
        for (std::size_t k = 0; k < rows.size();) {
            const std::size_t first = k;
            while (k + 1 < rows.size() && rows[k + 1] == rows[k] + 1) {
                ++k;
            }
            list_.SetSelectedRange(static_cast<std::int16_t>(rows[first]),
                                   static_cast<std::int16_t>(rows[k]), true);
            ++k;
        }
        const auto caret = static_cast<int>(SendMessageA(box_, LB_GETCARETINDEX, 0, 0));
        list_.SetCurrentFromView(
            static_cast<std::int16_t>(caret >= 0 && caret < list_.ListCount() ? caret : -1));
    }
    pushing_ = false;
}

void ListBoxAdapter::ItemsAboutToBeInserted(std::int16_t, std::int16_t) {}

void ListBoxAdapter::ItemsAboutToBeRemoved(std::int16_t, std::int16_t) {}

void ListBoxAdapter::AboutToReset() {}

// Rows that come or go move the selection of the rows after them: the box is told the new
// count and the whole selection again.
void ListBoxAdapter::ItemsInserted(std::int16_t, std::int16_t) {
    PushCount();
    PushSelection();
}

void ListBoxAdapter::ItemsRemoved(std::int16_t, std::int16_t) {
    PushCount();
    PushSelection();
}

void ListBoxAdapter::Reset() {
    PushCount();
    PushSelection();
}

void ListBoxAdapter::SelectionChanged() {
    if (!pushing_) {
        PushSelection();
    }
}

void ListBoxAdapter::PushCount() {
    const int top = static_cast<int>(SendMessageA(box_, LB_GETTOPINDEX, 0, 0));
    SendMessageA(box_, WM_SETREDRAW, FALSE, 0);
    SendMessageA(box_, LB_SETCOUNT, static_cast<WPARAM>(list_.ListCount()), 0);
    if (top > 0 && top < list_.ListCount()) {
        SendMessageA(box_, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    }
    SendMessageA(box_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box_, nullptr, TRUE);
}

void ListBoxAdapter::PushSelection() {
    const bool wasPushing = pushing_;
    pushing_ = true;
    const std::int16_t count = list_.ListCount();
    const std::int16_t current = list_.ListIndex() < count ? list_.ListIndex() : -1;
    if (list_.Style() == SelectionStyle::Single) {
        SendMessageA(box_, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
        pushing_ = wasPushing;
        return;
    }
    SendMessageA(box_, WM_SETREDRAW, FALSE, 0);
    SendMessageA(box_, LB_SETSEL, FALSE, -1);
    for (const SelectedRun& run : SelectedRuns(list_)) {
        SendMessageA(box_, LB_SELITEMRANGE, TRUE,
                     MAKELPARAM(static_cast<WORD>(run.first), static_cast<WORD>(run.last)));
    }
    // Setting the caret scrolls to it: only when it has moved.
    if (current >= 0 && SendMessageA(box_, LB_GETCARETINDEX, 0, 0) != current) {
        SendMessageA(box_, LB_SETCARETINDEX, static_cast<WPARAM>(current), FALSE);
    }
    SendMessageA(box_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box_, nullptr, TRUE);
    pushing_ = wasPushing;
}

} // namespace rotaline::win32
