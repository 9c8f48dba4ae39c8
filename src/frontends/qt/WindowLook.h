// What the two windows share in their look: fonts, yellow labels, centring.
#pragma once

#include <QColor>
#include <QFont>

class QLabel;
class QWidget;

namespace rotaline {

inline const QColor kLabelYellow{255, 255, 0};

// "MS Sans Serif" 8.25 point where it exists; the system's sans serif elsewhere.
QFont DefaultWindowFont();
// Yellow text drawn straight over the window's picture, centred.
void MakeTransparentLabel(QLabel* label);
// Moves a top-level window to the centre of its screen.
void CentreOnScreen(QWidget* window);

} // namespace rotaline
