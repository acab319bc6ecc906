#pragma once
// Numbers as the Full Tilt, PartyPoker, Absolute, InterPoker and TruePoker
// histories write them, on top of hands/parse_text.h: amounts with thousands
// separators, decimal commas or a "K", and hand numbers behind a letter
// prefix. No helper reads outside the view it is given.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace hands {

// How ReadLooseAmount treats a letter K right after the number.
enum class ThousandSuffix { kIgnore, kMultiply };

// Reads an amount at `pos` and returns it in hundredths. Blanks, one
// currency sign ("$", "US$", euro and pound signs) and blanks after it are
// passed over first. A comma followed by exactly three digits is a thousands
// separator ("1,500" is 1500); a comma or point followed by one or two
// digits and then no further digit is the decimal mark ("26,02" is 26.02).
// With kMultiply a "K" right after the number multiplies it by 1000. No digit
// gives 0 and leaves `*end` at `pos`. At most 64 bytes are examined. Throws
// CParseError when the amount exceeds kMaxAmount.
std::int32_t ReadLooseAmount(std::string_view line, std::size_t pos, std::size_t* end = nullptr,
                             ThousandSuffix suffix = ThousandSuffix::kIgnore);

// The amount after the first `marker` at or after `from` (ReadLooseAmount);
// nullopt when the marker is missing.
std::optional<std::int32_t> AmountAfter(std::string_view line, std::string_view marker,
                                        std::size_t from = 0);

// The first run of digits at or after `pos` read as a 64-bit number, letters
// before it passed over ("C282012441" gives 282012441); 0 when a blank or the
// end comes first.
std::uint64_t ReadHandNumber(std::string_view line, std::size_t pos);

}  // namespace hands
