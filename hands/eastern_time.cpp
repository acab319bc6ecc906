#include "hands/eastern_time.h"

#include <string_view>

#include "hands/zone_rules.h"

namespace {

// The rule New York has kept since 2007, for a machine without the
// time-zone database: earlier hands are then read with today's rule.
constexpr std::string_view kNewYorkRule = "EST5EDT,M3.2.0,M11.1.0";

// Read once: the database does not change while the program runs, and
// reading it per hand would dominate parsing.
const CZoneRules& NewYork() {
    static const CZoneRules zone = [] {
        CZoneRules rules;
        if (!rules.Load("America/New_York")) rules.LoadRule(kNewYorkRule);
        return rules;
    }();
    return zone;
}

}  // namespace

void ReloadTimeZone() { tzset(); }

std::int64_t EasternToUtc(const CWallClock& wall) {
    const std::int64_t local = DaysFromCivil(wall.year, wall.month, wall.day) * 86400 +
                               wall.hour * 3600 + wall.minute * 60 + wall.second;
    return NewYork().LocalToUtc(local);
}
