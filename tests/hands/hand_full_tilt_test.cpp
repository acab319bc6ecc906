#include "hands/hand_full_tilt.h"

#include <gtest/gtest.h>

#include "tests/hands/room_corpus_util.h"
#include "tests/hands/golden_util.h"

namespace {

// A nine-seat limit hand with the button in seat 9.
const char* kNineSeats =
    "Full Tilt Poker Game #12345678901: Table Slaw - $1/$2 - Limit Hold'em - 20:26:12 ET - 2010/12/11\n"
    "Seat 1: A ($21)\nSeat 2: B ($31.50)\nSeat 8: H ($70.50)\nSeat 9: Hero ($78.75)\n"
    "A posts the small blind of $0.50\nB posts the big blind of $1\nThe button is in seat #9\n"
    "*** HOLE CARDS ***\nDealt to Hero [9s Th]\nH: nice hand\nH raises to $2\nHero calls $2\n"
    "A folds\nB raises to $3\nH calls $1\nHero calls $1\n"
    "*** FLOP *** [Tc 3s As]\nB bets $1,000\nH folds\nHero folds\nUncalled bet of $1,000 returned to B\n"
    "B mucks\nB wins the pot ($9.50)\n*** SUMMARY ***\nTotal pot $9.50 | Rake $0\n"
    "Seat 2: B (big blind) collected ($9.50), mucked\n\nSeat 9: Hero (button) folded on the Flop\n\n\n";

TEST(HandFullTilt, NineSeatPositionsAndRaisesTo) {
    CHandFullTilt hand("Hero");
    ASSERT_EQ(roomtest::ParseText(hand, kNineSeats), 0) << hand.RejectReason();
    EXPECT_EQ(hand.handNumber, 12345678901u);
    EXPECT_EQ(hand.PositionOf("Hero"), 0);
    EXPECT_EQ(hand.PositionOf("A"), 1);
    EXPECT_EQ(hand.PositionOf("B"), 2);
    EXPECT_EQ(hand.PositionOf("H"), 8);
    EXPECT_EQ(hand.gameKind, 1);
    EXPECT_EQ(hand.tableName, "Slaw");
    // B posted 1 and raised to 3: the raise is 2.
    auto pre = hand.Actions(2, 0);
    ASSERT_EQ(pre.size(), 2u);
    EXPECT_EQ(pre[1].kind, kActionReraise);  // H raised first
    EXPECT_EQ(pre[1].amount, 200);
    EXPECT_EQ(hand.returned[2][1], 100000);  // 1,000 read whole
    EXPECT_EQ(hand.won[2], 950);
    EXPECT_EQ(roomtest::Balance(hand, true), 0);
    EXPECT_EQ(hand.heroCards, "[9s,Th]");
    EXPECT_EQ(hand.dateTime, 1292117172);  // 20:26:12 ET is 01:26:12 UTC with TZ=UTC
}

TEST(HandFullTilt, SeatsRebuiltFromSummaryKeepThePosts) {
    const char* text =
        "Full Tilt Poker Game #1083884910: Table Coral Isle (6 max) - $25/$50 - No Limit Hold'em - 17:47:12 ET - 2006/10/09\n"
        "cinidy lynn posts the small blind of $25\ndurrrr posts the big blind of $50\nThe button is in seat #3\n"
        "*** HOLE CARDS ***\ncinidy lynn raises to $1,000, and is all in\ndurrrr folds\n"
        "Uncalled bet of $950 returned to cinidy lynn\ncinidy lynn mucks\ncinidy lynn wins the pot ($100)\n"
        "*** SUMMARY ***\nTotal pot $100 | Rake $0\nSeat 3: cinidy lynn (small blind) collected ($100), mucked\n"
        "Seat 4: durrrr (big blind) folded before the Flop\n\n\n";
    CHandFullTilt hand("Hero");
    ASSERT_EQ(roomtest::ParseText(hand, text), 0) << hand.RejectReason();
    EXPECT_EQ(hand.PositionOf("cinidy lynn (NL)"), 0);
    EXPECT_EQ(hand.PositionOf("durrrr (NL)"), 1);
    EXPECT_EQ(hand.invested[0], 100000);
    EXPECT_EQ(hand.invested[1], 5000);
    EXPECT_EQ(hand.bigBlindName, "durrrr (NL)");
    EXPECT_EQ(roomtest::Balance(hand, true), 0);
}

TEST(HandFullTilt, HeaderForms) {
    struct Case {
        const char* header;
        std::int64_t dateTime;
        int gameKind;
        bool realMoney;
    };
    const Case cases[] = {
        // Local time with the Eastern time in brackets: the bracketed one.
        {"Full Tilt Poker Game #1: Table X - $0.01/$0.02 - NL Hold'em - 19:36:43 CET - 2011/04/07 [13:36:43 ET - 2011/04/07]",
         1302197803, 2, true},
        // Worded date without seconds.
        {"Full Tilt Poker Game #2: Table Flash - $0.02/$0.05 - No Limit Hold'em - 15:13 ET - Wed, July 21, 2010", 1279739580,
         2, true},
        // A named zone without brackets.
        {"Full Tilt Poker Game #3: Table D (6 max) - \xE2\x82\xAC" "0.01/\xE2\x82\xAC" "0.02 - No Limit Hold'em - 21:59:02 CET - 2010/08/13",
         1281733142, 2, true},
        // Play-money stakes without a currency sign.
        {"Full Tilt Poker Game #4: Table King (heads up, deep) - 500K/1000K - No Limit Hold'em - 21:40:27 ET - 2011/04/15",
         1302918027, 4, false},
        // A tournament named only by its number.
        {"Full Tilt Poker Game #5: $26 Super Turbo Matrix (244669447), Match 1 - 15/30 - NL Hold'em - 02:20:06 ET - 2012/11/23",
         1353655206, 4, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        std::string text = std::string(c.header) + "\nSeat 1: A (100)\nSeat 2: B (100)\nThe button is in seat #1\n*** HOLE CARDS ***\n";
        CHandFullTilt hand("Hero");
        EXPECT_EQ(roomtest::ParseText(hand, text), CHand::kEndInPreflop) << hand.RejectReason();
        EXPECT_EQ(hand.dateTime, c.dateTime);
        EXPECT_EQ(hand.gameKind, c.gameKind);
        EXPECT_EQ(hand.realMoney, c.realMoney);
    }
}

TEST(HandFullTilt, RejectedHands) {
    const char* cases[] = {
        "Full Tilt Poker Game #1: Table X - $1/$2 - Limit Razz - 20:26:12 ET - 2010/12/11\n",
        "Full Tilt Poker Game #1: Table X (partial) - $1/$2 - Limit Hold'em - 20:26:12 ET - 2010/12/11\n",
        "Full Tilt Poker Game #1: Table X - $1/$2 - Limit Hold'em - 20:26:12 ET - 2010/13/11\n",
        "Full Tilt Poker Game #1: Table X - $1/$2 - Limit Hold'em - 20:26:12 ET - 2010/12/11\nSeat 11: A ($1)\n",
        "Full Tilt Poker Game #1: Table X - $1/$2 - Limit Hold'em - 20:26:12 ET - 2010/12/11\nSeat 1: A ($1)\n"
        "Seat 10: B ($1)\nThe button is in seat #1\n*** HOLE CARDS ***\n",
        "Full Tilt Poker Game #1: Table X - $1/$2 - Limit Hold'em - 20:26:12 ET - 2010/12/11\nSeat 1: A ($1)\n"
        "The button is in seat #1\n*** HOLE CARDS ***\nDealt to Other [Ah Kd]\n",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        CHandFullTilt hand("Hero");
        EXPECT_EQ(roomtest::ParseText(hand, text), CHand::kParseRejected);
        EXPECT_FALSE(hand.RejectReason().empty());
    }
}

TEST(HandFullTilt, NextHandAfterOneEmptyLineIsNotSwallowed) {
    std::string text = std::string(kNineSeats);
    text.replace(text.find("\n\n\n"), 3, "\n\n");
    text += kNineSeats;
    CStdioFileCustom reader;
    reader.OpenText(text);
    for (int i = 0; i < 2; ++i) {
        CHandFullTilt hand("Hero");
        EXPECT_EQ(hand.ReadHand(reader), 0) << i;
        EXPECT_TRUE(hand.potAwarded) << i;
    }
}

TEST(HandFullTilt, Corpus) {
    if (roomtest::CorpusFolder("fulltilt").empty()) GTEST_SKIP() << "corpus absent";
    auto counts = roomtest::RunCorpus(
        "fulltilt", [](const std::string& hero) { return std::make_unique<CHandFullTilt>(hero); },
        {"Full Tilt Poker Game #", "FullTiltPoker Game #"}, "Rake ", true);
    roomtest::Report("fulltilt", counts);
    EXPECT_GE(counts.complete, 80);
}

TEST(HandFullTilt, WholeRecordsMatchGolden) {
    roomtest::ExpectGoldenHands(
        "fulltilt",
        {{"nine-seats", kNineSeats},
         {"cancelled", "", "Hero", "tests/data/faults/fulltilt/cancelled_hand.txt"},
         {"second-dealt-to", "", "Hero", "tests/data/faults/fulltilt/second_dealt_to.txt"},
         {"single-card", "", "Hero", "tests/data/faults/fulltilt/single_card_shown.txt"},
         {"cut-show", "", "Hero", "tests/data/faults/fulltilt/cut_in_showed_line.txt"}},
        "full_tilt");
}

}  // namespace
