// Hands per second of each room parser over a generated history file of its
// format (many copies of one typical hand with changing hand numbers).

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "hands/hand_absolute_poker.h"
#include "hands/hand_full_tilt.h"
#include "hands/hand_inter_poker.h"
#include "hands/hand_party_poker.h"
#include "hands/hand_true_poker.h"
#include "hands/stdio_file_custom.h"

namespace {

constexpr int kHands = 2000;

std::string Repeat(const std::string& format, const std::string& marker) {
    std::string out;
    for (int i = 0; i < kHands; ++i) {
        std::string hand = format;
        hand.replace(hand.find(marker), marker.size(), std::to_string(1000000000 + i));
        out += hand;
    }
    return out;
}

const char* kFullTilt =
    "Full Tilt Poker Game #NUM: Table Tree Line (6 max) - $0.50/$1 - No Limit Hold'em - 21:49:39 ET - 2009/02/26\n"
    "Seat 1: Player0 ($110.90)\nSeat 2: Player1 ($31.95)\nSeat 3: Player2 ($116.10)\nSeat 4: Player3 ($102.70)\n"
    "Seat 5: Hero ($100)\nSeat 6: Player4 ($62.90)\nPlayer1 posts the small blind of $0.50\n"
    "Player2 posts the big blind of $1\nThe button is in seat #1\n*** HOLE CARDS ***\nDealt to Hero [8d 6h]\n"
    "Player3 folds\nHero raises to $3\nPlayer4 folds\nPlayer0 folds\nPlayer1 calls $2.50\nPlayer2 calls $2\n"
    "*** FLOP *** [Kc Ts 5d]\nPlayer1 checks\nPlayer2 checks\nHero bets $6\nPlayer1 folds\nPlayer2 calls $6\n"
    "*** TURN *** [Kc Ts 5d] [Qh]\nPlayer2 checks\nHero checks\n*** RIVER *** [Kc Ts 5d Qh] [7s]\n"
    "Player2 bets $10\nHero calls $10\n*** SHOW DOWN ***\nPlayer2 shows [Kd 9d] a pair of Kings\nHero mucks\n"
    "Player2 wins the pot ($39.15) with a pair of Kings\n*** SUMMARY ***\nTotal pot $41 | Rake $1.85\n"
    "Board: [Kc Ts 5d Qh 7s]\nSeat 1: Player0 (button) didn't bet (folded)\n"
    "Seat 2: Player1 (small blind) folded on the Flop\n"
    "Seat 3: Player2 (big blind) showed [Kd 9d] and won ($39.15) with a pair of Kings\n"
    "Seat 4: Player3 didn't bet (folded)\nSeat 5: Hero mucked [8d 6h] - a pair of Kings\n"
    "Seat 6: Player4 didn't bet (folded)\n\n\n";

const char* kParty =
    "#Game No : NUM\n***** Hand History for Game 9582251255 *****\n"
    "$2 USD NL Texas Hold'em - Monday, August 30, 16:08:09 EDT 2010\nTable Speed #1769729 (Real Money)\n"
    "Seat 6 is the button\nTotal number of players : 6/9\nSeat 9: Lisy ( $3.57 USD )\nSeat 6: Torto ( $2.14 USD )\n"
    "Seat 8: Hero ( $2.06 USD )\nSeat 1: potik ( $0.44 USD )\nSeat 4: romka ( $0.80 USD )\nSeat 7: suici ( $1.44 USD )\n"
    "suici posts small blind [$0.01 USD].\nHero posts big blind [$0.02 USD].\n** Dealing down cards **\n"
    "Dealt to Hero [  Js Th ]\nLisy folds\npotik folds\nTorto raises [$0.08 USD]\nsuici calls [$0.07 USD]\n"
    "Hero calls [$0.06 USD]\n** Dealing Flop ** [ As, 6h, Qc ]\nsuici checks\nHero bets [$0.10 USD]\nTorto folds\n"
    "suici calls [$0.10 USD]\n** Dealing Turn ** [ Td ]\nsuici checks\nHero checks\n** Dealing River ** [ Ac ]\n"
    "suici checks\nHero bets [$0.12 USD]\nsuici calls [$0.12 USD]\nHero shows [ Js, Th ]two pairs, Aces and Tens.\n"
    "suici shows [ Qh, Jd ]two pairs, Aces and Queens.\n"
    "suici wins $0.65 USD from the main pot with two pairs, Aces and Queens.\n\n";

const char* kAbsolute =
    "Stage #NUM: Holdem  Normal $0.25/$0.50 - 2010-12-07 22:18:14 (ET)\n"
    "Table: MONTEGO DR (Real Money) Seat #4 is the dealer\nSeat 4 - Player0 ($12.45 in chips)\n"
    "Seat 5 - Player1 ($13.05 in chips)\nSeat 6 - Hero ($5 in chips)\nSeat 1 - Player2 ($27.35 in chips)\n"
    "Seat 2 - Player3 ($2.50 in chips)\nSeat 3 - Player4 ($8.78 in chips)\nPlayer1 - Posts small blind $0.10\n"
    "Hero - Posts big blind $0.25\n*** POCKET CARDS ***\nDealt to Hero [7c 8h]\nPlayer2 - Folds\nPlayer3 - Folds\n"
    "Player4 - Raises $0.50 to $0.50\nPlayer0 - Folds\nPlayer1 - Calls $0.40\nHero - Calls $0.25\n"
    "*** FLOP *** [Qs Ks 6s]\nPlayer1 - Bets $0.25\nHero - Folds\nPlayer4 - Raises $0.50 to $0.50\n"
    "Player1 - Calls $0.25\n*** TURN *** [Qs Ks 6s] [Js]\nPlayer1 - Checks\nPlayer4 - Bets $0.50\n"
    "Player1 - Calls $0.50\n*** RIVER *** [Qs Ks 6s Js] [10d]\nPlayer1 - Bets $0.50\nPlayer4 - Calls $0.50\n"
    "*** SHOW DOWN ***\nPlayer1 - Shows [Ac Ah] (Straight, ten to ace)\nPlayer4 - Mucks\n"
    "Player1 Collects $4.30 from main pot\n*** SUMMARY ***\nTotal Pot($4.50) | Rake ($0.20)\n"
    "Board [Qs Ks 6s Js 10d]\nSeat 1: Player2 Folded on the POCKET CARDS\nSeat 3: Player4 HI: [Mucked] [Kd 6c]\n"
    "Seat 5: Player1 (small blind) won Total ($4.30) HI:($4.30) with Straight [Ac Ah - P:Ah]\n\n\n";

const char* kInter =
    "Game #NUM: Texas Hold'em No Limit (US$0.25/US$0.50) - 2006/07/04 - 18:00:59 (GMT)\n"
    "Table \"Brighton 3\" (Real Money) Seat #2 is the button\nSeat 1: Alice (US$25.00)\nSeat 2: Bob (US$30.00)\n"
    "Seat 3: Hero (US$20.00)\nSeat 4: Dave (US$40.00)\nAlice: posts small blind US$0.25\n"
    "Hero: posts big blind US$0.50\n----- HOLE CARDS -----\ndealt to Hero [Ah Kd]\nDave: folds\n"
    "Bob: raises US$1.00 to US$1.50\nAlice: folds\nHero: raises US$3.00 to US$4.50\nBob: calls US$3.00\n"
    "----- FLOP ----- [2c 7d 9h]\nHero: bets US$6.00\nBob: folds\nReturned uncalled bet (US$6.00) to Hero\n"
    "----- SUMMARY -----\nTotal pot US$9.25 | Rake US$0.25\nBoard [2c 7d 9h]\n"
    "Seat 3: Hero (big blind) collected (US$9.00)\n\n";

const char* kTrue =
    "Game Started on Tue Jul 04, 2006 at 18:00\nTable Brighton - Holdem - NL - Real Money - $0.25/$0.50 - NUM\n"
    "**Game begins**\nCarol has the dealer button\nAlice posts small blind $0.25\nBob posts big blind $0.50\n"
    "You are dealt [Ah Kd]\nDave folds\nCarol raises to $1.50\nAlice folds\nBob calls $1.00\n"
    "Flop is dealt [2c 7d 9h]\nBob checks\nCarol bets $2.00\nBob calls $2.00\nTurn is dealt [2c 7d 9h] [Qs]\n"
    "Bob checks\nCarol checks\nRiver is dealt [2c 7d 9h Qs] [3d]\nBob checks\nCarol checks\n"
    "Carol's pocket cards were [Ah Kd]\nBob mucks [Jc Jd]\nCarol wins money from main pot: $7.25\n"
    "*******************************************\n";

template <typename Make>
void Run(benchmark::State& state, const std::string& text, Make make) {
    std::int64_t hands = 0;
    for (auto _ : state) {
        CStdioFileCustom reader;
        reader.OpenText(text);
        for (;;) {
            auto hand = make();
            int result = hand->ReadHand(reader);
            if (result == CHand::kNoHandStart) break;
            if (result != 0 || !hand->potAwarded) {
                state.SkipWithError("hand not complete");
                return;
            }
            ++hands;
        }
    }
    state.counters["hands/s"] = benchmark::Counter(static_cast<double>(hands), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}

void BM_FullTilt(benchmark::State& state) {
    static const std::string text = Repeat(kFullTilt, "NUM");
    Run(state, text, [] { return std::make_unique<CHandFullTilt>("Hero"); });
}
void BM_PartyPoker(benchmark::State& state) {
    static const std::string text = Repeat(kParty, "NUM");
    Run(state, text, [] { return std::make_unique<CHandPartyPoker>("Hero"); });
}
void BM_AbsolutePoker(benchmark::State& state) {
    static const std::string text = Repeat(kAbsolute, "NUM");
    Run(state, text, [] { return std::make_unique<CHandAbsolutePoker>("Hero"); });
}
void BM_InterPoker(benchmark::State& state) {
    static const std::string text = Repeat(kInter, "NUM");
    Run(state, text, [] { return std::make_unique<CHandInterPoker>("Hero", "/logs/Real/day/h.txt"); });
}
void BM_TruePoker(benchmark::State& state) {
    static const std::string text = Repeat(kTrue, "NUM");
    Run(state, text, [] { return std::make_unique<CHandTruePoker>("Hero"); });
}

BENCHMARK(BM_FullTilt)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PartyPoker)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AbsolutePoker)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InterPoker)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TruePoker)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
