#include "hands/eastern_time.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// mktime and localtime_r re-read the time-zone rules and take a lock on
// every call, which dominates parsing a hand. Hands of one file come in time
// order, so the last results are kept per thread and reused while the TZ
// variable is unchanged.
struct Cache {
    std::string tz;
    bool tzSet = false;
    // Local reading of a wall-clock hour: key and the instant of its start.
    std::int64_t hourKey = -1;
    std::int64_t hourStart = 0;
    // Machine state at a given second: Eastern plus local offset.
    std::time_t nowKey = -1;
    std::int64_t nowOffset = 0;
};

thread_local Cache cache;

bool SameZone() {
    const char* tz = std::getenv("TZ");
    bool set = tz != nullptr;
    if (set == cache.tzSet && (!set || cache.tz == tz)) return true;
    cache.tzSet = set;
    cache.tz = set ? tz : "";
    cache.hourKey = -1;
    cache.nowKey = -1;
    return false;
}

}  // namespace

std::int64_t EasternToUtc(const CWallClock& wall, std::time_t now) {
    SameZone();
    std::int64_t key = ((static_cast<std::int64_t>(wall.year) * 16 + wall.month) * 32 + wall.day) * 32 +
                       wall.hour;
    if (key != cache.hourKey) {
        std::tm tm{};
        tm.tm_year = wall.year - 1900;
        tm.tm_mon = wall.month - 1;
        tm.tm_mday = wall.day;
        tm.tm_hour = wall.hour;
        tm.tm_isdst = -1;
        cache.hourStart = static_cast<std::int64_t>(std::mktime(&tm));
        cache.hourKey = key;
    }
    if (now != cache.nowKey) {
        std::tm local{};
        localtime_r(&now, &local);
        std::int64_t eastern = local.tm_isdst > 0 ? 4 * 3600 : 5 * 3600;
        cache.nowOffset = eastern + local.tm_gmtoff;
        cache.nowKey = now;
    }
    return cache.hourStart + wall.minute * 60 + wall.second + cache.nowOffset;
}

std::int64_t EasternToUtc(const CWallClock& wall) { return EasternToUtc(wall, std::time(nullptr)); }
