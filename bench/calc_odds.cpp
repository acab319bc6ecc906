// One full table calculation, as the calculator windows run it: 10,000
// trials with the flop known, against 1 to 9 opponents.

#include <benchmark/benchmark.h>

#include "calc/hand_evaluator.h"
#include "calc/odds_calculator.h"

namespace {

void BM_TableCalculation(benchmark::State& state) {
    calc::HandEvaluator::Instance();  // Tables are built once per process, not per calculation.
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

}  // namespace

BENCHMARK_MAIN();
