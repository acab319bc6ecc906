#pragma once
// A Canvas that records each call, for tests of painting code: compare the
// whole Describe() text with an expected drawing, or inspect Ops().

#include <string>
#include <vector>

#include "platform/canvas.h"

namespace platform {

class RecordingCanvas : public Canvas {
  public:
    // One recorded call; the fields that do not apply to its kind stay default.
    struct Op {
        enum class Kind { kFill, kLine, kText } kind = Kind::kFill;
        Rect rect;                  // kFill
        std::vector<Point> points;  // kLine
        int width = 1;              // kLine
        Color color;                // kFill, kLine
        int x = 0;                  // kText
        int y = 0;                  // kText
        std::string text;           // kText
        TextStyle style;            // kText
        bool operator==(const Op&) const = default;
    };

    RecordingCanvas(int width, int height) : width_(width), height_(height) {}

    void FillRect(const Rect& rect, Color color) override;
    void PolyLine(std::span<const Point> points, int width, Color color) override;
    void Text(int x, int y, std::string_view text, const TextStyle& style) override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }

    const std::vector<Op>& Ops() const { return ops_; }
    // One line per call, e.g. "fill 0,0-10,10 #e4cbb1" or
    // "line 2 #003366 1,2 3,4" or "text 5,6 right/top transparent Arial 14 bold #003366 'label'".
    std::string Describe() const;

  private:
    int width_;
    int height_;
    std::vector<Op> ops_;
};

}  // namespace platform
