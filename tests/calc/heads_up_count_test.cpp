#include "calc/heads_up_count.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "calc/hand_evaluator.h"
#include "tests/calc/test_cards.h"

namespace {

using calc::CountHeadsUp;
using calc::HandEvaluator;
using calc::HandKey;
using calc::HeadsUpCounts;

void PrintCounts(const HeadsUpCounts& c, std::ostream* out) {
    *out << "{deals " << c.deals << " wins " << c.wins << " splits " << c.splits << " player";
    for (const auto n : c.player) *out << " " << n;
    *out << " opponent";
    for (const auto n : c.opponent) *out << " " << n;
    *out << "}";
}

}  // namespace

namespace calc {
void PrintTo(const HeadsUpCounts& c, std::ostream* out) { PrintCounts(c, out); }
}  // namespace calc

namespace {

// Which evaluator the slow enumeration asks: the plain reference one (slow,
// for a few thousand deals) or the table evaluator card by card (for the
// million-deal cases; the table evaluator is itself checked against the
// reference on every hand class elsewhere).
enum class Judge { kReference, kTable };

// Counts every deal one by one: every completion of the board in card order,
// then the known opponent hand or every opponent hand from the cards left.
HeadsUpCounts SlowCount(const std::vector<int>& pocket, const std::vector<int>& board,
                        const std::vector<int>& opponent, Judge judge) {
    std::uint64_t dead = 0;
    for (const auto* cards : {&pocket, &board, &opponent}) {
        for (const int c : *cards) dead |= 1ull << c;
    }
    std::vector<int> unseen;
    for (int c = 0; c < 52; ++c) {
        if ((dead >> c & 1u) == 0) unseen.push_back(c);
    }
    HeadsUpCounts counts;
    // Strength of a seven-card hand as (category, order among hands).
    const auto judgeHands = [&](const std::vector<int>& a, const std::vector<int>& b) {
        if (judge == Judge::kReference) {
            const HandValue va = calc_test::ReferenceEvaluate(a);
            const HandValue vb = calc_test::ReferenceEvaluate(b);
            return std::tuple(va.category, vb.category, calc_test::ReferenceCompare(va, vb));
        }
        const HandEvaluator& evaluator = HandEvaluator::Instance();
        HandKey ka, kb;
        for (const int c : a) ka += HandEvaluator::CardKey(c);
        for (const int c : b) kb += HandEvaluator::CardKey(c);
        const auto sa = evaluator.Strength(ka);
        const auto sb = evaluator.Strength(kb);
        return std::tuple(evaluator.CategoryOf(sa), evaluator.CategoryOf(sb),
                          sa > sb   ? 1
                          : sa < sb ? -1
                                    : 0);
    };
    const auto deal = [&](const std::vector<int>& full, const std::vector<int>& theirs) {
        std::vector<int> mine = pocket, other = theirs;
        mine.insert(mine.end(), full.begin(), full.end());
        other.insert(other.end(), full.begin(), full.end());
        const auto [playerCategory, opponentCategory, outcome] = judgeHands(mine, other);
        ++counts.deals;
        counts.wins += outcome > 0;
        counts.splits += outcome == 0;
        ++counts.player[static_cast<std::size_t>(playerCategory)];
        ++counts.opponent[static_cast<std::size_t>(opponentCategory)];
    };
    std::vector<int> full = board;
    std::vector<bool> taken(unseen.size(), false);
    const std::function<void(std::size_t)> complete = [&](std::size_t from) {
        if (full.size() == 5) {
            if (!opponent.empty()) {
                deal(full, opponent);
                return;
            }
            for (std::size_t a = 0; a < unseen.size(); ++a) {
                for (std::size_t b = a + 1; b < unseen.size(); ++b) {
                    if (!taken[a] && !taken[b]) deal(full, {unseen[a], unseen[b]});
                }
            }
            return;
        }
        for (std::size_t i = from; i < unseen.size(); ++i) {
            full.push_back(unseen[i]);
            taken[i] = true;
            complete(i + 1);
            taken[i] = false;
            full.pop_back();
        }
    };
    complete(0);
    return counts;
}

std::vector<std::uint8_t> Bytes(const std::vector<int>& cards) {
    return std::vector<std::uint8_t>(cards.begin(), cards.end());
}

struct Case {
    const char* pocket;
    const char* board;
    const char* opponent;  // empty: unknown cards
    Judge judge;
};

void ExpectSameAsSlowCount(const Case& c) {
    SCOPED_TRACE(std::string(c.pocket) + " | " + c.board + " | " + c.opponent);
    const auto pocket = calc_test::Cards(c.pocket);
    const auto board = calc_test::Cards(c.board);
    const auto opponent = calc_test::Cards(c.opponent);
    const HeadsUpCounts fast = CountHeadsUp(Bytes(pocket), Bytes(board), Bytes(opponent));
    EXPECT_EQ(fast, SlowCount(pocket, board, opponent, c.judge));
}

TEST(HeadsUpCountTest, KnownOpponentMatchesDealByDealCount) {
    const Case cases[] = {
        // Preflop: no flush, flushes for one side, both sides suited alike,
        // straight flushes, shared ranks.
        {"As Ah", "", "Ks Kh", Judge::kTable},
        {"Ah Kh", "", "2c 2d", Judge::kTable},
        {"7h 8h", "", "Ah Kh", Judge::kTable},
        {"5c 4c", "", "Ac 2d", Judge::kTable},
        // Flop, turn, river, with flush draws and made flushes on board.
        {"Ah Kh", "2h 7h Qs", "Tc Td", Judge::kReference},
        {"9s 8s", "7s 6s 2s", "As 3d", Judge::kReference},
        {"Jc Jd", "Jh 4c 4d", "4s 4h", Judge::kReference},
        {"Ah 2c", "3h 4h 5h 6h", "7h Kd", Judge::kReference},
        {"Kc Qd", "Ah Jh Th 2s 3c", "Ad 9c", Judge::kReference},
        {"2c 2d", "Ah Kh Qh Jh Th", "3c 3d", Judge::kReference},
    };
    for (const auto& c : cases) ExpectSameAsSlowCount(c);
}

TEST(HeadsUpCountTest, UnknownOpponentMatchesDealByDealCount) {
    const Case cases[] = {
        // A rainbow flop, a two-tone flop, a monotone flop (four or five of a
        // suit on many boards), with and without suited pockets.
        {"Ah Kh", "2c 7d Qs", "", Judge::kTable},
        {"7c 7d", "Ah Kh 2c", "", Judge::kTable},
        {"Jh Th", "9h 8h 2h", "", Judge::kTable},
        // Turn and river: trips and quads on board, a four-flush, the wheel.
        {"Ah Kd", "Qs 7c 2d 5h", "", Judge::kReference},
        {"9c 9d", "9h 9s 2c 2d", "", Judge::kReference},
        {"Ac 2d", "3h 4h 5h Kh", "", Judge::kReference},
        {"Kc 2d", "Ah Ad Ac As Qh", "", Judge::kReference},
        {"Th 9h", "8h 7h 2h Jc Qd", "", Judge::kReference},
    };
    for (const auto& c : cases) ExpectSameAsSlowCount(c);
}

TEST(HeadsUpCountTest, DealCountsAndKnownFigures) {
    // Every board of five from 48 cards, and every turn, river and opponent
    // hand after the flop.
    const auto known =
        CountHeadsUp(Bytes(calc_test::Cards("As Ah")), {}, Bytes(calc_test::Cards("Ks Kh")));
    EXPECT_EQ(known.deals, 1'712'304);
    const auto unknown =
        CountHeadsUp(Bytes(calc_test::Cards("Ah Kh")), Bytes(calc_test::Cards("2c 7d Qs")), {});
    EXPECT_EQ(unknown.deals, 1081 * 990);
    // The player's King kicker can only be matched: a win unless the
    // opponent holds one of the three other Kings (3 * 42 + 3 of C(45,2)).
    const auto kicker = CountHeadsUp(Bytes(calc_test::Cards("Kc 2d")),
                                     Bytes(calc_test::Cards("Ah Ad Ac As Qh")), {});
    EXPECT_EQ(kicker.deals, 990);
    EXPECT_EQ(kicker.splits, 3 * 42 + 3);
    EXPECT_EQ(kicker.wins, 990 - kicker.splits);
}

TEST(HeadsUpCountTest, RefusesWhatItCannotCount) {
    struct Refused {
        const char* pocket;
        const char* board;
        const char* opponent;
    };
    const Refused cases[] = {
        {"Ah Kh", "", ""},                   // unknown opponent preflop
        {"Ah Kh", "2c 7d", ""},              // no such street
        {"Ah", "2c 7d Qs", ""},              // one pocket card
        {"Ah Kh", "2c 7d Qs", "Ah 3c"},      // a card twice
        {"Ah Kh", "2c 7d Qs", "3c"},         // one opponent card
        {"Ah Kh", "2c 7d Qs 4c 5c 6c", ""},  // six board cards
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pocket) + " | " + c.board + " | " + c.opponent);
        EXPECT_EQ(CountHeadsUp(Bytes(calc_test::Cards(c.pocket)), Bytes(calc_test::Cards(c.board)),
                               Bytes(calc_test::Cards(c.opponent))),
                  HeadsUpCounts{});
    }
}

}  // namespace
