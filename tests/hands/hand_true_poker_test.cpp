#include "hands/hand_true_poker.h"

#include <gtest/gtest.h>

#include "tests/hands/room_corpus_util.h"
#include "tests/hands/golden_util.h"

namespace {

const std::string kSample = std::string(SEATWATCH_SOURCE_DIR) + "/tests/data/truepoker/session.txt";

TEST(HandTruePoker, SampleSession) {
    CStdioFileCustom reader;
    ASSERT_TRUE(reader.Open(kSample));

    CHandTruePoker first("Hero");
    ASSERT_EQ(first.ReadHand(reader), 0) << first.RejectReason();
    EXPECT_EQ(first.handNumber, 987654321012u);
    EXPECT_EQ(first.tableName, "Brighton");
    EXPECT_EQ(first.gameKind, 2);
    EXPECT_TRUE(first.realMoney);
    EXPECT_EQ(first.lowLimit, 50);
    EXPECT_EQ(first.dateTime, 1152036000);  // local time, TZ=UTC
    // Positions in order of first action, the button at 0; the player who
    // only posted comes last.
    EXPECT_EQ(first.PositionOf("Carol (NL)"), 0);
    EXPECT_EQ(first.PositionOf("Alice (NL)"), 1);
    EXPECT_EQ(first.PositionOf("Bob (NL)"), 2);
    EXPECT_EQ(first.PositionOf("Dave (NL)"), 3);
    EXPECT_EQ(first.PositionOf("Erin (NL)"), 4);
    EXPECT_EQ(first.flopCards, "[2c,7d,9h]");
    EXPECT_EQ(first.returned[0][1], 200);
    EXPECT_EQ(first.won[0], 375);
    EXPECT_EQ(roomtest::Balance(first, true), 0);
    EXPECT_EQ(first.heroCards, "[Ah,Kd]");

    // An action before the dealer line: the hand cannot be placed.
    CHandTruePoker second("Hero");
    EXPECT_EQ(second.ReadHand(reader), CHandTruePoker::kUnusableHand);

    CHandTruePoker third("Hero");
    ASSERT_EQ(third.ReadHand(reader), 0) << third.RejectReason();
    EXPECT_EQ(third.PositionOf("Dave (NL)"), 0);  // never acted preflop, still the button
    EXPECT_EQ(third.PositionOf("Carol (NL)"), 1);
    EXPECT_EQ(third.turnCard, "[Ts]");
    int bob = third.PositionOf("Bob (NL)");
    EXPECT_EQ(third.Actions(bob, 1).back().kind, kActionRaise);
    EXPECT_EQ(third.holeCards[bob], "[Js,Jh]");
    EXPECT_EQ(roomtest::Balance(third, true), 30);

    CHandTruePoker none("Hero");
    EXPECT_EQ(none.ReadHand(reader), CHand::kNoHandStart);
}

TEST(HandTruePoker, StreetWordingsAndRejections) {
    const std::string head = "Game Started on Tue Jul 04, 2006 at 18:00\nTable T - Holdem - Play Money - 10/20 - 5\n"
                             "**Game 5 begins**\nA has the dealer button\nB posts small blind 10\nA posts big blind 20\n"
                             "B calls 10\nA checks\n";
    for (const char* flop : {"Flop is dealt [2c 7d 9h]\n", "Dealing Flop [2c 7d 9h]\n"}) {
        SCOPED_TRACE(flop);
        CHandTruePoker hand("Hero");
        EXPECT_EQ(roomtest::ParseText(hand, head + flop + "B checks\nA checks\nB wins 40\n"), 0);
        EXPECT_EQ(hand.flopCards, "[2c,7d,9h]");
        EXPECT_FALSE(hand.realMoney);
        EXPECT_TRUE(hand.potAwarded);
    }
    CHandTruePoker stud("Hero");
    EXPECT_EQ(roomtest::ParseText(stud, "Game Started on Tue Jul 04, 2006 at 18:00\nTable T - Stud - 10/20 - 5\n"),
              CHand::kParseRejected);
    CHandTruePoker badDate("Hero");
    EXPECT_EQ(roomtest::ParseText(badDate, "Game Started on Tue Xyz 04, 2006 at 18:00\n"), CHand::kParseRejected);
}

TEST(HandTruePoker, WholeRecordsMatchGolden) {
    const std::string path = "tests/data/truepoker/session.txt";
    roomtest::ExpectGoldenHands("truepoker", {{path, "", "Hero", path}}, "true_poker");
}

}  // namespace
