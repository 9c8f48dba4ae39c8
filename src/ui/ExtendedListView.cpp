// A list view with Windows list-box selection gestures.
#include "ui/ExtendedListView.h"

#include <QInputEvent>

namespace rotaline {

ExtendedListView::ExtendedListView(QAbstractItemView::SelectionMode mode, QWidget* parent)
    : QListView(parent) {
    setSelectionMode(mode);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QItemSelectionModel::SelectionFlags ExtendedListView::selectionCommand(const QModelIndex& index,
                                                                       const QEvent* event) const {
    QItemSelectionModel::SelectionFlags flags = QListView::selectionCommand(index, event);
    if (selectionMode() != QAbstractItemView::ExtendedSelection || event == nullptr) {
        return flags;
    }
    const bool press =
        event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress;
    if (!press) {
        return flags;
    }
    const Qt::KeyboardModifiers modifiers = static_cast<const QInputEvent*>(event)->modifiers();
    if ((modifiers & Qt::ShiftModifier) && !(modifiers & Qt::ControlModifier)) {
        flags |= QItemSelectionModel::Clear;
    }
    return flags;
}

} // namespace rotaline
