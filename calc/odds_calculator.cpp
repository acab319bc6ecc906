#include "calc/odds_calculator.h"

#include <algorithm>
#include <limits>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "calc/hand_evaluator.h"
#include "calc/heads_up_count.h"
#include "calc/showdown.h"

namespace {

using calc::HandEvaluator;
using calc::HandKey;
using calc::HandStrength;

// The trial count at which another trial could overflow the opponent-hand
// counter (trials times up to ten opponents) in 32 bits.
constexpr std::int32_t kTrialCeiling =
    std::numeric_limits<std::int32_t>::max() / COddsCalculator::kMaxOpponents;

// `text` without the characters of `drop`.
std::string Without(std::string_view text, std::string_view drop) {
    std::string kept;
    kept.reserve(text.size());
    for (const char c : text) {
        if (drop.find(c) == std::string_view::npos) kept.push_back(c);
    }
    return kept;
}

// Appends the cards of `codes` (two characters each) to `cards`. False when a
// code is unknown.
bool AppendCards(std::string_view codes, std::vector<int>& cards) {
    for (std::size_t i = 0; i + 1 < codes.size(); i += 2) {
        const auto card = calc::ParseCardCode(codes.substr(i, 2));
        if (!card) return false;
        cards.push_back(*card);
    }
    return true;
}

}  // namespace

COddsCalculator::COddsCalculator() : COddsCalculator(TimeSource()) {}

COddsCalculator::COddsCalculator(TimeSource now) : now_(std::move(now)) {
    if (!now_) now_ = [] { return std::chrono::steady_clock::now(); };
    for (int i = 0; i < calc::kDeckSize; ++i)
        deck_[static_cast<std::size_t>(i)] = CCard::FromIndex(i);
}

void COddsCalculator::SetCards(std::string_view pocketText, std::string_view flopText,
                               std::string_view turnText, std::string_view riverText) {
    SetCards(pocketText, flopText, turnText, riverText, {});
}

void COddsCalculator::SetCards(std::string_view pocketText, std::string_view flopText,
                               std::string_view turnText, std::string_view riverText,
                               std::string_view opponentText) {
    pocket_.RemoveAll();
    board_.RemoveAll();
    opponentPocket_.RemoveAll();
    valid_ = false;

    const std::string pocket = Without(pocketText, "[], ");
    const std::string flop = Without(flopText, "[], ");
    const std::string turn = Without(turnText, "[] ");
    const std::string river = Without(riverText, "[] ");
    const std::string opponent = Without(opponentText, "[], ");
    for (const std::string* text : {&pocket, &flop, &turn, &river, &opponent}) {
        if (text->find('?') != std::string::npos) return;
    }
    // No odds before the flop, unless the opponent's cards are known: then
    // the whole board may still be to come.
    const bool preflop = flop.empty() && turn.empty() && river.empty();
    if (pocket.size() != 4 || !(flop.size() == 6 || (preflop && !opponent.empty()))) return;
    if (!opponent.empty() && opponent.size() != 4) return;

    std::vector<int> cards;
    if (!AppendCards(pocket, cards) || !AppendCards(opponent, cards) || !AppendCards(flop, cards))
        return;
    for (const std::string* street : {&turn, &river}) {
        if (street->empty()) continue;
        if (street->size() < 2 || !AppendCards(std::string_view(*street).substr(0, 2), cards))
            return;
    }
    // A card seen twice (a misread table, a typing slip) cannot be dealt; the
    // evaluator would see an impossible hand.
    std::uint64_t seen = 0;
    for (const int card : cards) {
        if ((seen >> card & 1u) != 0) return;
        seen |= 1ull << card;
    }

    const std::size_t opponentCards = opponent.size() / 2;
    for (std::size_t i = 0; i < cards.size(); ++i) {
        CCardArray& to = i < 2 ? pocket_ : i < 2 + opponentCards ? opponentPocket_ : board_;
        to.Add(deck_[static_cast<std::size_t>(cards[i])]);
    }
    valid_ = true;
}

CCard COddsCalculator::DrawCard() {
    if (std::all_of(used_.begin(), used_.end(), [](std::uint8_t u) { return u != 0; }))
        return CCard{};
    for (;;) {
        const std::uint32_t i = random_.Below(calc::kDeckSize);
        if (used_[i] == 0) {
            used_[i] = 1;
            return deck_[i];
        }
    }
}

namespace {

std::vector<std::uint8_t> CardBytes(const CCardArray& cards) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < cards.GetSize(); ++i)
        bytes.push_back(static_cast<std::uint8_t>(cards[i].index));
    return bytes;
}

}  // namespace

bool COddsCalculator::CountExactly(int opponents) {
    const bool known = opponentPocket_.GetSize() != 0;
    if (opponents != 1 ||
        !calc::CanCountHeadsUp(board_.GetSize(),
                               known ? calc::OpponentCards::kKnown : calc::OpponentCards::kUnknown))
        return false;
    const calc::HeadsUpCounts counts =
        calc::CountHeadsUp(CardBytes(pocket_), CardBytes(board_), CardBytes(opponentPocket_));
    // A count that would carry a counter past its ceiling is left out, as a
    // sampled run would stop short; every count fits a fresh engine.
    if (counts.deals == 0 || counts.deals > kTrialCeiling - trials_) return false;
    const auto add = [](std::int32_t& to, std::int64_t n) { to += static_cast<std::int32_t>(n); };
    add(trials_, counts.deals);
    add(opponentHands_, counts.deals);
    add(wins_, counts.wins);
    add(splits_, counts.splits);
    for (std::size_t c = 0; c < kCategoryCount; ++c) {
        add(playerCategoryCount_[c], counts.player[c]);
        add(opponentCategoryCount_[c], counts.opponent[c]);
        add(bestOpponentCategoryCount_[c], counts.opponent[c]);
    }
    return true;
}

void COddsCalculator::Simulate(int trialCount, int opponentCount, int timeLimitMs, Method method) {
    if (!valid_) return;
    wins_ = 0;
    splits_ = 0;
    exact_ = false;
    const bool knownOpponent = opponentPocket_.GetSize() != 0;
    const int opponents = knownOpponent ? 1 : std::clamp(opponentCount, 0, kMaxOpponents);

    HandKey knownBoard;
    HandKey pocket;
    HandKey opponentPocket;
    std::uint64_t known = 0;
    for (std::size_t i = 0; i < board_.GetSize(); ++i) {
        knownBoard += HandEvaluator::CardKey(board_[i].index);
        known |= 1ull << board_[i].index;
    }
    for (std::size_t i = 0; i < pocket_.GetSize(); ++i) {
        pocket += HandEvaluator::CardKey(pocket_[i].index);
        known |= 1ull << pocket_[i].index;
    }
    for (std::size_t i = 0; i < opponentPocket_.GetSize(); ++i) {
        opponentPocket += HandEvaluator::CardKey(opponentPocket_[i].index);
        known |= 1ull << opponentPocket_[i].index;
    }
    if (method == Method::kExactWhenPossible && CountExactly(opponents)) {
        exact_ = true;
        used_.fill(0);
        for (int card = 0; card < calc::kDeckSize; ++card) {
            if ((known >> card & 1u) != 0) used_[static_cast<std::size_t>(card)] = 1;
        }
        return;
    }

    const auto start = now_();
    const HandEvaluator& evaluator = HandEvaluator::Instance();
    // The unseen cards. Each trial deals from the front by a partial
    // Fisher-Yates shuffle, so no card goes to two places in one trial and no
    // redraw loop is needed; starting from the previous trial's order is as
    // good as starting from a sorted deck.
    std::array<std::uint8_t, calc::kDeckSize> unseen{};
    std::uint32_t unseenCount = 0;
    for (int card = 0; card < calc::kDeckSize; ++card) {
        if ((known >> card & 1u) == 0) unseen[unseenCount++] = static_cast<std::uint8_t>(card);
    }
    const std::uint32_t boardMissing = 5 - static_cast<std::uint32_t>(board_.GetSize());
    const std::uint32_t randomOpponents = knownOpponent ? 0 : static_cast<std::uint32_t>(opponents);
    const std::uint32_t dealt = boardMissing + 2 * randomOpponents;

    std::array<HandStrength, kMaxOpponents> opponentStrength{};
    for (int trial = 0; trial < trialCount && trials_ < kTrialCeiling; ++trial) {
        // The clock is read through a std::function; reading it on every
        // trial would cost about as much as the trial itself.
        if (trial % kTrialsPerClockReading == 0 &&
            std::chrono::duration_cast<std::chrono::milliseconds>(now_() - start).count() >
                timeLimitMs)
            break;
        for (std::uint32_t i = 0; i < dealt; ++i) {
            std::swap(unseen[i], unseen[i + random_.Below(unseenCount - i)]);
        }
        HandKey fullBoard = knownBoard;
        for (std::uint32_t i = 0; i < boardMissing; ++i)
            fullBoard += HandEvaluator::CardKey(unseen[i]);
        HandKey player = fullBoard;
        player += pocket;
        const HandStrength playerStrength = evaluator.Strength(player);
        ++playerCategoryCount_[static_cast<std::size_t>(evaluator.CategoryOf(playerStrength))];
        ++trials_;

        HandCategory best = kHighCard;
        for (int o = 0; o < opponents; ++o) {
            HandKey hand = fullBoard;
            if (knownOpponent) {
                hand += opponentPocket;
            } else {
                const std::uint32_t first = boardMissing + 2 * static_cast<std::uint32_t>(o);
                hand += HandEvaluator::CardKey(unseen[first]);
                hand += HandEvaluator::CardKey(unseen[first + 1]);
            }
            const HandStrength strength = evaluator.Strength(hand);
            const HandCategory category = evaluator.CategoryOf(strength);
            ++opponentCategoryCount_[static_cast<std::size_t>(category)];
            ++opponentHands_;
            best = std::max(best, category);
            opponentStrength[static_cast<std::size_t>(o)] = strength;
        }
        ++bestOpponentCategoryCount_[static_cast<std::size_t>(best)];

        const calc::ShowdownOutcome outcome =
            calc::Showdown(playerStrength,
                           std::span(opponentStrength.data(), static_cast<std::size_t>(opponents)));
        if (outcome == calc::ShowdownOutcome::kWin) ++wins_;
        if (outcome == calc::ShowdownOutcome::kSplit) ++splits_;
    }

    // Leave the flags as the last trial dealt them, so a DrawCard afterwards
    // sees the same deck state a card-by-card deal would have left.
    used_.fill(0);
    if (trials_ > 0) {
        for (int card = 0; card < calc::kDeckSize; ++card) {
            if ((known >> card & 1u) != 0) used_[static_cast<std::size_t>(card)] = 1;
        }
        for (std::uint32_t i = 0; i < dealt; ++i) used_[unseen[i]] = 1;
    }
}

// A card counts as an out of the category of the hand it makes, when that hand
// rests on the pocket cards:
//   one pair, trips, quads: the new card pairs a pocket card's rank;
//   two pair: the pocket cards differ in rank and each makes one of the pairs;
//   straight: one of its five ranks is held by a pocket card and by no board card;
//   flush, straight flush, royal: a pocket card has the flush suit;
//   full house: a pocket card makes the trips or the pair;
//   high card: never.
// The new hand is not compared with the current one.
void COddsCalculator::CountOuts() {
    outs_.fill(0);
    if (!valid_) return;
    const calc::HandEvaluator& evaluator = calc::HandEvaluator::Instance();
    std::vector<std::uint8_t> cards;
    std::uint64_t known = 0;
    unsigned boardValues = 0;  // Bit v for every rank value v on the board (the Ace also as 1).
    for (std::size_t i = 0; i < pocket_.GetSize(); ++i) {
        cards.push_back(static_cast<std::uint8_t>(pocket_[i].index));
        known |= 1ull << pocket_[i].index;
    }
    for (std::size_t i = 0; i < board_.GetSize(); ++i) {
        cards.push_back(static_cast<std::uint8_t>(board_[i].index));
        known |= 1ull << board_[i].index;
        const int value = calc::ValueOf(board_[i].index);
        boardValues |= 1u << value;
        if (value == 14) boardValues |= 1u << 1;
    }
    const int p1 = pocket_[0].index;
    const int p2 = pocket_[1].index;
    const int v1 = calc::ValueOf(p1);
    const int v2 = calc::ValueOf(p2);
    const auto pocketMakes = [&](int value) { return value == v1 || value == v2; };
    const auto heldByPocketOnly = [&](int value) {
        const int asAce = value == 1 ? 14 : value;
        return pocketMakes(asAce) && (boardValues & (1u << value)) == 0;
    };

    cards.push_back(0);
    for (int d = 0; d < calc::kDeckSize; ++d) {
        if ((known >> d & 1u) != 0) continue;
        cards.back() = static_cast<std::uint8_t>(d);
        const HandValue hand = evaluator.Evaluate(cards);
        bool counts = false;
        switch (hand.category) {
            case kHighCard:
                break;
            case kOnePair:
            case kThreeOfAKind:
            case kFourOfAKind:
                counts = calc::RankOf(d) == calc::RankOf(p1) || calc::RankOf(d) == calc::RankOf(p2);
                break;
            case kTwoPair: {
                const auto inPairs = [&](int value) {
                    return value == hand.key[0] || value == hand.key[1];
                };
                counts = v1 != v2 && inPairs(v1) && inPairs(v2);
                break;
            }
            case kStraight:
                for (int value = hand.key[0]; value > hand.key[0] - 5 && !counts; --value) {
                    counts = heldByPocketOnly(value);
                }
                break;
            case kFlush:
            case kStraightFlush:
            case kRoyalFlush:
                counts = calc::SuitOf(p1) == hand.suit || calc::SuitOf(p2) == hand.suit;
                break;
            case kFullHouse:
                counts = pocketMakes(hand.key[0]) || pocketMakes(hand.key[1]);
                break;
        }
        if (counts) ++outs_[static_cast<std::size_t>(hand.category)];
    }
}

HandValue COddsCalculator::EvaluateHand(const CCardArray& cards) const {
    std::vector<std::uint8_t> indexes;
    indexes.reserve(cards.GetSize());
    for (std::size_t i = 0; i < cards.GetSize(); ++i) {
        if (calc::IsCard(cards[i].index))
            indexes.push_back(static_cast<std::uint8_t>(cards[i].index));
    }
    return calc::HandEvaluator::Instance().Evaluate(indexes);
}
