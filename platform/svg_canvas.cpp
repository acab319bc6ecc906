#include "platform/svg_canvas.h"

#include <cstdio>

#include "platform/font_metrics.h"
#include "platform/text_util.h"

namespace platform {

namespace {

std::string Hex(Color c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c.r, c.g, c.b);
    return buf;
}

}  // namespace

std::string EscapeXml(std::string_view text) {
    const std::string clean = Utf16ToUtf8(Utf8ToUtf16(text));
    std::string out;
    out.reserve(clean.size());
    for (char c : clean) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') break;
                out += c;
        }
    }
    return out;
}

SvgCanvas::SvgCanvas(int width, int height)
    : width_(width < 0 ? 0 : width), height_(height < 0 ? 0 : height) {}

void SvgCanvas::FillRect(const Rect& rect, Color color) {
    if (rect.Empty()) return;
    body_ += "<rect x=\"" + std::to_string(rect.left) + "\" y=\"" + std::to_string(rect.top) +
             "\" width=\"" + std::to_string(rect.Width()) + "\" height=\"" +
             std::to_string(rect.Height()) + "\" fill=\"" + Hex(color) + "\"/>\n";
}

void SvgCanvas::PolyLine(std::span<const Point> points, int width, Color color) {
    if (points.size() < 2) return;
    body_ += "<polyline points=\"";
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0) body_ += ' ';
        body_ += std::to_string(points[i].x) + "," + std::to_string(points[i].y);
    }
    body_ += "\" fill=\"none\" stroke=\"" + Hex(color) + "\" stroke-width=\"" +
             std::to_string(width < 1 ? 1 : width) +
             "\" stroke-linejoin=\"round\" stroke-linecap=\"round\"/>\n";
}

void SvgCanvas::Text(int x, int y, std::string_view text, const TextStyle& style) {
    const int width = TextWidth(text, style.font);
    int left = x;
    const char* anchor = "start";
    if (style.align == TextAlign::kCenter) {
        left = x - width / 2;
        anchor = "middle";
    } else if (style.align == TextAlign::kRight) {
        left = x - width;
        anchor = "end";
    }
    // SVG places text by its baseline; the top and bottom anchors are turned
    // into a baseline with the table's ascent and descent.
    const int ascent = FontAscent(style.font.height);
    const int descent = FontDescent(style.font.height);
    int baseline = y;
    if (style.baseline == TextBaseline::kTop) baseline = y + ascent;
    if (style.baseline == TextBaseline::kBottom) baseline = y - descent;
    if (style.background == TextBackground::kOpaque) {
        FillRect(Rect{left, baseline - ascent, left + width, baseline + descent},
                 style.backgroundColor);
    }
    body_ += "<text x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(baseline) +
             "\" font-family=\"" + EscapeXml(style.font.face) + "\" font-size=\"" +
             std::to_string(style.font.height) + "\"";
    if (style.font.bold) body_ += " font-weight=\"bold\"";
    body_ += " fill=\"" + Hex(style.color) + "\" text-anchor=\"" + anchor +
             "\" xml:space=\"preserve\">" + EscapeXml(text) + "</text>\n";
}

std::string SvgCanvas::Svg() const {
    const std::string w = std::to_string(width_);
    const std::string h = std::to_string(height_);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h +
           "\" viewBox=\"0 0 " + w + " " + h + "\">\n" + body_ + "</svg>\n";
}

}  // namespace platform
