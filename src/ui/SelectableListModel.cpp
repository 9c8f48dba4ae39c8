// The adapter between a SelectableList and a Qt list view.
#include "ui/SelectableListModel.h"

#include "lists/SelectableList.h"
#include "ui/DisplayText.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace rotaline {

SelectableListModel::SelectableListModel(SelectableList& list, QObject* parent)
    : QAbstractListModel(parent), list_(list) {
    list_.SetObserver(this);
}

SelectableListModel::~SelectableListModel() { list_.SetObserver(nullptr); }

int SelectableListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : list_.ListCount();
}

QVariant SelectableListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= list_.ListCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return DisplayText(list_.List(static_cast<std::int16_t>(index.row())));
    }
    return {};
}

void SelectableListModel::AttachView(QAbstractItemView* view) {
    view->setModel(this);
    selection_ = view->selectionModel();
    connect(selection_, &QItemSelectionModel::selectionChanged, this,
            &SelectableListModel::TakeSelectionFromView);
    connect(selection_, &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                TakeCurrentFromView(current);
            });
    PushSelectionToView();
}

void SelectableListModel::ItemsAboutToBeInserted(std::int16_t first, std::int16_t last) {
    pushing_ = true;
    beginInsertRows(QModelIndex(), first, last);
}

void SelectableListModel::ItemsInserted() {
    endInsertRows();
    pushing_ = false;
    PushSelectionToView();
}

void SelectableListModel::ItemsAboutToBeRemoved(std::int16_t first, std::int16_t last) {
    pushing_ = true;
    beginRemoveRows(QModelIndex(), first, last);
}

void SelectableListModel::ItemsRemoved() {
    endRemoveRows();
    pushing_ = false;
    // The view may have moved its current item off a removed row; the list's word holds.
    PushSelectionToView();
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
    const int count = list_.ListCount();
    if (list_.SelCount() > 0) {
        for (int row = 0; row < count;) {
            if (!list_.Selected(static_cast<std::int16_t>(row))) {
                ++row;
                continue;
            }
            const int first = row;
            while (row < count && list_.Selected(static_cast<std::int16_t>(row))) {
                ++row;
            }
            ranges.select(index(first), index(row - 1));
        }
    }
    pushing_ = true;
    const std::int16_t current = list_.ListIndex();
    if (current >= 0 && current < count) {
        selection_->setCurrentIndex(index(current), QItemSelectionModel::NoUpdate);
    } else {
        selection_->clearCurrentIndex();
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
    // In a single-selection list the current item is the selected one, and the selection
    // brings it; the focus frame a view puts on its first row selects nothing.
    if (pushing_ || list_.Style() == SelectionStyle::Single) {
        return;
    }
    pushing_ = true;
    list_.SetListIndex(current.isValid() ? static_cast<std::int16_t>(current.row()) : -1);
    pushing_ = false;
}

} // namespace rotaline
