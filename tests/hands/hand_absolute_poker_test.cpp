#include "hands/hand_absolute_poker.h"

#include <gtest/gtest.h>

#include "tests/hands/fault_histories.h"
#include "tests/hands/golden_util.h"
#include "tests/hands/room_corpus_util.h"

namespace {

const char* kTournamentHand =
    "Stage #C525691746 Tourney ID 5945889 Holdem Multi Normal Tournament No Limit 10 - 2011-01-16 "
    "17:03:29 (ET)\n"
    "Table: 15 (Real Money) Seat #9 is the dealer\n"
    "Seat 1 - SHUS (1,440 in chips)\nSeat 2 - MARSH (1,380 in chips)\nSeat 9 - GREG (1,485 in "
    "chips)\n"
    "SHUS - Posts small blind 5\nMARSH - Posts big blind 10\n*** POCKET CARDS ***\n"
    "GREG - All-In 1,485\nSHUS - Calls 1,435\nMARSH - All-In (Timeout)\n"
    "*** FLOP *** [9h 7h 2h]\nSHUS - All-In 5\n*** TURN *** [9h 7h 2h] [10d]\n"
    "*** SHOW DOWN ***\nGREG - Shows [Ah Kh] (Flush)\nGREG Collects 2,980 from main pot\n"
    "*** SUMMARY ***\nTotal Pot(2,980)\nSeat 3: MARSH HI: [Mucked] [10c 4d]\n\n";

const char* kDeadPostHand =
    "Stage #736661180: HOLDEM NORMAL $25/$50 - 2007-08-17 06:49:16 (ET)\n"
    "Table: BREWERY ST (Real Money) Seat #4 is the dealer\n"
    "Seat 4 - LIVE ($2343 in chips)\nSeat 5 - IMMA ($1861.82 in chips)\nSeat 1 - DWAY ($743 in "
    "chips)\n"
    "Seat 3 - POKE ($475 in chips)\nIMMA - Posts small blind $15\nDWAY - Posts big blind $25\n"
    "POKE - Posts dead $40 dead $15\n*** POCKET CARDS ***\nDealt to LIVE [7h 8c]\n"
    "POKE - Raises $25 to $50\nLIVE - Folds\nIMMA - Calls $35\nDWAY - Calls $25\n*** FLOP *** [Ac "
    "Qd Js]\n"
    "IMMA - Checks\nDWAY - Checks\nPOKE - Bets $25\nIMMA - Folds\nDWAY - Folds\n"
    "POKE - returned ($25) : not called\n*** SHOW DOWN ***\nPOKE Collects $162 from main pot\n"
    "*** SUMMARY ***\nTotal Pot($165) | Rake ($3)\n\n";

TEST(HandAbsolutePoker, TournamentTableAndActions) {
    const char* text = kTournamentHand;
    CHandAbsolutePoker hand("Hero");
    ASSERT_EQ(roomtest::ParseText(hand, text), 0) << hand.RejectReason();
    EXPECT_EQ(hand.handNumber, 525691746u);
    EXPECT_EQ(hand.tableName, "5945889~15");
    EXPECT_EQ(hand.gameKind, 4);
    EXPECT_EQ(hand.PositionOf("GREG (T-NL)"), 0);
    EXPECT_EQ(hand.turnCard, "[Td]");
    auto greg = hand.Actions(0, 0);
    ASSERT_EQ(greg.size(), 2u);  // button marker, all-in
    EXPECT_EQ(greg[1].kind, kActionRaise);
    auto marsh = hand.Actions(3, 0);
    ASSERT_EQ(marsh.size(), 2u);
    EXPECT_EQ(marsh[1].kind, kActionCheck);
    EXPECT_EQ(marsh[1].amount, 0);
    EXPECT_EQ(hand.Actions(2, 1)[0].kind,
              kActionBet);  // an all-in on the flop with no bet is a bet
    EXPECT_EQ(hand.holeCards[0], "[Ah,Kh]");
}

TEST(HandAbsolutePoker, PostsAndCapitalHeader) {
    const char* text = kDeadPostHand;
    CHandAbsolutePoker hand("LIVE");
    ASSERT_EQ(roomtest::ParseText(hand, text), 0) << hand.RejectReason();
    EXPECT_EQ(hand.gameKind, 1);
    EXPECT_EQ(hand.bigBlindName, "DWAY");
    EXPECT_EQ(hand.invested[hand.PositionOf("POKE")], 9000);  // 50 to the raise, 15 dead, 25 bet
    EXPECT_EQ(roomtest::Balance(hand, true), 300);
}

TEST(HandAbsolutePoker, WalkWinsWhatCollectsSays) {
    // " Collects " holds the uncalled part of the big blind; no line states
    // it as returned, so none is booked.
    const char* text =
        "Stage #525827332 Tourney ID 5945889 Holdem Multi Normal Tournament No Limit 100 - "
        "2011-01-16 18:11:10 (ET)\n"
        "Table: 37 (Real Money) Seat #1 is the dealer\nSeat 1 - A (3,015 in chips)\nSeat 2 - B "
        "(8,169 in chips)\n"
        "Seat 3 - C (3,194 in chips)\nB - Posts small blind 50\nC - Posts big blind 100\n*** "
        "POCKET CARDS ***\n"
        "A - Folds\nB - Folds\n*** SHOW DOWN ***\nC - Does not show\nC Collects 150 from main "
        "pot\n*** SUMMARY ***\n\n";
    CHandAbsolutePoker hand("A");
    ASSERT_EQ(roomtest::ParseText(hand, text), 0) << hand.RejectReason();
    int c = hand.PositionOf("C (T-NL)");
    EXPECT_EQ(hand.won[c], 15000);
    EXPECT_EQ(hand.returned[c][0], 0);
    EXPECT_EQ(roomtest::Balance(hand, true), 0);
}

TEST(HandAbsolutePoker, DeadPostsAndWalks) {
    struct Case {
        const char* file;
        const char* player;  // the player checked
        std::int32_t invested;
        std::int32_t won;
        std::int32_t returned;  // over all streets
        std::int64_t rake;
    };
    const Case cases[] = {
        // "Posts $1 dead $0.50": a live dollar and half a dollar of dead money.
        {"absolute/dead_post.txt", "LATECOMER (NL)", 750, 650, 400, 50},
        {"absolute/walk.txt", "PLAYER1 (NL)", 400, 600, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        auto reads = faulttest::ReadAll(faulttest::History(c.file) + "\r\n", [] {
            return std::make_unique<CHandAbsolutePoker>("HERO");
        });
        ASSERT_EQ(reads.size(), 1u);
        ASSERT_TRUE(reads[0].complete) << reads[0].result << " " << reads[0].reason;
        const CHand& hand = *reads[0].hand;
        int p = hand.PositionOf(c.player);
        ASSERT_GE(p, 0);
        std::int32_t returned = 0;
        for (std::int32_t r : hand.returned[p]) returned += r;
        EXPECT_EQ(hand.invested[p], c.invested);
        EXPECT_EQ(hand.won[p], c.won);
        EXPECT_EQ(returned, c.returned);
        EXPECT_EQ(faulttest::Balance(hand), c.rake);
    }
}

TEST(HandAbsolutePoker, SummaryCutInsideItsLastLine) {
    // The walk's history without its closing line is whole once the end is
    // final; cut inside the brackets of its last line it never is.
    std::string whole = faulttest::History("absolute/walk.txt");
    std::string cut = whole + "Seat 9: OBSERVER (";
    for (const auto& [text, complete] : {std::pair{whole, true}, std::pair{cut, false}}) {
        SCOPED_TRACE(text.substr(text.size() - 20));
        auto reads = faulttest::ReadAll(
            text, [] { return std::make_unique<CHandAbsolutePoker>("HERO"); }, TextEnd::kComplete);
        ASSERT_EQ(reads.size(), 1u);
        EXPECT_EQ(reads[0].complete, complete) << reads[0].result << " " << reads[0].reason;
    }
}

TEST(HandAbsolutePoker, EndInSummaryAndRejections) {
    const char* base =
        "Stage #1: Holdem  No Limit $0.02 - 2009-06-10 03:10:00 (ET)\nTable: CHILE (Real Money) "
        "Seat #1 is the dealer\n";
    struct Case {
        std::string text;
        int result;
    };
    const Case cases[] = {
        {std::string(base) +
             "Seat 1 - A ($1 in chips)\nSeat 2 - B ($1 in chips)\nA - Posts small blind $0.01\n"
             "B - Posts big blind $0.02\n*** POCKET CARDS ***\nA - Folds\n*** SHOW DOWN ***\nB "
             "Collects $0.03 from main pot\n",
         CHand::kEndBeforeBlankLine},
        {"Stage #1: Omaha  No Limit $0.02 - 2009-06-10 03:10:00 (ET)\n", CHand::kParseRejected},
        {"Stage #1: Holdem  No Limit $0.02 - 2009-06-10 03:10:00 (ET)\nTable CHILE\n",
         CHand::kParseRejected},
        {"Stage #1: Holdem  Stud $0.02 - 2009-06-10 03:10:00 (ET)\nTable: C (Real Money) Seat #1 "
         "is the dealer\nSeat 1 - A ($1 in chips)\n",
         CHand::kParseRejected},
        {std::string(base) +
             "Seat 1 - A ($1 in chips)\nX - Posts small blind $0.01\n*** POCKET CARDS ***\n",
         CHand::kParseRejected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CHandAbsolutePoker hand("Hero");
        EXPECT_EQ(roomtest::ParseText(hand, c.text), c.result) << hand.RejectReason();
    }
}

TEST(HandAbsolutePoker, APlayerNamedLikeSeatPostsTheFirstBlind) {
    // The post line of "Seatbelt" follows the seat list; it is no seat line.
    const char* text =
        "Stage #1000: Holdem  No Limit $0.10 - 2010-03-05 21:10:11 (ET)\n"
        "Table: ALCYONE (Real Money) Seat #2 is the dealer\n"
        "Seat 1 - Seatbelt ($10 in chips)\nSeat 2 - DEALER ($10 in chips)\n"
        "Seatbelt - Posts small blind $0.05\nDEALER - Posts big blind $0.10\n"
        "*** POCKET CARDS ***\nSeatbelt - Folds\nDEALER - returned ($0.05) : not called\n"
        "*** SHOW DOWN ***\nDEALER - Does not show\nDEALER Collects $0.10 from main pot\n"
        "*** SUMMARY ***\nTotal Pot($0.10)\n\n";
    CHandAbsolutePoker hand("DEALER");
    ASSERT_EQ(roomtest::ParseText(hand, text), 0) << hand.RejectReason();
    EXPECT_EQ(hand.PositionOf("Seatbelt (NL)"), 9);
    EXPECT_EQ(hand.won[0], 10);
}

TEST(HandAbsolutePoker, Corpus) {
    if (roomtest::CorpusFolder("absolute").empty()) GTEST_SKIP() << "corpus absent";
    auto counts = roomtest::RunCorpus(
        "absolute",
        [](const std::string& hero) { return std::make_unique<CHandAbsolutePoker>(hero); },
        {"Stage #"}, "Rake ", true);
    roomtest::Report("absolute", counts);
    EXPECT_GE(counts.complete, 85);
}

TEST(HandAbsolutePoker, WholeRecordsMatchGolden) {
    roomtest::ExpectGoldenHands(
        "absolute",
        {{"tournament", kTournamentHand},
         {"dead-post", kDeadPostHand, "LIVE"},
         {"live-and-dead-post", "", "HERO", "tests/data/faults/absolute/dead_post.txt"},
         {"walk", "", "HERO", "tests/data/faults/absolute/walk.txt"}},
        "absolute_poker");
}

}  // namespace
