#include "hands/header_time.h"

#include <array>
#include <cstdint>
#include <ctime>

#include "hands/parse_text.h"

namespace hands {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

}  // namespace

int MonthFromName(std::string_view name) {
    static constexpr std::array<std::string_view, 12> kMonths = {
        "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    if (name.size() < 3) return 0;
    for (std::size_t m = 0; m < kMonths.size(); ++m) {
        if (EqualsNoCase(name.substr(0, 3), kMonths[m])) return static_cast<int>(m) + 1;
    }
    return 0;
}

std::optional<int> ZoneOffsetSeconds(std::string_view abbreviation) {
    struct Zone {
        std::string_view name;
        int hours;
        int minutes;
    };
    // Zones the rooms' clients were seen to write (the client shows the
    // user's own zone); summer names carry their summer offset. EST and EDT
    // name a fixed offset; plain "ET" follows New York's rules instead.
    static constexpr Zone kZones[] = {
        {"UTC", 0, 0},  {"GMT", 0, 0},  {"WET", 0, 0},   {"UK", 0, 0},    {"BST", 1, 0},
        {"WEST", 1, 0}, {"CET", 1, 0},  {"CEST", 2, 0},  {"EET", 2, 0},   {"EEST", 3, 0},
        {"MSK", 3, 0},  {"MSKS", 4, 0}, {"YEKT", 5, 0},  {"YEKST", 6, 0}, {"ICT", 7, 0},
        {"AWST", 8, 0}, {"JST", 9, 0},  {"AEST", 10, 0}, {"AEDT", 11, 0}, {"NZST", 12, 0},
        {"CT", -6, 0},  {"CST", -6, 0}, {"CDT", -5, 0},  {"MT", -7, 0},   {"MST", -7, 0},
        {"MDT", -6, 0}, {"PT", -8, 0},  {"PST", -8, 0},  {"PDT", -7, 0},  {"AT", -4, 0},
        {"ART", -3, 0}, {"BRT", -3, 0}, {"IST", 5, 30},  {"EST", -5, 0},  {"EDT", -4, 0},
    };
    for (const Zone& zone : kZones) {
        if (abbreviation == zone.name) return zone.hours * 3600 + zone.minutes * 60;
    }
    return std::nullopt;
}

bool IsEasternZone(std::string_view abbreviation) {
    return abbreviation == "ET" || abbreviation == "EST" || abbreviation == "EDT";
}

bool IsValidWallClock(const CWallClock& wall) {
    return wall.year >= 1900 && wall.year <= 9999 && wall.month >= 1 && wall.month <= 12 &&
           wall.day >= 1 && wall.day <= 31 && wall.hour >= 0 && wall.hour <= 23 &&
           wall.minute >= 0 && wall.minute <= 59 && wall.second >= 0 && wall.second <= 59;
}

std::int64_t ZonedToUtc(const CWallClock& wall, int offsetSeconds) {
    std::int64_t days = DaysFromCivil(wall.year, wall.month, wall.day);
    return days * 86400 + wall.hour * 3600 + wall.minute * 60 + wall.second - offsetSeconds;
}

std::int64_t LocalToUtc(const CWallClock& wall) {
    std::tm tm{};
    tm.tm_year = wall.year - 1900;
    tm.tm_mon = wall.month - 1;
    tm.tm_mday = wall.day;
    tm.tm_hour = wall.hour;
    tm.tm_min = wall.minute;
    tm.tm_sec = wall.second;
    tm.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&tm));
}

int TwoDigits(std::string_view text, std::size_t pos) {
    if (pos + 2 > text.size() || !IsDigit(text[pos]) || !IsDigit(text[pos + 1])) return -1;
    return (text[pos] - '0') * 10 + (text[pos + 1] - '0');
}

}  // namespace hands
