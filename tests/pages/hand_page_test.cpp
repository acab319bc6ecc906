#include "pages/hand_page.h"

#include <gtest/gtest.h>

#include "tests/pages/pages_fixture.h"

namespace pagetest {
namespace {

class HandPageTest : public PagesTest {
  protected:
    // Plays the hand, asks the analyzer for its page and returns the text.
    std::string PageOf(std::uint64_t number, const testing_hands::Table& table,
                       const Script& script) {
        if (Play(number, table, script) == nullptr) return {};
        std::string path = analyzer->ShowHand(number);
        EXPECT_EQ(path, pages::HandPagePath(folder.string(), number));
        return ReadFile(path);
    }
};

TEST_F(HandPageTest, ShowdownAtSixSeatsShowsFourEmptySeats) {
    testing_hands::Table t = SixSeats();
    std::string text = PageOf(7001, t, ShowdownHand(t));
    std::size_t empty = 0;
    for (std::size_t at = text.find("EmptySeat"); at != std::string::npos;
         at = text.find("EmptySeat", at + 1))
        ++empty;
    EXPECT_EQ(empty, 4U);
    // Small stakes show two decimals.
    EXPECT_NE(text.find("Raise     2.00 "), std::string::npos);
    ExpectGolden(text, "hand_showdown");
}

TEST_F(HandPageTest, NoShowdownAndAnUncalledBet) {
    testing_hands::Table t = SixSeats();
    std::string text = PageOf(7002, t, FoldAroundHand(t));
    EXPECT_NE(text.find("<BR>Returned 1.00"), std::string::npos);
    EXPECT_NE(text.find("No Pre Flop Plays of Interest"), std::string::npos);
    ExpectGolden(text, "hand_fold_around");
}

TEST_F(HandPageTest, BigBlindsShowWholeAmounts) {
    testing_hands::Table t = SixSeats();
    t.game = "Hold'em No Limit ($10/$20 USD)";
    Script s;
    s.body =
        "Sb: posts small blind $10\nBb: posts big blind $20\n*** HOLE CARDS ***\n"
        "Dealt to Hero [Kh Kd]\nP3: folds\nHero: raises $40 to $60\nP5: folds\nBtn: folds\n"
        "Sb: folds\nBb: calls $40\n*** FLOP *** [2c 7h Td]\nBb: checks\nHero: bets $80\n"
        "Bb: folds\nUncalled bet ($80) returned to Hero\nHero collected $130 from pot\n";
    s.summary = {{"Hero", "collected ($130)"}};
    std::string text = PageOf(7003, t, s);
    EXPECT_NE(text.find("<B>Limits:</B> 10/20"), std::string::npos);
    EXPECT_NE(text.find("Raise     60 "), std::string::npos);
    EXPECT_NE(text.find("Hero (NL)"), std::string::npos);
    ExpectGolden(text, "hand_no_limit");
}

TEST_F(HandPageTest, AllInSidePotSplitAndASittingOutPlayer) {
    testing_hands::Table t = SixSeats();
    Script s;
    s.body =
        "P5 is sitting out\nSb: posts small blind $0.50\nBb: posts big blind $1\n"
        "P3: posts small & big blinds $1.50\n*** HOLE CARDS ***\nDealt to Hero [Ah Kh]\n"
        "P3: raises $1 to $2\nHero: raises $1 to $3\nBtn: calls $3\nSb: folds\nBb: folds\n"
        "P3: calls $1\n*** FLOP *** [As Kd 2c]\nP3: bets $1\nHero: calls $1\nBtn: calls $1\n"
        "*** TURN *** [As Kd 2c] [7h]\nP3: checks\nHero: checks\nBtn: checks\n"
        "*** RIVER *** [As Kd 2c 7h] [3d]\nP3: checks\nHero: checks\nBtn: checks\n"
        "*** SHOW DOWN ***\nP3: shows [Ad Kc] (two pair)\nHero: shows [Ah Kh] (two pair)\n"
        "Btn: mucks hand\nP3 collected $7.25 from pot\nHero collected $7.25 from pot\n";
    s.summary = {{"P3", "showed [Ad Kc] and won ($7.25)"},
                 {"Hero", "showed [Ah Kh] and won ($7.25)"}};
    std::string text = PageOf(7004, t, s);
    EXPECT_NE(text.find("Post 1.50"), std::string::npos);
    ExpectGolden(text, "hand_split_pot");
}

TEST_F(HandPageTest, HeadsUpHidesTheDealerMarkOfTheButton) {
    testing_hands::Table t;
    t.button = 1;
    t.seats = {"Hero", "Bb"};
    Script s;
    s.body =
        "Hero: posts small blind $0.50\nBb: posts big blind $1\n*** HOLE CARDS ***\n"
        "Dealt to Hero [9h 9d]\nHero: raises $1 to $2\nBb: folds\n"
        "Uncalled bet ($1) returned to Hero\nHero collected $2 from pot\n";
    s.summary = {{"Hero", "collected ($2)"}};
    std::string text = PageOf(7005, t, s);
    EXPECT_EQ(text.find("Dealer"), std::string::npos);
    EXPECT_NE(text.find("attempted a steal with <B>99</B>"), std::string::npos);
    ExpectGolden(text, "hand_heads_up");
}

TEST_F(HandPageTest, UnknownHandWritesNothing) {
    EXPECT_EQ(analyzer->ShowHand(424242), "");
    EXPECT_TRUE(FolderFiles().empty());
}

}  // namespace
}  // namespace pagetest
