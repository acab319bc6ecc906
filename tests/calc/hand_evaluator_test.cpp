#include "calc/hand_evaluator.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "calc/split_mix64.h"
#include "tests/calc/test_cards.h"

namespace {

using calc::HandEvaluator;
using calc::HandKey;
using calc_test::Cards;
using calc_test::ReferenceCompare;
using calc_test::ReferenceEvaluate;

HandValue Value(HandCategory category, std::array<std::int32_t, 5> key, std::int32_t suit = -1) {
    return HandValue{category, key, suit};
}

HandKey KeyOf(std::span<const int> cards) {
    HandKey key;
    for (const int card : cards) key += HandEvaluator::CardKey(card);
    return key;
}

TEST(HandEvaluatorTest, TypicalHands) {
    const std::pair<const char*, HandValue> cases[] = {
        {"As Ks Qs Js Ts 2c 3d", Value(kRoyalFlush, {13, 0, 0, 0, 0}, 0)},
        {"5h 4h 3h 2h Ah Kc Qd", Value(kStraightFlush, {4, 0, 0, 0, 0}, 2)},
        {"Kd Qd Jd Td 9d 8d 2c", Value(kStraightFlush, {12, 0, 0, 0, 0}, 3)},
        {"Ac 2d 3h 4s 5c 9d Jh", Value(kStraight, {5, 0, 0, 0, 0})},
        {"Ah Kh 7h 4h 2h 3c 5d", Value(kFlush, {14, 13, 7, 4, 2}, 2)},  // flush and straight apart
        {"2c 2d 2h 2s 3c 3d Ah", Value(kFourOfAKind, {2, 14, 0, 0, 0})},
        {"7c 7d 7h 4s 4c 4d Ah", Value(kFullHouse, {7, 4, 0, 0, 0})},  // second trips as the pair
        {"9c 9d 9h As Kc 2d 3h", Value(kThreeOfAKind, {9, 14, 13, 0, 0})},
        {"Kc Kd Qh Qs 9c 9d 4h", Value(kTwoPair, {13, 12, 9, 0, 0})},  // kicker from the third pair
        {"2c 2d 5h 7s 9c Jd Kh", Value(kOnePair, {2, 13, 11, 9, 0})},
        {"Ac Kd 9h 7s 5c 3d 2h", Value(kHighCard, {14, 13, 9, 7, 5})},
        {"Ac 2c 3c 4c 5c", Value(kStraightFlush, {4, 0, 0, 0, 0}, 1)},
        {"Ac Kd 9h 7s 5c 5d", Value(kOnePair, {5, 14, 13, 9, 0})},
        // Direct path: short hands leave keys 0, unknown and repeated cards are
        // skipped, and with trips, a pair and second trips the pair is taken.
        {"As Ad Kc", Value(kOnePair, {14, 13, 0, 0, 0})},
        {"As Ks Qs Js Ts ?? As", Value(kRoyalFlush, {13, 0, 0, 0, 0}, 0)},
        {"Ac Ad Ah Kc Kd Kh Qc Qd", Value(kFullHouse, {14, 12, 0, 0, 0})},
        {"2c 4c 6c 8c Tc 3h 5h 7h 9h Jh", Value(kFlush, {10, 8, 6, 4, 2}, 1)},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        std::vector<std::uint8_t> bytes;
        for (const int card : Cards(text)) bytes.push_back(static_cast<std::uint8_t>(card));
        EXPECT_EQ(HandEvaluator::Instance().Evaluate(bytes), expected);
    }
}

TEST(HandEvaluatorTest, ComparisonsWithinACategory) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"Kc Kd Kh 2s 2c 7d 8h", "Qc Qd Qh As Ac 7c 8s", 1},   // full house: trips first
        {"Kc Kd Kh 2s 2c 7d 8h", "Kc Kd Kh 3s 3c 7d 8h", -1},  // then the pair
        {"Ah Kh 7h 4h 3h", "Ah Kh 7h 4h 2h", 1},               // flush: all five cards
        {"9c Td Jh Qs Kc 2d", "9h Td Jh Qs Kd 3d", 0},         // straight: top card only
        {"Ac 2d 3h 4s 5c", "2c 3d 4h 5s 6c", -1},              // the wheel is the lowest straight
        {"Ah 2h 3h 4h 5h", "2c 3c 4c 5c 6c", -1},              // and the lowest straight flush
        {"Kc Kd 9h 7s 4c 3d", "Kh Ks 9c 7d 4h 2s", 0},         // a card beyond the kickers
    };
    const HandEvaluator& evaluator = HandEvaluator::Instance();
    for (const auto& [a, b, expected] : cases) {
        SCOPED_TRACE(std::string(a) + " vs " + b);
        const int fast = evaluator.Strength(KeyOf(Cards(a))) - evaluator.Strength(KeyOf(Cards(b)));
        EXPECT_EQ((fast > 0) - (fast < 0), expected);
        EXPECT_EQ(
            CompareHandValues(evaluator.Value(KeyOf(Cards(a))), evaluator.Value(KeyOf(Cards(b)))),
            expected);
        EXPECT_EQ(ReferenceCompare(ReferenceEvaluate(Cards(a)), ReferenceEvaluate(Cards(b))),
                  expected);
    }
}

// Checks one hand against the reference, and its order against the hand before.
class ReferenceCheck {
  public:
    void Check(std::span<const int> cards) {
        const HandEvaluator& evaluator = HandEvaluator::Instance();
        const HandKey key = KeyOf(cards);
        const HandValue reference = ReferenceEvaluate(cards);
        bool ok = evaluator.Value(key) == reference;
        if (checked_ > 0) {
            const int order = ReferenceCompare(reference, previous_);
            const int strength = evaluator.Strength(key) - evaluator.Strength(previousKey_);
            ok = ok && (strength > 0) - (strength < 0) == order &&
                 CompareHandValues(evaluator.Value(key), evaluator.Value(previousKey_)) == order;
        }
        if (!ok && ++mismatches_ <= 5) {
            ADD_FAILURE() << "cards "
                          << testing::PrintToString(std::vector<int>(cards.begin(), cards.end()))
                          << ": fast " << testing::PrintToString(evaluator.Value(key))
                          << ", reference " << testing::PrintToString(reference);
        }
        previous_ = reference;
        previousKey_ = key;
        ++checked_;
    }
    int checked_ = 0;
    int mismatches_ = 0;

  private:
    HandValue previous_;
    HandKey previousKey_;
};

TEST(HandEvaluatorTest, EveryFiveCardHandMatchesTheReference) {
    ReferenceCheck check;
    std::array<int, 5> c{};
    for (c[0] = 0; c[0] < 48; ++c[0])
        for (c[1] = c[0] + 1; c[1] < 49; ++c[1])
            for (c[2] = c[1] + 1; c[2] < 50; ++c[2])
                for (c[3] = c[2] + 1; c[3] < 51; ++c[3])
                    for (c[4] = c[3] + 1; c[4] < 52; ++c[4]) check.Check(c);
    EXPECT_EQ(check.checked_, 2598960);
    EXPECT_EQ(check.mismatches_, 0);
}

TEST(HandEvaluatorTest, RandomHandsMatchTheReference) {
    ReferenceCheck check;
    calc::SplitMix64 random(20240611);
    for (int hand = 0; hand < 2'000'000; ++hand) {
        // Mostly seven cards; every eighth hand six.
        std::array<int, 7> cards{};
        const std::size_t size = hand % 8 == 0 ? 6 : 7;
        std::uint64_t taken = 0;
        for (std::size_t i = 0; i < size; ++i) {
            do {
                cards[i] = static_cast<int>(random.Below(52));
            } while ((taken >> cards[i] & 1u) != 0);
            taken |= 1ull << cards[i];
        }
        check.Check(std::span<const int>(cards.data(), size));
    }
    EXPECT_EQ(check.mismatches_, 0);
    // Hands of eight to seventeen cards take the direct path.
    for (int hand = 0; hand < 2000; ++hand) {
        std::vector<int> deck(52);
        for (int i = 0; i < 52; ++i) deck[static_cast<std::size_t>(i)] = i;
        const std::size_t size = 8 + static_cast<std::size_t>(hand % 10);
        for (std::size_t i = 0; i < size; ++i)
            std::swap(deck[i], deck[i + random.Below(static_cast<std::uint32_t>(52 - i))]);
        const std::vector<int> cards(deck.begin(),
                                     deck.begin() + static_cast<std::ptrdiff_t>(size));
        // Filled element by element: GCC 12 at -O3 misreads the range
        // constructor's inlined copy as an overflow (-Wstringop-overflow).
        std::vector<std::uint8_t> bytes(size);
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(cards[i]);
        ASSERT_EQ(HandEvaluator::Instance().Evaluate(bytes), ReferenceEvaluate(cards))
            << "hand " << hand;
    }
}

// Counts the categories of all seven-card hands that extend `key` with cards
// from `next` on.
void Census(const HandKey& key, int next, int missing,
            std::array<std::int64_t, kCategoryCount>& census) {
    const HandEvaluator& evaluator = HandEvaluator::Instance();
    for (int card = next; card <= 52 - missing; ++card) {
        HandKey extended = key;
        extended += HandEvaluator::CardKey(card);
        if (missing == 1) {
            ++census[static_cast<std::size_t>(evaluator.CategoryOf(evaluator.Strength(extended)))];
        } else {
            Census(extended, card + 1, missing - 1, census);
        }
    }
}

TEST(HandEvaluatorTest, SevenCardCensusOfAllHands) {
    std::array<std::int64_t, kCategoryCount> census{};
    Census(HandKey{}, 0, 7, census);
    const std::array<std::int64_t, kCategoryCount> expected = {
        23294460, 58627800, 31433400, 6461620, 6180020, 4047644, 3473184, 224848, 37260, 4324};
    EXPECT_EQ(census, expected);
}

}  // namespace
