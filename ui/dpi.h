// Pixel-density scaling of the window description: lengths, rectangles and font heights are
// multiplied by dpi/96 and rounded to the nearest pixel, half away from zero (as MulDiv does).
#pragma once

#include "ui/geometry.h"

namespace orbelin {

inline constexpr int kDesignDpi = 96;

// Window lengths times a density stay far inside int; 32-bit arithmetic keeps libgcc's 64-bit
// division out of the 32-bit executable.
constexpr int ScaleLength(int value, int dpi) {
    const int product = value * dpi;
    const int half = kDesignDpi / 2;
    return product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi);
}

constexpr Point ScalePoint(Point p, int dpi) {
    return {ScaleLength(p.x, dpi), ScaleLength(p.y, dpi)};
}

constexpr Size ScaleSize(Size s, int dpi) {
    return {ScaleLength(s.width, dpi), ScaleLength(s.height, dpi)};
}

// Width and height come from the scaled edges, so neighbouring controls stay flush at any density.
constexpr Rect ScaleRect(Rect r, int dpi) {
    const int left = ScaleLength(r.left, dpi);
    const int top = ScaleLength(r.top, dpi);
    return {left, top, ScaleLength(r.right(), dpi) - left, ScaleLength(r.bottom(), dpi) - top};
}

}  // namespace orbelin
