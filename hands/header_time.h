#pragma once
// The date and time of a hand header: month names, time-zone abbreviations,
// two-digit fields, and the conversion of a wall-clock time in a named zone
// or in the machine's zone into an instant. US Eastern times are converted
// by hands/eastern_time.h.

#include <cstddef>
#include <optional>
#include <string_view>

#include "hands/eastern_time.h"

namespace hands {

// Month number 1..12 of an English month name or its three-letter start
// ("Jan", "july"); 0 when it is none.
int MonthFromName(std::string_view name);

// Offset from UTC in seconds of a time-zone abbreviation with a fixed offset
// (CET, CEST, WET, BST, MSK, ..., and EST and EDT written as such); nullopt
// for "ET" and for an unknown abbreviation. "ET" is converted by EasternToUtc
// with New York's rules.
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

}  // namespace hands
