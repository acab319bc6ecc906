// The first loading over real-shaped hands: the PokerStars corpus copied as
// often as it takes to reach the wanted number of hands, each copy with
// fresh hand numbers so that no copy is dropped as a hand already known.
// The user is "Hero", the player of most corpus files (hands without the
// user are not his and are not kept). Reports the loading rate and the
// process's resident memory per hand.
//
//   SEATWATCH_BENCH_HANDS=1000000 bench_rooms_first_loading_real
//
// Run one size per process: the peak resident memory (VmHWM) is the whole
// process's, so a second run in the same process would inherit the first's
// peak. Skips when the corpus folder is absent.
//
// SEATWATCH_BENCH_FOLDER=/some/folder keeps the copies there and reuses them
// on the next run of the same size (they are written when the folder lacks
// them), so that runs compared with each other, or profiled, read the same
// files and spend nothing on writing them.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/hand_reference.h"
#include "platform/clock.h"
#include "platform/memory_profile.h"
#include "rooms/intake_session.h"
#include "tests/rooms/rooms_test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace rooms_test;

constexpr std::string_view kHeaders[] = {"PokerStars Game #", "PokerStars Hand #",
                                         "PokerStars Zoom Hand #", "PokerStars Home Game Hand #"};

fs::path CorpusFolder() {
    return fs::path(SEATWATCH_SOURCE_DIR) / ".." / "shared" / "corpus" / "pokerstars";
}

std::vector<std::string> ReadCorpus() {
    std::vector<std::string> files;
    std::error_code ec;
    if (!fs::is_directory(CorpusFolder(), ec)) return files;
    std::vector<fs::path> paths;
    for (const auto& entry : fs::directory_iterator(CorpusFolder(), ec))
        if (entry.is_regular_file()) paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    for (const auto& path : paths) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        files.push_back(text.str());
    }
    return files;
}

// `text` with every hand number raised by `offset`; counts the headers seen.
std::string Renumbered(const std::string& text, std::uint64_t offset, long long& hands) {
    std::string out;
    out.reserve(text.size() + 1024);
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t header = std::string::npos;
        std::size_t length = 0;
        for (std::string_view h : kHeaders) {
            const std::size_t found = text.find(h, at);
            if (found < header) {
                header = found;
                length = h.size();
            }
        }
        if (header == std::string::npos) break;
        std::size_t digits = header + length;
        std::size_t end = digits;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
        out.append(text, at, digits - at);
        if (end > digits) {
            const std::uint64_t number = std::stoull(text.substr(digits, end - digits));
            out += std::to_string(number + offset);
            ++hands;
        }
        at = end;
    }
    out.append(text, at, std::string::npos);
    return out;
}

// Writes copies of the corpus into `folder` until `wanted` hands are there.
long long WriteCopies(const std::vector<std::string>& corpus, const std::string& folder,
                      long long wanted) {
    long long hands = 0;
    for (std::uint64_t copy = 0; hands < wanted; ++copy) {
        for (std::size_t file = 0; file < corpus.size() && hands < wanted; ++file) {
            char name[64];
            std::snprintf(name, sizeof name, "/copy%05llu_%03zu.txt",
                          static_cast<unsigned long long>(copy), file);
            WriteFile(folder + name, Renumbered(corpus[file], copy * 1'000'000'000'000ULL, hands));
        }
    }
    return hands;
}

// The copies kept in `folder` for `wanted` hands, written first when the
// folder does not hold them yet (its count file names another size or is
// absent). Returns the hands written.
long long KeptCopies(const std::vector<std::string>& corpus, const std::string& folder,
                     long long wanted) {
    const fs::path count = fs::path(folder) / "hands.count";
    long long hands = 0;
    long long kept = -1;
    if (std::ifstream in(count); in >> kept >> hands && kept == wanted) return hands;
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder, ec);
    hands = WriteCopies(corpus, folder, wanted);
    // The count file's extension is not one the loader reads.
    std::ofstream(count) << wanted << ' ' << hands << '\n';
    return hands;
}

// A field of /proc/self/status in kB (VmRSS, VmHWM).
long long StatusKb(std::string_view field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, field.size(), field) == 0 && line.size() > field.size() &&
            line[field.size()] == ':')
            return std::atoll(line.c_str() + field.size() + 1);
    }
    return 0;
}

long long WantedHands() {
    const char* env = std::getenv("SEATWATCH_BENCH_HANDS");
    const long long hands = env != nullptr ? std::atoll(env) : 100'000;
    return hands > 0 ? hands : 100'000;
}

void BM_FirstLoadingRealShaped(benchmark::State& state) {
    std::vector<std::string> corpus = ReadCorpus();
    if (corpus.empty()) {
        state.SkipWithError("the corpus folder is absent");
        return;
    }
    ScratchFolder scratch;
    std::string folder = scratch.Path();
    long long written = 0;
    if (const char* kept = std::getenv("SEATWATCH_BENCH_FOLDER"); kept != nullptr && *kept != 0) {
        folder = kept;
        written = KeptCopies(corpus, folder, WantedHands());
    } else {
        written = WriteCopies(corpus, folder, WantedHands());
    }
    // The corpus text is not part of what the program holds.
    corpus.clear();
    corpus.shrink_to_fit();

    std::unique_ptr<CIntakeSession> session;
    platform::MemoryProfile settingsFile;
    CHandReference reference;
    const long long rssBefore = StatusKb("VmRSS");
    for (auto _ : state) {
        IntakeSessionSettings start;
        start.roomId = 113;
        start.nickname = "Hero";  // the user of most corpus files
        start.loggingFolder = folder;
        session = std::make_unique<CIntakeSession>(settingsFile, reference,
                                                   platform::SystemClock::Instance(), start);
        session->FirstLoading();
    }
    const auto stored = static_cast<double>(session->Analyzer().HandCount());
    state.counters["written"] = static_cast<double>(written);
    state.counters["stored"] = stored;
    state.counters["hands_per_s"] = benchmark::Counter(stored, benchmark::Counter::kIsRate);
    state.counters["peak_KB_per_hand"] = static_cast<double>(StatusKb("VmHWM")) / stored;
    state.counters["held_KB_per_hand"] =
        static_cast<double>(StatusKb("VmRSS") - rssBefore) / stored;
}
BENCHMARK(BM_FirstLoadingRealShaped)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
