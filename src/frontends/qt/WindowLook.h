// What the two windows share in their look: fonts, yellow labels, centring, buttons.
#pragma once

#include <QColor>
#include <QFont>
#include <QPushButton>

class QLabel;
class QWidget;

namespace rotaline {

inline const QColor kLabelYellow{255, 255, 0};

// Makes "MS Sans Serif", "Small Fonts" and "Marlett" known to the program where they lie outside
// the system's font folders (Wine's fonts on Linux). Once is enough; later calls do nothing.
void LoadWindowFonts();
// "MS Sans Serif" 8.25 point where it exists; the system's sans serif elsewhere.
QFont DefaultWindowFont();
// "MS Sans Serif" at the given size and weight, or the system's sans serif where that face
// cannot be had at that size (a bitmap face comes in few sizes).
QFont WindowFont(qreal points, bool bold);
// Yellow text drawn straight over the window's picture, centred.
void MakeTransparentLabel(QLabel* label);
// Sets a heading's text in the window's font, or in a smaller one where the text would not fit
// the label's width, so that it always reads in full.
void SetHeadingText(QLabel* label, const QString& text);
// Moves a top-level window to the centre of its screen.
void CentreOnScreen(QWidget* window);

// A button that Enter (either key) presses while it has the focus, as Space does; it is never a
// default button, so Enter elsewhere presses nothing.
class WindowButton : public QPushButton {
public:
    WindowButton(const QString& text, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace rotaline
