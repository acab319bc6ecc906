// Page-writing benchmarks: the players report over 50,000 players (time and
// page size, the page alone and as the report window asks for it), one table
// page, one hand page, and one pass that rewrites the pages of 20 open
// tables.
//
//   bench_pages_write --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "analysis/hand_analyzer.h"
#include "analysis/hand_reference.h"
#include "analysis/player_stats.h"
#include "pages/analysis_pages.h"
#include "pages/hand_page.h"
#include "pages/report_pages.h"
#include "pages/report_settings.h"
#include "pages/table_page.h"
#include "platform/clock.h"
#include "platform/memory_profile.h"
#include "tests/analysis/stars_text.h"

namespace {

constexpr int kTables = 20;
constexpr int kHandsPerTable = 21;

std::filesystem::path OutputFolder() {
    auto folder = std::filesystem::temp_directory_path() /
                  ("seatwatch_bench_pages_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return folder;
}

// Twenty nine-handed limit tables at which the user plays 21 hands each:
// raises, calls, flops and showdowns with shown cards, so that the pages
// carry hole cards, alerts and every kind of cell.
struct World {
    World() : folder(OutputFolder()) {
        analyzer = std::make_unique<CHandAnalyzer>(settings, reference, clock);
        CHandAnalyzer::StartValues start;
        start.roomId = 100;
        start.userName = "Hero";
        start.outputFolder = folder.string();
        analyzer->Initialise(start);
        std::mt19937 rng(7);
        static const char* kCards[] = {"[Ah Kd]", "[7s 2h]", "[Qh Qs]", "[9c 8c]",
                                       "[Td 5s]", "[Jh Ts]", "[As 4s]", "[6d 6c]"};
        std::uint64_t number = 100000;
        for (int round = 0; round < kHandsPerTable; ++round) {
            for (int table = 0; table < kTables; ++table) {
                testing_hands::Table t;
                t.button = 1;
                t.name = "Table " + std::to_string(table);
                for (int seat = 0; seat < 9; ++seat)
                    t.seats.push_back(seat == 4 ? std::string("Hero")
                                                : "T" + std::to_string(table) + "P" +
                                                      std::to_string(seat));
                const std::string& raiser = t.seats[3];
                const std::string& caller = t.seats[5];
                std::string shown = kCards[rng() % 8];
                std::string body =
                    t.seats[1] + ": posts small blind $0.50\n" + t.seats[2] +
                    ": posts big blind $1\n*** HOLE CARDS ***\nDealt to Hero " + kCards[rng() % 8] +
                    "\n" + raiser + ": raises $1 to $2\nHero: calls $2\n" + caller +
                    ": calls $2\n" + t.seats[6] + ": folds\n" + t.seats[7] + ": folds\n" +
                    t.seats[8] + ": folds\n" + t.seats[0] + ": folds\n" + t.seats[1] + ": folds\n" +
                    t.seats[2] + ": folds\n*** FLOP *** [2c 7h Td]\n" + raiser +
                    ": bets $1\nHero: calls $1\n" + caller +
                    ": folds\n*** TURN *** [2c 7h Td] [Js]\n" + raiser +
                    ": checks\nHero: checks\n*** RIVER *** [2c 7h Td Js] [3d]\n" + raiser +
                    ": checks\nHero: checks\n*** SHOW DOWN ***\n" + raiser + ": shows " + shown +
                    "\nHero: mucks hand\n" + raiser + " collected $8 from pot\n";
                std::string text = testing_hands::HandText(
                    ++number, t, body, {{raiser, "showed " + shown + " and won ($8)"}});
                auto hand = testing_hands::Parse(text, "Hero");
                if (!hand) continue;
                const CHand* raw = hand.get();
                analyzer->AddHand(std::move(hand));
                analyzer->Process(true);
                analyzer->UpdateTable(*raw);
                lastHand = raw->handNumber;
            }
        }
    }
    ~World() { std::filesystem::remove_all(folder); }

    std::filesystem::path folder;
    platform::MemoryProfile settings;
    CHandReference reference;
    // An hour after the hands' local time, as the test hands are read.
    platform::ManualClock clock{1'282'266'082 + 3'700};
    std::unique_ptr<CHandAnalyzer> analyzer;
    std::uint64_t lastHand = 0;
};

World& TheWorld() {
    static World world;
    return world;
}

void BM_TablePage(benchmark::State& state) {
    World& world = TheWorld();
    std::size_t bytes = 0;
    for (auto _ : state) {
        CAnalysisPages pages;  // a new writer writes every page again
        world.analyzer->SetPages(&pages);
        std::string path = world.analyzer->WriteTablePage("Table 3");
        benchmark::DoNotOptimize(path);
        bytes = std::filesystem::file_size(path);
    }
    world.analyzer->SetPages(nullptr);
    state.counters["page_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_TablePage)->Unit(benchmark::kMillisecond);

void BM_HandPage(benchmark::State& state) {
    World& world = TheWorld();
    CAnalysisPages pages;
    world.analyzer->SetPages(&pages);
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string path = world.analyzer->ShowHand(world.lastHand);
        benchmark::DoNotOptimize(path);
        std::filesystem::remove(path);  // so that the next one is written too
        bytes = path.size();
    }
    world.analyzer->SetPages(nullptr);
    state.counters["path_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_HandPage)->Unit(benchmark::kMillisecond);

// One intake pass after a hand at every table: all twenty pages change, so
// all are written.
void BM_PassOf20Tables(benchmark::State& state) {
    World& world = TheWorld();
    for (auto _ : state) {
        CAnalysisPages pages;
        world.analyzer->SetPages(&pages);
        for (int table = 0; table < kTables; ++table) {
            std::string path = world.analyzer->WriteTablePage("Table " + std::to_string(table));
            benchmark::DoNotOptimize(path);
        }
    }
    world.analyzer->SetPages(nullptr);
}
BENCHMARK(BM_PassOf20Tables)->Unit(benchmark::kMillisecond);

// The players report over 50,000 ring-limit players with varied figures,
// sorted by hands and by name.
void BM_PlayersReport(benchmark::State& state) {
    static const CHandAnalyzer::PlayerMap players = [] {
        CHandAnalyzer::PlayerMap map;
        std::mt19937 rng(11);
        for (int i = 0; i < 50'000; ++i) {
            std::string key = "Player" + std::to_string(i);
            int hands = 1 + static_cast<int>(rng() % 2000);
            float fold = static_cast<float>(rng() % 90);
            map[key] = CPlayerStats::CreateModelPlayer(
                key, "",
                {hands, fold, fold + 5, fold + 8, static_cast<float>(rng() % 20),
                 static_cast<int>(rng() % 200), static_cast<int>(rng() % 100), 1.5F, 0.5F, 40});
        }
        return map;
    }();
    CReportOptions options;
    options.report = 1;
    options.sortColumn = static_cast<int>(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string text =
            pages::PlayersReportText(players, nullptr, options, CAnalysisPages::kMaxReportRows);
        bytes = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.counters["page_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_PlayersReport)->Arg(0)->Arg(4)->Arg(5)->Unit(benchmark::kMillisecond);

// What the report window does for the players report: the settings read,
// the players ranked and the page written, over an analyzer that met 50,000
// opponents (6,250 nine-handed hands with eight new players each), listing
// them all.
void BM_ReportWindowPlayersReport(benchmark::State& state) {
    static const std::filesystem::path folder = OutputFolder() / "report";
    static platform::MemoryProfile settings;
    static const CHandReference reference;
    static platform::ManualClock clock{1'282'266'082 + 3'700};
    static const std::unique_ptr<CHandAnalyzer> analyzer = [] {
        std::filesystem::create_directories(folder);
        auto a = std::make_unique<CHandAnalyzer>(settings, reference, clock);
        CHandAnalyzer::StartValues start;
        start.roomId = 100;
        start.userName = "Hero";
        start.outputFolder = folder.string();
        a->Initialise(start);
        int player = 0;
        for (int n = 0; n < 6'250; ++n) {
            testing_hands::Table t;
            t.name = "Table " + std::to_string(n % 20);
            for (int seat = 0; seat < 9; ++seat)
                t.seats.push_back(seat == 4 ? std::string("Hero") : "P" + std::to_string(player++));
            std::string body = t.seats[1] + ": posts small blind $0.50\n" + t.seats[2] +
                               ": posts big blind $1\n*** HOLE CARDS ***\nDealt to Hero [Ah Kd]\n";
            for (int seat : {3, 4, 5, 6, 7, 8, 0, 1}) body += t.seats[seat] + ": folds\n";
            body += "Uncalled bet ($0.50) returned to " + t.seats[2] + "\n" + t.seats[2] +
                    " collected $1 from pot\n";
            auto hand = testing_hands::Parse(
                testing_hands::HandText(200000 + static_cast<std::uint64_t>(n), t, body,
                                        {{t.seats[2], "collected ($1)"}}),
                "Hero");
            if (hand) a->AddHand(std::move(hand));
        }
        a->Process(false);
        return a;
    }();
    settings.WriteInt("Players Report", "Hands", 0);
    settings.WriteInt("Players Reports", "Sort", static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    std::size_t players = 0;
    for (auto _ : state) {
        CAnalysisPages pages;  // a new writer writes the page again
        const CReportOptions options =
            pages::ReadReportOptions(settings, 1, analyzer->Now(), analyzer->Start().sessionStart);
        std::string path = pages.WritePlayersReport(*analyzer, options);
        benchmark::DoNotOptimize(path);
        bytes = std::filesystem::file_size(path);
        players = analyzer->Players().size();
    }
    state.counters["page_bytes"] = static_cast<double>(bytes);
    state.counters["players"] = static_cast<double>(players);
}
BENCHMARK(BM_ReportWindowPlayersReport)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
