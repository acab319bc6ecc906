#include "hands/text_encoding.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/text_util.h"

namespace text {

namespace {

// Windows-1252 characters 0x80 to 0x9F; zero marks the five undefined bytes.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

bool IsValidUtf8(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* end = p + s.size();
    while (p < end) {
        unsigned char c = *p;
        if (c < 0x80) {
            // Runs of ASCII between the other characters go eight at a time,
            // and the word that ends a run gives the place of the byte that
            // ends it.
            std::uint64_t word;
            bool ended = false;
            while (end - p >= 8) {
                std::memcpy(&word, p, 8);
                std::uint64_t high = word & 0x8080808080808080ull;
                if (high != 0) {
                    if constexpr (std::endian::native == std::endian::little) {
                        p += __builtin_ctzll(high) / 8;
                        ended = true;
                    }
                    break;
                }
                p += 8;
            }
            if (!ended) {
                while (p < end && *p < 0x80) ++p;
            }
            continue;
        }
        int extra;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= extra) return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        p += extra + 1;
    }
    return true;
}

void AppendWindows1252AsUtf8(std::string_view s, std::string& out) {
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else if (c < 0xA0 && kCp1252High[c - 0x80] != 0) {
            platform::AppendUtf8(out, kCp1252High[c - 0x80]);
        } else {
            platform::AppendUtf8(out, c);
        }
    }
}

void NormaliseLineToUtf8(std::string& line) {
    if (IsValidUtf8(line)) return;
    std::string converted;
    converted.reserve(line.size() + 8);
    AppendWindows1252AsUtf8(line, converted);
    line.swap(converted);
}

bool EndsLinesWithCrAlone(std::string_view head) {
    // A CR as the block's last byte may be the first half of a CR LF that the
    // block cuts; it does not count.
    const std::size_t cr = head.find('\r');
    return cr != std::string_view::npos && cr + 1 < head.size() &&
           head.find('\n') == std::string_view::npos;
}

bool LooksLikeUtf16LeWithoutMark(std::string_view head) {
    // Single-byte text never has a zero at every odd offset of its start, and
    // UTF-8 or Windows-1252 text never holds a zero at all.
    std::size_t n = std::min<std::size_t>(head.size(), 64);
    n -= n % 2;
    if (n < 4) return false;
    for (std::size_t i = 0; i < n; i += 2) {
        if (head[i] == '\0' || head[i + 1] != '\0') return false;
    }
    return true;
}

}  // namespace text
