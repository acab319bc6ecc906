#include "platform/recording_canvas.h"

#include <cstdio>

namespace platform {

namespace {

std::string Hex(Color c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c.r, c.g, c.b);
    return buf;
}

}  // namespace

void RecordingCanvas::FillRect(const Rect& rect, Color color) {
    Op op;
    op.kind = Op::Kind::kFill;
    op.rect = rect;
    op.color = color;
    ops_.push_back(std::move(op));
}

void RecordingCanvas::PolyLine(std::span<const Point> points, int width, Color color) {
    Op op;
    op.kind = Op::Kind::kLine;
    op.points.assign(points.begin(), points.end());
    op.width = width;
    op.color = color;
    ops_.push_back(std::move(op));
}

void RecordingCanvas::Text(int x, int y, std::string_view text, const TextStyle& style) {
    Op op;
    op.kind = Op::Kind::kText;
    op.x = x;
    op.y = y;
    op.text = std::string(text);
    op.style = style;
    ops_.push_back(std::move(op));
}

std::string RecordingCanvas::Describe() const {
    std::string out;
    for (const Op& op : ops_) {
        if (op.kind == Op::Kind::kFill) {
            const Op* f = &op;
            out += "fill " + std::to_string(f->rect.left) + "," + std::to_string(f->rect.top) +
                   "-" + std::to_string(f->rect.right) + "," + std::to_string(f->rect.bottom) +
                   " " + Hex(f->color) + "\n";
        } else if (op.kind == Op::Kind::kLine) {
            const Op* l = &op;
            out += "line " + std::to_string(l->width) + " " + Hex(l->color);
            for (const Point& p : l->points)
                out += " " + std::to_string(p.x) + "," + std::to_string(p.y);
            out += "\n";
        } else {
            const Op* t = &op;
            static constexpr const char* kAlign[] = {"left", "center", "right"};
            static constexpr const char* kBase[] = {"top", "baseline", "bottom"};
            const TextStyle& s = t->style;
            out += "text " + std::to_string(t->x) + "," + std::to_string(t->y) + " " +
                   kAlign[static_cast<int>(s.align)] + "/" + kBase[static_cast<int>(s.baseline)] +
                   " " +
                   (s.background == TextBackground::kOpaque ? "opaque " + Hex(s.backgroundColor)
                                                            : "transparent") +
                   " " + s.font.face + " " + std::to_string(s.font.height) +
                   (s.font.bold ? " bold " : " ") + Hex(s.color) + " '" + t->text + "'\n";
        }
    }
    return out;
}

}  // namespace platform
