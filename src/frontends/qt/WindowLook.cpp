// The look the two windows share.
#include "frontends/qt/WindowLook.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QWidget>

namespace rotaline {
namespace {

const QString kSansSerif = QStringLiteral("MS Sans Serif");
const QString kSmallFonts = QStringLiteral("Small Fonts");

// Debian's fonts-wine puts Windows' fonts here, where fontconfig does not look.
constexpr const char* kFontFolder = "/usr/share/wine/fonts/";

} // namespace

void LoadWindowFonts() {
#ifdef Q_OS_LINUX
    static bool loaded = false;
    if (loaded) {
        return;
    }
    loaded = true;
    for (const char* file : {"ms_sans_serif.ttf", "small_fonts.ttf", "marlett.ttf"}) {
        QFontDatabase::addApplicationFont(QString::fromLatin1(kFontFolder) +
                                          QString::fromLatin1(file));
    }
#endif
}

QFont DefaultWindowFont() {
    return WindowFont(8.25, false);
}

QFont WindowFont(qreal points, bool bold) {
    QFont font(kSansSerif);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    // A bitmap face offers only its own sizes; one well below the size asked for would shrink
    // the text, so the system's sans serif draws it instead.
    const QFontInfo got(font);
    if (got.family() == kSansSerif && got.pixelSize() < qRound(points * 96 / 72)) {
        font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    }
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

void SetHeadingText(QLabel* label, const QString& text) {
    const QFont windowFont = label->parentWidget()->font();
    const auto fits = [&](const QFont& font) {
        return QFontMetrics(font).horizontalAdvance(text) <= label->width();
    };
    QFont font = windowFont;
    // A pixel smaller at a time while the face has such sizes; a bitmap face has none, and
    // then Windows' own small face for cramped text takes over.
    for (int pixels = QFontInfo(font).pixelSize(); !fits(font) && pixels > 7; --pixels) {
        font.setPixelSize(pixels - 1);
    }
    if (!fits(font) && QFontDatabase::hasFamily(kSmallFonts)) {
        font = QFont(kSmallFonts);
        font.setPixelSize(11);
    }
    label->setFont(fits(windowFont) ? windowFont : font);
    label->setText(text);
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

WindowButton::WindowButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setAutoDefault(false);
}

void WindowButton::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers others = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && others == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace rotaline
