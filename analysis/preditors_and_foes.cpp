#include "analysis/preditors_and_foes.h"

#include <array>

#include "analysis/net_result.h"
#include "hands/hand.h"

void CPreditorsAndFoes::Update(const CHand& hand, std::string_view userName) {
    if (!hand.realMoney || (hand.gameKind != 1 && hand.gameKind != 2)) return;
    std::string_view owner = ownerKey_;
    if (owner.substr(0, userName.size()) != userName) return;
    if (owner.substr(userName.size()) !=
        (hand.gameKind == 2 ? std::string_view(" (NL)") : std::string_view()))
        return;
    int user = hand.PositionOf(ownerKey_);
    if (user < 0) return;

    struct Opponent {
        Entry* entry;
        std::int64_t net;
    };
    std::array<Opponent, CHand::kPositions> opponents{};
    std::size_t count = 0;
    for (std::size_t i = 0; i < hand.positionOfName.Size(); ++i) {
        CNameMap::Entry seat = hand.positionOfName.At(i);
        if (seat.name == ownerKey_ || seat.value < 0 || seat.value >= CHand::kPositions) continue;
        Entry& entry = EntryOf(seat.name);
        if (count < opponents.size())
            opponents[count++] = Opponent{&entry, analysis::NetResult(hand, seat.value)};
    }

    std::int64_t net = analysis::NetResult(hand, user);
    if (net == 0) return;
    // Share the user's result among the opponents whose result went the
    // other way, by the size of their results.
    std::int64_t total = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::int64_t other = opponents[i].net;
        if ((net > 0 && other < 0) || (net < 0 && other > 0)) total += other < 0 ? -other : other;
    }
    if (total == 0) return;
    double amount = static_cast<double>(net > 0 ? net : -net);
    for (std::size_t i = 0; i < count; ++i) {
        std::int64_t other = opponents[i].net;
        if (net > 0 && other < 0) {
            opponents[i].entry->wonFrom +=
                amount * static_cast<double>(-other) / static_cast<double>(total);
        } else if (net < 0 && other > 0) {
            opponents[i].entry->lostTo +=
                amount * static_cast<double>(other) / static_cast<double>(total);
        }
    }
}

CPreditorsAndFoes::Entry& CPreditorsAndFoes::EntryOf(std::string_view opponentKey) {
    auto found = index_.find(opponentKey);
    if (found != index_.end()) return *found->second;
    auto it =
        entries_.emplace(std::string(opponentKey), Entry{std::string(opponentKey), 0.0, 0.0}).first;
    index_.emplace(std::string_view(it->first), &it->second);
    return it->second;
}

const CPreditorsAndFoes::Entry* CPreditorsAndFoes::Find(std::string_view opponentKey) const {
    auto it = entries_.find(opponentKey);
    return it == entries_.end() ? nullptr : &it->second;
}
