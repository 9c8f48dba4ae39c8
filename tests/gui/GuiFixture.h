// What the window tests share: a sample install folder, the window system, and gestures.
#pragma once

#include "RecordingMessages.h"
#include "frontends/qt/QtWindowSystem.h"

#include <QTest>
#include <QtWidgets>

namespace rotaline::testing {

// A mod folder with empty map files and a cycle file.
inline void MakeMod(const QTemporaryDir& install, const QString& mod, const QStringList& maps,
                    const QByteArray& cycle) {
    QDir(install.path()).mkpath(mod + "/maps");
    QFile file(install.filePath(mod + "/mapcycle.txt"));
    for (const QString& map : maps) {
        QFile(install.filePath(mod + "/maps/" + map + ".bsp")).open(QIODevice::WriteOnly);
    }
    if (!file.open(QIODevice::WriteOnly) || file.write(cycle) != cycle.size()) {
        qFatal("cannot write %s", qPrintable(file.fileName()));
    }
}

// The rows the view shows as selected, in order.
inline QList<int> SelectedRows(const QAbstractItemView* view) {
    QList<int> rows;
    for (const QModelIndex& index : view->selectionModel()->selectedIndexes()) {
        rows << index.row();
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

inline void ClickRow(QAbstractItemView* view, int row, Qt::KeyboardModifiers keys = {}) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, keys,
                      view->visualRect(view->model()->index(row, 0)).center());
}

// QTest's double-click alone does not reach an item view: a click, the double-click and the
// release at one point do.
inline void DoubleClickRow(QAbstractItemView* view, int row) {
    const QPoint point = view->visualRect(view->model()->index(row, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, point);
}

// Unloaded windows are deleted once the event loop comes round; then none may be left.
inline bool NoWindowLeft() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return QApplication::topLevelWidgets().isEmpty();
}

template <typename T> T* Child(QWidget* window, const char* name) {
    T* child = window->findChild<T*>(QString::fromLatin1(name));
    return child != nullptr ? child : (qFatal("no control %s", name), nullptr);
}

} // namespace rotaline::testing
