#include "tools/history_text.h"

#include <cstdio>

#include "calc/card_index.h"

namespace sim {

namespace {

std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct Civil {
    std::int64_t year;
    int month;
    int day;
};

Civil CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (m <= 2), m, d};
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// The day number of the n-th Sunday of a month.
std::int64_t NthSunday(std::int64_t year, int month, int n) {
    const std::int64_t first = DaysFromCivil(year, month, 1);
    const std::int64_t weekday = ((first % 7) + 11) % 7;  // 0 Sunday
    return first + (7 - weekday) % 7 + 7 * (n - 1);
}

// Eastern time's offset from UTC in seconds at an instant.
std::int64_t EasternOffset(std::int64_t utc) {
    const Civil date = CivilFromDays(FloorDiv(utc, 86400));
    const std::int64_t start = NthSunday(date.year, 3, 2) * 86400 + 7 * 3600;  // 2:00 EST
    const std::int64_t end = NthSunday(date.year, 11, 1) * 86400 + 6 * 3600;   // 2:00 EDT
    return (utc >= start && utc < end) ? -4 * 3600 : -5 * 3600;
}

}  // namespace

std::string DollarText(Money cents) {
    char text[32];
    if (cents % 100 == 0) {
        std::snprintf(text, sizeof text, "$%lld", static_cast<long long>(cents / 100));
    } else {
        std::snprintf(text, sizeof text, "$%lld.%02lld", static_cast<long long>(cents / 100),
                      static_cast<long long>(cents % 100));
    }
    return text;
}

std::string CardListText(const int* cards, int count) {
    static constexpr char kRanks[] = "A23456789TJQK";
    static constexpr char kSuits[] = "schd";
    std::string text = "[";
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += ' ';
        text += kRanks[calc::RankOf(cards[i])];
        text += kSuits[calc::SuitOf(cards[i])];
    }
    return text + "]";
}

EasternClock EasternClockAt(std::int64_t utcSeconds) {
    const std::int64_t local = utcSeconds + EasternOffset(utcSeconds);
    const std::int64_t days = FloorDiv(local, 86400);
    const std::int64_t rest = local - days * 86400;
    const Civil date = CivilFromDays(days);
    return {static_cast<int>(date.year),
            date.month,
            date.day,
            static_cast<int>(rest / 3600),
            static_cast<int>(rest / 60 % 60),
            static_cast<int>(rest % 60)};
}

std::string EasternTimeText(std::int64_t utcSeconds) {
    const EasternClock clock = EasternClockAt(utcSeconds);
    char text[48];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d ET", clock.year, clock.month,
                  clock.day, clock.hour, clock.minute, clock.second);
    return text;
}

std::string SafeFileNamePart(const std::string& table) {
    std::string safe;
    for (char c : table) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unsafe = c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
                            c == '<' || c == '>' || c == '|' || byte < 0x20;
        safe += unsafe ? '_' : c;
    }
    // No name of dots only, and nothing that could reach a parent folder.
    if (safe.find_first_not_of(". ") == std::string::npos) safe = "Table";
    if (safe.size() > 64) safe.resize(64);
    return safe;
}

}  // namespace sim
