#pragma once
// Local time as the pages and the settings file show it. Everything follows
// the process's time zone (TZ), read afresh on each call.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Wall-clock fields of a local time: year (e.g. 2026), month 1-12, day 1-31,
// hour 0-23, minute 0-59, second 0-59.
struct LocalDateTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    bool operator==(const LocalDateTime&) const = default;
};

// The "%y/%m/%d %H:%M:%S" format of the settings file and pages.
inline constexpr std::string_view kDateTimeYmd = "%y/%m/%d %H:%M:%S";
// The "%m/%d/%y %H:%M:%S" format of pages.
inline constexpr std::string_view kDateTimeMdy = "%m/%d/%y %H:%M:%S";

// Local broken-down time of t (seconds since 1970); nothing when t cannot be
// represented.
std::optional<std::tm> LocalTm(std::int64_t t);
// UTC broken-down time of t.
std::optional<std::tm> UtcTm(std::int64_t t);
// The local wall-clock fields of t.
std::optional<LocalDateTime> ToLocal(std::int64_t t);
// The instant of a local wall-clock time; nothing when the fields are out of
// range (month 13, 30 February) or name a time skipped by a daylight-saving
// change. Of the two instants of a repeated hour, the earlier is returned.
std::optional<std::int64_t> FromLocal(const LocalDateTime& local);
// Seconds east of UTC of local time at t (e.g. -18000 for New York in winter).
long UtcOffsetSeconds(std::int64_t t);
// True when daylight-saving time is in force at t.
bool IsDaylightSaving(std::int64_t t);
// t in local time formatted with strftime conversions; empty when t cannot
// be represented.
std::string FormatLocal(std::int64_t t, std::string_view format);
// t in UTC formatted with strftime conversions.
std::string FormatUtc(std::int64_t t, std::string_view format);
// The long readable date and time used in the program log and on pages, in
// local time: "Tuesday, December 8, 2026 12:11:31".
std::string FormatLongLocal(std::int64_t t);
// The same rendering in UTC.
std::string FormatLongUtc(std::int64_t t);

}  // namespace platform
