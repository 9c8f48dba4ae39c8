// The adapter between a SelectableList and a Qt list view.
#include "frontends/qt/SelectableListModel.h"

#include "core/lists/ListDisplay.h"
#include "core/lists/SelectableList.h"
#include "frontends/qt/DisplayText.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

#include <string>

namespace rotaline {

SelectableListModel::SelectableListModel(SelectableList& list, QObject* parent)
    : QAbstractListModel(parent), list_(list) {
    list_.SetObserver(this);
}

SelectableListModel::~SelectableListModel() {
    list_.SetObserver(nullptr);
}

int SelectableListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : list_.ListCount();
}

QVariant SelectableListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= list_.ListCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        const ShownItem shown = ShownBytes(list_.List(static_cast<std::int16_t>(index.row())));
        const QString text = DisplayText(std::string(shown.bytes));
        return shown.cut ? text + QChar(0x2026) : text;
    }
    return {};
}

void SelectableListModel::AttachView(QAbstractItemView* view) {
    view->setModel(this);
    selection_ = view->selectionModel();
    connect(selection_, &QItemSelectionModel::selectionChanged, this,
            &SelectableListModel::TakeSelectionFromView);
    connect(
        selection_, &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex& current, const QModelIndex&) { TakeCurrentFromView(current); });
    PushSelectionToView();
}

void SelectableListModel::ItemsAboutToBeInserted(std::int16_t first, std::int16_t last) {
    pushing_ = true;
    beginInsertRows(QModelIndex(), first, last);
}

// After rows come or go the view's selection and current item have moved with them as the
// list's have, and Qt leaves new rows unselected; whatever else the list changes in its flags
// or current index reaches the view as SelectionChanged, once per batch. Pushing here as well
// would move the view's current item while its layout is stale, which makes the view lay out
// every row there and then, once for each step of a change made in steps.
void SelectableListModel::ItemsInserted(std::int16_t, std::int16_t) {
    endInsertRows();
    pushing_ = false;
}

void SelectableListModel::ItemsAboutToBeRemoved(std::int16_t first, std::int16_t last) {
    pushing_ = true;
    beginRemoveRows(QModelIndex(), first, last);
}

// The view moves its current item off a removed row; the list then drops its own current
// index and says so, and the push that follows puts the list's word in force.
void SelectableListModel::ItemsRemoved(std::int16_t, std::int16_t) {
    endRemoveRows();
    pushing_ = false;
}

void SelectableListModel::AboutToReset() {
    pushing_ = true;
    beginResetModel();
}

void SelectableListModel::Reset() {
    endResetModel();
    pushing_ = false;
    PushSelectionToView();
}

void SelectableListModel::SelectionChanged() {
    if (!pushing_) {
        PushSelectionToView();
    }
}

void SelectableListModel::PushSelectionToView() {
    if (selection_ == nullptr) {
        return;
    }
    QItemSelection ranges;
    for (const SelectedRun& run : SelectedRuns(list_)) {
        ranges.select(index(run.first), index(run.last));
    }
    const int count = list_.ListCount();
    pushing_ = true;
    const int current = list_.ListIndex() < count ? list_.ListIndex() : -1;
    const QModelIndex viewCurrent = selection_->currentIndex();
    // A current item set again still repaints, and lays out a view whose rows just changed.
    if ((viewCurrent.isValid() ? viewCurrent.row() : -1) != current) {
        if (current >= 0) {
            selection_->setCurrentIndex(index(current), QItemSelectionModel::NoUpdate);
        } else {
            selection_->clearCurrentIndex();
        }
    }
    selection_->select(ranges, QItemSelectionModel::ClearAndSelect);
    pushing_ = false;
}

void SelectableListModel::TakeSelectionFromView(const QItemSelection& selected,
                                                const QItemSelection& deselected) {
    if (pushing_) {
        return;
    }
    pushing_ = true;
    {
        SelectableList::UpdateBatch batch(list_);
        for (const QItemSelectionRange& range : deselected) {
            list_.SetSelectedRange(static_cast<std::int16_t>(range.top()),
                                   static_cast<std::int16_t>(range.bottom()), false);
        }
        for (const QItemSelectionRange& range : selected) {
            list_.SetSelectedRange(static_cast<std::int16_t>(range.top()),
                                   static_cast<std::int16_t>(range.bottom()), true);
        }
    }
    pushing_ = false;
}

void SelectableListModel::TakeCurrentFromView(const QModelIndex& current) {
    if (pushing_) {
        return;
    }
    pushing_ = true;
    list_.SetCurrentFromView(current.isValid() ? static_cast<std::int16_t>(current.row()) : -1);
    pushing_ = false;
}

} // namespace rotaline
