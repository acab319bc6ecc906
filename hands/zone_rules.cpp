#include "hands/zone_rules.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

constexpr std::size_t kHeaderSize = 44;
// Larger files are not time-zone files; the biggest in tzdata is a few
// kilobytes.
constexpr std::size_t kMaxFileSize = 1 << 20;

std::int64_t BigEndian(std::string_view bytes, std::size_t at, int width) {
    std::uint64_t value = 0;
    for (int i = 0; i < width; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    if (width == 4) return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return static_cast<std::int64_t>(value);
}

std::int64_t YearOf(std::int64_t seconds) {
    std::int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    // Civil from days, year only.
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

// Reads "[+-]hh[:mm[:ss]]" at `pos`; false when no digit stands there.
bool ReadClock(std::string_view text, std::size_t& pos, int& seconds) {
    int sign = 1;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        sign = text[pos] == '-' ? -1 : 1;
        ++pos;
    }
    int parts[3] = {0, 0, 0};
    int count = 0;
    while (count < 3) {
        if (pos >= text.size() || text[pos] < '0' || text[pos] > '9') break;
        int value = 0;
        int digits = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 3) {
            value = value * 10 + (text[pos] - '0');
            ++pos;
            ++digits;
        }
        parts[count++] = value;
        if (pos < text.size() && text[pos] == ':' && count < 3) {
            ++pos;
        } else {
            break;
        }
    }
    if (count == 0) return false;
    seconds = sign * (parts[0] * 3600 + parts[1] * 60 + parts[2]);
    return true;
}

// Passes over a zone name: letters, or any text in angle brackets.
bool SkipZoneName(std::string_view text, std::size_t& pos) {
    std::size_t start = pos;
    if (pos < text.size() && text[pos] == '<') {
        std::size_t close = text.find('>', pos);
        if (close == std::string_view::npos) return false;
        pos = close + 1;
        return true;
    }
    while (pos < text.size() &&
           ((text[pos] >= 'A' && text[pos] <= 'Z') || (text[pos] >= 'a' && text[pos] <= 'z'))) {
        ++pos;
    }
    return pos - start >= 3;
}

}  // namespace

// Days since 1970-01-01 of a civil date (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

bool CZoneRules::Load(std::string_view name) {
    loaded_ = false;
    // A zone name never climbs out of the database folder.
    if (name.empty() || name.front() == '/' || name.find("..") != std::string_view::npos) {
        return false;
    }
    const char* dir = std::getenv("TZDIR");
    std::string path = (dir != nullptr && *dir != '\0') ? dir : "/usr/share/zoneinfo";
    path += '/';
    path += name;
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::string bytes;
    char chunk[4096];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        bytes.append(chunk, static_cast<std::size_t>(file.gcount()));
        if (bytes.size() > kMaxFileSize) return false;
    }
    return LoadBytes(bytes);
}

bool CZoneRules::LoadBytes(std::string_view bytes) {
    loaded_ = false;
    transitions_.clear();
    offsets_.clear();
    hasFooter_ = false;
    if (bytes.size() < kHeaderSize || bytes.substr(0, 4) != "TZif") return false;
    const char version = bytes[4];

    // Each data block: transition times, their type indices, the types
    // (offset, daylight flag, name index), names, leap seconds and two flag
    // arrays. A version 2 file repeats the block with 64-bit times after the
    // first, then a footer rule; that second block is the one read.
    std::size_t at = 0;
    int width = 4;
    for (int block = 0; block < 2; ++block) {
        if (bytes.size() < at + kHeaderSize || bytes.substr(at, 4) != "TZif") return false;
        const auto count = [&](int index) {
            return static_cast<std::size_t>(
                BigEndian(bytes, at + 20 + 4 * static_cast<std::size_t>(index), 4));
        };
        const std::size_t isUtCount = count(0);
        const std::size_t isStdCount = count(1);
        const std::size_t leapCount = count(2);
        const std::size_t timeCount = count(3);
        const std::size_t typeCount = count(4);
        const std::size_t charCount = count(5);
        if (typeCount == 0 || typeCount > 256 || timeCount > 100000 || leapCount > 100000 ||
            charCount > 100000 || isUtCount > typeCount || isStdCount > typeCount) {
            return false;
        }
        const auto w = static_cast<std::size_t>(width);
        const std::size_t data = at + kHeaderSize;
        const std::size_t types = data + timeCount * w + timeCount;
        const std::size_t end =
            types + typeCount * 6 + charCount + leapCount * (w + 4) + isStdCount + isUtCount;
        if (bytes.size() < end) return false;
        const bool last = version < '2' || block == 1;
        if (last) {
            std::vector<int> typeOffsets(typeCount);
            for (std::size_t i = 0; i < typeCount; ++i) {
                typeOffsets[i] = static_cast<int>(BigEndian(bytes, types + 6 * i, 4));
            }
            initialOffset_ = typeOffsets[0];
            transitions_.reserve(timeCount);
            offsets_.reserve(timeCount);
            for (std::size_t i = 0; i < timeCount; ++i) {
                const auto type = static_cast<unsigned char>(bytes[data + timeCount * w + i]);
                if (type >= typeCount) return false;
                const std::int64_t when = BigEndian(bytes, data + i * w, width);
                if (!transitions_.empty() && when <= transitions_.back()) return false;
                transitions_.push_back(when);
                offsets_.push_back(typeOffsets[type]);
            }
            if (version >= '2' && end < bytes.size() && bytes[end] == '\n') {
                std::size_t close = bytes.find('\n', end + 1);
                if (close != std::string_view::npos) {
                    hasFooter_ = ParseFooter(bytes.substr(end + 1, close - end - 1));
                }
            }
            loaded_ = true;
            return true;
        }
        at = end;
        width = 8;
    }
    return false;
}

bool CZoneRules::LoadRule(std::string_view rule) {
    transitions_.clear();
    offsets_.clear();
    hasFooter_ = ParseFooter(rule);
    initialOffset_ = stdOffset_;
    loaded_ = hasFooter_;
    return loaded_;
}

bool CZoneRules::ParseFooter(std::string_view footer) {
    // "EST5EDT,M3.2.0,M11.1.0": standard name and offset (hours west of
    // UTC), daylight name with an optional offset (one hour ahead when
    // left out), and the days daylight time starts and ends as "Mm.w.d"
    // with an optional "/time".
    std::size_t pos = 0;
    int west = 0;
    if (!SkipZoneName(footer, pos) || !ReadClock(footer, pos, west)) return false;
    stdOffset_ = -west;
    footerHasDst_ = false;
    if (pos == footer.size()) return true;
    if (!SkipZoneName(footer, pos)) return false;
    dstOffset_ = stdOffset_ + 3600;
    if (pos < footer.size() && footer[pos] != ',') {
        int dstWest = 0;
        if (!ReadClock(footer, pos, dstWest)) return false;
        dstOffset_ = -dstWest;
    }
    Rule* rules[2] = {&dstStart_, &dstEnd_};
    for (Rule* rule : rules) {
        if (pos + 1 >= footer.size() || footer[pos] != ',' || footer[pos + 1] != 'M') return false;
        pos += 2;
        int fields[3] = {0, 0, 0};
        for (int i = 0; i < 3; ++i) {
            int value = 0;
            std::size_t start = pos;
            while (pos < footer.size() && footer[pos] >= '0' && footer[pos] <= '9' &&
                   pos - start < 2) {
                value = value * 10 + (footer[pos] - '0');
                ++pos;
            }
            if (pos == start) return false;
            fields[i] = value;
            if (i < 2) {
                if (pos >= footer.size() || footer[pos] != '.') return false;
                ++pos;
            }
        }
        if (fields[0] < 1 || fields[0] > 12 || fields[1] < 1 || fields[1] > 5 || fields[2] > 6) {
            return false;
        }
        rule->month = fields[0];
        rule->week = fields[1];
        rule->weekday = fields[2];
        rule->time = 7200;
        if (pos < footer.size() && footer[pos] == '/') {
            ++pos;
            if (!ReadClock(footer, pos, rule->time)) return false;
        }
    }
    footerHasDst_ = true;
    return pos == footer.size();
}

int CZoneRules::FooterOffsetAt(std::int64_t utc) const {
    if (!footerHasDst_) return stdOffset_;
    // The day of a rule in a year: the week-th given weekday of the month
    // (the last one for week 5), at the rule's time of the clock then shown.
    const auto ruleInstant = [](const Rule& rule, std::int64_t year, int clockOffset) {
        const std::int64_t first = DaysFromCivil(year, rule.month, 1);
        const int firstWeekday =
            static_cast<int>(((first % 7) + 11) % 7);  // 1970-01-01 was Thursday
        std::int64_t day = first + (rule.weekday - firstWeekday + 7) % 7 + 7 * (rule.week - 1);
        const int nextMonth = rule.month == 12 ? 1 : rule.month + 1;
        const std::int64_t monthEnd =
            DaysFromCivil(rule.month == 12 ? year + 1 : year, nextMonth, 1);
        while (day >= monthEnd) day -= 7;
        return day * 86400 + rule.time - clockOffset;
    };
    const std::int64_t year = YearOf(utc + stdOffset_);
    const std::int64_t start = ruleInstant(dstStart_, year, stdOffset_);
    const std::int64_t end = ruleInstant(dstEnd_, year, dstOffset_);
    const bool dst = start < end ? (utc >= start && utc < end) : (utc >= start || utc < end);
    return dst ? dstOffset_ : stdOffset_;
}

int CZoneRules::OffsetAt(std::int64_t utc) const {
    if (transitions_.empty() || utc < transitions_.front()) {
        return transitions_.empty() && hasFooter_ ? FooterOffsetAt(utc) : initialOffset_;
    }
    if (utc >= transitions_.back() && hasFooter_) return FooterOffsetAt(utc);
    const auto next = std::upper_bound(transitions_.begin(), transitions_.end(), utc);
    return offsets_[static_cast<std::size_t>(next - transitions_.begin()) - 1];
}

std::int64_t CZoneRules::LocalToUtc(std::int64_t local) const {
    // Offsets change by less than half a day at a time, so the offsets half
    // a day either side are the two that can apply.
    const int before = OffsetAt(local - 43200);
    const int after = OffsetAt(local + 43200);
    const std::int64_t early = local - before;
    const std::int64_t late = local - after;
    const bool earlyFits = OffsetAt(early) == before;
    const bool lateFits = OffsetAt(late) == after;
    if (earlyFits && lateFits) return std::min(early, late);
    if (lateFits) return late;
    return early;
}
