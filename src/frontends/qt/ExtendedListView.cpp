// A list view with Windows list-box selection gestures.
#include "frontends/qt/ExtendedListView.h"

#include <QInputEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace rotaline {
namespace {

// Draws the current item as a Windows list box does: a dotted focus rectangle and no fill of
// its own, so that an item that is only current never looks selected.
class FocusRectDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain = option;
        plain.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, plain, index);
        if (!(option.state & QStyle::State_HasFocus)) {
            return;
        }
        const bool selected = option.state & QStyle::State_Selected;
        QPen dots(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        dots.setCosmetic(true);
        dots.setDashPattern({1, 1});
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(dots);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
};

} // namespace

ExtendedListView::ExtendedListView(QAbstractItemView::SelectionMode mode, QWidget* parent)
    : QListView(parent) {
    setSelectionMode(mode);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setItemDelegate(new FocusRectDelegate(this));
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

QRegion ExtendedListView::visualRegionForSelection(const QItemSelection& selection) const {
    // Qt locates every range of a changed selection, row by row of the layout; a list of
    // thousands of items with every other one selected made that most of the cost of a click.
    // Beyond a few ranges, repainting the few rows in sight is the cheaper way.
    constexpr qsizetype kRangesLocated = 64;
    if (selection.size() > kRangesLocated) {
        return QRegion(viewport()->rect());
    }
    return QListView::visualRegionForSelection(selection);
}

} // namespace rotaline
