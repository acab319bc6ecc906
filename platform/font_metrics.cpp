#include "platform/font_metrics.h"

#include "platform/text_util.h"

namespace platform {

namespace {

// Widths for ' ' (32) to '~' (126).
constexpr short kRegular[95] = {
    278, 278, 355, 556, 556, 889, 667,  191, 333, 333, 389, 584, 278, 333, 278, 278,  // ' ' to '/'
    556, 556, 556, 556, 556, 556, 556,  556, 556, 556,                                // '0' to '9'
    278, 278, 584, 584, 584, 556, 1015,                                               // ':' to '@'
    667, 667, 722, 722, 667, 611, 778,  722, 278, 500, 667, 556, 833,                 // 'A' to 'M'
    722, 778, 667, 778, 722, 667, 611,  722, 667, 944, 667, 667, 611,                 // 'N' to 'Z'
    278, 278, 278, 469, 556, 333,                                                     // '[' to '`'
    556, 556, 500, 556, 556, 278, 556,  556, 222, 222, 500, 222, 833,                 // 'a' to 'm'
    556, 556, 556, 556, 333, 500, 278,  556, 500, 722, 500, 500, 500,                 // 'n' to 'z'
    334, 260, 334, 584,                                                               // '{' to '~'
};

constexpr short kBold[95] = {
    278, 333, 474, 556, 556, 889, 722, 238, 333, 333, 389, 584, 278, 333, 278, 278, 556, 556, 556,
    556, 556, 556, 556, 556, 556, 556, 333, 333, 584, 584, 584, 611, 975, 722, 722, 722, 722, 667,
    611, 778, 722, 278, 556, 722, 611, 833, 722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667,
    667, 611, 333, 278, 333, 584, 556, 333, 556, 611, 556, 611, 556, 333, 611, 611, 278, 278, 556,
    278, 889, 611, 611, 611, 611, 389, 556, 333, 611, 556, 778, 556, 556, 500, 389, 280, 389, 584,
};

}  // namespace

int CharAdvance(char32_t c, bool bold) {
    const short* table = bold ? kBold : kRegular;
    if (c >= 32 && c <= 126) return table[c - 32];
    return table['n' - 32];
}

int MeasureText(std::string_view utf8, int emPixels, bool bold) {
    if (emPixels <= 0) return 0;
    long long total = 0;
    for (char16_t u : Utf8ToUtf16(utf8)) {
        if (u >= 0xDC00 && u <= 0xDFFF) continue;  // second half of a pair: one character
        if (u < 0x20) continue;                    // control characters are not drawn
        total += CharAdvance(u, bold);
    }
    return static_cast<int>((total * emPixels + 500) / 1000);
}

int FontAscent(int emPixels) { return (emPixels * 905 + 500) / 1000; }

int FontDescent(int emPixels) { return (emPixels * 212 + 500) / 1000; }

}  // namespace platform
