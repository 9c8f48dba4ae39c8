// What the window tests share: a sample install folder, the window system, and gestures.
#pragma once

#include "RecordingMessages.h"
#include "frontends/qt/QtWindowSystem.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>

namespace rotaline::testing {

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A mod folder with empty map files and a cycle file.
inline void MakeMod(const QTemporaryDir& install, const QString& mod, const QStringList& maps,
                    const QByteArray& cycle) {
    QDir(install.path()).mkpath(mod + "/maps");
    for (const QString& map : maps) {
        WriteFile(install.filePath(mod + "/maps/" + map + ".bsp"), {});
    }
    WriteFile(install.filePath(mod + "/mapcycle.txt"), cycle);
}

// The rows' texts, with a space between two.
inline QString Rows(const QAbstractItemView* view) {
    QStringList rows;
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        rows << view->model()->index(row, 0).data().toString();
    }
    return rows.join(' ');
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

inline void ClickRow(QAbstractItemView* view, int row,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers,
                      view->visualRect(view->model()->index(row, 0)).center());
}

// QTest's double-click alone does not reach an item view: a click, the double-click and the
// release at one point do.
inline void DoubleClickRow(QAbstractItemView* view, int row) {
    const QPoint point = view->visualRect(view->model()->index(row, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, point);
}

// Unloaded windows are deleted once the event loop comes round; then none may be left.
inline bool NoWindowLeft() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return QApplication::topLevelWidgets().isEmpty();
}

template <typename T> T* Child(QWidget* window, const char* name) {
    T* child = window->findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) {
        qFatal("no control %s", name);
    }
    return child;
}

} // namespace rotaline::testing
