#include "calc/heads_up_count.h"

#include <bit>

#include "calc/card_index.h"
#include "calc/hand_evaluator.h"

namespace calc {
namespace {

// Most deals differ only in the suits of cards that make no flush, and such
// deals end alike. So the counts go by rank patterns: every pattern of the
// missing cards' ranks is evaluated once, from rank counts alone, and
// weighed by the number of card sets that show it. That is exact for every
// deal in which no hand holds five cards of a suit. Deals in which one does
// need three board cards of that suit, which only one suit can have; they
// are counted again by the cards of that suit (one at a time) and the ranks
// of the rest, and the difference from the rank-only figure is added.

constexpr std::array<std::array<std::int64_t, 5>, 5> kChoose = {{
    {1, 0, 0, 0, 0},
    {1, 1, 0, 0, 0},
    {1, 2, 1, 0, 0},
    {1, 3, 3, 1, 0},
    {1, 4, 6, 4, 1},
}};

// The 13-bit lane of one suit in HandKey::suitRanks.
unsigned SuitLane(const HandKey& key, int suit) {
    return static_cast<unsigned>(key.suitRanks >> (16 * suit)) & 0x1fffu;
}

// Bit (value - 2) of a card, as in the suit lanes.
unsigned RankBit(int card) { return 1u << (ValueOf(card) - 2); }

// The rank-count step of the rank bits in `ranks` (one card each).
std::uint64_t RankUnits(unsigned ranks) {
    std::uint64_t units = 0;
    for (; ranks != 0; ranks &= ranks - 1)
        units += HandEvaluator::RankUnit(std::countr_zero(ranks) + 2);
    return units;
}

// Adds deals to the counts, each deal weighed (a negative weight takes deals
// out again).
class Tally {
  public:
    Tally(const HandEvaluator& evaluator, HeadsUpCounts& counts)
        : evaluator_(evaluator), counts_(counts) {}

    // Deals between the two hands.
    void Add(HandStrength player, HandStrength opponent, std::int64_t weight) {
        AddPlayer(player, weight);
        AddOpponent(player, opponent, weight);
    }
    // The player's side of deals: their number and the player's category.
    void AddPlayer(HandStrength player, std::int64_t weight) {
        counts_.deals += weight;
        counts_.player[evaluator_.CategoryOf(player)] += weight;
    }
    // The opponent's side of deals: who won, and the opponent's category.
    void AddOpponent(HandStrength player, HandStrength opponent, std::int64_t weight) {
        counts_.wins += player > opponent ? weight : 0;
        counts_.splits += player == opponent ? weight : 0;
        counts_.opponent[evaluator_.CategoryOf(opponent)] += weight;
    }

  private:
    const HandEvaluator& evaluator_;
    HeadsUpCounts& counts_;
};

// Calls visit(units, weight) for every way to draw `left` cards by rank from
// `available` cards per rank (index value - 2): `units` sums their rank-count
// steps, `weight` is the number of card sets with those ranks.
template <typename Visit>
void ForEachRankPattern(const std::array<int, kRankCount>& available, int rank, int left,
                        std::uint64_t units, std::int64_t weight, Visit& visit) {
    if (left == 0) {
        visit(units, weight);
        return;
    }
    if (rank == kRankCount) return;
    const int most = std::min(left, available[static_cast<std::size_t>(rank)]);
    for (int k = 0; k <= most; ++k) {
        ForEachRankPattern(
            available, rank + 1, left - k, units + HandEvaluator::RankUnit(rank + 2) * k,
            weight * kChoose[static_cast<std::size_t>(available[static_cast<std::size_t>(rank)])]
                            [static_cast<std::size_t>(k)],
            visit);
    }
}

// The opponent's cards known: the missing board cards are counted by rank
// pattern, then corrected suit by suit for the deals that make a flush.
void CountAgainstKnownCards(std::span<const std::uint8_t> pocket,
                            std::span<const std::uint8_t> board,
                            std::span<const std::uint8_t> opponent, HeadsUpCounts& counts) {
    const HandEvaluator& evaluator = HandEvaluator::Instance();
    Tally tally(evaluator, counts);
    HandKey boardKey;
    std::uint64_t dead = 0;
    for (const std::uint8_t card : board) {
        boardKey += HandEvaluator::CardKey(card);
        dead |= 1ull << card;
    }
    HandKey player = boardKey;
    HandKey other = boardKey;
    for (const std::uint8_t card : pocket) {
        player += HandEvaluator::CardKey(card);
        dead |= 1ull << card;
    }
    for (const std::uint8_t card : opponent) {
        other += HandEvaluator::CardKey(card);
        dead |= 1ull << card;
    }
    const int missing = 5 - static_cast<int>(board.size());

    std::array<int, kRankCount> available{};
    std::array<unsigned, kSuitCount> unseenOfSuit{};
    for (int card = 0; card < kDeckSize; ++card) {
        if ((dead >> card & 1u) != 0) continue;
        ++available[static_cast<std::size_t>(ValueOf(card) - 2)];
        unseenOfSuit[static_cast<std::size_t>(SuitOf(card))] |= RankBit(card);
    }

    auto rankOnly = [&](std::uint64_t units, std::int64_t weight) {
        tally.Add(evaluator.RankStrength(player.counts + units),
                  evaluator.RankStrength(other.counts + units), weight);
    };
    ForEachRankPattern(available, 0, missing, 0, 1, rankOnly);

    for (int suit = 0; suit < kSuitCount; ++suit) {
        const unsigned playerRanks = SuitLane(player, suit);
        const unsigned otherRanks = SuitLane(other, suit);
        const int playerHeld = std::popcount(playerRanks);
        const int otherHeld = std::popcount(otherRanks);
        const unsigned unseen = unseenOfSuit[static_cast<std::size_t>(suit)];
        // The fewest cards of this suit the board must still bring for a flush.
        const int needed = 5 - std::max(playerHeld, otherHeld);
        if (needed > missing || needed > std::popcount(unseen)) continue;

        std::array<int, kRankCount> otherSuits = available;
        for (unsigned bits = unseen; bits != 0; bits &= bits - 1)
            --otherSuits[static_cast<std::size_t>(std::countr_zero(bits))];
        // Every set of this suit's unseen cards that could come, by its rank bits.
        for (unsigned drawn = unseen;; drawn = (drawn - 1) & unseen) {
            const int k = std::popcount(drawn);
            const bool playerFlush = playerHeld + k >= 5;
            const bool otherFlush = otherHeld + k >= 5;
            if (k <= missing && (playerFlush || otherFlush)) {
                const std::uint64_t drawnUnits = RankUnits(drawn);
                const HandStrength playerFlushStrength =
                    playerFlush ? evaluator.FlushStrength(playerRanks | drawn) : 0;
                const HandStrength otherFlushStrength =
                    otherFlush ? evaluator.FlushStrength(otherRanks | drawn) : 0;
                auto correct = [&](std::uint64_t units, std::int64_t weight) {
                    const HandStrength playerRank =
                        evaluator.RankStrength(player.counts + drawnUnits + units);
                    const HandStrength otherRank =
                        evaluator.RankStrength(other.counts + drawnUnits + units);
                    tally.Add(playerFlush ? playerFlushStrength : playerRank,
                              otherFlush ? otherFlushStrength : otherRank, weight);
                    tally.Add(playerRank, otherRank, -weight);
                };
                ForEachRankPattern(otherSuits, 0, missing - k, 0, 1, correct);
            }
            if (drawn == 0) break;
        }
    }
}

// The opponent side of one full board against every opponent hand, by rank
// pair: `boardCounts` holds the board's rank counts, `byRank` the cards left
// for the opponent per rank (index value - 2). Exact when no opponent hand
// can hold five of a suit; each deal counts `weight` times.
void CountRankPairs(const HandEvaluator& evaluator, Tally& tally, std::uint64_t boardCounts,
                    HandStrength player, const std::array<std::int64_t, kRankCount>& byRank,
                    std::int64_t weight) {
    for (int a = 0; a < kRankCount; ++a) {
        const std::int64_t na = byRank[static_cast<std::size_t>(a)];
        if (na == 0) continue;
        const std::uint64_t withA = boardCounts + HandEvaluator::RankUnit(a + 2);
        if (na >= 2) {
            tally.AddOpponent(player,
                              evaluator.RankStrength(withA + HandEvaluator::RankUnit(a + 2)),
                              weight * (na * (na - 1) / 2));
        }
        for (int b = a + 1; b < kRankCount; ++b) {
            const std::int64_t nb = byRank[static_cast<std::size_t>(b)];
            if (nb == 0) continue;
            tally.AddOpponent(player,
                              evaluator.RankStrength(withA + HandEvaluator::RankUnit(b + 2)),
                              weight * na * nb);
        }
    }
}

// One full board that holds three or more cards of a suit against every
// opponent hand from the `rest` of the cards: by rank pair, corrected for the
// suited hands that make a flush, or hand by hand when four or five board
// cards share the suit and the corrections would outnumber the hands.
void CountFlushBoardAgainstEveryHand(const HandEvaluator& evaluator, Tally& tally,
                                     const HandKey& fullBoard, int flushSuit, HandStrength player,
                                     std::span<const std::uint8_t> rest) {
    const unsigned boardRanks = SuitLane(fullBoard, flushSuit);
    const std::int64_t hands =
        static_cast<std::int64_t>(rest.size()) * static_cast<std::int64_t>(rest.size() - 1) / 2;
    tally.AddPlayer(player, hands);
    if (std::popcount(boardRanks) >= 4) {
        for (std::size_t a = 0; a < rest.size(); ++a) {
            HandKey withFirst = fullBoard;
            withFirst += HandEvaluator::CardKey(rest[a]);
            for (std::size_t b = a + 1; b < rest.size(); ++b) {
                HandKey hand = withFirst;
                hand += HandEvaluator::CardKey(rest[b]);
                tally.AddOpponent(player, evaluator.Strength(hand), 1);
            }
        }
        return;
    }

    std::array<std::int64_t, kRankCount> byRank{};
    std::array<std::uint8_t, kRankCount> ofSuit{};
    std::size_t suited = 0;
    for (const std::uint8_t card : rest) {
        ++byRank[static_cast<std::size_t>(ValueOf(card) - 2)];
        if (SuitOf(card) == flushSuit) ofSuit[suited++] = card;
    }
    CountRankPairs(evaluator, tally, fullBoard.counts, player, byRank, 1);
    for (std::size_t a = 0; a < suited; ++a) {
        for (std::size_t b = a + 1; b < suited; ++b) {
            const std::uint64_t counts = fullBoard.counts +
                                         HandEvaluator::RankUnit(ValueOf(ofSuit[a])) +
                                         HandEvaluator::RankUnit(ValueOf(ofSuit[b]));
            tally.AddOpponent(
                player,
                evaluator.FlushStrength(boardRanks | RankBit(ofSuit[a]) | RankBit(ofSuit[b])), 1);
            tally.AddOpponent(player, evaluator.RankStrength(counts), -1);
        }
    }
}

// The suit holding three or more cards of a full board, or -1.
int FlushSuitOf(const HandKey& fullBoard) {
    for (int suit = 0; suit < kSuitCount; ++suit) {
        if (std::popcount(SuitLane(fullBoard, suit)) >= 3) return suit;
    }
    return -1;
}

// The opponent's cards unknown, three or more board cards known: every
// completion of the board, each against every opponent hand. A completion
// that leaves no suit three times on the board allows no flush to anyone, so
// such completions are gathered by the ranks they bring and each rank
// pattern is counted once; the others are counted one by one.
void CountAgainstEveryHand(std::span<const std::uint8_t> pocket,
                           std::span<const std::uint8_t> board, HeadsUpCounts& counts) {
    const HandEvaluator& evaluator = HandEvaluator::Instance();
    Tally tally(evaluator, counts);
    HandKey boardKey;
    HandKey pocketKey;
    std::uint64_t dead = 0;
    for (const std::uint8_t card : board) {
        boardKey += HandEvaluator::CardKey(card);
        dead |= 1ull << card;
    }
    for (const std::uint8_t card : pocket) {
        pocketKey += HandEvaluator::CardKey(card);
        dead |= 1ull << card;
    }
    std::array<std::uint8_t, kDeckSize> unseen{};
    std::size_t unseenCount = 0;
    std::array<std::int64_t, kRankCount> unseenByRank{};
    for (int card = 0; card < kDeckSize; ++card) {
        if ((dead >> card & 1u) != 0) continue;
        unseen[unseenCount++] = static_cast<std::uint8_t>(card);
        ++unseenByRank[static_cast<std::size_t>(ValueOf(card) - 2)];
    }
    const std::size_t missing = 5 - board.size();
    const std::int64_t restSize = static_cast<std::int64_t>(unseenCount - missing);
    const std::int64_t hands = restSize * (restSize - 1) / 2;

    // Completions without a flush suit, by the rank indexes of their cards
    // (the lower first; a missing card counts as rank index 0 with no card).
    std::array<std::array<std::int64_t, kRankCount>, kRankCount> byPattern{};
    std::array<std::uint8_t, kDeckSize> rest{};
    const auto countCompletion = [&](const HandKey& fullBoard, std::size_t first,
                                     std::size_t second) {
        const int flushSuit = FlushSuitOf(fullBoard);
        if (flushSuit < 0) {
            const auto rankIndex = [&](std::size_t i) {
                return i < unseenCount ? static_cast<std::size_t>(ValueOf(unseen[i]) - 2) : 0;
            };
            const std::size_t a = rankIndex(first);
            const std::size_t b = rankIndex(second);
            ++byPattern[std::min(a, b)][std::max(a, b)];
            return;
        }
        std::size_t restCount = 0;
        for (std::size_t i = 0; i < unseenCount; ++i) {
            if (i != first && i != second) rest[restCount++] = unseen[i];
        }
        HandKey hand = fullBoard;
        hand += pocketKey;
        CountFlushBoardAgainstEveryHand(evaluator, tally, fullBoard, flushSuit,
                                        evaluator.Strength(hand),
                                        std::span<const std::uint8_t>(rest.data(), restCount));
    };
    const std::size_t none = unseenCount;  // No card in that place.
    if (missing == 0) countCompletion(boardKey, none, none);
    for (std::size_t t = 0; missing >= 1 && t < unseenCount; ++t) {
        HandKey withTurn = boardKey;
        withTurn += HandEvaluator::CardKey(unseen[t]);
        if (missing == 1) countCompletion(withTurn, t, none);
        for (std::size_t r = t + 1; missing == 2 && r < unseenCount; ++r) {
            HandKey full = withTurn;
            full += HandEvaluator::CardKey(unseen[r]);
            countCompletion(full, t, r);
        }
    }

    for (std::size_t a = 0; a < kRankCount; ++a) {
        for (std::size_t b = a; b < kRankCount; ++b) {
            const std::int64_t completions = byPattern[a][b];
            if (completions == 0) continue;
            std::uint64_t boardCounts = boardKey.counts;
            std::array<std::int64_t, kRankCount> byRank = unseenByRank;
            // The pattern's cards: none, (b) alone, or (a, b); see rankIndex.
            const std::size_t cards[2] = {a, b};
            for (std::size_t i = 2 - missing; i < 2; ++i) {
                boardCounts += HandEvaluator::RankUnit(static_cast<int>(cards[i]) + 2);
                --byRank[cards[i]];
            }
            const HandStrength player = evaluator.RankStrength(boardCounts + pocketKey.counts);
            tally.AddPlayer(player, completions * hands);
            CountRankPairs(evaluator, tally, boardCounts, player, byRank, completions);
        }
    }
}

bool DistinctCards(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b,
                   std::span<const std::uint8_t> c) {
    std::uint64_t seen = 0;
    for (const auto cards : {a, b, c}) {
        for (const std::uint8_t card : cards) {
            if (!IsCard(card) || (seen >> card & 1u) != 0) return false;
            seen |= 1ull << card;
        }
    }
    return true;
}

}  // namespace

HeadsUpCounts CountHeadsUp(std::span<const std::uint8_t> pocket,
                           std::span<const std::uint8_t> board,
                           std::span<const std::uint8_t> opponent) {
    HeadsUpCounts counts;
    const OpponentCards kind = opponent.empty() ? OpponentCards::kUnknown : OpponentCards::kKnown;
    if (pocket.size() != 2 || (!opponent.empty() && opponent.size() != 2) ||
        !CanCountHeadsUp(board.size(), kind) || !DistinctCards(pocket, board, opponent))
        return counts;
    if (kind == OpponentCards::kKnown) {
        CountAgainstKnownCards(pocket, board, opponent, counts);
    } else {
        CountAgainstEveryHand(pocket, board, counts);
    }
    return counts;
}

}  // namespace calc
