#pragma once
// The money one position made or lost in a hand, shared by the player
// statistics and the tag records so both agree to the cent.

#include <cstdint>

class CHand;

namespace analysis {

// The uncalled bet given back to `position`: the last non-zero of its five
// returned amounts, when the hand's room credits returned bets; else 0.
std::int32_t ReturnedAmount(const CHand& hand, int position);
// Money put in by `position`, less the returned amount.
std::int64_t NetInvested(const CHand& hand, int position);
// won minus NetInvested: the position's real result in the hand.
std::int64_t NetResult(const CHand& hand, int position);

}  // namespace analysis
