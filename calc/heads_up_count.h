#pragma once
// CountHeadsUp: the exact outcome of a heads-up hand, every remaining deal
// counted once instead of sampled.
//
// Two cases are counted in a few milliseconds:
//   - the opponent's two cards known, on any street (preflop that is every
//     board of five from 48 cards, 1,712,304 deals);
//   - the opponent's cards unknown with three or more board cards known (on
//     the flop 1,081 turn-and-river pairs times 990 opponent hands).
// An unknown opponent before the flop (about two billion deals) is not
// offered; callers sample that case.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "calc/hand_value.h"

namespace calc {

// Counts over every deal: how often the player won or split, and the final
// category of each hand. One deal is one completion of the board together
// with one opponent hand (the known one, or each possible one).
struct HeadsUpCounts {
    std::int64_t deals = 0;
    std::int64_t wins = 0;
    std::int64_t splits = 0;
    std::array<std::int64_t, kCategoryCount> player{};
    std::array<std::int64_t, kCategoryCount> opponent{};

    bool operator==(const HeadsUpCounts&) const = default;
};

enum class OpponentCards { kKnown, kUnknown };

// Whether CountHeadsUp counts a hand with `boardCards` known board cards
// (0 to 5) and the opponent's cards known or not.
constexpr bool CanCountHeadsUp(std::size_t boardCards, OpponentCards opponent) {
    return boardCards <= 5 && (opponent == OpponentCards::kKnown || boardCards >= 3);
}

// Counts every deal of the player's `pocket` (2 cards) against `opponent` (2
// known cards, or none for an opponent of unknown cards) with the `board`
// known so far. Expects distinct cards 0..51 and CanCountHeadsUp of the board
// size; anything else gives all counts 0.
HeadsUpCounts CountHeadsUp(std::span<const std::uint8_t> pocket,
                           std::span<const std::uint8_t> board,
                           std::span<const std::uint8_t> opponent);

}  // namespace calc
