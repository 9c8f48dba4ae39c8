// The look the two windows share.
#include "frontends/qt/WindowLook.h"

#include <QLabel>
#include <QScreen>
#include <QWidget>

namespace rotaline {

QFont DefaultWindowFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    return font;
}

void MakeTransparentLabel(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kLabelYellow);
    label->setPalette(palette);
    label->setAutoFillBackground(false);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
}

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

} // namespace rotaline
