#include "hands/parse_text_more.h"

#include <array>
#include <ctime>

#include "hands/parse_error.h"
#include "hands/parse_text.h"

namespace hands {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

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

std::int32_t ReadLooseAmount(std::string_view line, std::size_t pos, std::size_t* end,
                             ThousandSuffix suffix) {
    std::string_view text = Slice(line, pos, 64);
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    };
    skipBlanks();
    if (StartsWith(text.substr(i), "US$")) {
        i += 3;
    } else {
        i += CurrencySignLength(text, i);
    }
    skipBlanks();
    std::int64_t units = 0;
    std::int64_t cents = 0;
    bool any = false;
    while (i < text.size()) {
        char c = text[i];
        if (IsDigit(c)) {
            units = units * 10 + (c - '0');
            if (units * 100 > kMaxAmount) throw CParseError("amount out of range");
            any = true;
            ++i;
            continue;
        }
        if (!any || (c != ',' && c != '.')) break;
        std::size_t digits = 0;
        while (i + 1 + digits < text.size() && IsDigit(text[i + 1 + digits])) ++digits;
        if (c == ',' && digits == 3) {
            // Thousands separator: the digits are read by the loop.
            ++i;
            continue;
        }
        if (digits >= 1 && (c == '.' || digits <= 2)) {
            cents = (text[i + 1] - '0') * 10;
            if (digits >= 2) cents += text[i + 2] - '0';
            i += 1 + digits;  // further decimals are read and dropped
        }
        break;
    }
    std::int64_t value = units * 100 + cents;
    if (any && suffix == ThousandSuffix::kMultiply && i < text.size() &&
        (text[i] == 'K' || text[i] == 'k')) {
        value *= 1000;
        ++i;
    }
    if (value > kMaxAmount) throw CParseError("amount out of range");
    if (end != nullptr) *end = any ? pos + i : pos;
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> AmountAfter(std::string_view line, std::string_view marker,
                                        std::size_t from) {
    std::size_t at = FindFrom(line, marker, from);
    if (at == kNpos) return std::nullopt;
    return ReadLooseAmount(line, at + marker.size());
}

std::uint64_t ReadHandNumber(std::string_view line, std::size_t pos) {
    std::size_t i = pos;
    while (i < line.size() && i < pos + 8 &&
           ((line[i] >= 'A' && line[i] <= 'Z') || (line[i] >= 'a' && line[i] <= 'z')))
        ++i;
    return ReadUnsigned(line, i);
}

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
    // user's own zone); summer names carry their summer offset.
    static constexpr Zone kZones[] = {
        {"UTC", 0, 0},  {"GMT", 0, 0},  {"WET", 0, 0},   {"UK", 0, 0},    {"BST", 1, 0},
        {"WEST", 1, 0}, {"CET", 1, 0},  {"CEST", 2, 0},  {"EET", 2, 0},   {"EEST", 3, 0},
        {"MSK", 3, 0},  {"MSKS", 4, 0}, {"YEKT", 5, 0},  {"YEKST", 6, 0}, {"ICT", 7, 0},
        {"AWST", 8, 0}, {"JST", 9, 0},  {"AEST", 10, 0}, {"AEDT", 11, 0}, {"NZST", 12, 0},
        {"CT", -6, 0},  {"CST", -6, 0}, {"CDT", -5, 0},  {"MT", -7, 0},   {"MST", -7, 0},
        {"MDT", -6, 0}, {"PT", -8, 0},  {"PST", -8, 0},  {"PDT", -7, 0},  {"AT", -4, 0},
        {"ART", -3, 0}, {"BRT", -3, 0}, {"IST", 5, 30},
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

std::string_view NormalizeTens(std::string_view line, std::string& buffer) {
    std::size_t at = line.find("10");
    bool any = false;
    while (at != kNpos) {
        bool before = at == 0 || line[at - 1] == '[' || line[at - 1] == ' ' || line[at - 1] == ',';
        bool suit = at + 2 < line.size() && (line[at + 2] == 's' || line[at + 2] == 'h' ||
                                             line[at + 2] == 'd' || line[at + 2] == 'c');
        bool after = at + 3 >= line.size() || line[at + 3] == ']' || line[at + 3] == ' ' ||
                     line[at + 3] == ',';
        if (before && suit && after) {
            any = true;
            break;
        }
        at = line.find("10", at + 1);
    }
    if (!any) return line;
    buffer.clear();
    for (std::size_t i = 0; i < line.size(); ++i) {
        bool before = i == 0 || line[i - 1] == '[' || line[i - 1] == ' ' || line[i - 1] == ',';
        if (before && i + 2 < line.size() && line[i] == '1' && line[i + 1] == '0' &&
            (line[i + 2] == 's' || line[i + 2] == 'h' || line[i + 2] == 'd' ||
             line[i + 2] == 'c') &&
            (i + 3 >= line.size() || line[i + 3] == ']' || line[i + 3] == ' ' ||
             line[i + 3] == ',')) {
            buffer.push_back('T');
            ++i;  // drop the "0"
            continue;
        }
        buffer.push_back(line[i]);
    }
    return buffer;
}

std::size_t FindNoCase(std::string_view line, std::string_view marker, std::size_t from) {
    if (marker.empty()) return from <= line.size() ? from : kNpos;
    if (line.size() < marker.size()) return kNpos;
    for (std::size_t i = from; i + marker.size() <= line.size(); ++i) {
        if (EqualsNoCase(line.substr(i, marker.size()), marker)) return i;
    }
    return kNpos;
}

std::string_view CheckedName(std::string_view name) {
    name = Trim(name);
    if (name.empty()) throw CParseError("empty player name");
    if (name.size() > kMaxNameLength) throw CParseError("player name too long");
    return name;
}

SeatLine ReadSeatLine(std::string_view line, std::string_view nameEnd) {
    std::size_t colon = line.find(": ");
    if (colon == kNpos || colon < 2) throw CParseError("malformed seat line");
    SeatLine parts;
    parts.seat = ReadField(line, colon - 2, 2);
    if (parts.seat < 1 || parts.seat > 10) throw CParseError("seat number out of range");
    std::size_t start = colon + 2;
    std::size_t end = line.rfind(nameEnd);
    std::size_t sitsOut = FindFrom(line, " sits out", start);
    if (sitsOut != kNpos && (end == kNpos || sitsOut > end)) end = sitsOut;
    if (end == kNpos || end < start) end = line.size();
    parts.name = CheckedName(line.substr(start, end - start));
    return parts;
}

}  // namespace hands
