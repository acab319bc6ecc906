#include "calc/hand_evaluator.h"

#include <algorithm>
#include <stdexcept>

#include "calc/split_mix64.h"

namespace calc {
namespace {

constexpr std::size_t kSlotCount = std::size_t{1} << 17;
constexpr std::size_t kBucketCount = std::size_t{1} << 14;

// Packs a value into one integer that orders exactly like CompareHandValues:
// the category in bits 20..23 and key 1 to key 5 in four bits each below it
// (keys never exceed 14, and the keys a category does not compare are 0).
std::uint32_t Pack(const HandValue& value) {
    std::uint32_t packed = static_cast<std::uint32_t>(value.category);
    for (const std::int32_t key : value.key)
        packed = (packed << 4) | static_cast<std::uint32_t>(key);
    return packed;
}

// Ranks held, as bits (value - 2), moved onto the 14-step ladder: bit p for
// ladder position p = value - 1, and bit 0 again for an Ace playing low.
unsigned Ladder(unsigned valueBits) {
    unsigned ladder = valueBits << 1;
    if ((valueBits & (1u << 12)) != 0) ladder |= 1u;
    return ladder;
}

// The top ladder position (13 down to 4) of the highest run of five, or -1.
int TopOfRun(unsigned ladder) {
    for (int top = 13; top >= 4; --top) {
        if (((ladder >> (top - 4)) & 0x1fu) == 0x1fu) return top;
    }
    return -1;
}

// Calls visit(counts) for every way to hold `minCards` to `maxCards` cards of
// thirteen ranks with at most four of each rank.
template <typename Visit>
void ForEachRankCounts(std::array<int, kRankCount>& counts, int rank, int cards, int minCards,
                       int maxCards, Visit&& visit) {
    if (rank == kRankCount) {
        if (cards >= minCards) visit(counts);
        return;
    }
    for (int c = 0; c <= 4 && cards + c <= maxCards; ++c) {
        counts[static_cast<std::size_t>(rank)] = c;
        ForEachRankCounts(counts, rank + 1, cards + c, minCards, maxCards, visit);
    }
    counts[static_cast<std::size_t>(rank)] = 0;
}

std::uint64_t RankCountKey(const std::array<int, kRankCount>& counts) {
    std::uint64_t key = 0;
    for (int i = 0; i < kRankCount; ++i) {
        key += static_cast<std::uint64_t>(counts[static_cast<std::size_t>(i)]) << (3 * i);
    }
    return key;
}

}  // namespace

HandValue HandEvaluator::EvaluateCounts(const std::array<int, kRankCount>& countByValue,
                                        int flushSuit, unsigned flushRanks) {
    // All card values, highest first, each as often as it is held.
    std::array<int, kDeckSize> sorted{};
    int cardCount = 0;
    unsigned present = 0;
    for (int value = 14; value >= 2; --value) {
        const int count = std::clamp(countByValue[static_cast<std::size_t>(value - 2)], 0, 4);
        if (count > 0) present |= 1u << (value - 2);
        for (int c = 0; c < count; ++c) sorted[static_cast<std::size_t>(cardCount++)] = value;
    }
    // The nth card value (from 0) that differs from both a and b, or 0.
    const auto kicker = [&](int a, int b, int nth) {
        for (int i = 0; i < cardCount; ++i) {
            const int value = sorted[static_cast<std::size_t>(i)];
            if (value != a && value != b && nth-- == 0) return value;
        }
        return 0;
    };

    int quads = 0, trips = 0, secondTrips = 0, pair = 0, secondPair = 0;
    for (int value = 14; value >= 2; --value) {
        const int count = countByValue[static_cast<std::size_t>(value - 2)];
        if (count == 4 && quads == 0) quads = value;
        if (count == 3) {
            if (trips == 0) {
                trips = value;
            } else if (secondTrips == 0) {
                secondTrips = value;
            }
        }
        if (count == 2) {
            if (pair == 0) {
                pair = value;
            } else if (secondPair == 0) {
                secondPair = value;
            }
        }
    }
    const int straightTop = TopOfRun(Ladder(present));

    HandValue result;
    if (flushSuit >= 0 && straightTop >= 0) {
        const int top = TopOfRun(Ladder(flushRanks));
        if (top >= 0) {
            result.category = top == 13 ? kRoyalFlush : kStraightFlush;
            result.key[0] = top;
            result.suit = flushSuit;
            return result;
        }
    }
    if (quads != 0) {
        result.category = kFourOfAKind;
        result.key = {quads, kicker(quads, quads, 0), 0, 0, 0};
    } else if (trips != 0 && (pair != 0 || secondTrips != 0)) {
        // Two sets of trips make a full house with the lower set as the pair.
        result.category = kFullHouse;
        result.key = {trips, pair != 0 ? pair : secondTrips, 0, 0, 0};
    } else if (flushSuit >= 0) {
        result.category = kFlush;
        result.suit = flushSuit;
        int filled = 0;
        for (int value = 14; value >= 2 && filled < 5; --value) {
            if ((flushRanks & (1u << (value - 2))) != 0)
                result.key[static_cast<std::size_t>(filled++)] = value;
        }
    } else if (straightTop >= 0) {
        result.category = kStraight;
        result.key[0] = straightTop + 1;
    } else if (trips != 0) {
        result.category = kThreeOfAKind;
        result.key = {trips, kicker(trips, trips, 0), kicker(trips, trips, 1), 0, 0};
    } else if (secondPair != 0) {
        // With three pairs the kicker is the best remaining card, which may
        // belong to the third pair.
        result.category = kTwoPair;
        result.key = {pair, secondPair, kicker(pair, secondPair, 0), 0, 0};
    } else if (pair != 0) {
        result.category = kOnePair;
        result.key = {pair, kicker(pair, pair, 0), kicker(pair, pair, 1), kicker(pair, pair, 2), 0};
    } else {
        result.category = kHighCard;
        for (std::size_t i = 0; i < 5; ++i) result.key[i] = kicker(0, 0, static_cast<int>(i));
    }
    return result;
}

const HandEvaluator& HandEvaluator::Instance() {
    static const HandEvaluator evaluator;
    return evaluator;
}

HandEvaluator::HandEvaluator() {
    // Every rank pattern of five to seven cards (no flush possible from the
    // counts alone) and every flush-suit rank set of five cards or more.
    std::vector<std::uint64_t> rankKeys;
    std::vector<std::uint32_t> rankPacked;
    std::array<int, kRankCount> counts{};
    ForEachRankCounts(counts, 0, 0, 5, 7, [&](const std::array<int, kRankCount>& c) {
        rankKeys.push_back(RankCountKey(c));
        rankPacked.push_back(Pack(EvaluateCounts(c, -1, 0)));
    });
    std::vector<std::uint32_t> flushPacked(std::size_t{1} << kRankCount, 0);
    for (unsigned ranks = 0; ranks < (1u << kRankCount); ++ranks) {
        if (std::popcount(ranks) < 5) continue;
        std::array<int, kRankCount> single{};
        for (int i = 0; i < kRankCount; ++i)
            single[static_cast<std::size_t>(i)] = (ranks >> i) & 1u;
        flushPacked[ranks] = Pack(EvaluateCounts(single, 0, ranks));
    }

    // Number the distinct values in ascending order; that numbering is the
    // strength class.
    std::vector<std::uint32_t> order(rankPacked);
    for (unsigned ranks = 0; ranks < flushPacked.size(); ++ranks) {
        if (std::popcount(ranks) >= 5) order.push_back(flushPacked[ranks]);
    }
    std::sort(order.begin(), order.end());
    order.erase(std::unique(order.begin(), order.end()), order.end());
    if (order.size() > 0xffff) throw std::logic_error("HandEvaluator: too many strength classes");
    const auto classOf = [&](std::uint32_t packed) {
        return static_cast<HandStrength>(std::lower_bound(order.begin(), order.end(), packed) -
                                         order.begin());
    };
    classValue_.resize(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        HandValue& value = classValue_[i];
        std::uint32_t packed = order[i];
        for (int k = 4; k >= 0; --k, packed >>= 4)
            value.key[static_cast<std::size_t>(k)] = static_cast<std::int32_t>(packed & 0xf);
        value.category = static_cast<HandCategory>(packed);
    }
    classCategory_.resize(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        classCategory_[i] = static_cast<std::uint8_t>(classValue_[i].category);

    flushClass_.assign(flushPacked.size(), 0);
    for (unsigned ranks = 0; ranks < flushPacked.size(); ++ranks) {
        if (std::popcount(ranks) >= 5) flushClass_[ranks] = classOf(flushPacked[ranks]);
    }
    BuildPerfectHash(rankKeys);
    rankClass_.assign(kSlotCount, 0);
    for (std::size_t i = 0; i < rankKeys.size(); ++i) {
        const std::uint64_t key = rankKeys[i];
        const std::size_t bucket = (key * bucketMultiplier_) >> (64 - kBucketBits);
        const std::size_t slot =
            ((key * slotMultiplier_) >> (64 - kSlotBits)) ^ displacement_[bucket];
        rankClass_[slot] = classOf(rankPacked[i]);
    }
}

// Builds a perfect hash of the rank-count words in the compress-hash-displace
// manner: a first multiplicative hash picks a bucket, a second one a home slot,
// and each bucket gets the displacement (XORed into the home slots) that puts
// all its keys into free slots. Buckets are placed largest first, while the
// table is still empty. The multipliers come from a fixed seed, so the layout
// is the same on every run; a pair that cannot be separated moves on to the
// next pair of multipliers.
void HandEvaluator::BuildPerfectHash(const std::vector<std::uint64_t>& rankKeys) {
    SplitMix64 random(0x5ea7'3a7c'0dd5'0001ull);
    for (int attempt = 0; attempt < 100; ++attempt) {
        bucketMultiplier_ = random.Next() | 1u;
        slotMultiplier_ = random.Next() | 1u;
        std::vector<std::vector<std::uint32_t>> homes(kBucketCount);
        for (const std::uint64_t key : rankKeys) {
            homes[(key * bucketMultiplier_) >> (64 - kBucketBits)].push_back(
                static_cast<std::uint32_t>((key * slotMultiplier_) >> (64 - kSlotBits)));
        }
        bool separable = true;
        for (auto& bucket : homes) {
            std::sort(bucket.begin(), bucket.end());
            if (std::adjacent_find(bucket.begin(), bucket.end()) != bucket.end()) separable = false;
        }
        if (!separable) continue;

        std::vector<std::size_t> bySize(kBucketCount);
        for (std::size_t i = 0; i < kBucketCount; ++i) bySize[i] = i;
        std::stable_sort(bySize.begin(), bySize.end(), [&](std::size_t a, std::size_t b) {
            return homes[a].size() > homes[b].size();
        });
        std::vector<bool> taken(kSlotCount, false);
        displacement_.assign(kBucketCount, 0);
        bool placed = true;
        for (const std::size_t bucket : bySize) {
            const auto& slots = homes[bucket];
            if (slots.empty()) break;
            std::uint32_t shift = 0;
            for (; shift < kSlotCount; ++shift) {
                if (std::none_of(slots.begin(), slots.end(),
                                 [&](std::uint32_t s) { return taken[s ^ shift]; }))
                    break;
            }
            if (shift == kSlotCount) {
                placed = false;
                break;
            }
            for (const std::uint32_t s : slots) taken[s ^ shift] = true;
            displacement_[bucket] = shift;
        }
        if (placed) return;
    }
    throw std::logic_error("HandEvaluator: no perfect hash found");
}

HandValue HandEvaluator::Value(const HandKey& key) const {
    HandValue value = classValue_[Strength(key)];
    const std::uint64_t flush = key.counts & kFlushFlags;
    if (flush != 0) value.suit = (std::countr_zero(flush) - 51) >> 2;
    return value;
}

HandValue HandEvaluator::Evaluate(std::span<const std::uint8_t> cards) const {
    std::uint64_t seen = 0;
    HandKey key;
    int count = 0;
    for (const std::uint8_t card : cards) {
        if (!IsCard(card) || (seen >> card & 1u) != 0) continue;
        seen |= 1ull << card;
        key += CardKey(card);
        ++count;
    }
    if (count >= 5 && count <= 7) return Value(key);

    std::array<int, kRankCount> countByValue{};
    for (int value = 2; value <= 14; ++value) {
        countByValue[static_cast<std::size_t>(value - 2)] =
            static_cast<int>((key.counts >> (3 * (value - 2))) & 7u);
    }
    for (int suit = 0; suit < kSuitCount; ++suit) {
        const unsigned ranks = static_cast<unsigned>((key.suitRanks >> (16 * suit)) & 0x1fffu);
        if (std::popcount(ranks) >= 5) return EvaluateCounts(countByValue, suit, ranks);
    }
    return EvaluateCounts(countByValue, -1, 0);
}

}  // namespace calc
