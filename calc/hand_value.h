#pragma once
// The result of evaluating a poker hand: its category and the rank values that
// order hands of the same category.
//
// Known census of the 133,784,560 seven-card hands, a sanity reference for the
// evaluator (the tools/ census program recounts them):
//
//   royal flush         4,324     full house       3,473,184
//   straight flush     37,260     flush            4,047,644
//   four of a kind    224,848     straight         6,180,020
//   three of a kind 6,461,620     two pair        31,433,400
//   one pair       58,627,800     high card       23,294,460

#include <array>
#include <cstdint>

// Hand category, the index of every per-category counter and the first key of
// every comparison. Higher is better.
enum HandCategory : std::int32_t {
    kHighCard = 0,
    kOnePair = 1,
    kTwoPair = 2,
    kThreeOfAKind = 3,
    kStraight = 4,
    kFlush = 5,
    kFullHouse = 6,
    kFourOfAKind = 7,
    kStraightFlush = 8,  // Any straight flush that is not Ace-high.
    kRoyalFlush = 9,     // The Ace-high straight flush.
};

inline constexpr int kCategoryCount = 10;

// How many keys decide a comparison within each category; the keys after them
// are always 0.
inline constexpr std::array<int, kCategoryCount> kCategoryKeyCount = {5, 4, 3, 3, 1, 5, 2, 2, 1, 1};

// An evaluated hand. Keys hold rank values 2 (Two) to 14 (Ace) in comparison
// order, with these exceptions: a straight's key 1 is its top card (5 for the
// Five-high straight); a straight flush's key 1 is a position on the 14-step
// ladder (0 = Ace low, 1 = Two, ... 12 = King, 13 = Ace high), so the
// Five-high one has 4 and the royal 13. Unused keys are 0. `suit` is the flush
// suit (0..3) for flushes and straight flushes, -1 otherwise.
struct HandValue {
    HandCategory category = kHighCard;
    std::array<std::int32_t, 5> key = {0, 0, 0, 0, 0};
    std::int32_t suit = -1;

    bool operator==(const HandValue&) const = default;
};

// Returns 1 when a is the better hand, -1 when b is, 0 when they tie: the higher
// category wins, then the category's keys decide in order. The suit never counts.
constexpr int CompareHandValues(const HandValue& a, const HandValue& b) {
    if (a.category != b.category) return a.category > b.category ? 1 : -1;
    const int keys = kCategoryKeyCount[static_cast<std::size_t>(a.category)];
    for (int i = 0; i < keys; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (a.key[k] != b.key[k]) return a.key[k] > b.key[k] ? 1 : -1;
    }
    return 0;
}
