#pragma once
// Advance widths of the fonts the program draws with, in thousandths of the
// em, for the printable ASCII characters. "Arial" (regular and bold) is the
// only face in use; other faces are measured as Arial. Characters outside
// ASCII count as the width of "n".

#include <string_view>

namespace platform {

// Advance width of one character (given as its UTF-8 lead byte's code point
// when ASCII) in thousandths of the em.
int CharAdvance(char32_t c, bool bold);
// Width in pixels of UTF-8 text at the given em size: the sum of the
// advances, rounded once at the end.
int MeasureText(std::string_view utf8, int emPixels, bool bold);
// Distance from the top of a line of text to its baseline, and from the
// baseline to the bottom, in pixels at the given em size.
int FontAscent(int emPixels);
int FontDescent(int emPixels);

}  // namespace platform
