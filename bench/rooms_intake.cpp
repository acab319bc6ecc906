// Benchmarks of the log reader: an idle live pass over many known, unchanged
// files, and the first loading of a large generated folder, by the reader
// alone and through the whole intake session (parse, add to the analyzer,
// process).
//
//   bench_rooms_intake                       all benchmarks
//   SEATWATCH_BENCH_HANDS=200000 bench_rooms_intake --benchmark_filter=FirstLoading
//
// The generated folder holds PokerStars histories of 1,000 hands per file
// (1,000,000 hands unless SEATWATCH_BENCH_HANDS says otherwise), with the
// opponents drawn from a pool of 5,000 names.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "analysis/hand_reference.h"
#include "platform/clock.h"
#include "platform/heap_pages.h"
#include "platform/memory_profile.h"
#include "rooms/intake_session.h"
#include "rooms/log_loader.h"
#include "rooms/poker_room_profile_poker_stars.h"
#include "tests/rooms/rooms_test_support.h"
#include "tests/rooms/stars_history.h"

namespace {

using namespace rooms_test;

constexpr int kHandsPerFile = 1000;
constexpr int kNamePool = 5000;

// A sink that only remembers hand numbers: the reader's own cost.
class CountingSink : public HandSink {
  public:
    bool KnowsHand(std::uint64_t) const override { return false; }
    void AddHand(std::unique_ptr<CHand>, LoadPass) override { ++added; }
    void UpdateTable(const CHand&) override {}
    void Process(LoadPass) override {}
    std::int64_t EarliestHandDate() const override { return 0; }
    long long added = 0;
};

std::string PoolName(std::uint64_t n) { return "player" + std::to_string(n % kNamePool); }

// Hand `number` with two opponents from the pool.
std::string PoolHand(std::uint64_t number) {
    std::string text = StarsHandWithGap(number, static_cast<int>(number % 86400));
    auto replace = [&](const std::string& from, const std::string& to) {
        for (std::size_t at = text.find(from); at != std::string::npos;
             at = text.find(from, at + to.size())) {
            text.replace(at, from.size(), to);
        }
    };
    replace("RiverRat77", PoolName(number * 7));
    replace("maple_leaf", PoolName(number * 13 + 1));
    return text;
}

void WriteFolder(const ScratchFolder& folder, long long hands, int handsPerFile) {
    std::string text;
    for (long long first = 0; first < hands; first += handsPerFile) {
        text.clear();
        for (long long n = first; n < hands && n < first + handsPerFile; ++n) {
            text += PoolHand(static_cast<std::uint64_t>(1'000'000'000 + n));
        }
        char name[64];
        std::snprintf(name, sizeof name, "HH%08lld.txt", first / handsPerFile);
        WriteFile(folder / name, text);
    }
}

void BM_IdleLivePass(benchmark::State& state) {
    const int files = static_cast<int>(state.range(0));
    ScratchFolder folder;
    WriteFolder(folder, files, 1);
    platform::SystemClock& clock = platform::SystemClock::Instance();
    CPokerRoomProfilePokerStars profile;
    CountingSink sink;
    LogLoaderSettings settings;
    settings.nickname = "SeatwatchUser";
    CLogLoader loader(profile, sink, settings, clock);
    loader.LoadFolder(LoadPass::kFirstLoading, FolderKind::kLogging, folder.Path());
    if (sink.added != files) state.SkipWithError("the first loading did not read every file");
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            loader.LoadFolder(LoadPass::kLive, FolderKind::kLogging, folder.Path()));
    }
    state.counters["files"] = files;
}
BENCHMARK(BM_IdleLivePass)->Arg(1000)->Unit(benchmark::kMillisecond);

long long BenchHands() {
    const char* env = std::getenv("SEATWATCH_BENCH_HANDS");
    const long long hands = env != nullptr ? std::atoll(env) : 1'000'000;
    return hands > 0 ? hands : 1'000'000;
}

// Parse and read only: the reader with a sink that drops every hand.
void BM_FirstLoadingParseAndRead(benchmark::State& state) {
    // The heap as the program's start-up sets it around a first loading.
    platform::HeapHugePages::Enable();
    const long long hands = BenchHands();
    ScratchFolder folder;
    WriteFolder(folder, hands, kHandsPerFile);
    for (auto _ : state) {
        CPokerRoomProfilePokerStars profile;
        CountingSink sink;
        LogLoaderSettings settings;
        settings.nickname = "SeatwatchUser";
        CLogLoader loader(profile, sink, settings, platform::SystemClock::Instance());
        loader.LoadFolder(LoadPass::kFirstLoading, FolderKind::kLogging, folder.Path());
        if (sink.added != hands) state.SkipWithError("not every hand was read");
    }
    state.SetItemsProcessed(state.iterations() * hands);
}
BENCHMARK(BM_FirstLoadingParseAndRead)->Unit(benchmark::kMillisecond)->Iterations(1);

// End to end: the session's first loading (parse, add to the analyzer and
// process, with the heap on huge pages as at start-up).
void BM_FirstLoadingEndToEnd(benchmark::State& state) {
    const long long hands = BenchHands();
    ScratchFolder folder;
    WriteFolder(folder, hands, kHandsPerFile);
    // Freeing the analyzer is not part of the loading: each run's session
    // is kept until the benchmark ends.
    std::vector<std::unique_ptr<CIntakeSession>> sessions;
    platform::MemoryProfile settingsFile;
    CHandReference reference;
    for (auto _ : state) {
        IntakeSessionSettings start;
        start.roomId = 113;
        start.nickname = "SeatwatchUser";
        start.loggingFolder = folder.Path();
        auto session = std::make_unique<CIntakeSession>(settingsFile, reference,
                                                        platform::SystemClock::Instance(), start);
        session->FirstLoading();
        if (static_cast<long long>(session->Analyzer().HandCount()) != hands)
            state.SkipWithError("not every hand was stored");
        sessions.push_back(std::move(session));
    }
    state.SetItemsProcessed(state.iterations() * hands);
}
BENCHMARK(BM_FirstLoadingEndToEnd)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
