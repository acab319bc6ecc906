#include "pages/report_pages.h"

#include <gtest/gtest.h>

#include "analysis/player_stats.h"
#include "tests/pages/pages_fixture.h"

namespace pagetest {
namespace {

// A record with fixed figures (the model-player construction) under any key.
std::unique_ptr<CPlayerStats> Figures(const std::string& key, const std::string& tag, int hands,
                                      float foldFlop = 50, int betCheck = 40) {
    return CPlayerStats::CreateModelPlayer(
        key, tag, {hands, foldFlop, foldFlop + 10, foldFlop + 20, 5, betCheck, 20, 1, 1, 30});
}

// The keys of the listed players in page order.
std::vector<std::string> ListedKeys(const std::string& text) {
    std::vector<std::string> keys;
    const std::string marker = "ChangeReportProperties2(2, 'PN', '";
    for (std::size_t at = text.find(marker); at != std::string::npos;
         at = text.find(marker, at + 1)) {
        std::size_t start = text.find("\">", at) + 2;
        keys.push_back(text.substr(start, text.find("</a>", start) - start));
    }
    return keys;
}

class ReportsTest : public PagesTest {
  protected:
    void Put(std::unique_ptr<CPlayerStats> record) {
        std::string key = record->Key();
        players[key] = std::move(record);
    }
    std::string Report(const CReportOptions& options) {
        return pages::PlayersReportText(players, nullptr, options, 2500);
    }
    CHandAnalyzer::PlayerMap players;
};

TEST_F(ReportsTest, SortingByHandsIsNumeric) {
    Put(Figures("forty", "", 40));
    Put(Figures("five", "", 5));
    Put(Figures("Nine", "", 9));
    Put(Figures("_model", "", 300));
    CReportOptions options;
    options.report = 1;
    options.sortColumn = 0;
    options.ascending = true;
    EXPECT_EQ(ListedKeys(Report(options)), (std::vector<std::string>{"five", "Nine", "forty"}));
    options.ascending = false;
    EXPECT_EQ(ListedKeys(Report(options)), (std::vector<std::string>{"forty", "Nine", "five"}));
    // By name the keys compare lower-cased.
    options.sortColumn = 4;
    options.ascending = true;
    EXPECT_EQ(ListedKeys(Report(options)), (std::vector<std::string>{"five", "forty", "Nine"}));
}

TEST_F(ReportsTest, KeysDifferingOnlyInCaseAreBothListed) {
    Put(Figures("bob", "", 30));
    Put(Figures("Bob", "", 30));
    CReportOptions options;
    options.sortColumn = 4;
    EXPECT_EQ(ListedKeys(Report(options)).size(), 2U);
}

TEST_F(ReportsTest, NoDataSortsBelowEveryFigure) {
    // Bet/Check is -1 (n/a) without checks: it sorts as the smallest value.
    Put(Figures("some", "", 30, 50, 40));
    Put(Figures("none", "", 30, 50, 0));
    Put(Figures("many", "", 30, 50, 900));
    CReportOptions options;
    options.sortColumn = 9;
    options.ascending = true;
    std::string text = Report(options);
    EXPECT_EQ(ListedKeys(text), (std::vector<std::string>{"none", "some", "many"}));
}

TEST_F(ReportsTest, MinimumHandsAndGameType) {
    Put(Figures("p24", "", 24));
    Put(Figures("p25", "", 25));
    Put(Figures("nl (NL)", " (NL)", 30));
    Put(Figures("zero", "", 0));
    CReportOptions options;
    options.minimumHands = 25;
    EXPECT_EQ(ListedKeys(Report(options)), (std::vector<std::string>{"p25"}));
    options.minimumHands = 0;
    EXPECT_EQ(ListedKeys(Report(options)), (std::vector<std::string>{"p25", "p24"}));
    options.gameType = 2;
    EXPECT_EQ(ListedKeys(Report(options)), (std::vector<std::string>{"nl (NL)"}));
}

TEST_F(ReportsTest, TournamentReportLeavesOutTheMoneyAndScoreColumns) {
    Put(Figures("t (T-L)", " (T-L)", 30));
    CReportOptions options;
    options.gameType = 3;
    std::string text = Report(options);
    EXPECT_NE(text.find("Tournaments - Limit (All Hands)"), std::string::npos);
    for (const char* column : {"'SC', 1)", "'SC', 2)", "'SC', 3)", "'SC', 14)", ">G</B>"})
        EXPECT_EQ(text.find(column), std::string::npos) << column;
    EXPECT_EQ(text.find("DisplayGraph"), std::string::npos);
    EXPECT_EQ(ListedKeys(text), (std::vector<std::string>{"t (T-L)"}));
}

TEST_F(ReportsTest, NobodyListed) {
    CReportOptions options;
    options.minimumHands = 100;
    std::string text = Report(options);
    EXPECT_NE(text.find("No players meet the selected criteria."), std::string::npos);
    EXPECT_NE(text.find("Ring Games - Limit (100 hands or more)"), std::string::npos);
    EXPECT_NE(text.find("'HC', 100)\"><B>100+</B></a>"), std::string::npos);
}

TEST_F(ReportsTest, RowsAreBounded) {
    for (int i = 0; i < 30; ++i) Put(Figures("p" + std::to_string(i), "", 30 + i));
    CReportOptions options;
    std::string text = pages::PlayersReportText(players, nullptr, options, 10);
    EXPECT_EQ(ListedKeys(text).size(), 10U);
    EXPECT_EQ(ListedKeys(text).front(), "p29");
    EXPECT_NE(text.find("The first 10 of 30 players are listed."), std::string::npos);
}

TEST_F(ReportsTest, PlayersReportFromPlayedHands) {
    testing_hands::Table t = SixSeats();
    Play(6001, t, ShowdownHand(t));
    Play(6002, t, FoldAroundHand(t));
    CReportOptions options;
    options.report = 1;
    std::string path = pages.WritePlayersReport(*analyzer, options);
    ASSERT_EQ(path, (folder / "Report_Players.htm").string());
    std::string text = ReadFile(path);
    // The user's own row is marked; model players never appear.
    EXPECT_NE(text.find("BGCOLOR='#CC99FF'     colspan='1'><font face='verdana' size='-4'> <a "
                        "href=\"javascript:BrowserSink.ChangeReportProperties2(2, 'PN', 'Hero')"),
              std::string::npos);
    EXPECT_EQ(text.find("_Seatwatch_"), std::string::npos);
    ExpectGolden(text, "report_players");
}

class PlayerReportTest : public PagesTest {
  protected:
    void SetUp() override {
        PagesTest::SetUp();
        testing_hands::Table t = SixSeats();
        Play(6001, t, ShowdownHand(t));
        Play(6002, t, FoldAroundHand(t));
        // P3 raises AKs first in and wins.
        Script s;
        s.body = std::string(kBlinds6) +
                 "Dealt to Hero [7c 2d]\nP3: raises $1 to $2\nHero: folds\nP5: folds\nBtn: folds\n"
                 "Sb: folds\nBb: calls $1\n*** FLOP *** [2c 7h Td]\nBb: checks\nP3: bets $1\n"
                 "Bb: calls $1\n*** TURN *** [2c 7h Td] [Js]\nBb: checks\nP3: checks\n"
                 "*** RIVER *** [2c 7h Td Js] [3s]\nBb: checks\nP3: checks\n*** SHOW DOWN ***\n"
                 "P3: shows [As Ks] (high card Ace)\nBb: shows [9c 8c] (high card Jack)\n"
                 "P3 collected $6 from pot\n";
        s.summary = {{"P3", "showed [As Ks] and won ($6)"}, {"Bb", "showed [9c 8c] and lost"}};
        Play(6003, t, s);
    }

    std::string ReportOf(std::string_view key, const CReportOptions& options) {
        EXPECT_TRUE(analyzer->ShowPlayerReport(key, &options));
        return ReadFile(
            pages::PlayerReportPath(folder.string(), key, analyzer->FindPlayer(key) != nullptr));
    }
};

TEST_F(PlayerReportTest, HandReviewByClassAndPosition) {
    CReportOptions options;
    options.report = 0;
    options.sortColumn = 0;
    options.ascending = true;
    std::string text = ReportOf("P3", options);
    // QQ (rank 3) before AKs (rank 4) by rank ascending; both early.
    EXPECT_LT(text.find("> QQ</TD>"), text.find("> AKs</TD>"));
    EXPECT_NE(text.find("HandReview_Selected.png"), std::string::npos);
    ExpectGolden(text, "report_player_hands");
    options.ascending = false;
    text = ReportOf("P3", options);
    EXPECT_GT(text.find("> QQ</TD>"), text.find("> AKs</TD>"));
}

TEST_F(PlayerReportTest, PotSizeOptionShowsThePotWon) {
    CReportOptions options;
    options.report = 0;
    std::string net = ReportOf("P3", options);
    options.displayPotSize = true;
    std::string pot = ReportOf("P3", options);
    // AKs: put in $3, collected $6.
    EXPECT_NE(net.find("<font face='verdana' size='-4'> 3.00</a>"), std::string::npos);
    EXPECT_NE(pot.find("<font face='verdana' size='-4'> 6.00</a>"), std::string::npos);
}

TEST_F(PlayerReportTest, PeriodAndFilterLeaveHandsOut) {
    CReportOptions options;
    options.report = 0;
    options.period = 2;
    options.periodStart = analyzer->FindHand(6003)->dateTime + 1;
    std::string text = ReportOf("P3", options);
    EXPECT_EQ(text.find("> QQ</TD>"), std::string::npos);
    EXPECT_NE(text.find("'TP', 2)\"><B>24 hours</B></a>"), std::string::npos);
    options.period = 5;
    options.filter = 2;
    text = ReportOf("P3", options);
    EXPECT_EQ(text.find("> QQ</TD>"), std::string::npos);
    options.filter = 1;
    text = ReportOf("P3", options);
    EXPECT_NE(text.find("> QQ</TD>"), std::string::npos);
}

TEST_F(PlayerReportTest, AnalysisViewByKindAndPosition) {
    CReportOptions options;
    options.report = 2;
    std::string text = ReportOf("P3", options);
    EXPECT_NE(text.find("Analysis_Selected.png"), std::string::npos);
    ExpectGolden(text, "report_player_analysis");
    options.filter = 1;
    text = ReportOf("P3", options);
    EXPECT_NE(text.find(">Pos 3</B>"), std::string::npos);
    EXPECT_NE(text.find(">Button</B>"), std::string::npos);
    options.filter = 2;
    text = ReportOf("P3", options);
    EXPECT_EQ(text.find(">Early</B>"), std::string::npos);
}

TEST_F(PlayerReportTest, UnknownPlayer) {
    CReportOptions options;
    std::string text = ReportOf("Nobody Here", options);
    EXPECT_NE(text.find("No Data available on this player."), std::string::npos);
    EXPECT_NE(text.find("Hand Report - Nobody Here </FONT>"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(folder / "Report_Player_Nobody Here.htm"));
}

}  // namespace
}  // namespace pagetest
