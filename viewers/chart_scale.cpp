#include "viewers/chart_scale.h"

#include <array>
#include <cassert>

#include "platform/text_util.h"

namespace viewers {

namespace {

// Rows of the bottom table: up to `range`, E is `min - margin` cut toward
// zero to a multiple of `multiple`. The margin is never below the multiple,
// so E always lies strictly below the lowest total.
struct BottomRow {
    std::int64_t range;
    std::int64_t multiple;
    std::int64_t margin;
};
constexpr std::array<BottomRow, 14> kBottomRows{{
    {100, 10, 10},
    {200, 10, 25},
    {500, 50, 50},
    {1'000, 50, 100},
    {5'000, 500, 500},
    {10'000, 500, 1'000},
    {50'000, 5'000, 5'000},
    {100'000, 5'000, 10'000},
    {500'000, 50'000, 50'000},
    {1'000'000, 50'000, 100'000},
    {5'000'000, 500'000, 500'000},
    {10'000'000, 500'000, 1'000'000},
    {50'000'000, 5'000'000, 5'000'000},
    {INT64_MAX, 5'000'000, 10'000'000},
}};

// Rows of the span table: the first whose limit the distance from E to the
// highest total does not exceed gives C and D.
struct SpanRow {
    std::int64_t limit;
    std::int64_t span;
    std::int64_t step;
};
constexpr std::array<SpanRow, 19> kSpanRows{{
    {100, 100, 20},
    {200, 200, 50},
    {500, 500, 100},
    {1'000, 1'000, 200},
    {2'000, 2'000, 500},
    {5'000, 5'000, 1'000},
    {10'000, 10'000, 2'000},
    {20'000, 20'000, 5'000},
    {50'000, 50'000, 10'000},
    {100'000, 100'000, 20'000},
    {200'000, 200'000, 50'000},
    {500'000, 500'000, 100'000},
    {1'000'000, 1'000'000, 200'000},
    {2'000'000, 2'000'000, 500'000},
    {5'000'000, 5'000'000, 1'000'000},
    {10'000'000, 10'000'000, 2'000'000},
    {20'000'000, 20'000'000, 5'000'000},
    {50'000'000, 50'000'000, 10'000'000},
    {INT64_MAX, 100'000'000, 20'000'000},
}};

// Below this distance from E to the top the labels carry cents.
constexpr std::int64_t kCentsBelow = 2'000;

}  // namespace

std::int64_t TruncateTo(std::int64_t value, std::int64_t multiple) {
    assert(multiple > 0);
    return value / multiple * multiple;  // integer division cuts toward zero
}

ChartScale PickChartScale(std::int64_t low, std::int64_t high) {
    ChartScale scale;
    const std::int64_t range = high - low;
    for (const BottomRow& row : kBottomRows) {
        if (range <= row.range) {
            scale.bottom = TruncateTo(low - row.margin, row.multiple);
            break;
        }
    }
    const std::int64_t distance = high - scale.bottom;
    for (const SpanRow& row : kSpanRows) {
        if (distance <= row.limit) {
            scale.span = row.span;
            scale.step = row.step;
            break;
        }
    }
    // Beyond the table the spans go on in the same 1-2-5 steps, so that the
    // highest total never lies above the plot.
    while (scale.span < distance) {
        std::int64_t lead = scale.span;
        while (lead >= 10) lead /= 10;
        if (lead == 2) {
            scale.span = scale.span / 2 * 5;
            scale.step = scale.span / 5;
        } else if (lead == 5) {
            scale.span *= 2;
            scale.step = scale.span / 5;
        } else {
            scale.span *= 2;
            scale.step = scale.span / 4;
        }
    }
    scale.showCents = distance < kCentsBelow;
    return scale;
}

std::string ChartLabel(std::int64_t value, const ChartScale& scale) {
    if (scale.showCents) return platform::Format("%0.2f", static_cast<double>(value) / 100.0);
    return platform::Format("%lld", static_cast<long long>(value / 100));
}

int DecimalDigits(std::int64_t value) {
    // Negated in unsigned arithmetic, so the lowest value has its digits too.
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    int digits = 1;
    while (magnitude >= 10) {
        magnitude /= 10;
        ++digits;
    }
    return digits;
}

}  // namespace viewers
