#include "hands/parse_number.h"

#include "hands/parse_error.h"
#include "hands/parse_text.h"

namespace hands {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

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

}  // namespace hands
