#pragma once
// Conversion of a wall-clock time written in US Eastern time into an instant
// (seconds since 1970, UTC).

#include <cstdint>
#include <ctime>

struct CWallClock {
    int year = 0;
    int month = 0;   // 1..12
    int day = 0;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..59
};

// The instant of Eastern wall-clock time `wall`: the time of New York, with
// its daylight saving as it was on the wall clock's date, from the system's
// time-zone database (America/New_York; today's rule when the database is
// missing). Independent of the machine's own zone. A wall time that the
// clocks skip is read with the offset before the change; one they show twice
// gives the earlier instant.
std::int64_t EasternToUtc(const CWallClock& wall);

// Reads the machine's time zone (the TZ variable) again, for the parsers that
// convert from the machine's local time. The line reader calls it whenever it
// starts on a file or text; a program that changes TZ calls it afterwards.
void ReloadTimeZone();
