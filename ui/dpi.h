// Pixel-density scaling of the window description: lengths, rectangles and font heights are
// multiplied by dpi/96 and rounded to the nearest pixel, half away from zero (as MulDiv does).
#pragma once

#include "ui/geometry.h"

namespace orbelin {

inline constexpr int kDesignDpi = 96;

constexpr int ScaleLength(int value, int dpi) {
    const long long product = static_cast<long long>(value) * dpi;
    const long long half = kDesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi));
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
