#include "analysis/net_result.h"

#include "hands/hand.h"

namespace analysis {

std::int32_t ReturnedAmount(const CHand& hand, int position) {
    if (position < 0 || position >= CHand::kPositions || !hand.CreditsReturnedBets()) return 0;
    std::int32_t amount = 0;
    for (std::int32_t r : hand.returned[static_cast<std::size_t>(position)]) {
        if (r != 0) amount = r;
    }
    return amount;
}

std::int64_t NetInvested(const CHand& hand, int position) {
    if (position < 0 || position >= CHand::kPositions) return 0;
    return static_cast<std::int64_t>(hand.invested[static_cast<std::size_t>(position)]) -
           ReturnedAmount(hand, position);
}

std::int64_t NetResult(const CHand& hand, int position) {
    if (position < 0 || position >= CHand::kPositions) return 0;
    return static_cast<std::int64_t>(hand.won[static_cast<std::size_t>(position)]) -
           NetInvested(hand, position);
}

}  // namespace analysis
