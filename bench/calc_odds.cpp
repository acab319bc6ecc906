// The odds engine as the calculator windows run it: 10,000 sampled trials
// with the flop known against 1 to 9 opponents, and the exact heads-up
// counts, with a deal-by-deal count for comparison.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "calc/hand_evaluator.h"
#include "calc/odds_calculator.h"

namespace {

using calc::HandEvaluator;
using calc::HandKey;

// One table calculation: SetCards, Simulate and CountOuts. Heads-up this is
// the exact count.
void BM_TableCalculation(benchmark::State& state) {
    HandEvaluator::Instance();  // Tables are built once per process, not per calculation.
    const int opponents = static_cast<int>(state.range(0));
    for (auto _ : state) {
        COddsCalculator calculator;
        calculator.SetCards("[Ah,Kd]", "[Qs,7c,2d]", "", "");
        calculator.Simulate(10'000, opponents, 100'000);
        calculator.CountOuts();
        benchmark::DoNotOptimize(calculator.Wins());
    }
}
BENCHMARK(BM_TableCalculation)->Arg(1)->Arg(2)->Arg(5)->Arg(9)->Unit(benchmark::kMillisecond);

// 10,000 sampled trials alone, to compare with the starting point's
// BM_TableCalculation (which sampled heads-up too).
void BM_SampledTrials(benchmark::State& state) {
    HandEvaluator::Instance();
    const int opponents = static_cast<int>(state.range(0));
    for (auto _ : state) {
        COddsCalculator calculator;
        calculator.SetCards("[Ah,Kd]", "[Qs,7c,2d]", "", "");
        calculator.Simulate(10'000, opponents, 100'000, COddsCalculator::Method::kSampleOnly);
        calculator.CountOuts();
        benchmark::DoNotOptimize(calculator.Wins());
    }
}
BENCHMARK(BM_SampledTrials)->Arg(1)->Arg(2)->Arg(9)->Unit(benchmark::kMillisecond);

// AhKh against a random hand on the flop 2c7dQs: 1,081 x 990 deals.
void BM_ExactFlopAgainstRandomHand(benchmark::State& state) {
    HandEvaluator::Instance();
    for (auto _ : state) {
        COddsCalculator calculator;
        calculator.SetCards("[Ah,Kh]", "[2c,7d,Qs]", "", "");
        calculator.Simulate(10'000, 1, 100'000);
        benchmark::DoNotOptimize(calculator.Wins());
    }
}
BENCHMARK(BM_ExactFlopAgainstRandomHand)->Unit(benchmark::kMillisecond);

// AA against KK before the flop: every board of five from 48 cards.
void BM_ExactPreflopAcesAgainstKings(benchmark::State& state) {
    HandEvaluator::Instance();
    for (auto _ : state) {
        COddsCalculator calculator;
        calculator.SetCards("[As,Ah]", "", "", "", "[Kc,Kd]");
        calculator.Simulate(10'000, 1, 100'000);
        benchmark::DoNotOptimize(calculator.Wins());
    }
}
BENCHMARK(BM_ExactPreflopAcesAgainstKings)->Unit(benchmark::kMillisecond);

// The same two counts deal by deal with the table evaluator: boards
// enumerated with running key sums, one Strength per hand.
void BM_DealByDealFlopAgainstRandomHand(benchmark::State& state) {
    const HandEvaluator& evaluator = HandEvaluator::Instance();
    // AhKh, 2c7dQs in card numbers.
    const std::vector<int> known = {26, 38, 14, 45, 11};
    std::vector<int> unseen;
    std::uint64_t dead = 0;
    for (const int c : known) dead |= 1ull << c;
    for (int c = 0; c < 52; ++c) {
        if ((dead >> c & 1u) == 0) unseen.push_back(c);
    }
    HandKey flop, pocket;
    for (std::size_t i = 0; i < 2; ++i) pocket += HandEvaluator::CardKey(known[i]);
    for (std::size_t i = 2; i < 5; ++i) flop += HandEvaluator::CardKey(known[i]);
    const std::size_t n = unseen.size();
    for (auto _ : state) {
        std::int64_t wins = 0;
        for (std::size_t t = 0; t < n; ++t) {
            HandKey withTurn = flop;
            withTurn += HandEvaluator::CardKey(unseen[t]);
            for (std::size_t r = t + 1; r < n; ++r) {
                HandKey board = withTurn;
                board += HandEvaluator::CardKey(unseen[r]);
                HandKey player = board;
                player += pocket;
                const auto mine = evaluator.Strength(player);
                for (std::size_t a = 0; a < n; ++a) {
                    if (a == t || a == r) continue;
                    HandKey withFirst = board;
                    withFirst += HandEvaluator::CardKey(unseen[a]);
                    for (std::size_t b = a + 1; b < n; ++b) {
                        if (b == t || b == r) continue;
                        HandKey hand = withFirst;
                        hand += HandEvaluator::CardKey(unseen[b]);
                        wins += mine > evaluator.Strength(hand);
                    }
                }
            }
        }
        benchmark::DoNotOptimize(wins);
    }
}
BENCHMARK(BM_DealByDealFlopAgainstRandomHand)->Unit(benchmark::kMillisecond);

void BM_DealByDealPreflopAcesAgainstKings(benchmark::State& state) {
    const HandEvaluator& evaluator = HandEvaluator::Instance();
    // As Ah against Kc Kd.
    const int aces[] = {0, 26};
    const int kings[] = {25, 51};
    std::vector<int> unseen;
    for (int c = 0; c < 52; ++c) {
        if (c != aces[0] && c != aces[1] && c != kings[0] && c != kings[1]) unseen.push_back(c);
    }
    HandKey player, other;
    for (const int c : aces) player += HandEvaluator::CardKey(c);
    for (const int c : kings) other += HandEvaluator::CardKey(c);
    const int n = static_cast<int>(unseen.size());
    const auto key = [&](int i) {
        return HandEvaluator::CardKey(unseen[static_cast<std::size_t>(i)]);
    };
    for (auto _ : state) {
        std::int64_t wins = 0;
        for (int a = 0; a < n; ++a) {
            HandKey b1;
            b1 = key(a);
            for (int b = a + 1; b < n; ++b) {
                HandKey b2 = b1;
                b2 += key(b);
                for (int c = b + 1; c < n; ++c) {
                    HandKey b3 = b2;
                    b3 += key(c);
                    for (int d = c + 1; d < n; ++d) {
                        HandKey b4 = b3;
                        b4 += key(d);
                        for (int e = d + 1; e < n; ++e) {
                            HandKey board = b4;
                            board += key(e);
                            HandKey mine = board, theirs = board;
                            mine += player;
                            theirs += other;
                            wins += evaluator.Strength(mine) > evaluator.Strength(theirs);
                        }
                    }
                }
            }
        }
        benchmark::DoNotOptimize(wins);
    }
}
BENCHMARK(BM_DealByDealPreflopAcesAgainstKings)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
