#pragma once
// Drawing for painted windows (the graph window): rectangles, poly-lines and
// text. Text widths come from a fixed metrics table (font_metrics.h), so a
// layout computed from them is the same on every machine and in every
// browser that shows the drawing.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/geometry.h"

namespace platform {

struct Color {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Color&) const = default;
};

inline constexpr Color Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return Color{r, g, b};
}

struct Font {
    std::string face = "Arial";
    int height = 14;  // em size in pixels
    bool bold = false;
    bool operator==(const Font&) const = default;
};

enum class TextAlign { kLeft, kCenter, kRight };
enum class TextBaseline { kTop, kBaseline, kBottom };
enum class TextBackground { kTransparent, kOpaque };

struct TextStyle {
    Font font;
    Color color;
    TextAlign align = TextAlign::kLeft;
    TextBaseline baseline = TextBaseline::kTop;
    TextBackground background = TextBackground::kTransparent;
    Color backgroundColor = Rgb(255, 255, 255);
    bool operator==(const TextStyle&) const = default;
};

class Canvas {
  public:
    virtual ~Canvas() = default;
    // Fills rect (right and bottom exclusive) with color.
    virtual void FillRect(const Rect& rect, Color color) = 0;
    // Joins the points with straight lines of the given width and color.
    virtual void PolyLine(std::span<const Point> points, int width, Color color) = 0;
    // Draws UTF-8 text anchored at (x, y) as the style's alignment says; an
    // opaque background fills the text's box first.
    virtual void Text(int x, int y, std::string_view text, const TextStyle& style) = 0;
    // Width of text in pixels in font, from the metrics table.
    int TextWidth(std::string_view text, const Font& font) const;
    // The size of the drawing surface.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

}  // namespace platform
