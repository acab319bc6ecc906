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

// The instant of Eastern wall-clock time `wall`, computed the way hand times
// have always been stored: the time read as if it were local time, plus 4
// hours when the machine's clock is in daylight-saving time at `now` and 5
// hours otherwise, plus the machine's offset of local time from UTC at
// `now`. So the Eastern offset follows the machine's daylight-saving state at
// `now`, not the hand's date; with TZ=UTC the result is the wall time plus
// five hours. The machine's zone is the one read by the last ReloadTimeZone
// (or at the first conversion); results are cached until the next reading.
std::int64_t EasternToUtc(const CWallClock& wall, std::time_t now);

// As above with `now` the current time.
std::int64_t EasternToUtc(const CWallClock& wall);

// Reads the machine's time zone (the TZ variable) again and drops the cached
// conversions of every thread. The line reader calls it whenever it starts
// on a file or text; a program that changes TZ calls it afterwards.
void ReloadTimeZone();
