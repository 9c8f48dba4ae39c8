// Shows a SelectableList in a list view; the list keeps the items and flags, the view follows.
#pragma once

#include "core/lists/ListObserver.h"

#include <QAbstractListModel>
#include <QItemSelection>

class QAbstractItemView;
class QItemSelectionModel;

namespace rotaline {

class SelectableList;

class SelectableListModel : public QAbstractListModel, private ListObserver {
    Q_OBJECT
public:
    SelectableListModel(SelectableList& list, QObject* parent);
    ~SelectableListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Shows the list in `view`: the view's selection and current item mirror the list's flags
    // and current index, and the user's gestures in the view set them.
    void AttachView(QAbstractItemView* view);

private:
    void ItemsAboutToBeInserted(std::int16_t first, std::int16_t last) override;
    void ItemsInserted(std::int16_t first, std::int16_t last) override;
    void ItemsAboutToBeRemoved(std::int16_t first, std::int16_t last) override;
    void ItemsRemoved(std::int16_t first, std::int16_t last) override;
    void AboutToReset() override;
    void Reset() override;
    void SelectionChanged() override;

    // Hands the view the whole selection as one batch of ranges: selecting rows one at a time
    // costs minutes on a list of 32,767 items.
    void PushSelectionToView();
    void TakeSelectionFromView(const QItemSelection& selected, const QItemSelection& deselected);
    void TakeCurrentFromView(const QModelIndex& current);

    SelectableList& list_;
    QItemSelectionModel* selection_ = nullptr;
    // Set while the list's own changes reach the view, so that they are not echoed back.
    bool pushing_ = false;
};

} // namespace rotaline
