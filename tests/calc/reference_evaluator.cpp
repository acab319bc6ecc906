#include <array>
#include <utility>
#include <vector>

#include "tests/calc/test_cards.h"

// The evaluation steps written out one by one, as plainly as possible.
namespace calc_test {

HandValue ReferenceEvaluate(std::span<const int> cards) {
    const int n = static_cast<int>(cards.size());
    const auto valueOf = [](int card) { return card % 13 == 0 ? 14 : card % 13 + 1; };
    // 1. Card values, sorted descending by exchange.
    std::vector<int> v;
    for (const int card : cards) v.push_back(valueOf(card));
    for (std::size_t i = 0; i < v.size(); ++i) {
        for (std::size_t j = i + 1; j < v.size(); ++j) {
            if (v[j] > v[i]) std::swap(v[i], v[j]);
        }
    }
    const auto at = [&](int i) { return i < n ? v[static_cast<std::size_t>(i)] : 0; };
    // The nth sorted value (from 0) that is neither a nor b.
    const auto other = [&](int a, int b, int nth) {
        for (int i = 0; i < n; ++i) {
            if (at(i) != a && at(i) != b && nth-- == 0) return at(i);
        }
        return 0;
    };
    // 2. Counts per suit and per ladder position (the Ace at 0 and 13).
    std::array<int, 4> suits{};
    std::array<int, 14> ladder{};
    for (const int card : cards) {
        ++suits[static_cast<std::size_t>(card / 13)];
        ++ladder[static_cast<std::size_t>(card % 13)];
        if (card % 13 == 0) ++ladder[13];
    }
    const auto count = [&](int p) { return ladder[static_cast<std::size_t>(p)]; };
    // 3. Straight.
    int straight = -1;
    for (int t = 13; t >= 4 && straight < 0; --t) {
        if (count(t) && count(t - 1) && count(t - 2) && count(t - 3) && count(t - 4)) straight = t;
    }
    // 4. Flush: the first suit with five cards, its values sorted.
    int flush = -1;
    for (int s = 0; s < 4 && flush < 0; ++s) {
        if (suits[static_cast<std::size_t>(s)] >= 5) flush = s;
    }
    std::vector<int> flushValues;
    for (const int card : cards) {
        if (card / 13 == flush) flushValues.push_back(valueOf(card));
    }
    for (std::size_t i = 0; i < flushValues.size(); ++i) {
        for (std::size_t j = i + 1; j < flushValues.size(); ++j) {
            if (flushValues[j] > flushValues[i]) std::swap(flushValues[i], flushValues[j]);
        }
    }
    // 5-7. Quads, trips and second trips, pairs: scanning the ladder from the top.
    int quads = 0, trips = 0, trips2 = 0, pair = 0, pair2 = 0;
    for (int p = 13; p >= 1; --p) {
        if (count(p) == 4 && quads == 0) quads = p + 1;
        if (count(p) == 3 && trips != 0 && trips2 == 0) trips2 = p + 1;
        if (count(p) == 3 && trips == 0) trips = p + 1;
        if (count(p) == 2 && pair != 0 && pair2 == 0) pair2 = p + 1;
        if (count(p) == 2 && pair == 0) pair = p + 1;
    }
    // 8. Straight flush: five flush-suit cards at positions t..t-4.
    int straightFlush = -1;
    for (int t = 13; t >= 4 && flush >= 0 && straight >= 0 && straightFlush < 0; --t) {
        int found = 0;
        for (int q = t; q > t - 5; --q) {
            for (const int card : cards) {
                if (card / 13 == flush && (card % 13 == q || (q == 13 && card % 13 == 0))) {
                    ++found;
                    break;
                }
            }
        }
        if (found == 5) straightFlush = t;
    }
    // 9. The first category that matches.
    HandValue h;
    const auto set = [&h](HandCategory category, std::array<std::int32_t, 5> key, int suit = -1) {
        h.category = category;
        h.key = key;
        h.suit = suit;
    };
    if (straightFlush >= 0) {
        set(straightFlush == 13 ? kRoyalFlush : kStraightFlush, {straightFlush, 0, 0, 0, 0}, flush);
    } else if (quads) {
        set(kFourOfAKind, {quads, other(quads, quads, 0), 0, 0, 0});
    } else if (trips && pair) {
        set(kFullHouse, {trips, pair, 0, 0, 0});
    } else if (trips && trips2) {
        set(kFullHouse, {trips, trips2, 0, 0, 0});
    } else if (flush >= 0) {
        set(kFlush,
            {flushValues[0], flushValues[1], flushValues[2], flushValues[3], flushValues[4]},
            flush);
    } else if (straight >= 0) {
        set(kStraight, {straight + 1, 0, 0, 0, 0});
    } else if (trips) {
        set(kThreeOfAKind, {trips, other(trips, trips, 0), other(trips, trips, 1), 0, 0});
    } else if (pair2) {
        set(kTwoPair, {pair, pair2, other(pair, pair2, 0), 0, 0});
    } else if (pair) {
        set(kOnePair, {pair, other(pair, pair, 0), other(pair, pair, 1), other(pair, pair, 2), 0});
    } else {
        set(kHighCard, {at(0), at(1), at(2), at(3), at(4)});
    }
    return h;
}

int ReferenceCompare(const HandValue& a, const HandValue& b) {
    if (a.category != b.category) return a.category > b.category ? 1 : -1;
    constexpr int kKeys[] = {5, 4, 3, 3, 1, 5, 2, 2, 1, 1};
    for (int i = 0; i < kKeys[a.category]; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (a.key[k] != b.key[k]) return a.key[k] > b.key[k] ? 1 : -1;
    }
    return 0;
}

}  // namespace calc_test
