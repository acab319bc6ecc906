// Feeds arbitrary card texts to the odds engine and arbitrary card numbers to
// the evaluator: neither may crash, read out of bounds or deal a card twice.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "calc/odds_calculator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int opponents = static_cast<int>(static_cast<std::int8_t>(data[0]));
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);

    // Four texts separated by newlines: pocket, flop, turn, river.
    std::string_view texts[4];
    for (auto& text : texts) {
        const std::size_t end = rest.find('\n');
        text = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    COddsCalculator calculator;
    calculator.SetCards(texts[0], texts[1], texts[2], texts[3]);
    calculator.Simulate(20, opponents, 1000);
    calculator.CountOuts();
    if (calculator.Valid() && calculator.Pocket().GetSize() != 2) __builtin_trap();

    // Whatever is left: raw card numbers for the evaluator, any value allowed.
    CCardArray cards;
    for (const char c : rest) {
        CCard card;
        card.index = static_cast<std::int8_t>(c);
        cards.Add(card);
    }
    const HandValue value = calculator.EvaluateHand(cards);
    if (value.category < kHighCard || value.category > kRoyalFlush) __builtin_trap();
    return 0;
}
