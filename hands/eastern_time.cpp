#include "hands/eastern_time.h"

#include <unistd.h>

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
    // Where TZ was found in the environment last time: the array, the
    // entry's index and pointer, and the number of entries. setenv, putenv
    // and unsetenv change one of these when they change TZ (an entry put in
    // place, the array moved, entries shifted or added), so while all are
    // unchanged and the text still reads the same, TZ has not changed and
    // the environment need not be searched for every hand.
    char** envArray = nullptr;
    std::size_t envIndex = 0;
    const char* envEntry = nullptr;
    std::size_t envCount = 0;
    // Local readings of a few wall-clock hours: key and the instant of the
    // hour's start. Several are kept because one file may mix tables whose
    // headers give different clocks.
    static constexpr int kHours = 4;
    std::int64_t hourKey[kHours] = {-1, -1, -1, -1};
    std::int64_t hourStart[kHours] = {};
    int nextHour = 0;
    // Machine state at a given second: Eastern plus local offset.
    std::time_t nowKey = -1;
    std::int64_t nowOffset = 0;
};

thread_local Cache cache;

bool EnvironmentUnchanged() {
    char** env = environ;
    if (env == nullptr || env != cache.envArray) return false;
    if (cache.envEntry == nullptr) {
        // TZ was not set: still so while the entries counted are there and
        // none has been added after them.
        return (cache.envCount == 0 || env[cache.envCount - 1] != nullptr) &&
               env[cache.envCount] == nullptr;
    }
    return env[cache.envIndex] == cache.envEntry &&
           std::strcmp(cache.envEntry + 3, cache.tz.c_str()) == 0;
}

bool SameZone() {
    if (EnvironmentUnchanged()) return true;
    // Find TZ and remember where it stands.
    const char* tz = nullptr;
    cache.envArray = environ;
    cache.envEntry = nullptr;
    cache.envCount = 0;
    if (environ != nullptr) {
        for (std::size_t i = 0; environ[i] != nullptr; ++i) {
            cache.envCount = i + 1;
            if (tz == nullptr && std::strncmp(environ[i], "TZ=", 3) == 0) {
                tz = environ[i] + 3;
                cache.envIndex = i;
                cache.envEntry = environ[i];
            }
        }
    }
    bool set = tz != nullptr;
    if (set == cache.tzSet && (!set || cache.tz == tz)) return true;
    cache.tzSet = set;
    cache.tz = set ? tz : "";
    for (std::int64_t& key : cache.hourKey) key = -1;
    cache.nowKey = -1;
    return false;
}

}  // namespace

std::int64_t EasternToUtc(const CWallClock& wall, std::time_t now) {
    SameZone();
    std::int64_t key =
        ((static_cast<std::int64_t>(wall.year) * 16 + wall.month) * 32 + wall.day) * 32 + wall.hour;
    int slot = 0;
    while (slot < Cache::kHours && cache.hourKey[slot] != key) ++slot;
    if (slot == Cache::kHours) {
        std::tm tm{};
        tm.tm_year = wall.year - 1900;
        tm.tm_mon = wall.month - 1;
        tm.tm_mday = wall.day;
        tm.tm_hour = wall.hour;
        tm.tm_isdst = -1;
        slot = cache.nextHour;
        cache.nextHour = (cache.nextHour + 1) % Cache::kHours;
        cache.hourStart[slot] = static_cast<std::int64_t>(std::mktime(&tm));
        cache.hourKey[slot] = key;
    }
    if (now != cache.nowKey) {
        std::tm local{};
        localtime_r(&now, &local);
        std::int64_t eastern = local.tm_isdst > 0 ? 4 * 3600 : 5 * 3600;
        cache.nowOffset = eastern + local.tm_gmtoff;
        cache.nowKey = now;
    }
    return cache.hourStart[slot] + wall.minute * 60 + wall.second + cache.nowOffset;
}

std::int64_t EasternToUtc(const CWallClock& wall) { return EasternToUtc(wall, std::time(nullptr)); }
