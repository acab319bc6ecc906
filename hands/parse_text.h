#pragma once
// The small std::string_view helper set every hand-history parser reads its
// lines with. Positions are byte offsets into the line; a marker that is not
// found is reported as std::string_view::npos and never as an exception, and
// no helper reads outside the view it is given.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace hands {

inline constexpr std::size_t kNpos = std::string_view::npos;

// Largest amount in hundredths a parser accepts for one history amount. A
// bigger number is rejected rather than wrapped (20 million units, far above
// any stake or chip count a hand record can sum in 32 bits).
inline constexpr std::int64_t kMaxAmount = 2'000'000'000;

// Whether `line` begins with `prefix`.
inline bool StartsWith(std::string_view line, std::string_view prefix) {
    if (line.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (line[i] != prefix[i]) return false;
    }
    return true;
}

// Position of `marker` at or after `from`; npos when it does not occur there
// (also when `from` is beyond the end of the line). An empty marker is found
// at `from`. Lines and markers are short, so a plain scan that checks the
// first and last byte before the rest beats the library search, which calls
// into the C library once per candidate.
inline std::size_t FindFrom(std::string_view line, std::string_view marker, std::size_t from = 0) {
    const std::size_t n = marker.size();
    if (from > line.size() || line.size() - from < n) return kNpos;
    if (n == 0) return from;
    const char first = marker[0];
    const char last = marker[n - 1];
    const char* data = line.data();
    for (std::size_t i = from, end = line.size() - n; i <= end; ++i) {
        if (data[i] != first || data[i + n - 1] != last) continue;
        std::size_t k = 1;
        while (k + 1 < n && data[i + k] == marker[k]) ++k;
        if (k + 1 >= n) return i;
    }
    return kNpos;
}

// Whether `marker` occurs at a position of 1 or more (after the first
// character), the form most line tests use.
inline bool ContainsAfterFirst(std::string_view line, std::string_view marker) {
    return line.size() > 1 && FindFrom(line, marker, 1) != kNpos;
}

// Whether `marker` occurs anywhere in `line`.
inline bool Contains(std::string_view line, std::string_view marker) { return FindFrom(line, marker) != kNpos; }

// Position of the last occurrence of `marker`; npos when missing.
std::size_t FindLast(std::string_view line, std::string_view marker);

// `line` without blanks (space, tab, CR, LF, VT, FF) at both ends.
std::string_view Trim(std::string_view line);

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
int ReadField(std::string_view line, std::size_t pos, std::size_t width);

}  // namespace hands
