#pragma once
// Points and rectangles in pixels, with the edges-based rectangle of the
// window system: right and bottom are one past the last pixel.

#include <algorithm>

namespace platform {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    // The overlap of the two rectangles (empty when they do not meet).
    Rect Intersect(const Rect& o) const {
        Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
               std::min(bottom, o.bottom)};
        if (r.Empty()) return Rect{};
        return r;
    }
    static Rect FromSize(int x, int y, int width, int height) {
        return Rect{x, y, x + width, y + height};
    }
    bool operator==(const Rect&) const = default;
};

}  // namespace platform
