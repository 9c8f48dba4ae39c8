// The windows are laid out in twips; at 96 dots per inch 15 twips make one pixel.
#pragma once

#include <QRect>

namespace rotaline {

constexpr int TwipsToPixels(int twips) {
    return twips / 15;
}

inline QRect TwipsRect(int left, int top, int width, int height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

} // namespace rotaline
