// Integer points, sizes and rectangles in pixels, as the window description and layout use them.
#pragma once

namespace orbelin {

struct Point {
    int x = 0;
    int y = 0;
    friend constexpr bool operator==(Point, Point) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(Size, Size) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    constexpr int right() const { return left + width; }
    constexpr int bottom() const { return top + height; }
    constexpr bool Contains(Point p) const { return p.x >= left && p.x < right() && p.y >= top && p.y < bottom(); }
    friend constexpr bool operator==(Rect, Rect) = default;
};

}  // namespace orbelin
