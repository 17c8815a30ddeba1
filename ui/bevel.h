// The etched frame: a one-pixel outline in the highlight colour, one pixel in from the box's
// top-left, with a shadow outline drawn over it from the box's own corner; corners inclusive.
#pragma once

#include <array>

#include "ui/geometry.h"
#include "ui/text_style.h"

namespace orbelin {

struct FrameLine {
    Rect line;  // one pixel thick
    TColor colour;
};

// Eight lines in drawing order: the highlight outline, then the shadow outline over it.
constexpr std::array<FrameLine, 8> EtchedFrame(Rect box) {
    auto outline = [](int left, int top, int right, int bottom) {
        return std::array<Rect, 4>{Rect{left, top, right - left + 1, 1}, Rect{left, bottom, right - left + 1, 1},
                                   Rect{left, top, 1, bottom - top + 1}, Rect{right, top, 1, bottom - top + 1}};
    };
    const auto light = outline(box.left + 1, box.top + 1, box.right() - 1, box.bottom() - 1);
    const auto dark = outline(box.left, box.top, box.right() - 2, box.bottom() - 2);
    std::array<FrameLine, 8> lines = {};
    for (int i = 0; i < 4; ++i) {
        lines[i] = {light[i], clBtnHighlight};
        lines[4 + i] = {dark[i], clBtnShadow};
    }
    return lines;
}

}  // namespace orbelin
