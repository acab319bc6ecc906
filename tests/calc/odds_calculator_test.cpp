#include "calc/odds_calculator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "calc/hand_evaluator.h"
#include "calc/showdown.h"
#include "tests/calc/test_cards.h"

namespace {

using calc::HandEvaluator;
using calc::HandKey;
using calc::HandStrength;
using calc::ShowdownOutcome;

std::string IndexesOf(const CCardArray& cards) {
    std::string text;
    for (std::size_t i = 0; i < cards.GetSize(); ++i) text += std::to_string(cards[i].index) + " ";
    return text;
}

TEST(OddsCalculatorTest, SetCardsAcceptsOnlyCompleteWellFormedInput) {
    struct Case {
        const char* pocket;
        const char* flop;
        const char* turn;
        const char* river;
        bool valid;
        const char* cards;  // pocket then board, when valid
    };
    const Case cases[] = {
        {"[Ah,Kd]", "[Qs,7c,2d]", "", "", true, "Ah Kd Qs 7c 2d"},
        {"[Ah][Kd]", "[Qs][7c][2d]", "[5h]", "[9s]", true, "Ah Kd Qs 7c 2d 5h 9s"},
        {"Ah Kd", "Qs 7c 2d", "5h", "", true, "Ah Kd Qs 7c 2d 5h"},
        {"[AH,KD]", "[QS,7C,2D]", "", "", true, "Ah Kd Qs 7c 2d"},
        // The turn and the river give the card in their first two characters.
        {"[Ah,Kd]", "[Qs,7c,2d]", "[5h,6h]", "", true, "Ah Kd Qs 7c 2d 5h"},
        // Placeholders, missing or extra cards.
        {"[Ah,??]", "[Qs,7c,2d]", "", "", false, ""},
        {"[Ah,Kd]", "[Qs,7c,2d]", "[??]", "", false, ""},
        {"[Ah,Kd]", "", "", "", false, ""},
        {"[Ah]", "[Qs,7c,2d]", "", "", false, ""},
        {"[Ah,Kd]", "[Qs,7c,2d,5h]", "", "", false, ""},
        {"[Ah,Kd]", "[Qs,7c,2d]", "[5]", "", false, ""},
        // Unknown codes: a lower-case rank, an unknown suit, a ten written "10".
        {"[ah,Kd]", "[Qs,7c,2d]", "", "", false, ""},
        {"[Ah,Kx]", "[Qs,7c,2d]", "", "", false, ""},
        {"[Ah,Kd]", "[Qs,7c,2d]", "[10h]", "", false, ""},
        // A card twice.
        {"[Ah,Ah]", "[Qs,7c,2d]", "", "", false, ""},
        {"[Ah,Kd]", "[Qs,7c,2d]", "[2d]", "", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pocket) + " | " + c.flop + " | " + c.turn + " | " + c.river);
        COddsCalculator calculator;
        calculator.SetCards(c.pocket, c.flop, c.turn, c.river);
        EXPECT_EQ(calculator.Valid(), c.valid);
        std::string expected;
        for (const int card : calc_test::Cards(c.cards)) expected += std::to_string(card) + " ";
        EXPECT_EQ(calculator.Pocket().GetSize(), c.valid ? 2u : 0u);
        EXPECT_EQ(IndexesOf(calculator.Pocket()) + IndexesOf(calculator.Board()), expected);
        calculator.Simulate(100, 2, 2000);
        EXPECT_EQ(calculator.Trials(), c.valid ? 100 : 0);
    }
}

TEST(OddsCalculatorTest, SetCardsWithAKnownOpponentAllowsEveryStreet) {
    struct Case {
        const char* pocket;
        const char* flop;
        const char* turn;
        const char* opponent;
        bool valid;
        const char* cards;  // pocket, opponent, then board, when valid
    };
    const Case cases[] = {
        {"[As,Ah]", "", "", "[Ks,Kh]", true, "As Ah Ks Kh"},
        {"[As,Ah]", "[Qs,7c,2d]", "[5h]", "Ks Kh", true, "As Ah Ks Kh Qs 7c 2d 5h"},
        {"[As,Ah]", "", "", "", false, ""},             // preflop needs the opponent's cards
        {"[As,Ah]", "", "[5h]", "[Ks,Kh]", false, ""},  // a turn without a flop
        {"[As,Ah]", "", "", "[Ks]", false, ""},
        {"[As,Ah]", "", "", "[Ks,??]", false, ""},
        {"[As,Ah]", "[Qs,7c,2d]", "", "[Ks,Qs]", false, ""},  // a card twice
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pocket) + " | " + c.flop + " | " + c.turn + " | " + c.opponent);
        COddsCalculator calculator;
        calculator.SetCards(c.pocket, c.flop, c.turn, "", c.opponent);
        EXPECT_EQ(calculator.Valid(), c.valid);
        std::string expected;
        for (const int card : calc_test::Cards(c.cards)) expected += std::to_string(card) + " ";
        EXPECT_EQ(IndexesOf(calculator.Pocket()) + IndexesOf(calculator.OpponentPocket()) +
                      IndexesOf(calculator.Board()),
                  expected);
    }
}

TEST(OddsCalculatorTest, ShowdownCountsATieWithAnyOpponentAsASplit) {
    struct Case {
        HandStrength player;
        std::vector<HandStrength> opponents;
        ShowdownOutcome expected;
    };
    const Case cases[] = {
        {5, {}, ShowdownOutcome::kNone},      {5, {3, 4}, ShowdownOutcome::kWin},
        {5, {5, 3}, ShowdownOutcome::kSplit}, {5, {3, 5}, ShowdownOutcome::kSplit},
        {5, {5, 6}, ShowdownOutcome::kLoss},  {5, {3, 5, 6}, ShowdownOutcome::kLoss},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.opponents));
        EXPECT_EQ(calc::Showdown(c.player, c.opponents), c.expected);
    }
}

TEST(OddsCalculatorTest, BoardAcesWithAKingKickerSplitWithEveryOpponentHoldingAKing) {
    // The player's King kicker can only be matched, never beaten, so a trial is
    // a split when either opponent holds one of the three other Kings, a win
    // otherwise: P(no King in four cards from 45) = C(42,4) / C(45,4).
    COddsCalculator calculator;
    calculator.SetCards("[Kc,2d]", "[Ah,Ad,Ac]", "[As]", "[Qh]");
    calculator.Simulate(10000, 2, 60000);
    ASSERT_EQ(calculator.Trials(), 10000);
    EXPECT_EQ(calculator.Wins() + calculator.Splits(), 10000);
    const double win = 111930.0 / 148995.0;
    EXPECT_NEAR(calculator.Wins() / 10000.0, win, 0.015);
    EXPECT_EQ(calculator.PlayerCategoryCount()[kFourOfAKind], 10000);
}

TEST(OddsCalculatorTest, OpponentCountsAreClampedToZeroToTen) {
    for (const auto& [opponents, perTrial] :
         {std::pair{-3, 0}, {0, 0}, {1, 1}, {10, 10}, {1000, 10}}) {
        SCOPED_TRACE(opponents);
        COddsCalculator calculator;
        calculator.SetCards("[7c,7d]", "[Ah,Kh,2c]", "", "");
        calculator.Simulate(200, opponents, 60000, COddsCalculator::Method::kSampleOnly);
        EXPECT_EQ(calculator.Trials(), 200);
        EXPECT_EQ(calculator.OpponentHands(), 200 * perTrial);
        const auto& player = calculator.PlayerCategoryCount();
        const auto& best = calculator.BestOpponentCategoryCount();
        EXPECT_EQ(std::accumulate(player.begin(), player.end(), 0), 200);
        EXPECT_EQ(std::accumulate(best.begin(), best.end(), 0), 200);
        if (perTrial == 0) {
            // Without opponents every trial's best opponent is "high card" and
            // nothing is won or split.
            EXPECT_EQ(best[kHighCard], 200);
            EXPECT_EQ(calculator.Wins() + calculator.Splits(), 0);
        }
    }
}

// Every counter of an engine, for comparing runs.
std::vector<std::int32_t> Counters(const COddsCalculator& c) {
    std::vector<std::int32_t> all = {c.Trials(), c.OpponentHands(), c.Wins(), c.Splits()};
    for (const auto* array : {&c.PlayerCategoryCount(), &c.OpponentCategoryCount(),
                              &c.BestOpponentCategoryCount(), &c.Outs()}) {
        all.insert(all.end(), array->begin(), array->end());
    }
    return all;
}

TEST(OddsCalculatorTest, SameInputGivesTheSameCounters) {
    const auto run = [](int opponents) {
        COddsCalculator calculator;
        calculator.SetCards("[Jh,Th]", "[9h,8c,2h]", "[3s]", "");
        calculator.Simulate(3000, opponents, 60000);
        calculator.CountOuts();
        return Counters(calculator);
    };
    EXPECT_EQ(run(4), run(4));
    EXPECT_NE(run(4), run(3));
}

TEST(OddsCalculatorTest, TimeBudgetIsCheckedBeforeTheFirstTrialAndEveryFewHundred) {
    constexpr int kEvery = COddsCalculator::kTrialsPerClockReading;
    struct Case {
        int stepMs;  // how far the fake clock moves on every reading
        int limitMs;
        int expectedTrials;
    };
    const Case cases[] = {
        {1, 5, 5 * kEvery},  // readings 1..5 are within the budget, 6 is not
        {0, 0, 10000},       // a clock that never moves never stops the run
        {2500, 2200, 0},     // the first trial already starts too late
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "step " << c.stepMs << " limit " << c.limitMs);
        auto now = std::chrono::steady_clock::time_point{};
        int readings = 0;
        COddsCalculator calculator([&now, &readings, step = c.stepMs] {
            ++readings;
            const auto reading = now;
            now += std::chrono::milliseconds(step);
            return reading;
        });
        calculator.SetCards("[Ah,Kd]", "[Qs,7c,2d]", "", "");
        calculator.Simulate(10000, 9, c.limitMs);
        EXPECT_EQ(calculator.Trials(), c.expectedTrials);
        EXPECT_EQ(calculator.OpponentHands(), 9 * c.expectedTrials);
        // The start, then one reading per started block of trials, plus the
        // reading that stopped the run.
        const int blocks = (c.expectedTrials + kEvery - 1) / kEvery;
        EXPECT_EQ(readings, 1 + blocks + (c.expectedTrials < 10000 ? 1 : 0));
    }
}

TEST(OddsCalculatorTest, ExactCountsIgnoreTheClock) {
    int readings = 0;
    COddsCalculator calculator([&readings] {
        ++readings;
        return std::chrono::steady_clock::time_point{} + std::chrono::hours(readings);
    });
    calculator.SetCards("[Ah,Kd]", "[Qs,7c,2d]", "", "");
    calculator.Simulate(10000, 1, 0);
    EXPECT_TRUE(calculator.Exact());
    EXPECT_EQ(calculator.Trials(), 1081 * 990);
    EXPECT_EQ(readings, 0);
}

// Heads-up win and split counts with the flop known, dealt one by one: every
// turn and river against every opponent hand.
struct SlowHeadsUp {
    std::int64_t wins = 0, splits = 0, total = 0;
};
SlowHeadsUp SlowHeadsUpCount(const std::vector<int>& pocket, const std::vector<int>& flop) {
    const HandEvaluator& evaluator = HandEvaluator::Instance();
    std::uint64_t known = 0;
    HandKey board, hole;
    for (const int c : flop) {
        board += HandEvaluator::CardKey(c);
        known |= 1ull << c;
    }
    for (const int c : pocket) {
        hole += HandEvaluator::CardKey(c);
        known |= 1ull << c;
    }
    std::vector<int> unseen;
    for (int c = 0; c < 52; ++c) {
        if ((known >> c & 1u) == 0) unseen.push_back(c);
    }
    SlowHeadsUp counts;
    const std::size_t n = unseen.size();
    for (std::size_t t = 0; t < n; ++t) {
        for (std::size_t r = t + 1; r < n; ++r) {
            HandKey full = board;
            full += HandEvaluator::CardKey(unseen[t]);
            full += HandEvaluator::CardKey(unseen[r]);
            HandKey player = full;
            player += hole;
            const HandStrength mine = evaluator.Strength(player);
            for (std::size_t a = 0; a < n; ++a) {
                if (a == t || a == r) continue;
                for (std::size_t b = a + 1; b < n; ++b) {
                    if (b == t || b == r) continue;
                    HandKey theirs = full;
                    theirs += HandEvaluator::CardKey(unseen[a]);
                    theirs += HandEvaluator::CardKey(unseen[b]);
                    const HandStrength other = evaluator.Strength(theirs);
                    counts.wins += mine > other;
                    counts.splits += mine == other;
                    ++counts.total;
                }
            }
        }
    }
    return counts;
}

TEST(OddsCalculatorTest, HeadsUpIsCountedExactlyAndSamplingComesClose) {
    struct Case {
        const char* pocket;
        const char* flop;
    };
    const Case cases[] = {
        {"Ah Kd", "Qs 7c 2d"}, {"7c 7d", "Ah Kh 2c"}, {"Jh Th", "9h 8c 2h"}, {"2c 3d", "As Ks Qs"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pocket) + " on " + c.flop);
        const SlowHeadsUp slow =
            SlowHeadsUpCount(calc_test::Cards(c.pocket), calc_test::Cards(c.flop));
        COddsCalculator exact;
        exact.SetCards(c.pocket, c.flop, "", "");
        exact.Simulate(10000, 1, 60000);
        EXPECT_TRUE(exact.Exact());
        EXPECT_EQ(exact.Trials(), slow.total);
        EXPECT_EQ(exact.Wins(), slow.wins);
        EXPECT_EQ(exact.Splits(), slow.splits);
        EXPECT_EQ(exact.BestOpponentCategoryCount(), exact.OpponentCategoryCount());

        COddsCalculator sampled;
        sampled.SetCards(c.pocket, c.flop, "", "");
        sampled.Simulate(10000, 1, 60000, COddsCalculator::Method::kSampleOnly);
        EXPECT_FALSE(sampled.Exact());
        ASSERT_EQ(sampled.Trials(), 10000);
        const double total = static_cast<double>(slow.total);
        EXPECT_NEAR(sampled.Wins() / 10000.0, static_cast<double>(slow.wins) / total, 0.015);
        EXPECT_NEAR(sampled.Splits() / 10000.0, static_cast<double>(slow.splits) / total, 0.015);
    }
}

TEST(OddsCalculatorTest, KnownOpponentIsPlayedAloneOnEveryStreet) {
    struct Case {
        const char* pocket;
        const char* flop;
        const char* turn;
        const char* opponent;
        std::int32_t deals;
    };
    const Case cases[] = {
        {"[As,Ah]", "", "", "[Kc,Kd]", 1'712'304},
        {"[Ah,Kh]", "[2h,7h,Qs]", "", "[Tc,Td]", 990},
        {"[Ah,Kh]", "[2h,7h,Qs]", "[3c]", "[Tc,Td]", 44},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pocket) + " | " + c.flop + " | " + c.turn + " | " + c.opponent);
        COddsCalculator exact;
        exact.SetCards(c.pocket, c.flop, c.turn, "", c.opponent);
        // The opponent count does not matter once an opponent's cards are known.
        exact.Simulate(10000, 5, 60000);
        ASSERT_TRUE(exact.Exact());
        EXPECT_EQ(exact.Trials(), c.deals);
        EXPECT_EQ(exact.OpponentHands(), c.deals);

        COddsCalculator sampled;
        sampled.SetCards(c.pocket, c.flop, c.turn, "", c.opponent);
        sampled.Simulate(20000, 5, 60000, COddsCalculator::Method::kSampleOnly);
        ASSERT_EQ(sampled.Trials(), 20000);
        EXPECT_EQ(sampled.OpponentHands(), 20000);
        const auto fraction = [](std::int32_t n, std::int32_t of) {
            return static_cast<double>(n) / static_cast<double>(of);
        };
        EXPECT_NEAR(fraction(sampled.Wins(), 20000), fraction(exact.Wins(), c.deals), 0.015);
        EXPECT_NEAR(fraction(sampled.Splits(), 20000), fraction(exact.Splits(), c.deals), 0.015);
        for (std::size_t k = 0; k < kCategoryCount; ++k) {
            EXPECT_NEAR(fraction(sampled.PlayerCategoryCount()[k], 20000),
                        fraction(exact.PlayerCategoryCount()[k], c.deals), 0.015)
                << "category " << k;
        }
    }
}

TEST(OddsCalculatorTest, SeveralOpponentsAreSampled) {
    COddsCalculator calculator;
    calculator.SetCards("[Ah,Kd]", "[Qs,7c,2d]", "", "");
    calculator.Simulate(1000, 2, 60000);
    EXPECT_FALSE(calculator.Exact());
    EXPECT_EQ(calculator.Trials(), 1000);
}

TEST(OddsCalculatorTest, CountOutsCountsCardsThatMakeHandsWithThePocket) {
    struct Case {
        const char* pocket;
        const char* flop;
        const char* turn;
        std::array<std::int32_t, kCategoryCount> outs;
    };
    const Case cases[] = {
        // A King makes two pair with both pocket cards, an Ace trips; a Seven
        // or a Three pairs only the board or nothing.
        {"[Ah,Kd]", "[As,7c,2d]", "", {0, 0, 3, 2, 0, 0, 0, 0, 0, 0}},
        // Nine hearts for the flush, three Aces and three Kings for a pair.
        {"[Ah,Kh]", "[7h,2h,9c]", "", {0, 6, 0, 0, 0, 9, 0, 0, 0, 0}},
        // Open-ended: Fives and Tens.
        {"[9c,8d]", "[7h,6s,2c]", "", {0, 6, 0, 0, 8, 0, 0, 0, 0, 0}},
        // A straight made on the board alone is no out; the pocket pair's trips are.
        {"[2c,2d]", "[9h,Th,Jc]", "[Qs]", {0, 0, 0, 2, 0, 0, 0, 0, 0, 0}},
        // The Ace plays low in the wheel.
        {"[Ac,Kd]", "[2h,3s,4d]", "[9c]", {0, 6, 0, 0, 4, 0, 0, 0, 0, 0}},
        // A made full house: every card keeps it (a third Two makes two sets
        // of trips), except the last Seven, which makes quads.
        {"[7c,7d]", "[7h,2s,2d]", "", {0, 0, 0, 0, 0, 0, 46, 1, 0, 0}},
        // Quads on the board are no out; a pocket pair's full house is.
        {"[9c,9d]", "[2h,2s,2d]", "", {0, 0, 0, 0, 0, 0, 46, 0, 0, 0}},
        // Straight flush outs with a pocket card of the suit.
        {"[9s,8s]", "[7s,6s,2c]", "", {0, 6, 0, 0, 6, 7, 0, 0, 2, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pocket) + " " + c.flop + " " + c.turn);
        COddsCalculator calculator;
        calculator.SetCards(c.pocket, c.flop, c.turn, "");
        ASSERT_TRUE(calculator.Valid());
        calculator.CountOuts();
        EXPECT_EQ(calculator.Outs(), c.outs);
    }
    COddsCalculator invalid;
    invalid.SetCards("[Ah,??]", "[As,7c,2d]", "", "");
    invalid.CountOuts();
    EXPECT_EQ(invalid.Outs(), (std::array<std::int32_t, kCategoryCount>{}));
}

TEST(OddsCalculatorTest, DrawCardDealsEachCardOnceAndThenNone) {
    COddsCalculator calculator;
    std::uint64_t drawn = 0;
    for (int i = 0; i < 52; ++i) {
        const CCard card = calculator.DrawCard();
        ASSERT_TRUE(card.IsValid());
        ASSERT_EQ(drawn >> card.index & 1u, 0u) << "card " << card.index << " dealt twice";
        EXPECT_TRUE(calculator.IsUsed(card.index));
        EXPECT_EQ(card, calculator.Deck()[static_cast<std::size_t>(card.index)]);
        drawn |= 1ull << card.index;
    }
    EXPECT_EQ(calculator.DrawCard().index, -1);
    EXPECT_FALSE(calculator.IsUsed(-1));
    EXPECT_FALSE(calculator.IsUsed(52));
}

TEST(OddsCalculatorTest, EvaluateHandReadsCardArraysSkippingNoCard) {
    CCardArray cards;
    for (const int index : calc_test::Cards("As Ks Qs Js Ts 2c"))
        cards.Add(CCard::FromIndex(index));
    cards.Add(CCard{});
    const HandValue royal = COddsCalculator().EvaluateHand(cards);
    EXPECT_EQ(royal, (HandValue{kRoyalFlush, {13, 0, 0, 0, 0}, 0}));
    EXPECT_EQ(COddsCalculator::CompareHands(royal, royal), 0);
}

}  // namespace
