#pragma once
// Parsing helpers used by the Full Tilt, PartyPoker, Absolute, InterPoker and
// TruePoker parsers on top of hands/parse_text.h: amounts written with
// thousands separators, decimal commas or a "K", time zones named in the
// header, month names, and card codes written with "10" for the ten. Like
// parse_text.h, no helper reads outside the view it is given.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "hands/eastern_time.h"

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

// Month number 1..12 of an English month name or its three-letter start
// ("Jan", "july"); 0 when it is none.
int MonthFromName(std::string_view name);

// Offset from UTC in seconds of a time-zone abbreviation other than the US
// Eastern ones (CET, CEST, WET, BST, MSK, ...), nullopt for an Eastern or an
// unknown abbreviation. The Eastern zones are converted by EasternToUtc.
std::optional<int> ZoneOffsetSeconds(std::string_view abbreviation);

// Whether the abbreviation names US Eastern time (ET, EST, EDT).
bool IsEasternZone(std::string_view abbreviation);

// Whether the wall clock holds a real calendar date and time of day.
bool IsValidWallClock(const CWallClock& wall);

// The instant of `wall` in a zone `offsetSeconds` east of UTC; independent of
// the machine's time zone.
std::int64_t ZonedToUtc(const CWallClock& wall, int offsetSeconds);

// The instant of `wall` read as the machine's local time (mktime).
std::int64_t LocalToUtc(const CWallClock& wall);

// Two-digit field at `pos` ("07" gives 7), -1 when it is not two digits.
int TwoDigits(std::string_view text, std::size_t pos);

// `line` with every card code written with a ten ("10d") rewritten with the
// rank letter ("Td"), in `buffer`; the returned view points into `buffer`
// when something was rewritten and is `line` itself otherwise.
std::string_view NormalizeTens(std::string_view line, std::string& buffer);

// Case-insensitive (ASCII) search for `marker`; npos when it is missing.
std::size_t FindNoCase(std::string_view line, std::string_view marker, std::size_t from = 0);

// Longest player name a parser accepts; a longer one rejects the hand so
// hostile text cannot grow the name maps without bound.
inline constexpr std::size_t kMaxNameLength = 100;

// `name` trimmed; throws CParseError when it is empty or longer than
// kMaxNameLength.
std::string_view CheckedName(std::string_view name);

// The parts of a "Seat N: name (stack) ..." line.
struct SeatLine {
    int seat = 0;           // 1..10
    std::string_view name;  // checked (CheckedName)
};
// Reads a seat line: the seat number in the two bytes before the first
// ": ", and the name from after it up to the last `nameEnd`, or to a
// " sits out" after that, or to the end of the line. Throws CParseError
// for a line without ": " after its seat, a seat outside 1..10 or a bad name.
SeatLine ReadSeatLine(std::string_view line, std::string_view nameEnd);

}  // namespace hands
