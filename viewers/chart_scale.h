#pragma once
// The vertical scale of the graph window: from the lowest and highest running
// total (in cents) it picks the bottom value E of the plot, the span C it
// covers and the grid step D, and formats the grid labels. All amounts are
// cents; labels show currency units.

#include <cstdint>
#include <string>

namespace viewers {

struct ChartScale {
    std::int64_t bottom = 0;  // E: the value at the plot's bottom edge
    std::int64_t span = 0;    // C: the value range from bottom to top
    std::int64_t step = 0;    // D: the value between two grid lines
    // Labels carry cents when the plotted range is small.
    bool showCents = false;
};

// `value` cut toward zero to a multiple of `multiple` (> 0).
std::int64_t TruncateTo(std::int64_t value, std::int64_t multiple);

// The scale for running totals between `low` (<= 0) and `high` (>= 0).
ChartScale PickChartScale(std::int64_t low, std::int64_t high);

// The label of `value` cents: "%0.2f" units with cents, else whole units
// (cut toward zero).
std::string ChartLabel(std::int64_t value, const ChartScale& scale);

// How many decimal digits |value| has (at least 1).
int DecimalDigits(std::int64_t value);

}  // namespace viewers
