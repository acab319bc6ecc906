#include "analysis/hand_analyzer.h"

#include "analysis/model_players.h"
#include "tests/analysis/analyzer_fixture.h"

namespace {

using S = CPlayerStats;

std::string FoldAround(std::uint64_t) {
    return std::string(kBlinds) + "P3: raises $1 to $2\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\n"
                                  "Sb: folds\nBb: folds\nUncalled bet ($1) returned to P3\n";
}

TEST_F(AnalyzerTest, ModelPlayersGiveBackTheirFigures) {
    for (int n = 0; n < analysis::kModelPlayerCount; ++n) {
        for (bool noLimit : {false, true}) {
            std::string key = analysis::ModelPlayerKey(n, noLimit);
            SCOPED_TRACE(key);
            CPlayerStats* r = analyzer->FindPlayer(key);
            ASSERT_NE(r, nullptr);
            const auto& m = analysis::ModelPlayerFigures(n);
            // Counts are truncated, so a figure comes back within one hand's share.
            float tolerance = 100.0F / static_cast<float>(m.hands) + 0.01F;
            EXPECT_EQ(r->Hands(), m.hands);
            EXPECT_NEAR(r->FoldBeforeFlop(), m.foldBeforeFlop, tolerance);
            EXPECT_NEAR(r->FoldBeforeTurn(), m.foldBeforeTurn, 2 * tolerance);
            EXPECT_NEAR(r->FoldBeforeRiver(), m.foldBeforeRiver, 3 * tolerance);
            EXPECT_NEAR(r->PFR(), m.pfr, tolerance);
            EXPECT_EQ(r->BetCheck(), m.betCheck);
            EXPECT_EQ(r->RaiseCall(), m.raiseCall);
            EXPECT_NEAR(r->ReRaisePercent(), m.reRaise, tolerance);
            EXPECT_NEAR(r->CheckRaisePercent(), m.checkRaise, tolerance);
            EXPECT_NEAR(r->EarlyPlay(), m.earlyPlay, tolerance);
        }
    }
    EXPECT_EQ(analyzer->FindPlayer("_Seatwatch_ModelPlayer19_ (NL)")->Tag(), " (NL)");
}

TEST_F(AnalyzerTest, ModelPlayersAloneAreRanked) {
    analyzer->Process(false);
    EXPECT_EQ(analyzer->RankedLimitCount(), 20);
    EXPECT_EQ(analyzer->RankedCount(), 20);
    // The scale's ends: 00 the most aggressive, 19 the most passive. On the
    // loose/tight scale the three fold figures outweigh early play, so 00
    // (who folds most) is the tightest and 19 the loosest.
    for (const char* suffix : {"", " (NL)"}) {
        SCOPED_TRACE(suffix);
        EXPECT_EQ(C(std::string("_Seatwatch_ModelPlayer00_") + suffix, S::kScorePA), 9);
        EXPECT_EQ(C(std::string("_Seatwatch_ModelPlayer19_") + suffix, S::kScorePA), 0);
        EXPECT_EQ(C(std::string("_Seatwatch_ModelPlayer00_") + suffix, S::kRankPFR), 0);
        EXPECT_EQ(C(std::string("_Seatwatch_ModelPlayer00_") + suffix, S::kScoreLT), 0);
        EXPECT_EQ(C(std::string("_Seatwatch_ModelPlayer19_") + suffix, S::kScoreLT), 9);
    }
}

TEST_F(AnalyzerTest, TwentyHandsEnterTheRanking) {
    for (int i = 1; i <= 19; ++i) Add(6000 + i, MakeTable(0), FoldAround(i), {{"P3", "collected ($2.50)"}});
    analyzer->Process(false);
    EXPECT_EQ(analyzer->FindPlayer("P3")->Hands(), 19);
    EXPECT_EQ(analyzer->RankedLimitCount(), 20);
    EXPECT_EQ(C("P3", S::kRankPFR), 0);
    EXPECT_EQ(C("P3", S::kScorePA), 0);
    Add(6020, MakeTable(0), FoldAround(20), {{"P3", "collected ($2.50)"}});
    analyzer->Process(false);
    EXPECT_EQ(analyzer->RankedLimitCount(), 28);  // the models and all eight players
    // Raising every hand puts P3 first by PFR%. Sb and Bb, who never act
    // beyond their posts, tie on every figure with equal hands: key order.
    EXPECT_EQ(C("P3", S::kRankPFR), 0);
    EXPECT_GT(C("P3", S::kScorePA), 0);
    EXPECT_LT(C("Bb", S::kRankPFR), C("Sb", S::kRankPFR));
}

TEST_F(AnalyzerTest, RankingTiesPutFewerHandsFirst) {
    // Model players 14 to 19 all have PFR 0%: fewer hands first.
    analyzer->Process(false);
    for (int n = 14; n < 19; ++n) {
        SCOPED_TRACE(n);
        EXPECT_LT(C(analysis::ModelPlayerKey(n, false), S::kRankPFR), C(analysis::ModelPlayerKey(n + 1, false), S::kRankPFR));
    }
}

TEST_F(AnalyzerTest, MemoryLimitMovesTheCutoff) {
    struct Case {
        std::int64_t elapsed;
        int optMHC;
        const char* cutoff;
    };
    const Case cases[] = {
        {5, 2600 + 500, ""},   // fast start-up: the limit grows
        {35, 2500, ""},        // in between: nothing changes
        {100, 2000, "x"},      // slow start-up: the 600th hand's date
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.elapsed);
        settings = platform::MemoryProfile();
        SetUp();
        for (int i = 1; i <= 2600; ++i) {
            auto hand = std::make_unique<CHandPokerStars>("Hero");
            hand->handNumber = static_cast<std::uint64_t>(i);
            hand->dateTime = 1'262'304'000 + static_cast<std::int64_t>(i) * 3600;  // hourly from 2010-01-01
            analyzer->AddHand(std::move(hand));
        }
        clock.Advance(c.elapsed * 1000);
        analyzer->Process(false);
        EXPECT_EQ(analyzer->OptMHC(), c.optMHC);
        std::string cutoff = settings.GetString("Settings", "100 - Hero - Opt", "");
        if (*c.cutoff != 0) {
            // Hand 600 is 600 hours (25 days) after 2010-01-01 00:00 UTC.
            EXPECT_EQ(cutoff, "012610");
            EXPECT_EQ(settings.GetInt("Settings", "100 - Hero - OptMHC", 0), 2000);
        } else {
            EXPECT_EQ(cutoff, "");
        }
    }
}

TEST_F(AnalyzerTest, OldestHandCutoffFromSettings) {
    struct Case {
        const char* stored;
        std::int64_t expected;  // 0: three years before now
    };
    const Case cases[] = {
        {"010101", 978'307'200},    // 1 January 2001
        {"123199", 4'102'358'400},  // 31 December 2099
        {"133199", 0},              // month 13
        {"02301", 0},               // not six characters
        {"ab0101", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        settings = platform::MemoryProfile();
        settings.WriteString("Settings", "100 - Hero - Opt", c.stored);
        SetUp();
        EXPECT_EQ(analyzer->OldestHandCutoff(), c.expected != 0 ? c.expected : clock.UnixSeconds() - 94'608'000);
    }
}

TEST_F(AnalyzerTest, UserRecordsAndTournamentSeries) {
    for (const char* tag : {"", " (NL)", " (T-L)", " (T-NL)"}) {
        ASSERT_NE(analyzer->UserRecord(tag), nullptr) << tag;
        EXPECT_EQ(analyzer->UserRecord(tag)->Key(), std::string("Hero") + tag);
    }
    EXPECT_EQ(analyzer->UserRecord(), analyzer->UserRecord(""));
    analyzer->UserRecord(" (T-NL)")->MutableAllTimeSeries().Set(5, 100);
    EXPECT_TRUE(analyzer->GetSeries("Hero (T-NL)", false).Empty());
}

class RecordingCalculator : public ITableCalculatorLink {
public:
    void RefreshFromHistory(const CTableRecord& record) override { history.push_back(record.Pocket()); }
    void RefreshFromScreen(const CTableRecord&, bool warning) override { screen.push_back(warning); }
    std::vector<std::string> history;
    std::vector<bool> screen;
};

TEST_F(AnalyzerTest, TableRecordFollowsHandsAndScreen) {
    auto body = std::string(kBlinds) + "Dealt to Hero [Ah Kd]\nHero: calls $1\nP4: folds\nP5: folds\nP6: folds\nP7: folds\n"
                                       "Btn: folds\nSb: folds\nBb: checks\n*** FLOP *** [2c 7d 9h]\nBb: bets $1\nHero: folds\n";
    std::string text = testing_hands::HandText(7001, MakeTable(), body, {{"Bb", "collected ($2.50)"}});
    auto hand = testing_hands::Parse(text);
    ASSERT_TRUE(hand);
    CTableRecord& record = analyzer->UpdateTable(*hand);
    RecordingCalculator calculator;
    record.AttachCalculator(&calculator);
    EXPECT_EQ(record.Street(), 1);
    EXPECT_EQ(record.PlayerCount(), 2);
    EXPECT_EQ(record.Pocket(), "[Ah,Kd]");
    EXPECT_EQ(record.LastHandTime(), hand->dateTime);
    EXPECT_EQ(record.SeatNames().size(), 10U);
    // The same hand and street again: nothing changes.
    analyzer->UpdateTable(*hand);
    EXPECT_TRUE(calculator.history.empty());
    // Screen cards: a change of pocket cards or a warning refreshes.
    std::vector<int> cards = {0, 1, -1, -1, -1, -1, -1};
    EXPECT_TRUE(analyzer->UpdateTableFromScreen(record, cards, 0, 3, false));
    EXPECT_TRUE(analyzer->UpdateTableFromScreen(record, cards, 0, 3, false));
    EXPECT_TRUE(analyzer->UpdateTableFromScreen(record, cards, 0, 3, true));
    EXPECT_EQ(calculator.screen, (std::vector<bool>{false, true}));
    std::vector<int> shortArray = {0, 1};
    EXPECT_FALSE(analyzer->UpdateTableFromScreen(record, shortArray, 1, 3, true));
    EXPECT_EQ(analyzer->TablesSince(0), std::vector<std::string>{"Test Table"});
    record.AttachCalculator(nullptr);
}

class FakePages : public IAnalysisPages {
public:
    explicit FakePages(CHandAnalyzer& a) : analyzer(a) {}
    std::string WriteHandPage(const CHand& hand, const std::string& folder, const PlayerMap&) override {
        // A page request made while the analyzer is busy finds the lock free
        // on this thread.
        analyzer.FindHand(hand.handNumber);
        return folder + "/Hand " + std::to_string(hand.handNumber) + ".htm";
    }
    void WritePlayerReport(const CPlayerStats& record, const CReportOptions*, const CHandAnalyzer&) override {
        reports.push_back(record.Key());
    }
    void WriteUnknownPlayerReport(std::string_view key, const CReportOptions*, const CHandAnalyzer&) override {
        reports.push_back("unknown " + std::string(key));
    }
    void ShowMessage(std::string_view text) override { messages.push_back(std::string(text)); }
    CHandAnalyzer& analyzer;
    std::vector<std::string> reports, messages;
};

TEST_F(AnalyzerTest, PagesAndNestedRequestsDuringProcess) {
    FakePages pages(*analyzer);
    analyzer->SetPages(&pages);
    Add(8001, MakeTable(0), FoldAround(1), {{"P3", "collected ($2.50)"}});
    int pumps = 0;
    // Message pumping runs page requests and even a nested Process.
    analyzer->SetMessagePump([&] {
        ++pumps;
        analyzer->ShowHand(8001);
        analyzer->Process(true);
    });
    analyzer->Process(false);
    analyzer->SetMessagePump(nullptr);
    EXPECT_GT(pumps, 0);
    EXPECT_EQ(analyzer->FindPlayer("P3")->Hands(), 1);
    EXPECT_EQ(analyzer->ShowHand(8001), "/tmp/Hand 8001.htm");
    EXPECT_EQ(analyzer->ShowHand(9999), "");
    EXPECT_EQ(pages.messages, std::vector<std::string>{"Hand Not Found"});
    EXPECT_TRUE(analyzer->ShowPlayerReport("P3", nullptr));
    EXPECT_TRUE(analyzer->ShowPlayerReport("Ghost", nullptr));
    EXPECT_EQ(pages.reports, (std::vector<std::string>{"P3", "unknown Ghost"}));
}

}  // namespace
