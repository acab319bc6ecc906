// Parsing throughput of the PokerStars parser and memory per stored hand,
// on 100,000 generated hands of varied shape: 2 to 10 seated players with
// empty seats, limit and no-limit ring games in dollars and euros,
// tournaments with antes, hands ending on every street, all-ins, uncalled
// bets and show-downs. Each figure is taken twice: for hands in the form
// the client wrote until about 2011 ("PokerStars Game #"), and for hands in
// today's form ("PokerStars Hand #" and fast-fold "PokerStars Zoom Hand #",
// twelve-digit numbers, rupees written "Rs. ", bounties on the seat lines,
// local times with the Eastern time in brackets).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "hands/hand_poker_stars.h"
#include "hands/stdio_file_custom.h"

// Heap accounting: every allocation of the process goes through here, so the
// bytes a set of stored hands holds can be measured.
namespace {
std::int64_t gLiveBytes = 0;
}  // namespace

// GCC pairs the free() below with the operator new it sees in this file,
// although both work on the malloc block underneath.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    void* p = std::malloc(size + 16);
    if (p == nullptr) throw std::bad_alloc();
    *static_cast<std::size_t*>(p) = size;
    gLiveBytes += static_cast<std::int64_t>(size);
    return static_cast<char*>(p) + 16;
}
void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    char* base = static_cast<char*>(p) - 16;
    gLiveBytes -= static_cast<std::int64_t>(*reinterpret_cast<std::size_t*>(base));
    std::free(base);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
#pragma GCC diagnostic pop

namespace {

// 100,000 hands; SEATWATCH_BENCH_HANDS sets another count (for profiling
// under callgrind).
const int kHands = [] {
    const char* text = std::getenv("SEATWATCH_BENCH_HANDS");
    int n = text != nullptr ? std::atoi(text) : 0;
    return n > 0 ? n : 100000;
}();

class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<std::uint32_t>(state_);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }

  private:
    std::uint64_t state_;
};

std::string Money(std::int64_t cents, bool chips, const std::string& sign) {
    if (chips) return std::to_string(cents / 100);
    std::string text = sign + std::to_string(cents / 100);
    if (cents % 100 != 0) {
        text += '.';
        text += static_cast<char>('0' + cents % 100 / 10);
        text += static_cast<char>('0' + cents % 10);
    }
    return text;
}

// Which form of history text the generator writes.
enum class Era { kGame, kHand };

// Writes one hand of PokerStars history text.
void GenerateHand(Random& rng, std::uint64_t number, Era era, std::string& out) {
    const bool today = era == Era::kHand;
    static const char* const kRanks = "23456789TJQKA";
    static const char* const kSuits = "shdc";
    static const char* const kNames[] = {
        "Hero",       "fishy_mc", "Player Two", "xXgrinderXx", "al", "NutPeddler77",
        "pokerqueen", "Bob",      "the.shark",  "Lucky Lou",   "zz", "verylongscreenname1"};
    const bool tournament = rng.Chance(30);
    const bool noLimit = rng.Chance(60);
    const bool euro = !tournament && rng.Chance(30);
    const bool rupees = today && !tournament && !euro && rng.Chance(20);
    const std::string sign = euro ? "\xE2\x82\xAC" : rupees ? "Rs. " : "$";
    // Today's client writes no blank after "folds", "checks" and the seats.
    const char* const blank = today ? "" : " ";
    const bool chips = tournament;
    const std::int64_t bb = tournament ? 100 * (20 << rng.Below(6)) : (rng.Chance(50) ? 10 : 50);
    const std::int64_t sb = bb / 2;
    const std::int64_t anteAmount = tournament && rng.Chance(60) ? bb / 8 : 0;
    const int maxSeats = rng.Chance(50) ? 6 : 10;
    int players = 2 + rng.Below(maxSeats - 1);
    std::vector<int> seats;
    for (int seat = 1; seat <= maxSeats && static_cast<int>(seats.size()) < players; ++seat) {
        if (maxSeats - seat + 1 <= players - static_cast<int>(seats.size()) || rng.Chance(75))
            seats.push_back(seat);
    }
    players = static_cast<int>(seats.size());
    int buttonIndex = rng.Below(players);
    std::vector<std::string> names;
    int hero = rng.Below(players);
    for (int i = 0; i < players; ++i) {
        names.push_back(i == hero ? std::string("Hero")
                                  : std::string(kNames[1 + (static_cast<std::uint32_t>(i) +
                                                            static_cast<std::uint32_t>(number)) %
                                                               11]) +
                                        std::to_string(i));
    }

    if (!today) {
        out += "PokerStars Game #" + std::to_string(number) + ": ";
    } else {
        out += rng.Chance(20) ? "PokerStars Zoom Hand #" : "PokerStars Hand #";
        out += std::to_string(number) + ": ";
    }
    if (tournament)
        out += "Tournament #" + std::to_string(number / 100) + ", $10+$1 USD ";
    else
        out += " ";
    out += noLimit ? "Hold'em No Limit " : "Hold'em Limit ";
    if (tournament) {
        out += "- Level IV (" + Money(sb, true, sign) + "/" + Money(bb, true, sign) + ") ";
    } else {
        out += "(" + Money(sb, false, sign) + "/" + Money(bb, false, sign) +
               (euro     ? " EUR) "
                : rupees ? " INR) "
                         : " USD) ");
    }
    int style = rng.Below(3);
    if (today) {
        out += style == 2 ? "- 2023/06/14 11:03:40 ET\n"
                          : "- 2023/06/14 20:33:40 IST [2023/06/14 11:03:40 ET]\n";
    } else if (style == 0) {
        out += "- 2010/08/20 5:01:22 MSK [2010/08/19 21:01:22 ET]\n";
    } else if (style == 1) {
        out += "- 2007/10/15 - 05:34:03 (ET)\n";
    } else {
        out += "- 2009/11/25 6:21:05 ET\n";
    }
    out += "Table '" + std::string(tournament ? "123456 7" : "Vibilia II") + "' " +
           std::to_string(maxSeats) + "-max Seat #" +
           std::to_string(seats[static_cast<std::size_t>(buttonIndex)]) + " is the button\n";
    std::vector<std::int64_t> stack(static_cast<std::size_t>(players));
    for (int i = 0; i < players; ++i) {
        stack[static_cast<std::size_t>(i)] = bb * (10 + rng.Below(150));
        out += "Seat " + std::to_string(seats[static_cast<std::size_t>(i)]) + ": " +
               names[static_cast<std::size_t>(i)] + " (" +
               Money(stack[static_cast<std::size_t>(i)], chips, sign) + " in chips" +
               (today && tournament ? ", $2.50 bounty)" : ")") + blank + "\n";
    }
    auto at = [&](int offset) {
        return static_cast<std::size_t>((buttonIndex + offset) % players);
    };
    std::vector<bool> in(static_cast<std::size_t>(players), true);
    std::vector<std::int64_t> street(static_cast<std::size_t>(players), 0);
    std::int64_t pot = 0;
    if (anteAmount > 0) {
        for (int i = 0; i < players; ++i) {
            out += names[static_cast<std::size_t>(i)] + ": posts the ante " +
                   Money(anteAmount, true, sign) + "\n";
            pot += anteAmount;
        }
    }
    std::size_t sbSeat = players == 2 ? at(0) : at(1);
    std::size_t bbSeat = players == 2 ? at(1) : at(2);
    out += names[sbSeat] + ": posts small blind " + Money(sb, chips, sign) + "\n";
    out += names[bbSeat] + ": posts big blind " + Money(bb, chips, sign) + "\n";
    street[sbSeat] = sb;
    street[bbSeat] = bb;
    out += "*** HOLE CARDS ***\n";
    int card = rng.Below(40);
    auto cardText = [&]() {
        card = (card + 7) % 52;
        return std::string(1, kRanks[card % 13]) + kSuits[card / 13];
    };
    out += "Dealt to Hero [" + cardText() + " " + cardText() + "]\n";
    if (rng.Chance(5)) out += "pokerqueen joins the table at seat #3 \n";

    const char* const kStreetLines[] = {"*** FLOP *** [", "*** TURN *** [", "*** RIVER *** ["};
    std::string board;
    int alive = players;
    int lastAggressor = static_cast<int>(bbSeat);
    bool allIn = false;
    for (int s = 0; s < 4 && alive > 1; ++s) {
        if (s > 0) {
            std::string cards =
                s == 1 ? cardText() + " " + cardText() + " " + cardText() : cardText();
            out += kStreetLines[s - 1];
            if (!board.empty()) out += board + "] [";
            out += cards + "]\n";
            board += (board.empty() ? "" : " ") + cards;
            std::fill(street.begin(), street.end(), 0);
        }
        if (allIn) continue;
        std::int64_t toCall = s == 0 ? bb : 0;
        int raises = 0;
        int start = s == 0 ? (players == 2 ? 0 : 3) : 1;
        int sinceAggression = 0;
        for (int k = 0; alive > 1 && sinceAggression < players; ++k) {
            std::size_t i = at(start + k);
            if (!in[i]) {
                ++sinceAggression;
                continue;
            }
            const std::string& name = names[i];
            std::int64_t owe = toCall - street[i];
            int roll = rng.Below(100);
            if (owe > 0 && roll < 35) {
                out += name + ": folds" + blank + "\n";
                in[i] = false;
                --alive;
            } else if (owe == 0 && roll < 55) {
                out += name + ": checks" + blank + "\n";
            } else if (roll < 80 || raises >= 3) {
                if (owe == 0) {
                    std::int64_t bet = bb * (1 + rng.Below(3));
                    out += name + ": bets " + Money(bet, chips, sign) + "\n";
                    street[i] += bet;
                    pot += bet;
                    toCall = street[i];
                    lastAggressor = static_cast<int>(i);
                    sinceAggression = 0;
                    continue;
                }
                out += name + ": calls " + Money(owe, chips, sign) +
                       (rng.Chance(3) ? " and is all-in\n" : "\n");
                if (out.back() == '\n' && out.size() > 10 &&
                    out.compare(out.size() - 11, 10, "and is all") == 0)
                    allIn = true;
                street[i] += owe;
                pot += owe;
            } else {
                std::int64_t by = std::max<std::int64_t>(toCall, bb) * (1 + rng.Below(2));
                std::int64_t total = toCall + by;
                out += name + ": raises " + Money(by, chips, sign) + " to " +
                       Money(total, chips, sign) + "\n";
                pot += total - street[i];
                street[i] = total;
                toCall = total;
                ++raises;
                lastAggressor = static_cast<int>(i);
                sinceAggression = 0;
                continue;
            }
            ++sinceAggression;
        }
        if (alive == 1) {
            std::size_t winner = static_cast<std::size_t>(lastAggressor);
            for (std::size_t i = 0; i < in.size(); ++i)
                if (in[i]) winner = i;
            std::int64_t second = 0;
            for (std::size_t i = 0; i < street.size(); ++i)
                if (i != winner) second = std::max(second, street[i]);
            if (street[winner] > second) {
                out += "Uncalled bet (" + Money(street[winner] - second, chips, sign) +
                       ") returned to " + names[winner] + "\n";
                pot -= street[winner] - second;
            }
        }
    }
    std::int64_t rake = chips ? 0 : pot / 20;
    std::vector<std::size_t> winners;
    if (alive > 1) {
        out += "*** SHOW DOWN ***\n";
        for (std::size_t i = 0; i < in.size(); ++i) {
            if (!in[i]) continue;
            out += names[i] + ": shows [" + cardText() + " " + cardText() + "] (a pair of Nines)\n";
            if (winners.empty() || rng.Chance(10)) winners.push_back(i);
        }
    } else {
        for (std::size_t i = 0; i < in.size(); ++i)
            if (in[i]) winners.push_back(i);
    }
    std::int64_t share = (pot - rake) / static_cast<std::int64_t>(winners.size());
    for (std::size_t w : winners)
        out += names[w] + " collected " + Money(share, chips, sign) + " from pot\n";
    out += "*** SUMMARY ***\nTotal pot " + Money(pot, chips, sign) + " | Rake " +
           Money(rake, chips, sign) + blank + "\n";
    if (!board.empty()) out += "Board [" + board + "]\n";
    for (std::size_t i = 0; i < in.size(); ++i) {
        out += "Seat " + std::to_string(seats[i]) + ": " + names[i];
        if (i == at(0)) out += " (button)";
        bool won = std::find(winners.begin(), winners.end(), i) != winners.end();
        if (won)
            out += alive > 1
                       ? " showed [Ah Kd] and won (" + Money(share, chips, sign) + ") with a pair"
                       : " collected (" + Money(share, chips, sign) + ")";
        else
            out += in[i] ? " mucked [2c 3d]" : " folded before Flop";
        out += "\n";
    }
    out += "\n\n\n";
}

std::string Generate(Era era) {
    std::string t;
    t.reserve(static_cast<std::size_t>(kHands) * 1200);
    Random rng(12345);
    const std::uint64_t first = era == Era::kGame ? 40000000000ull : 240000000000ull;
    for (int i = 0; i < kHands; ++i)
        GenerateHand(rng, first + static_cast<std::uint64_t>(i) * 7, era, t);
    return t;
}

// Each era's text is made on first use only.
const std::string& GeneratedFile(Era era) {
    if (era == Era::kGame) {
        static const std::string old = Generate(Era::kGame);
        return old;
    }
    static const std::string today = Generate(Era::kHand);
    return today;
}

// The generated hands written once to a temporary file, read as the log
// reader reads history files (in chunks, from the page cache).
std::string WriteGenerated(Era era) {
    std::string p =
        (std::filesystem::temp_directory_path() /
         ("seatwatch_bench_hands_" + std::string(era == Era::kGame ? "game_" : "hand_") +
          std::to_string(kHands) + ".txt"))
            .string();
    std::FILE* file = std::fopen(p.c_str(), "wb");
    if (file == nullptr) std::abort();
    const std::string& text = GeneratedFile(era);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    return p;
}

const std::string& GeneratedPath(Era era) {
    if (era == Era::kGame) {
        static const std::string old = WriteGenerated(Era::kGame);
        return old;
    }
    static const std::string today = WriteGenerated(Era::kHand);
    return today;
}

void BM_ParseHands(benchmark::State& state, Era era) {
    setenv("TZ", "UTC", 1);
    const std::string& text = GeneratedFile(era);
    const std::string& path = GeneratedPath(era);
    std::int64_t hands = 0;
    std::int64_t complete = 0;
    for (auto _ : state) {
        CStdioFileCustom reader;
        if (!reader.Open(path)) std::abort();
        for (;;) {
            CHandPokerStars hand("Hero");
            int result = hand.ReadHand(reader);
            if (result == CHand::kNoHandStart) break;
            ++hands;
            if (result == 0 && hand.potAwarded) ++complete;
            benchmark::DoNotOptimize(hand.invested);
        }
    }
    state.counters["hands/s"] =
        benchmark::Counter(static_cast<double>(hands), benchmark::Counter::kIsRate);
    state.counters["complete%"] =
        100.0 * static_cast<double>(complete) / static_cast<double>(hands);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}
BENCHMARK_CAPTURE(BM_ParseHands, Game, Era::kGame)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ParseHands, Hand, Era::kHand)->Unit(benchmark::kMillisecond);

// The line reader alone over the same text: the floor under the parser.
void BM_ReadLinesOnly(benchmark::State& state, Era era) {
    const std::string& path = GeneratedPath(era);
    std::int64_t lines = 0;
    for (auto _ : state) {
        CStdioFileCustom reader;
        if (!reader.Open(path)) std::abort();
        std::string line;
        while (reader.ReadString(line)) ++lines;
    }
    state.counters["lines/s"] =
        benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
    state.counters["hands/s"] =
        benchmark::Counter(static_cast<double>(kHands) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(BM_ReadLinesOnly, Game, Era::kGame)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadLinesOnly, Hand, Era::kHand)->Unit(benchmark::kMillisecond);

// Keeps every complete hand, as the hand database does, and reports the heap
// bytes each stored hand holds (the object included).
void BM_StoredHandBytes(benchmark::State& state, Era era) {
    setenv("TZ", "UTC", 1);
    const std::string& text = GeneratedFile(era);
    double perHand = 0;
    for (auto _ : state) {
        CStdioFileCustom reader;
        reader.OpenText(text);
        std::vector<std::unique_ptr<CHand>> stored;
        stored.reserve(kHands);
        std::int64_t before = gLiveBytes;
        std::int64_t discarded = 0;
        for (;;) {
            auto hand = std::make_unique<CHandPokerStars>("Hero");
            std::int64_t start = gLiveBytes;
            int result = hand->ReadHand(reader);
            if (result == CHand::kNoHandStart) break;
            if (result == 0 && hand->potAwarded) {
                stored.push_back(std::move(hand));
            } else {
                discarded += gLiveBytes - start;
            }
        }
        perHand = static_cast<double>(gLiveBytes - before - discarded) /
                  static_cast<double>(stored.size());
        state.counters["stored"] = static_cast<double>(stored.size());
    }
    state.counters["bytes/hand"] = perHand;
    state.counters["sizeof"] = sizeof(CHandPokerStars);
}
BENCHMARK_CAPTURE(BM_StoredHandBytes, Game, Era::kGame)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_StoredHandBytes, Hand, Era::kHand)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
