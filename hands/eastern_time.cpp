#include "hands/eastern_time.h"

#include <atomic>

namespace {

// Counts the readings of the machine's time zone; a thread's cache that was
// filled under an older reading starts afresh.
std::atomic<unsigned> zoneReading{1};

// mktime and localtime_r take a lock and may consult the time-zone rules on
// every call, which dominates parsing a hand. Hands of one file come in time
// order, so the last results are kept per thread and reused until the zone
// is read again (ReloadTimeZone).
struct Cache {
    unsigned zoneReading = 0;
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

// Empties this thread's cache when the zone was read again since it was filled.
void ForgetStaleConversions() {
    const unsigned reading = zoneReading.load(std::memory_order_acquire);
    if (cache.zoneReading == reading) return;
    cache = Cache{};
    cache.zoneReading = reading;
}

}  // namespace

void ReloadTimeZone() {
    tzset();
    zoneReading.fetch_add(1, std::memory_order_acq_rel);
}

std::int64_t EasternToUtc(const CWallClock& wall, std::time_t now) {
    ForgetStaleConversions();
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
