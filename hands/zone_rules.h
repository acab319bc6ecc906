#pragma once
// CZoneRules: the offsets from UTC of one time zone, read from the system's
// time-zone database (the TZif files that tzdata installs under
// /usr/share/zoneinfo). Converts instants to the zone's offset and wall
// clocks of the zone to instants, independent of the TZ variable and of the
// machine's own zone.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Days since 1970-01-01 of a civil date (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(std::int64_t year, int month, int day);

class CZoneRules {
  public:
    // Reads the zone `name` ("America/New_York") from the database folder:
    // $TZDIR when set, else /usr/share/zoneinfo. False (and Loaded() false)
    // when the file is missing or is not a TZif file.
    bool Load(std::string_view name);
    // Reads a TZif file's bytes; false when they are not a TZif file.
    bool LoadBytes(std::string_view bytes);
    // Takes the offsets of every instant from one POSIX TZ rule
    // ("EST5EDT,M3.2.0,M11.1.0"), for a machine without the database; false
    // when the rule is malformed.
    bool LoadRule(std::string_view rule);
    bool Loaded() const { return loaded_; }

    // Offset east of UTC, in seconds, in force at the instant `utc`.
    int OffsetAt(std::int64_t utc) const;
    // The instant at which the zone's clocks show `local` (a wall-clock time
    // counted in seconds since 1970 as if it were UTC). A wall time that the
    // clocks skip (spring forward) is read with the offset in force before
    // the change; one they show twice (fall back) gives the earlier instant.
    std::int64_t LocalToUtc(std::int64_t local) const;

  private:
    // A rule of the POSIX TZ form "EST5EDT,M3.2.0,M11.1.0" that the file
    // gives for instants after its last transition.
    struct Rule {
        int month = 0;    // 1..12
        int week = 0;     // 1..5, 5 meaning the last
        int weekday = 0;  // 0 Sunday
        int time = 7200;  // seconds after local midnight
    };
    bool ParseFooter(std::string_view footer);
    int FooterOffsetAt(std::int64_t utc) const;

    bool loaded_ = false;
    std::vector<std::int64_t> transitions_;  // ascending instants
    std::vector<int> offsets_;               // offset in force from each transition on
    int initialOffset_ = 0;                  // before the first transition
    bool hasFooter_ = false;
    bool footerHasDst_ = false;
    int stdOffset_ = 0;
    int dstOffset_ = 0;
    Rule dstStart_;
    Rule dstEnd_;
};
