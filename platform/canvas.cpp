#include "platform/canvas.h"

#include "platform/font_metrics.h"

namespace platform {

int Canvas::TextWidth(std::string_view text, const Font& font) const {
    return MeasureText(text, font.height, font.bold);
}

}  // namespace platform
