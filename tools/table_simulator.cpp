#include "tools/table_simulator.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numeric>
#include <span>

#include "calc/card_index.h"
#include "calc/hand_evaluator.h"

namespace sim {

namespace {

// Rake: five cents for every whole dollar in the pot once a flop is dealt,
// at most three dollars.
constexpr Money kRakePerDollar = 5;
constexpr Money kRakeCap = 300;
// Raises allowed on one street before players only call or fold.
constexpr int kMaxRaises = 4;

const char* const kRankWords[] = {"",     "",     "Deuce", "Three", "Four",
                                  "Five", "Six",  "Seven", "Eight", "Nine",
                                  "Ten",  "Jack", "Queen", "King",  "Ace"};

std::string RankWord(int value) { return kRankWords[std::clamp(value, 2, 14)]; }

std::string RankPlural(int value) {
    return value == 6 ? std::string("Sixes") : RankWord(value) + "s";
}

// The words a client writes after shown cards: "a pair of Kings",
// "two pair, Aces and Sevens", "a straight, Nine to King" and so on.
std::string DescribeHand(const HandValue& value) {
    const auto& k = value.key;
    switch (value.category) {
        case kHighCard:
            return "high card " + RankWord(k[0]);
        case kOnePair:
            return "a pair of " + RankPlural(k[0]);
        case kTwoPair:
            return "two pair, " + RankPlural(k[0]) + " and " + RankPlural(k[1]);
        case kThreeOfAKind:
            return "three of a kind, " + RankPlural(k[0]);
        case kStraight:
            return "a straight, " + RankWord(k[0] == 5 ? 14 : k[0] - 4) + " to " + RankWord(k[0]);
        case kFlush:
            return "a flush, " + RankWord(k[0]) + " high";
        case kFullHouse:
            return "a full house, " + RankPlural(k[0]) + " full of " + RankPlural(k[1]);
        case kFourOfAKind:
            return "four of a kind, " + RankPlural(k[0]);
        case kStraightFlush:
            return "a straight flush, " + RankWord(k[0] == 5 ? 14 : k[0] - 4) + " to " +
                   RankWord(k[0]);
        case kRoyalFlush:
            return "a Royal Flush";
    }
    return {};
}

}  // namespace

struct TableSimulator::HandState {
    PlayedHand out;
    std::vector<int> order;  // acting rotation, from the seat after the button
    std::vector<Money> stack;
    std::vector<Money> committed;  // on the current street
    std::vector<bool> folded;
    std::vector<bool> allIn;
    std::vector<HandValue> value;  // at the show-down
    Money currentBet = 0;
    Money lastRaise = 0;
    int raises = 0;
    int lastAggressor = -1;

    int Count() const { return static_cast<int>(stack.size()); }
    int Live() const { return static_cast<int>(std::count(folded.begin(), folded.end(), false)); }
    // Players still able to act: not folded and not all-in.
    int Acting() const {
        int n = 0;
        for (int p = 0; p < Count(); ++p) n += !folded[p] && !allIn[p];
        return n;
    }
    Money Pot() const {
        return std::accumulate(out.invested.begin(), out.invested.end(), Money{0});
    }
    // Moves `amount` from the player's stack into the pot.
    void Pay(int player, Money amount) {
        stack[player] -= amount;
        committed[player] += amount;
        out.invested[player] += amount;
        if (stack[player] == 0) allIn[player] = true;
    }
    void Record(EventKind kind, int street, int player, Money amount, Money raiseTo = 0) {
        out.events.push_back({kind, street, player, amount, raiseTo, player >= 0 && allIn[player]});
    }
};

TableSimulator::TableSimulator(TableConfig config)
    : config_(std::move(config)), rng_(config_.seed) {
    assert(config_.maxSeats >= 2 && config_.maxSeats <= 10);
    assert(config_.players.size() >= 2 &&
           config_.players.size() <= static_cast<std::size_t>(config_.maxSeats));
    std::vector<int> seats(static_cast<std::size_t>(config_.maxSeats));
    std::iota(seats.begin(), seats.end(), 1);
    for (int i = config_.maxSeats - 1; i > 0; --i) std::swap(seats[i], seats[Below(i + 1)]);
    seats.resize(config_.players.size());
    std::sort(seats.begin(), seats.end());
    for (std::size_t i = 0; i < config_.players.size(); ++i) {
        Player player;
        player.name = config_.players[i];
        player.seat = seats[i];
        player.stack = config_.buyIn;
        player.looseness = 0.15 + 0.7 * Random();
        player.aggression = 0.1 + 0.8 * Random();
        seated_.push_back(std::move(player));
    }
    // Who sits where is random too, so the hero is not always in seat 1.
    for (std::size_t i = seated_.size() - 1; i > 0; --i) {
        std::swap(seated_[i].name,
                  seated_[static_cast<std::size_t>(Below(static_cast<int>(i) + 1))].name);
    }
}

PlayedHand TableSimulator::PlayHand(std::uint64_t number, std::int64_t startTime) {
    const int n = static_cast<int>(seated_.size());
    buttonIndex_ = buttonIndex_ < 0 ? Below(n) : (buttonIndex_ + 1) % n;

    HandState hand;
    PlayedHand& out = hand.out;
    out.number = number;
    out.table = config_.name;
    out.maxSeats = config_.maxSeats;
    out.buttonSeat = seated_[static_cast<std::size_t>(buttonIndex_)].seat;
    out.smallBlind = config_.smallBlind;
    out.bigBlind = config_.bigBlind;
    out.startTime = startTime;
    for (Player& player : seated_) {
        if (player.stack < 40 * config_.bigBlind) player.stack = config_.buyIn;
        out.players.push_back({player.name, player.seat, player.stack,
                               !config_.hero.empty() && player.name == config_.hero});
        hand.stack.push_back(player.stack);
    }
    hand.committed.assign(n, 0);
    hand.folded.assign(n, false);
    hand.allIn.assign(n, false);
    out.invested.assign(n, 0);
    out.won.assign(n, 0);
    out.foldStreet.assign(n, -1);
    out.handWords.assign(n, {});
    for (int k = 1; k <= n; ++k) hand.order.push_back((buttonIndex_ + k) % n);

    // Deal from a shuffled deck: two cards each, then the five board cards.
    std::array<int, calc::kDeckSize> deck{};
    std::iota(deck.begin(), deck.end(), 0);
    for (int i = calc::kDeckSize - 1; i > 0; --i) std::swap(deck[i], deck[Below(i + 1)]);
    std::size_t next = 0;
    out.holeCards.resize(static_cast<std::size_t>(n));
    for (int p = 0; p < n; ++p) out.holeCards[p] = {deck[next++], deck[next++]};
    for (int& card : out.board) card = deck[next++];

    // Heads-up the button posts the small blind.
    const int small = n == 2 ? hand.order[1] : hand.order[0];
    const int big = n == 2 ? hand.order[0] : hand.order[1];
    hand.Pay(small, std::min(config_.smallBlind, hand.stack[small]));
    hand.Record(EventKind::kSmallBlind, 0, small, hand.committed[small]);
    hand.Pay(big, std::min(config_.bigBlind, hand.stack[big]));
    hand.Record(EventKind::kBigBlind, 0, big, hand.committed[big]);

    for (int street = 0; street < 4; ++street) {
        if (street > 0) {
            out.boardDealt = street == 1 ? 3 : street + 2;
            hand.Record(EventKind::kStreet, street, -1, 0);
            std::fill(hand.committed.begin(), hand.committed.end(), 0);
            hand.currentBet = 0;
        }
        hand.lastRaise = config_.bigBlind;
        hand.raises = 0;
        hand.lastAggressor = street == 0 ? hand.lastAggressor : -1;
        if (street == 0) hand.currentBet = config_.bigBlind;
        if (hand.Acting() >= 2 || (street == 0 && hand.Acting() >= 1)) BettingRound(hand, street);
        ReturnUncalled(hand, street);
        if (hand.Live() == 1) break;
    }
    if (hand.Live() >= 2) Showdown(hand);
    AwardPots(hand);

    out.totalPot = hand.Pot();
    for (int p = 0; p < n; ++p) {
        seated_[static_cast<std::size_t>(p)].stack = hand.stack[p] + out.won[p];
    }
    return out;
}

void TableSimulator::BettingRound(HandState& hand, int street) {
    const int n = hand.Count();
    // Preflop the player after the big blind opens (heads-up the button);
    // later the first player after the button.
    int k = street == 0 ? (n == 2 ? 1 : 2 % n) : 0;
    std::vector<bool> acted(static_cast<std::size_t>(n), false);
    for (;;) {
        if (hand.Live() == 1) return;
        bool done = true;
        for (int p = 0; p < n; ++p) {
            if (!hand.folded[p] && !hand.allIn[p] &&
                (!acted[p] || hand.committed[p] != hand.currentBet)) {
                done = false;
            }
        }
        if (done) return;
        const int player = hand.order[k];
        k = (k + 1) % n;
        if (hand.folded[player] || hand.allIn[player]) continue;
        if (acted[player] && hand.committed[player] == hand.currentBet) continue;
        const Money betBefore = hand.currentBet;
        Decide(hand, street, player);
        acted[player] = true;
        if (hand.currentBet > betBefore) {
            for (int p = 0; p < n; ++p) acted[p] = p == player;
        }
    }
}

void TableSimulator::Decide(HandState& hand, int street, int player) {
    const Player& me = seated_[static_cast<std::size_t>(player)];
    const Money toCall = hand.currentBet - hand.committed[player];
    const Money stack = hand.stack[player];
    const Money most = hand.committed[player] + stack;  // the most he can have in on this street
    const double strength = Strength(hand, player, street);
    const Money pot = hand.Pot();
    bool othersCanAct = false;
    for (int p = 0; p < hand.Count(); ++p) {
        if (p != player && !hand.folded[p] && !hand.allIn[p]) othersCanAct = true;
    }
    const bool canRaise = othersCanAct && hand.raises < kMaxRaises && most > hand.currentBet;

    // The total a bet or raise goes to: preflop an open of two to four big
    // blinds, otherwise half the pot to a little more than the pot, never
    // below the minimum raise; all-in when the stack is shorter.
    auto raiseTarget = [&] {
        Money target;
        if (street == 0 && hand.currentBet == config_.bigBlind) {
            target = config_.bigBlind * (2 + Below(3));
        } else {
            const double fraction = 0.5 + 0.7 * Random();
            Money size = static_cast<Money>(static_cast<double>(pot + toCall) * fraction);
            size = std::max<Money>(size - size % 5, hand.lastRaise);
            target = hand.currentBet + size;
        }
        target = std::max(target, hand.currentBet + hand.lastRaise);
        // A strong hand now and then goes all-in at once.
        if (strength > 0.85 && Random() < 0.15 * me.aggression) target = most;
        return std::min(target, most);
    };
    auto raiseTo = [&](Money target) {
        const Money increment = target - hand.currentBet;
        hand.Pay(player, target - hand.committed[player]);
        if (increment >= hand.lastRaise) hand.lastRaise = increment;
        const bool opening = hand.currentBet == 0;
        hand.currentBet = target;
        ++hand.raises;
        hand.lastAggressor = player;
        if (opening) {
            hand.Record(EventKind::kBet, street, player, target);
        } else {
            hand.Record(EventKind::kRaise, street, player, increment, target);
        }
    };

    if (toCall == 0) {
        const double betChance =
            street == 0 ? me.aggression * strength * 0.8 : 0.1 + me.aggression * (strength * 0.9);
        if (canRaise && Random() < betChance) {
            raiseTo(raiseTarget());
        } else {
            hand.Record(EventKind::kCheck, street, player, 0);
        }
        return;
    }
    const double odds = static_cast<double>(toCall) / static_cast<double>(pot + toCall);
    const double keepOn = street == 0 ? strength * 1.1 + me.looseness * 1.0 - odds * 0.9 - 0.38
                                      : strength * 1.1 + me.looseness * 0.2 - odds * 0.9;
    if (Random() > std::clamp(keepOn, 0.05, 0.97)) {
        hand.folded[player] = true;
        hand.out.foldStreet[player] = street;
        hand.Record(EventKind::kFold, street, player, 0);
        return;
    }
    if (canRaise && Random() < me.aggression * strength * (street == 0 ? 1.5 : 0.7)) {
        raiseTo(raiseTarget());
        return;
    }
    const Money paid = std::min(toCall, stack);
    hand.Pay(player, paid);
    hand.Record(EventKind::kCall, street, player, paid);
}

void TableSimulator::ReturnUncalled(HandState& hand, int street) {
    int top = -1;
    for (int p = 0; p < hand.Count(); ++p) {
        if (top < 0 || hand.committed[p] > hand.committed[top]) top = p;
    }
    Money second = 0;
    for (int p = 0; p < hand.Count(); ++p) {
        if (p != top) second = std::max(second, hand.committed[p]);
    }
    const Money excess = hand.committed[top] - second;
    if (excess <= 0) return;
    hand.committed[top] -= excess;
    hand.out.invested[top] -= excess;
    hand.stack[top] += excess;
    hand.allIn[top] = false;
    hand.Record(EventKind::kReturned, street, top, excess);
}

void TableSimulator::Showdown(HandState& hand) {
    PlayedHand& out = hand.out;
    const calc::HandEvaluator& evaluator = calc::HandEvaluator::Instance();
    hand.value.assign(static_cast<std::size_t>(hand.Count()), HandValue{});
    for (int p = 0; p < hand.Count(); ++p) {
        if (hand.folded[p]) continue;
        std::array<std::uint8_t, 7> cards{};
        cards[0] = static_cast<std::uint8_t>(out.holeCards[p][0]);
        cards[1] = static_cast<std::uint8_t>(out.holeCards[p][1]);
        for (int i = 0; i < 5; ++i) cards[2 + i] = static_cast<std::uint8_t>(out.board[i]);
        hand.value[p] = evaluator.Evaluate(cards);
    }
    out.showdown = true;
    // The last aggressor shows first, else the first player after the
    // button; each later player shows when he beats or ties the best hand
    // shown, or was all-in, and otherwise mostly mucks.
    const int n = hand.Count();
    int start = 0;
    for (int k = 0; k < n; ++k) {
        if (hand.order[k] == hand.lastAggressor && !hand.folded[hand.lastAggressor]) start = k;
    }
    int best = -1;
    for (int i = 0; i < n; ++i) {
        const int p = hand.order[(start + i) % n];
        if (hand.folded[p]) continue;
        const bool beats = best < 0 || CompareHandValues(hand.value[p], hand.value[best]) >= 0;
        if (beats || hand.stack[p] == 0 || Random() < 0.2) {
            out.shown.push_back(p);
            out.handWords[p] = DescribeHand(hand.value[p]);
            if (beats) best = p;
        } else {
            out.mucked.push_back(p);
        }
    }
}

void TableSimulator::AwardPots(HandState& hand) {
    PlayedHand& out = hand.out;
    const int n = hand.Count();
    Money pot = hand.Pot();
    if (out.boardDealt >= 3) out.rake = std::min(kRakeCap, pot / 100 * kRakePerDollar);
    if (hand.Live() == 1) {
        for (int p = 0; p < n; ++p) {
            if (!hand.folded[p]) {
                out.won[p] = pot - out.rake;
                out.pots.push_back({pot - out.rake, {{p, pot - out.rake}}});
            }
        }
        return;
    }
    // Pots by the levels of what the live players put in: each level's pot
    // is shared by the live players who put in at least that much. The rake
    // comes out of the main pot.
    std::vector<Money> levels;
    for (int p = 0; p < n; ++p) {
        if (!hand.folded[p]) levels.push_back(out.invested[p]);
    }
    std::sort(levels.begin(), levels.end());
    levels.erase(std::unique(levels.begin(), levels.end()), levels.end());
    Money previous = 0;
    Money rake = out.rake;
    for (Money level : levels) {
        Money amount = 0;
        for (int p = 0; p < n; ++p) {
            amount += std::min(out.invested[p], level) - std::min(out.invested[p], previous);
        }
        previous = level;
        const Money taken = std::min(rake, amount);
        amount -= taken;
        rake -= taken;
        std::vector<int> winners;
        for (int k = 0; k < n; ++k) {
            const int p = hand.order[k];
            if (hand.folded[p] || out.invested[p] < level) continue;
            const bool mucked =
                std::find(out.mucked.begin(), out.mucked.end(), p) != out.mucked.end();
            if (mucked) continue;
            if (winners.empty()) {
                winners.push_back(p);
                continue;
            }
            const int c = CompareHandValues(hand.value[p], hand.value[winners.front()]);
            if (c > 0) winners.assign(1, p);
            if (c == 0) winners.push_back(p);
        }
        if (winners.empty()) {
            // Everyone who can win this side pot mucked against a better hand
            // that cannot: the best of them shows after all and takes it.
            for (int k = 0; k < n; ++k) {
                const int p = hand.order[k];
                if (hand.folded[p] || out.invested[p] < level) continue;
                const int c =
                    winners.empty() ? 1 : CompareHandValues(hand.value[p], hand.value[winners[0]]);
                if (c > 0) winners.assign(1, p);
                if (c == 0) winners.push_back(p);
            }
            for (int p : winners) {
                out.mucked.erase(std::find(out.mucked.begin(), out.mucked.end(), p));
                out.shown.push_back(p);
                out.handWords[p] = DescribeHand(hand.value[p]);
            }
        }
        // Split evenly; odd cents go to the first winners after the button.
        const Money share = amount / static_cast<Money>(winners.size());
        Money odd = amount - share * static_cast<Money>(winners.size());
        PotAward award{amount, {}};
        for (int p : winners) {
            const Money part = share + (odd > 0 ? 1 : 0);
            if (odd > 0) --odd;
            out.won[p] += part;
            award.shares.emplace_back(p, part);
        }
        if (amount > 0) out.pots.push_back(std::move(award));
    }
}

double TableSimulator::Strength(const HandState& hand, int player, int street) const {
    const auto& cards = hand.out.holeCards[player];
    const int a = calc::ValueOf(cards[0]);
    const int b = calc::ValueOf(cards[1]);
    if (street == 0) {
        if (a == b) return 0.55 + 0.45 * (a - 2) / 12.0;
        const double high = (std::max(a, b) + std::min(a, b) * 0.6 - 4.0) / 20.0;
        const bool suited = calc::SuitOf(cards[0]) == calc::SuitOf(cards[1]);
        const bool connected = std::abs(a - b) == 1;
        return std::clamp(high * 0.75 + (suited ? 0.08 : 0.0) + (connected ? 0.05 : 0.0), 0.0, 1.0);
    }
    std::array<std::uint8_t, 7> all{};
    all[0] = static_cast<std::uint8_t>(cards[0]);
    all[1] = static_cast<std::uint8_t>(cards[1]);
    const int boardCards = street == 1 ? 3 : street + 2;
    for (int i = 0; i < boardCards; ++i) all[2 + i] = static_cast<std::uint8_t>(hand.out.board[i]);
    const HandValue value = calc::HandEvaluator::Instance().Evaluate(
        std::span<const std::uint8_t>(all.data(), static_cast<std::size_t>(2 + boardCards)));
    switch (value.category) {
        case kHighCard:
            return 0.05 + 0.15 * (value.key[0] - 2) / 12.0;
        case kOnePair:
            return 0.35 + 0.25 * (value.key[0] - 2) / 12.0;
        case kTwoPair:
            return 0.7;
        case kThreeOfAKind:
            return 0.8;
        default:
            return 0.92;
    }
}

BlindSeats FindBlindSeats(const PlayedHand& hand) {
    BlindSeats seats;
    seats.button = hand.PlayerAtSeat(hand.buttonSeat);
    for (const HandEvent& event : hand.events) {
        if (event.kind == EventKind::kSmallBlind) seats.smallBlind = event.player;
        if (event.kind == EventKind::kBigBlind) seats.bigBlind = event.player;
    }
    return seats;
}

}  // namespace sim
