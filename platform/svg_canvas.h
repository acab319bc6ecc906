#pragma once
// A Canvas that writes SVG, which the desk shows as the painted window's
// content. Text is escaped for XML and stripped of characters XML cannot
// carry, so hostile names cannot break out of the drawing.

#include <string>

#include "platform/canvas.h"

namespace platform {

class SvgCanvas : public Canvas {
  public:
    SvgCanvas(int width, int height);

    void FillRect(const Rect& rect, Color color) override;
    void PolyLine(std::span<const Point> points, int width, Color color) override;
    void Text(int x, int y, std::string_view text, const TextStyle& style) override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }

    // The complete SVG document drawn so far.
    std::string Svg() const;

  private:
    int width_;
    int height_;
    std::string body_;
};

// Escapes UTF-8 text for XML character data and attribute values: & < > " '
// become entities, control characters other than tab and line feed are
// dropped, and malformed UTF-8 becomes U+FFFD.
std::string EscapeXml(std::string_view text);

}  // namespace platform
