// The solid arrowheads of the Move and Remove buttons, where the "Marlett" font is missing.
#pragma once

#include <QIcon>

namespace rotaline {

enum class TriangleDirection { Right, Left };

// A solid black triangle of about 18 points, pointing the given way.
QIcon TriangleIcon(TriangleDirection direction);

} // namespace rotaline
