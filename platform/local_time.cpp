#include "platform/local_time.h"

#include <limits>

namespace platform {

namespace {

bool ToTimeT(std::int64_t t, std::time_t& out) {
    if (t < std::numeric_limits<std::time_t>::min() || t > std::numeric_limits<std::time_t>::max())
        return false;
    out = static_cast<std::time_t>(t);
    return true;
}

std::string Format(const std::tm& tm, std::string_view format) {
    if (format.empty()) return {};
    const std::string fmt(format);
    std::string out(64 + fmt.size() * 8, '\0');
    const std::size_t n = std::strftime(out.data(), out.size(), fmt.c_str(), &tm);
    out.resize(n);
    return out;
}

std::string Long(const std::tm& tm) {
    // Weekday and month names come from the C locale, so the text is the
    // same on every machine; the day has no leading zero.
    return Format(tm, "%A, %B ") + std::to_string(tm.tm_mday) + Format(tm, ", %Y %H:%M:%S");
}

}  // namespace

std::optional<std::tm> LocalTm(std::int64_t t) {
    std::time_t tt;
    std::tm tm{};
    tzset();
    if (!ToTimeT(t, tt) || localtime_r(&tt, &tm) == nullptr) return std::nullopt;
    return tm;
}

std::optional<std::tm> UtcTm(std::int64_t t) {
    std::time_t tt;
    std::tm tm{};
    if (!ToTimeT(t, tt) || gmtime_r(&tt, &tm) == nullptr) return std::nullopt;
    return tm;
}

std::optional<LocalDateTime> ToLocal(std::int64_t t) {
    const auto tm = LocalTm(t);
    if (!tm) return std::nullopt;
    return LocalDateTime{tm->tm_year + 1900, tm->tm_mon + 1, tm->tm_mday,
                         tm->tm_hour,        tm->tm_min,     tm->tm_sec};
}

std::optional<std::int64_t> FromLocal(const LocalDateTime& local) {
    if (local.month < 1 || local.month > 12 || local.day < 1 || local.day > 31 || local.hour < 0 ||
        local.hour > 23 || local.minute < 0 || local.minute > 59 || local.second < 0 ||
        local.second > 59 || local.year < 1 || local.year > 9999) {
        return std::nullopt;
    }
    tzset();
    // Try standard time first, then daylight time; a field that comes back
    // changed means the time does not exist in this zone (30 February, or a
    // time skipped when the clocks went forward).
    std::optional<std::int64_t> best;
    for (int isDst : {0, 1}) {
        std::tm tm{};
        tm.tm_year = local.year - 1900;
        tm.tm_mon = local.month - 1;
        tm.tm_mday = local.day;
        tm.tm_hour = local.hour;
        tm.tm_min = local.minute;
        tm.tm_sec = local.second;
        tm.tm_isdst = isDst;
        const std::time_t t = std::mktime(&tm);
        std::tm check{};
        if (localtime_r(&t, &check) == nullptr) continue;
        if (check.tm_year != local.year - 1900 || check.tm_mon != local.month - 1 ||
            check.tm_mday != local.day || check.tm_hour != local.hour ||
            check.tm_min != local.minute || check.tm_sec != local.second) {
            continue;
        }
        if (!best || t < *best) best = t;
    }
    return best;
}

long UtcOffsetSeconds(std::int64_t t) {
    const auto tm = LocalTm(t);
    return tm ? tm->tm_gmtoff : 0;
}

bool IsDaylightSaving(std::int64_t t) {
    const auto tm = LocalTm(t);
    return tm && tm->tm_isdst > 0;
}

std::string FormatLocal(std::int64_t t, std::string_view format) {
    const auto tm = LocalTm(t);
    return tm ? Format(*tm, format) : std::string();
}

std::string FormatUtc(std::int64_t t, std::string_view format) {
    const auto tm = UtcTm(t);
    return tm ? Format(*tm, format) : std::string();
}

std::string FormatLongLocal(std::int64_t t) {
    const auto tm = LocalTm(t);
    return tm ? Long(*tm) : std::string();
}

std::string FormatLongUtc(std::int64_t t) {
    const auto tm = UtcTm(t);
    return tm ? Long(*tm) : std::string();
}

}  // namespace platform
