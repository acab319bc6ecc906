#pragma once
// The small std::string_view helper set every hand-history parser reads its
// lines with. Positions are byte offsets into the line; a marker that is not
// found is reported as std::string_view::npos and never as an exception, and
// no helper reads outside the view it is given.

#include <string.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hands {

inline constexpr std::size_t kNpos = std::string_view::npos;

// Largest amount in hundredths a parser accepts for one history amount. A
// bigger number is rejected rather than wrapped (20 million units, far above
// any stake or chip count a hand record can sum in 32 bits).
inline constexpr std::int64_t kMaxAmount = 2'000'000'000;
static_assert(kMaxAmount % 100 == 0, "whole units are checked against kMaxAmount / 100");

template <typename Word>
inline Word LoadWord(const char* p) {
    Word word;
    __builtin_memcpy(&word, p, sizeof word);
    return word;
}

// Whether the n bytes at a and b are equal. The texts compared here are
// short: two loads of the widest word that fits, overlapping in the middle,
// settle up to sixteen bytes with a branch on the length class only.
inline bool SameBytes(const char* a, const char* b, std::size_t n) {
    if (n >= 8) {
        for (; n > 16; n -= 8, a += 8, b += 8) {
            if (LoadWord<std::uint64_t>(a) != LoadWord<std::uint64_t>(b)) return false;
        }
        return ((LoadWord<std::uint64_t>(a) ^ LoadWord<std::uint64_t>(b)) |
                (LoadWord<std::uint64_t>(a + n - 8) ^ LoadWord<std::uint64_t>(b + n - 8))) == 0;
    }
    if (n >= 4) {
        return ((LoadWord<std::uint32_t>(a) ^ LoadWord<std::uint32_t>(b)) |
                (LoadWord<std::uint32_t>(a + n - 4) ^ LoadWord<std::uint32_t>(b + n - 4))) == 0;
    }
    if (n >= 2) {
        return ((LoadWord<std::uint16_t>(a) ^ LoadWord<std::uint16_t>(b)) |
                (LoadWord<std::uint16_t>(a + n - 2) ^ LoadWord<std::uint16_t>(b + n - 2))) == 0;
    }
    return n == 0 || *a == *b;
}

// Copies n bytes from src to dst (which do not overlap) the same way: up to
// sixteen bytes with two overlapping word copies, no library call.
inline void CopyBytes(char* dst, const char* src, std::size_t n) {
    auto copy = [&](auto word) {
        using Word = decltype(word);
        Word first = LoadWord<Word>(src);
        Word last = LoadWord<Word>(src + n - sizeof(Word));
        __builtin_memcpy(dst, &first, sizeof(Word));
        __builtin_memcpy(dst + n - sizeof(Word), &last, sizeof(Word));
    };
    if (n > 16) {
        __builtin_memcpy(dst, src, n);
    } else if (n >= 8) {
        copy(std::uint64_t{});
    } else if (n >= 4) {
        copy(std::uint32_t{});
    } else if (n >= 2) {
        copy(std::uint16_t{});
    } else if (n == 1) {
        *dst = *src;
    }
}

// Whether `line` begins with `prefix`.
inline bool StartsWith(std::string_view line, std::string_view prefix) {
    return line.size() >= prefix.size() && SameBytes(line.data(), prefix.data(), prefix.size());
}

// Position of `marker` at or after `from`; npos when it does not occur there
// (also when `from` is beyond the end of the line). An empty marker is found
// at `from`. The search jumps with the C library's byte search to the places
// holding the marker's first non-blank byte (markers often begin with a
// blank, which is everywhere in a line) and compares the marker there.
inline std::size_t FindFrom(std::string_view line, std::string_view marker, std::size_t from = 0) {
    const std::size_t n = marker.size();
    if (from > line.size() || line.size() - from < n) return kNpos;
    if (n == 0) return from;
    std::size_t anchor = 0;
    while (anchor + 1 < n && marker[anchor] == ' ') ++anchor;
    const char* data = line.data();
    // Candidate places are from .. end; the anchor byte of place p is at
    // p + anchor.
    const char* p = data + from + anchor;
    const char* stop = data + (line.size() - n) + anchor + 1;
    while (p < stop) {
        p = static_cast<const char*>(
            __builtin_memchr(p, marker[anchor], static_cast<std::size_t>(stop - p)));
        if (p == nullptr) return kNpos;
        const char* place = p - anchor;
        if (SameBytes(place, marker.data(), n)) return static_cast<std::size_t>(place - data);
        ++p;
    }
    return kNpos;
}

// Position of the first byte `c` at or after `from`; npos when none. Inline
// and without the C library's call, for the short spans of a line where a
// byte is usually absent: sixteen bytes at a time, the last block
// overlapping the one before rather than reading past the line.
inline std::size_t FindByte(std::string_view line, char c, std::size_t from) {
    const std::size_t n = line.size();
    if (from >= n) return kNpos;
#if defined(__SSE2__)
    if (n >= 16) {
        const __m128i wanted = _mm_set1_epi8(c);
        const char* data = line.data();
        std::size_t at = from;
        for (; at + 16 <= n; at += 16) {
            auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at)), wanted)));
            if (hits != 0) return at + static_cast<std::size_t>(__builtin_ctz(hits));
        }
        if (at < n) {
            const std::size_t block = n - 16;
            auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + block)), wanted)));
            hits = hits >> (at - block) << (at - block);
            if (hits != 0) return block + static_cast<std::size_t>(__builtin_ctz(hits));
        }
        return kNpos;
    }
#endif
    for (std::size_t i = from; i < n; ++i) {
        if (line[i] == c) return i;
    }
    return kNpos;
}

// Position of the first byte at or after `from` that can begin a currency
// sign ("$" or a byte above 0x7F); npos when none. As FindByte.
inline std::size_t FindSignByte(std::string_view line, std::size_t from) {
    const std::size_t n = line.size();
    if (from >= n) return kNpos;
#if defined(__SSE2__)
    if (n >= 16) {
        const __m128i dollar = _mm_set1_epi8('$');
        const char* data = line.data();
        auto hitsAt = [&](std::size_t at) {
            __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
            return static_cast<unsigned>(_mm_movemask_epi8(block) |
                                         _mm_movemask_epi8(_mm_cmpeq_epi8(block, dollar)));
        };
        std::size_t at = from;
        for (; at + 16 <= n; at += 16) {
            if (unsigned hits = hitsAt(at); hits != 0)
                return at + static_cast<std::size_t>(__builtin_ctz(hits));
        }
        if (at < n) {
            const std::size_t block = n - 16;
            unsigned hits = hitsAt(block) >> (at - block) << (at - block);
            if (hits != 0) return block + static_cast<std::size_t>(__builtin_ctz(hits));
        }
        return kNpos;
    }
#endif
    for (std::size_t i = from; i < n; ++i) {
        if (line[i] == '$' || static_cast<unsigned char>(line[i]) >= 0x80) return i;
    }
    return kNpos;
}

// Whether `marker` occurs at a position of 1 or more (after the first
// character), the form most line tests use.
inline bool ContainsAfterFirst(std::string_view line, std::string_view marker) {
    return line.size() > 1 && FindFrom(line, marker, 1) != kNpos;
}

// Whether `marker` occurs anywhere in `line`.
inline bool Contains(std::string_view line, std::string_view marker) {
    return FindFrom(line, marker) != kNpos;
}

// Whether `a` and `b` are equal when ASCII letters are compared without
// regard to case.
bool EqualsNoCase(std::string_view a, std::string_view b);

// Case-insensitive (ASCII) search for `marker`; npos when it is missing.
std::size_t FindNoCase(std::string_view line, std::string_view marker, std::size_t from = 0);

// Position of the last occurrence of `marker`; npos when missing.
std::size_t FindLast(std::string_view line, std::string_view marker);

// Position of the last byte `c` at or before `before` (all of the line when
// `before` is npos or past its end); npos when none. The C library searches
// from the end many bytes at a time.
inline std::size_t FindLastByte(std::string_view line, char c, std::size_t before = kNpos) {
    const std::size_t n = before < line.size() ? before + 1 : line.size();
    if (n == 0) return kNpos;
    const void* found = ::memrchr(line.data(), c, n);
    return found == nullptr
               ? kNpos
               : static_cast<std::size_t>(static_cast<const char*>(found) - line.data());
}

// Whether `c` is a blank: space, tab, LF, VT, FF, CR or NUL. NUL counts
// because one room's club client writes a NUL after every line end.
inline bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == '\0'; }

// `line` without blanks at both ends. Inline: every line and name is
// trimmed, and most have nothing to trim.
inline std::string_view Trim(std::string_view line) {
    // Every blank is at most ' ': a text whose two ends are above it is
    // returned at once.
    if (!line.empty() && static_cast<unsigned char>(line.front()) > ' ' &&
        static_cast<unsigned char>(line.back()) > ' ') {
        return line;
    }
    std::size_t begin = 0;
    std::size_t end = line.size();
    while (begin < end && IsBlank(line[begin])) ++begin;
    while (end > begin && IsBlank(line[end - 1])) --end;
    return std::string_view(line.data() + begin, end - begin);
}

// Up to `count` bytes of `line` from `from`; empty when `from` is at or past
// the end.
std::string_view Slice(std::string_view line, std::size_t from, std::size_t count = kNpos);

// Text from `from` up to (not including) the first `marker` at or after
// `from`; up to the end of the line when the marker is missing.
std::string_view UpTo(std::string_view line, std::size_t from, std::string_view marker);

// Bytes taken by a currency sign ("$", UTF-8 euro and pound signs, and the
// single Windows-1252 bytes 0x80 and 0xA3) starting at `pos`; 0 when none
// stands there.
std::size_t CurrencySignLength(std::string_view line, std::size_t pos);

// Reads a decimal amount starting at `pos`, skipping one currency sign there,
// and returns it in hundredths, exact to the hundredth ("0.29" gives 29,
// "1500" gives 150000; further decimals are dropped). At most 50 bytes are
// examined. No digit at `pos` gives 0. `end`, when given, receives the
// position after the number. Throws CParseError when the amount exceeds
// kMaxAmount.
std::int32_t ReadAmount(std::string_view line, std::size_t pos, std::size_t* end = nullptr);

// Twice an amount read from a history (the high limit from the low one).
// Throws CParseError when the result would leave the 32-bit range, since a
// read amount may be as large as kMaxAmount.
std::int32_t TwiceAmount(std::int32_t amount);

// Reads the unsigned decimal number starting at `pos` (no sign, no blanks),
// all its digits. No digit gives 0. Throws CParseError when the number does
// not fit in 64 bits.
std::uint64_t ReadUnsigned(std::string_view line, std::size_t pos, std::size_t* end = nullptr);

// Reads a small field the way the C library's atoi reads a fixed-width
// slice: the digits at the start of the `width` bytes from `pos` (leading
// blanks skipped). Returns -1 when there is no digit there.
inline int ReadField(std::string_view line, std::size_t pos, std::size_t width) {
    // Nine digits always fit in an int.
    if (width > 9) width = 9;
    if (pos >= line.size()) return -1;
    const char* text = line.data() + pos;
    const std::size_t size = std::min(width, line.size() - pos);
    std::size_t i = 0;
    while (i < size && text[i] == ' ') ++i;
    if (i >= size || text[i] < '0' || text[i] > '9') return -1;
    int value = 0;
    for (; i < size && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
    return value;
}

}  // namespace hands
