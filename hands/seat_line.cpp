#include "hands/seat_line.h"

#include "hands/parse_error.h"
#include "hands/parse_text.h"

namespace hands {

std::string_view CheckedName(std::string_view name) {
    name = Trim(name);
    if (name.empty()) throw CParseError("empty player name");
    if (name.size() > kMaxNameLength) throw CParseError("player name too long");
    return name;
}

SeatLine ReadSeatLine(std::string_view line, std::string_view nameEnd) {
    std::size_t colon = line.find(": ");
    if (colon == kNpos || colon < 2) throw CParseError("malformed seat line");
    SeatLine parts;
    parts.seat = ReadField(line, colon - 2, 2);
    if (parts.seat < 1 || parts.seat > 10) throw CParseError("seat number out of range");
    std::size_t start = colon + 2;
    std::size_t end = line.rfind(nameEnd);
    std::size_t sitsOut = FindFrom(line, " sits out", start);
    if (sitsOut != kNpos && (end == kNpos || sitsOut > end)) end = sitsOut;
    if (end == kNpos || end < start) end = line.size();
    parts.name = CheckedName(line.substr(start, end - start));
    return parts;
}

}  // namespace hands
