#include "hands/hand_party_poker.h"

#include <gtest/gtest.h>

#include "hands/stdio_file_custom.h"
#include "tests/hands/fault_histories.h"
#include "tests/hands/golden_util.h"
#include "tests/hands/room_corpus_util.h"

namespace {

std::string PartyHand(const std::string& game, const std::string& body) {
    return "#Game No : 9582251255\n***** Hand History for Game 9582251255 *****\n" + game +
           "\nTable Speed #1769729 (Real Money)\nSeat 6 is the button\nTotal number of players : "
           "3/9\n"
           "Seat 6: Tort ( $2.14 USD )\nSeat 8: Hero ( $2.06 USD )\nSeat 7: Suic ( $1.44 USD )\n" +
           body;
}

// A whole hand with decimal commas and two win lines joined on one line.
std::string DecimalCommaHand() {
    return PartyHand(
        "$25 USD NL Texas Hold'em - Sunday,December 9, 14:34:49 ICT 2012",
        "Suic posts small blind [$0,10 USD].\nHero posts big blind [$0,25 USD].\n"
        "** Dealing down cards **\nDealt to Hero [ 6s, Ts ]\nTort calls [ $0,25 USD ]\n"
        "Suic calls [ $0,15 USD ]\nHero checks\n** Dealing Flop ** [ Th, Qd, As ]\n"
        "Suic checks\nHero bets [ $26,02 USD ]\nTort folds\nSuic folds\n"
        "Hero shows [ 6s, Ts ]a pair.\n"
        "Hero wins $26,02 USD from the main pot with a pair of Tens, and more words to be "
        "long.Suic wins $0,73 USD from the main pot with nothing at all to show.\n\n");
}

TEST(HandPartyPoker, AllInClassification) {
    struct Case {
        const char* body;
        int position;
        int street;
        int kind;
    };
    // Blinds 0.01/0.02 (lowLimit 2).
    const Case cases[] = {
        {"Suic posts small blind [$0.01 USD].\nHero posts big blind [$0.02 USD].\n** Dealing down "
         "cards **\n"
         "Tort is all-In  [$0.06 USD]\n",
         0, 0, kActionRaise},
        {"Suic posts small blind [$0.01 USD].\nHero posts big blind [$0.02 USD].\n** Dealing down "
         "cards **\n"
         "Tort is all-In  [$0.02 USD]\n",
         0, 0, kActionCall},
        {"Suic posts small blind [$0.01 USD].\nHero posts big blind [$0.02 USD].\n** Dealing down "
         "cards **\n"
         "Tort raises [$0.08 USD]\nSuic is all-In  [$0.05 USD]\n",
         1, 0, kActionCall},
        {"Suic posts small blind [$0.01 USD].\nHero posts big blind [$0.02 USD].\n** Dealing down "
         "cards **\n"
         "Tort raises [$0.08 USD]\nSuic is all-In  [$0.50 USD]\n",
         1, 0, kActionReraise},
        {"Suic posts small blind [$0.01 USD].\nHero posts big blind [$0.02 USD].\n** Dealing down "
         "cards **\n"
         "Tort calls [$0.02 USD]\n** Dealing Flop ** [ As, 6h, Qc ]\nSuic is all-In  [$0.01 USD]\n",
         1, 1, kActionBet},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        CHandPartyPoker hand("Hero");
        roomtest::ParseText(
            hand,
            PartyHand("$2 USD NL Texas Hold'em - Monday, August 30, 16:08:09 EDT 2010", c.body));
        auto list = hand.Actions(c.position, c.street);
        ASSERT_FALSE(list.empty());
        EXPECT_EQ(list.back().kind, c.kind);
    }
}

TEST(HandPartyPoker, StakesAndDates) {
    struct Case {
        const char* game;
        std::int32_t smallBlind;
        std::int32_t lowLimit;
        std::int64_t dateTime;
        int gameKind;
    };
    const Case cases[] = {
        {"NL Texas Hold'em $30 Buy-in Trny:15286975 Level:4 Blinds(50/100) - Tuesday, August 30, "
         "00:26:01 EDT 2005",
         5000, 10000, 1125375961, 4},
        {"Texas Hold'em Trny:1 Stakes (1500/3000) - Tuesday, August 30, 00:26:01 EDT 2005", 100000,
         150000, 1125375961, 3},
        {"$25 USD NL Texas Hold'em - Sunday,December 9, 14:34:49 ICT 2012", 0, 0, 1355038489, 2},
        {"$5  USD  NL  Texas Hold'em - Sunday, March 31, 09:30:36 CEST 2013", 0, 0, 1364715036, 2},
        {"800/1600 Tourney Texas Hold'em Game Table (NL)  (MTT Tournament #42974198)  -  Fri Nov "
         "14 21:05:24 EST 2008",
         0, 0, 1226714724, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.game);
        CHandPartyPoker hand("Hero");
        roomtest::ParseText(hand, PartyHand(c.game, "** Dealing down cards **\n"));
        EXPECT_EQ(hand.smallBlind, c.smallBlind);
        EXPECT_EQ(hand.lowLimit, c.lowLimit);
        EXPECT_EQ(hand.dateTime, c.dateTime);
        EXPECT_EQ(hand.gameKind, c.gameKind);
    }
}

TEST(HandPartyPoker, StakesTooLargeToDoubleAreRejected) {
    // The high limit is twice the low one; a low limit near the largest
    // amount read must reject the hand, not overflow.
    CHandPartyPoker hand("Hero");
    CStdioFileCustom reader;
    reader.OpenText(
        PartyHand("NL Texas Hold'em $30 Buy-in Trny:1 Level:4 Blinds(50/15747103) - Tuesday, "
                  "August 30, 00:26:01 EDT 2005",
                  "** Dealing down cards **\n"));
    EXPECT_EQ(hand.ReadHand(reader), CHand::kParseRejected);
    EXPECT_EQ(hand.RejectReason(), "amount out of range");
}

TEST(HandPartyPoker, WholeHandWithDecimalCommasAndJoinedWinLines) {
    std::string text = DecimalCommaHand();
    CHandPartyPoker hand("Hero");
    ASSERT_EQ(roomtest::ParseText(hand, text), 0) << hand.RejectReason();
    EXPECT_EQ(hand.tableName, "Speed #1769729");
    EXPECT_EQ(hand.heroCards, "[6s,Ts]");
    EXPECT_EQ(hand.flopCards, "[Th,Qd,As]");
    EXPECT_EQ(hand.won[hand.PositionOf("Hero (NL)")], 2602);
    EXPECT_EQ(hand.won[hand.PositionOf("Suic (NL)")], 73);
    EXPECT_EQ(hand.invested[hand.PositionOf("Hero (NL)")], 2627);
}

TEST(HandPartyPoker, SummaryRules) {
    std::string head =
        "Suic posts small blind [$0.01 USD].\nHero posts big blind [$0.02 USD].\n** Dealing down "
        "cards **\n"
        "Tort folds\nSuic folds\n";
    std::string longLine = "Hero wins $0.03 USD" + std::string(110, '.') + "\n\n";
    CHandPartyPoker shortWin("Hero");
    EXPECT_EQ(
        roomtest::ParseText(
            shortWin, PartyHand("$2 USD NL Texas Hold'em - Monday, August 30, 16:08:09 EDT 2010",
                                head + "Hero wins $0.03 USD\n\n")),
        0);
    EXPECT_TRUE(shortWin.potAwarded);
    CHandPartyPoker tooLong("Hero");
    roomtest::ParseText(tooLong,
                        PartyHand("$2 USD NL Texas Hold'em - Monday, August 30, 16:08:09 EDT 2010",
                                  head + longLine));
    EXPECT_FALSE(tooLong.potAwarded);
    CHandPartyPoker noEnd("Hero");
    EXPECT_EQ(roomtest::ParseText(
                  noEnd, PartyHand("$2 USD NL Texas Hold'em - Monday, August 30, 16:08:09 EDT 2010",
                                   head + "Hero wins $0.03 USD")),
              CHand::kEndBeforeBlankLine);
    CHandPartyPoker hidden("Hero");
    EXPECT_EQ(
        roomtest::ParseText(
            hidden, PartyHand("$2 USD NL Texas Hold'em - Monday, August 30, 16:08:09 EDT 2010",
                              "** Dealing down cards **\nDealt to Hero [ XX, XX ]\n")),
        CHand::kParseRejected);
}

std::vector<faulttest::Read> ReadParty(const std::string& text, const std::string& hero) {
    return faulttest::ReadAll(text, [hero] { return std::make_unique<CHandPartyPoker>(hero); });
}

TEST(HandPartyPoker, NamesWithBlanksAreMatchedAgainstTheSeats) {
    auto reads = ReadParty(faulttest::History("party/names_with_blanks.txt"), "Hero");
    ASSERT_EQ(reads.size(), 2u);
    struct Expect {
        const char* name;
        std::int32_t invested;
        std::int32_t won;
        const char* cards;
    };
    const Expect hands[2][3] = {
        {{"marlboro man (NL)", 36, 0, "[Kh,Qs]"},
         {"Hero (NL)", 36, 75, "[9c,9d]"},
         {"poket Ass (NL)", 6, 0, ""}},
        {{"poket Ass (NL)", 20, 40, "[As,3h]"},
         {"marlboro (NL)", 20, 0, "[Kc,Qc]"},
         {"Hero (NL)", 1, 0, "[4c,2d]"}},
    };
    const std::int64_t rakes[2] = {3, 1};
    for (int h = 0; h < 2; ++h) {
        SCOPED_TRACE("hand " + std::to_string(h + 1));
        ASSERT_TRUE(reads[h].complete) << reads[h].result << " " << reads[h].reason;
        const CHand& hand = *reads[h].hand;
        EXPECT_EQ(hand.positionOfName.Size(), 4u);  // no phantom player
        for (const Expect& e : hands[h]) {
            SCOPED_TRACE(e.name);
            int p = hand.PositionOf(e.name);
            ASSERT_GE(p, 0);
            EXPECT_EQ(hand.invested[p], e.invested);
            EXPECT_EQ(hand.won[p], e.won);
            EXPECT_EQ(hand.holeCards[p], e.cards);
        }
        EXPECT_EQ(faulttest::Balance(hand), rakes[h]);
    }
}

TEST(HandPartyPoker, MoneyOfRealClientForms) {
    struct Player {
        const char* name;
        std::int32_t invested;
        std::int32_t won;
    };
    struct Case {
        const char* file;
        const char* hero;
        int gameKind;
        std::int64_t rake;
        Player players[3];
    };
    const Case cases[] = {
        // "wins" holds the uncalled flop bet: won once, nothing returned.
        {"party/uncalled_bet_in_wins.txt",
         "Hero",
         2,
         6,
         {{"Hero (NL)", 218, 288}, {"Player2 (NL)", 66, 0}, {"Player1 (NL)", 10, 0}}},
        // No post lines: the level line's blinds are posted by the seats after the button.
        {"party/tournament_blinds_not_posted.txt",
         "Hero",
         4,
         0,
         {{"Hero (T-NL)", 64500, 2000},
          {"Player3 (T-NL)", 62500, 125000},
          {"Player0 (T-NL)", 0, 0}}},
        // "Trny:" on a line of its own.
        {"party/trny_on_own_line.txt",
         "Player2",
         4,
         0,
         {{"Player2 (T-NL)", 14000, 21000},
          {"Player9 (T-NL)", 1000, 0},
          {"Player8 (T-NL)", 6000, 0}}},
        // "calls (0.02)", "bets (0.13)".
        {"party/old_paren_amounts.txt",
         "Hero",
         2,
         0,
         {{"Hero (NL)", 21, 31}, {"Player0 (NL)", 8, 0}, {"Player1 (NL)", 2, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        auto reads = ReadParty(faulttest::History(c.file), c.hero);
        ASSERT_EQ(reads.size(), 1u);
        ASSERT_TRUE(reads[0].complete) << reads[0].result << " " << reads[0].reason;
        const CHand& hand = *reads[0].hand;
        EXPECT_EQ(hand.gameKind, c.gameKind);
        for (const Player& e : c.players) {
            SCOPED_TRACE(e.name);
            int p = hand.PositionOf(e.name);
            ASSERT_GE(p, 0);
            EXPECT_EQ(hand.invested[p], e.invested);
            EXPECT_EQ(hand.won[p], e.won);
            for (std::int32_t r : hand.returned[p]) EXPECT_EQ(r, 0);
        }
        EXPECT_EQ(faulttest::Balance(hand), c.rake);
    }
}

TEST(HandPartyPoker, GamesThatAreNotReadFaithfully) {
    auto ids = ReadParty(faulttest::History("party/holdem_2019_client.txt"), "Hero");
    ASSERT_EQ(ids.size(), 2u);
    for (const auto& read : ids) {
        EXPECT_EQ(read.result, CHand::kParseRejected);
        EXPECT_EQ(read.reason, "hand ids with letters among the digits are not supported");
    }
    // The same client's "Texas Holdem" with a number for an id is read.
    std::string numbered = faulttest::History("party/holdem_2019_client.txt");
    numbered.replace(numbered.find("20J0000123"), 10, "2000000123");
    auto read = ReadParty(numbered, "Hero");
    ASSERT_FALSE(read.empty());
    EXPECT_TRUE(read[0].complete) << read[0].result << " " << read[0].reason;
    EXPECT_EQ(read[0].hand->handNumber, 2000000123u);
    EXPECT_EQ(read[0].hand->gameKind, 4);
    EXPECT_EQ(faulttest::Balance(*read[0].hand), 0);

    auto twoBoards = ReadParty(faulttest::History("party/double_holdem.txt"), "Hero");
    ASSERT_EQ(twoBoards.size(), 2u);
    EXPECT_EQ(twoBoards[0].reason, "Double Hold'em (two boards) is not Texas Hold'em");
    EXPECT_TRUE(twoBoards[1].complete) << twoBoards[1].reason;
}

TEST(HandPartyPoker, WhereTheTextEnds) {
    struct Case {
        const char* file;
        TextEnd end;
        std::size_t hands;
        int lastResult;
    };
    const Case cases[] = {
        // While the file may grow, a last hand without its closing line waits,
        // and its reason says the text ends in the summary.
        {"party/last_hand_no_blank.txt", TextEnd::kMayGrow, 2, CHand::kEndBeforeBlankLine},
        {"party/ended_in_summary_midline.txt", TextEnd::kMayGrow, 2, CHand::kEndBeforeBlankLine},
        {"party/cut_on_turn.txt", TextEnd::kMayGrow, 1, CHand::kEndInTurnOrRiver},
        // Once the end is final, a summary that names the winner is whole,
        // also when the client wrote no line end after its last line.
        {"party/last_hand_no_blank.txt", TextEnd::kComplete, 2, CHand::kParseOk},
        {"party/ended_in_summary_midline.txt", TextEnd::kComplete, 2, CHand::kParseOk},
        {"party/cut_on_turn.txt", TextEnd::kComplete, 1, CHand::kEndInTurnOrRiver},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + (c.end == TextEnd::kComplete ? ", final" : ""));
        auto reads = faulttest::ReadAll(
            faulttest::History(c.file), [] { return std::make_unique<CHandPartyPoker>("Hero"); },
            c.end);
        ASSERT_EQ(reads.size(), c.hands);
        for (std::size_t i = 0; i + 1 < reads.size(); ++i) EXPECT_TRUE(reads[i].complete);
        EXPECT_EQ(reads.back().result, c.lastResult);
    }
    // A last line cut inside its brackets is never whole.
    std::string cut = faulttest::History("party/ended_in_summary_midline.txt");
    cut += "\nHero shows [ 4c,";
    auto reads = faulttest::ReadAll(
        cut, [] { return std::make_unique<CHandPartyPoker>("Hero"); }, TextEnd::kComplete);
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_EQ(reads.back().result, CHand::kEndBeforeBlankLine);
}

TEST(HandPartyPoker, Corpus) {
    if (roomtest::CorpusFolder("partypoker").empty()) GTEST_SKIP() << "corpus absent";
    auto counts = roomtest::RunCorpus(
        "partypoker",
        [](const std::string& hero) { return std::make_unique<CHandPartyPoker>(hero); },
        {"***** Hand History for Game ", "***** Hand History For Game "}, "", false);
    roomtest::Report("partypoker", counts);
    EXPECT_GE(counts.complete, 12);
}

TEST(HandPartyPoker, WholeRecordsMatchGolden) {
    roomtest::ExpectGoldenHands(
        "party",
        {{"decimal-commas", DecimalCommaHand()},
         {"names-with-blanks", "", "Hero", "tests/data/faults/party/names_with_blanks.txt"},
         {"uncalled-in-wins", "", "Hero", "tests/data/faults/party/uncalled_bet_in_wins.txt"},
         {"blinds-not-posted", "", "Hero",
          "tests/data/faults/party/tournament_blinds_not_posted.txt"},
         {"trny-line", "", "Player2", "tests/data/faults/party/trny_on_own_line.txt"},
         {"paren-amounts", "", "Hero", "tests/data/faults/party/old_paren_amounts.txt"},
         {"double-holdem", "", "Hero", "tests/data/faults/party/double_holdem.txt"},
         {"nul-after-line-ends", "", "Hero",
          "tests/data/faults/reader/nul_after_line_end_party.txt"}},
        "party_poker");
}

}  // namespace
