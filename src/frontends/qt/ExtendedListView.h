// A list view whose selection gestures behave as a Windows list box's do.
#pragma once

#include <QListView>

namespace rotaline {

class ExtendedListView : public QListView {
    Q_OBJECT
public:
    ExtendedListView(QAbstractItemView::SelectionMode mode, QWidget* parent);

protected:
    // Shift without Ctrl selects the range from the current item and clears every other
    // selection, where Qt would keep the rest.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    // What a selection change repaints: all visible rows once the selection is in many pieces.
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
};

} // namespace rotaline
