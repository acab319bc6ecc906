// Hand analyzer benchmarks: the start-up fold of 1,000,000 stored hands, a
// live Process after one new hand with those hands and 50,000 ranked
// players, and the heap bytes held per stored hand.
//
//   bench_analysis_process --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "analysis/hand_analyzer.h"
#include "analysis/hand_reference.h"
#include "hands/hand.h"
#include "platform/clock.h"
#include "platform/memory_profile.h"

namespace {

const int kHands = std::getenv("BENCH_HANDS") != nullptr ? std::atoi(std::getenv("BENCH_HANDS")) : 1'000'000;
constexpr int kPlayers = 59'000;
const std::string kHero = "Hero";

class CBenchHand : public CHand {
public:
    CBenchHand() : CHand(kHero) {}
    int Parse(CStdioFileCustom&) override { return kParseOk; }
    bool CreditsReturnedBets() const override { return true; }
    std::string_view RoomName() const override { return "Bench"; }
};

std::vector<std::string> MakeNames() {
    std::vector<std::string> names;
    names.reserve(kPlayers);
    for (int i = 0; i < kPlayers; ++i) names.push_back("Player" + std::to_string(i));
    return names;
}

// The seats of the tables being played. Hands are dealt at the tables in
// turn, as a player's history files interleave his tables; after each hand
// a seat changes hands with probability 1/60, so a player sits about sixty
// hands at a time, and over a million hands the 59,000 players of the pool
// sit about 150 hands each (about 50,000 of them reach the 20 hands of
// the ranking).
constexpr int kTables = 20;
struct Tables {
    std::array<std::array<std::string, 9>, kTables> seats;
};

// A nine-handed limit hand at table `number % kTables` with blinds, a
// preflop round, sometimes a flop, and one winner taking the pot. The user
// sits at every fifth table.
std::unique_ptr<CHand> MakeHand(std::uint64_t number, std::mt19937& rng, const std::vector<std::string>& names,
                                Tables& tables) {
    auto hand = std::make_unique<CBenchHand>();
    hand->handNumber = number;
    hand->gameKind = 1;
    hand->realMoney = true;
    hand->dateTime = 1'600'000'000 + static_cast<std::int64_t>(number) * 20;
    int table = static_cast<int>(number % kTables);
    hand->tableName = "Table " + std::to_string(table);
    std::uniform_int_distribution<int> pick(0, kPlayers - 1);
    std::uniform_int_distribution<int> change(0, 59);
    auto& seat = tables.seats[static_cast<std::size_t>(table)];
    bool heroIn = table % 5 == 0;
    for (int p = 0; p < 9; ++p) {
        auto& name = seat[static_cast<std::size_t>(p)];
        if (heroIn && p == 5) {
            name = kHero;
        } else if (name.empty() || name == kHero || change(rng) == 0) {
            for (;;) {
                name = names[static_cast<std::size_t>(pick(rng))];
                bool dup = false;
                for (int q = 0; q < 9; ++q) dup = dup || (q != p && seat[static_cast<std::size_t>(q)] == name);
                if (!dup) break;
            }
        }
    }
    // The button moves round the table.
    std::array<std::string, 9> order;
    for (int p = 0; p < 9; ++p) order[static_cast<std::size_t>(p)] = seat[static_cast<std::size_t>((p + number) % 9)];
    heroIn = false;
    int heroPos = -1;
    for (int p = 0; p < 9; ++p) {
        hand->positionOfName.Set(order[static_cast<std::size_t>(p)], p);
        if (order[static_cast<std::size_t>(p)] == kHero) heroPos = p;
    }
    heroIn = heroPos >= 0;
    std::array<std::string, 9>& seatAt = order;
    hand->AddAction(0, kActionButton, seatAt[0], 0);
    hand->AddAction(0, kActionSmallBlind, seatAt[1], 50);
    hand->AddAction(0, kActionBigBlind, seatAt[2], 100);
    std::uniform_int_distribution<int> die(0, 99);
    std::vector<int> inHand;
    bool raised = false;
    for (int p : {3, 4, 5, 6, 7, 8, 0, 1, 2}) {
        const std::string& name = seatAt[static_cast<std::size_t>(p)];
        int roll = die(rng);
        if (roll < 65) {
            if (p == 2 && !raised) {
                hand->AddAction(0, kActionCheck, name, 0);
                inHand.push_back(p);
            } else {
                hand->AddAction(0, kActionFold, name, 0);
            }
        } else if (roll < 90 || raised) {
            hand->AddAction(0, kActionCall, name, raised ? 200 : 100);
            inHand.push_back(p);
        } else {
            hand->AddAction(0, kActionRaise, name, 200);
            raised = true;
            inHand.push_back(p);
        }
    }
    if (inHand.empty()) inHand.push_back(2);
    if (inHand.size() >= 2) {
        hand->BeginStreet();
        hand->flopCards = "[2c,7d,Jh]";
        for (int p : inHand) {
            if (die(rng) < 50) {
                hand->AddAction(1, kActionCheck, seatAt[static_cast<std::size_t>(p)], 0);
            } else {
                hand->AddAction(1, kActionBet, seatAt[static_cast<std::size_t>(p)], 100);
            }
        }
    }
    int winner = inHand[static_cast<std::size_t>(die(rng)) % inHand.size()];
    std::int32_t pot = 0;
    for (std::int32_t v : hand->invested) pot += v;
    hand->won[static_cast<std::size_t>(winner)] = pot;
    hand->collected[static_cast<std::size_t>(winner)] = true;
    hand->potAwarded = true;
    hand->holeCards[static_cast<std::size_t>(winner)] = "[Ah,Kd]";
    if (heroIn) hand->holeCards[static_cast<std::size_t>(heroPos)] = "[7c,7d]";
    return hand;
}

struct World {
    platform::MemoryProfile settings;
    CHandReference reference;
    platform::ManualClock clock{1'700'000'000};
    std::unique_ptr<CHandAnalyzer> analyzer;
    std::mt19937 rng{12345};
    std::vector<std::string> names = MakeNames();
    std::uint64_t nextNumber = 1;
    Tables tables;

    World() {
        analyzer = std::make_unique<CHandAnalyzer>(settings, reference, clock);
        CHandAnalyzer::StartValues start;
        start.roomId = 100;
        start.userName = kHero;
        analyzer->Initialise(start);
    }
    void AddHands(int count) {
        for (int i = 0; i < count; ++i) analyzer->AddHand(MakeHand(nextNumber++, rng, names, tables));
    }
};

std::size_t HeapInUse() { return mallinfo2().uordblks + mallinfo2().hblkhd; }

void BM_StartupFold(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        std::size_t before = HeapInUse();
        auto world = std::make_unique<World>();
        world->AddHands(kHands);
        state.ResumeTiming();
        world->analyzer->Process(false);
        state.PauseTiming();
        std::size_t after = HeapInUse();
        state.counters["bytes_per_hand"] = static_cast<double>(after - before) / kHands;
        state.counters["ranked_players"] =
            static_cast<double>(world->analyzer->RankedCount() + world->analyzer->RankedLimitCount());
        state.counters["players"] = static_cast<double>(world->analyzer->Players().size());
        world.reset();
        state.ResumeTiming();
    }
    state.counters["hands_per_second"] = benchmark::Counter(static_cast<double>(kHands) * static_cast<double>(state.iterations()),
                                                            benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StartupFold)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_LiveProcessOneHand(benchmark::State& state) {
    static World* world = [] {
        auto* w = new World();
        w->AddHands(kHands);
        w->analyzer->Process(false);
        // The first live hand of each player runs the alert rules over his
        // stored hands once; do that outside the measurement.
        w->AddHands(1);
        w->analyzer->Process(true);
        return w;
    }();
    for (auto _ : state) {
        state.PauseTiming();
        world->AddHands(1);
        state.ResumeTiming();
        world->analyzer->Process(true);
    }
    state.counters["ranked_players"] =
        static_cast<double>(world->analyzer->RankedCount() + world->analyzer->RankedLimitCount());
    state.counters["stored_hands"] = static_cast<double>(world->analyzer->HandCount());
}
BENCHMARK(BM_LiveProcessOneHand)->Iterations(50)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
