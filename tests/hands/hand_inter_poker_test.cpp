#include "hands/hand_inter_poker.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/hands/room_corpus_util.h"
#include "tests/hands/golden_util.h"

namespace {

const std::string kSample = std::string(SEATWATCH_SOURCE_DIR) + "/tests/data/interpoker/PK_logs/2006-07-04/session.txt";

TEST(HandInterPoker, MoneyKindFromFolder) {
    struct Case {
        const char* path;
        bool play;
    };
    const Case cases[] = {
        {"/logs/PK_play/2006-07-04/h.txt", true}, {"C:\\Hist\\pkMoney\\day\\h.txt", true},
        {"/logs/Real/2006-07-04/h.txt", false},   {"/logs/PK/h.txt", false},
        {"h.txt", false},                          {"/p/KP/x/h.txt", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(CHandInterPoker::IsPlayMoneyPath(c.path), c.play);
        CHandInterPoker hand("Hero", c.path);
        EXPECT_EQ(hand.realMoney, !c.play);
    }
}

TEST(HandInterPoker, SampleHandWithHeroFromDealtTo) {
    auto learned = std::make_shared<std::string>();
    CHandInterPoker hand("Hero", kSample, learned);
    CStdioFileCustom reader;
    ASSERT_TRUE(reader.Open(kSample));
    ASSERT_EQ(hand.ReadHand(reader), 0) << hand.RejectReason();
    EXPECT_EQ(hand.handNumber, 1234567890123u);
    EXPECT_FALSE(hand.realMoney);
    EXPECT_EQ(hand.gameKind, 2);
    EXPECT_EQ(hand.tableName, "Brighton 3");
    EXPECT_EQ(hand.HeroName(), "Carol");
    EXPECT_EQ(*learned, "Carol");
    int carol = hand.PositionOf("Carol (PM)");
    int bob = hand.PositionOf("Bob (PM)");
    EXPECT_EQ(bob, 0);
    EXPECT_EQ(hand.holeCards[carol], "[Ah,Kd]");
    EXPECT_EQ(hand.holeCards[bob], "[Jc,Jd]");
    EXPECT_EQ(hand.Actions(bob, 1).back().kind, kActionRaise);
    EXPECT_EQ(hand.returned[bob][1], 1000);
    EXPECT_EQ(hand.won[carol], 3975);
    EXPECT_TRUE(hand.wonAtShowdown[carol] || !hand.acted[carol][4]);
    EXPECT_EQ(roomtest::Balance(hand, true), 50);
    // GMT with TZ=UTC: the wall time itself.
    EXPECT_EQ(hand.dateTime, 1152036059);
    // A later parser of the session starts with the learned hero.
    CHandInterPoker next("Hero", kSample, learned);
    EXPECT_EQ(next.HeroName(), "Carol");
}

TEST(HandInterPoker, LineRules) {
    const std::string head = "Game #7: Texas Hold'em (10/20) - 2006/07/04 - 18:00:59\nTable \"T\" Seat #1 is the button\n"
                             "Seat 1: A (1500)\nSeat 2: B (1500)\nA: posts small blind 10\nB: posts big blind 20\n"
                             "----- HOLE CARDS -----\n";
    struct Case {
        std::string text;
        int result;
        bool awarded;
    };
    const Case cases[] = {
        {"Game #7: Texas Hold'em (10/20) (Incomplete) - 2006/07/04 - 18:00:59\n", CHand::kParseRejected, false},
        {"Game #7: Omaha (10/20) - 2006/07/04 - 18:00:59\n", CHand::kParseRejected, false},
        {head + "A: folds\n----- SUMMARY -----\nSeat 2: B collected (30)\n", 0, true},
        {head + "A: folds\n----- SUMMARY -----\nB: mucked [Ah Kd]\nSeat 2: B collected (30)\n", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CHandInterPoker hand("A", "/x/y/z.txt");
        EXPECT_EQ(roomtest::ParseText(hand, c.text), c.result) << hand.RejectReason();
        EXPECT_EQ(hand.potAwarded, c.awarded);
        if (c.result == 0) {
            EXPECT_TRUE(hand.tournament);
            EXPECT_EQ(hand.gameKind, 3);
            EXPECT_EQ(hand.lowLimit, 2000);
            EXPECT_TRUE(hand.holeCards[1].empty());  // "mucked [" with one blank is no show line
        }
    }
    CHandInterPoker shown("A", "/x/y/z.txt");
    roomtest::ParseText(shown, head + "A: folds\n----- SUMMARY -----\nB: mucked  [Ah Kd]\nSeat 2: B collected (30)\n");
    EXPECT_EQ(shown.holeCards[1], "[Ah,Kd]");
}

TEST(HandInterPoker, WholeRecordsMatchGolden) {
    const std::string path = "tests/data/interpoker/PK_logs/2006-07-04/session.txt";
    roomtest::ExpectGoldenHands("interpoker", {{path, "", "Hero", path}}, "inter_poker");
}

}  // namespace
