#pragma once
// Player names and seat lines of the Full Tilt, PartyPoker, Absolute,
// InterPoker and TruePoker histories: the length limit every name is held
// to, and the parts of a "Seat N: name (stack)" line.

#include <cstddef>
#include <string_view>

namespace hands {

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
