#include "hands/parse_text.h"

#include <algorithm>
#include <limits>
#include <string>

#include "hands/parse_error.h"

namespace hands {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

std::size_t FindNoCase(std::string_view line, std::string_view marker, std::size_t from) {
    if (marker.empty()) return from <= line.size() ? from : kNpos;
    if (line.size() < marker.size()) return kNpos;
    for (std::size_t i = from; i + marker.size() <= line.size(); ++i) {
        if (EqualsNoCase(line.substr(i, marker.size()), marker)) return i;
    }
    return kNpos;
}

std::size_t FindLast(std::string_view line, std::string_view marker) {
    // The one-byte form is the common one.
    if (marker.size() == 1) return FindLastByte(line, marker[0]);
    return line.rfind(marker);
}

std::string_view Slice(std::string_view line, std::size_t from, std::size_t count) {
    if (from >= line.size()) return {};
    return line.substr(from, count);
}

std::string_view UpTo(std::string_view line, std::size_t from, std::string_view marker) {
    if (from >= line.size()) return {};
    std::size_t end = line.find(marker, from);
    if (end == kNpos) end = line.size();
    return line.substr(from, end - from);
}

std::size_t CurrencySignLength(std::string_view line, std::size_t pos) {
    if (pos >= line.size()) return 0;
    auto byte = static_cast<unsigned char>(line[pos]);
    if (byte == '$' || byte == 0x80 || byte == 0xA3) {
        // A lone 0xA3 or 0x80 is the Windows-1252 pound or euro sign; in UTF-8
        // those bytes only occur inside a longer sequence handled below.
        return 1;
    }
    std::string_view rest = line.substr(pos);
    if (StartsWith(rest, "\xE2\x82\xAC")) return 3;  // euro sign
    if (StartsWith(rest, "\xC2\xA3")) return 2;      // pound sign
    return 0;
}

std::int32_t ReadAmount(std::string_view line, std::size_t pos, std::size_t* end) {
    if (pos >= line.size()) {
        if (end != nullptr) *end = pos;
        return 0;
    }
    // At most 50 bytes from `pos` are looked at.
    const char* text = line.data() + pos;
    const std::size_t size = std::min<std::size_t>(line.size() - pos, 50);
    std::size_t i = 0;
    while (i < size && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < size && !IsDigit(text[i])) i += CurrencySignLength(std::string_view(text, size), i);
    const std::size_t digits = i;
    std::int64_t units = 0;
    while (i < size && IsDigit(text[i])) {
        units = units * 10 + (text[i] - '0');
        if (units > kMaxAmount / 100) throw CParseError("amount out of range");
        ++i;
    }
    bool any = i > digits;
    std::int64_t cents = units * 100;
    if (i + 1 < size && text[i] == '.' && IsDigit(text[i + 1])) {
        ++i;
        int scale = 10;
        while (i < size && IsDigit(text[i])) {
            // Only hundredths count; further decimals are read and dropped.
            if (scale > 0) cents += (text[i] - '0') * scale;
            scale /= 10;
            any = true;
            ++i;
        }
        if (cents > kMaxAmount) throw CParseError("amount out of range");
    }
    if (end != nullptr) *end = any ? pos + i : pos;
    return static_cast<std::int32_t>(cents);
}

std::uint64_t ReadUnsigned(std::string_view line, std::size_t pos, std::size_t* end) {
    std::uint64_t value = 0;
    std::size_t i = pos;
    while (i < line.size() && IsDigit(line[i])) {
        auto digit = static_cast<std::uint64_t>(line[i] - '0');
        if (__builtin_mul_overflow(value, 10u, &value) ||
            __builtin_add_overflow(value, digit, &value)) {
            throw CParseError("number does not fit in 64 bits");
        }
        ++i;
    }
    if (end != nullptr) *end = i;
    return value;
}

std::int32_t TwiceAmount(std::int32_t amount) {
    if (amount > std::numeric_limits<std::int32_t>::max() / 2 ||
        amount < std::numeric_limits<std::int32_t>::min() / 2) {
        throw CParseError("amount out of range");
    }
    return 2 * amount;
}

}  // namespace hands
