#include "analysis/hand_analyzer.h"
#include "analysis/model_players.h"
#include "platform/recording_desktop.h"
#include "tests/analysis/analyzer_fixture.h"

namespace {

using S = CPlayerStats;

std::string FoldAround(std::uint64_t) {
    return std::string(kBlinds) +
           "P3: raises $1 to $2\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\n"
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
    for (int i = 1; i <= 19; ++i)
        Add(6000 + i, MakeTable(0), FoldAround(i), {{"P3", "collected ($2.50)"}});
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
        EXPECT_LT(C(analysis::ModelPlayerKey(n, false), S::kRankPFR),
                  C(analysis::ModelPlayerKey(n + 1, false), S::kRankPFR));
    }
}

TEST_F(AnalyzerTest, MemoryLimitMovesTheCutoff) {
    struct Case {
        std::int64_t elapsed;
        int optMHC;
        const char* cutoff;
        const char* optTime = nullptr;  // the OptTime entry, when there is one
    };
    const Case cases[] = {
        {5, 2600 + 500, ""},  // fast start-up: the limit grows
        {35, 2500, ""},       // in between: nothing changes
        {100, 2000, "x"},     // slow start-up: the 600th hand's date
        // A damaged OptTime reads as the default, 40 seconds.
        {35, 2500, "", "0"},
        {35, 2500, "", "soon"},
        {35, 2500, "", "-30"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.elapsed);
        settings = platform::MemoryProfile();
        SetUp();
        if (c.optTime) settings.WriteString("Settings", "100 - Hero - OptTime", c.optTime);
        for (int i = 1; i <= 2600; ++i) {
            auto hand = std::make_unique<CHandPokerStars>("Hero");
            hand->handNumber = static_cast<std::uint64_t>(i);
            hand->dateTime =
                1'262'304'000 + static_cast<std::int64_t>(i) * 3600;  // hourly from 2010-01-01
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
        EXPECT_EQ(analyzer->OldestHandCutoff(),
                  c.expected != 0 ? c.expected : clock.UnixSeconds() - 94'608'000);
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
    void Refresh(const CTableRecord& record, CardSource source, TableSizeWarning warning) override {
        if (source == CardSource::kHistory) {
            history.push_back(record.Pocket());
        } else {
            screen.push_back(warning);
        }
    }
    std::vector<std::string> history;
    std::vector<TableSizeWarning> screen;
};

TEST_F(AnalyzerTest, TableRecordFollowsHandsAndScreen) {
    auto body =
        std::string(kBlinds) +
        "Dealt to Hero [Ah Kd]\nHero: calls $1\nP4: folds\nP5: folds\nP6: folds\nP7: folds\n"
        "Btn: folds\nSb: folds\nBb: checks\n*** FLOP *** [2c 7d 9h]\nBb: bets $1\nHero: folds\n";
    std::string text =
        testing_hands::HandText(7001, MakeTable(), body, {{"Bb", "collected ($2.50)"}});
    auto hand = testing_hands::Parse(text);
    ASSERT_TRUE(hand);
    CTableRecord& record = analyzer->UpdateTable(*hand);
    RecordingCalculator calculator;
    record.AttachCalculator(&calculator);
    EXPECT_EQ(record.Street(), 1);
    EXPECT_EQ(record.PlayerCount(), 2);
    // Hero against the big blind: one opponent, not two.
    EXPECT_EQ(record.OpponentCount(), 1);
    EXPECT_EQ(record.Pocket(), "[Ah,Kd]");
    EXPECT_EQ(record.LastHandTime(), hand->dateTime);
    EXPECT_EQ(record.SeatNames().size(), 10U);
    // The same hand and street again: nothing changes.
    analyzer->UpdateTable(*hand);
    EXPECT_TRUE(calculator.history.empty());
    // Screen cards: a change of pocket cards or a warning refreshes.
    constexpr auto kNone = TableSizeWarning::kNone;
    constexpr auto kWrongSize = TableSizeWarning::kWrongSize;
    std::vector<int> cards = {0, 1, -1, -1, -1, -1, -1};
    EXPECT_TRUE(analyzer->UpdateTableFromScreen(record, cards, 0, 3, kNone));
    EXPECT_TRUE(analyzer->UpdateTableFromScreen(record, cards, 0, 3, kNone));
    EXPECT_TRUE(analyzer->UpdateTableFromScreen(record, cards, 0, 3, kWrongSize));
    EXPECT_EQ(calculator.screen, (std::vector<TableSizeWarning>{kNone, kWrongSize}));
    // The reader's count already leaves the user out.
    EXPECT_EQ(record.OpponentCount(), 3);
    std::vector<int> shortArray = {0, 1};
    EXPECT_FALSE(analyzer->UpdateTableFromScreen(record, shortArray, 1, 3, kWrongSize));
    EXPECT_EQ(analyzer->TablesSince(0), std::vector<std::string>{"Test Table"});
    // A calculator that goes away unlinks only itself.
    RecordingCalculator successor;
    record.AttachCalculator(&successor);
    record.DetachCalculator(&calculator);
    EXPECT_EQ(record.Calculator(), &successor);
    record.DetachCalculator(&successor);
    EXPECT_EQ(record.Calculator(), nullptr);
}

// Records what each page request carried: the keys of its records, "-" for
// none, and whether their alerts were analysed ("*").
class FakePages : public IAnalysisPages {
  public:
    explicit FakePages(CHandAnalyzer& a) : analyzer(a) {}
    static std::string Keys(std::span<const CPlayerStats* const> records) {
        std::string keys;
        for (const CPlayerStats* record : records) {
            if (!keys.empty()) keys += ",";
            keys += record == nullptr ? "-" : record->Key() + (record->AlertsAnalysed() ? "*" : "");
        }
        return keys;
    }
    std::string WriteHandPage(const HandPageRequest& request) override {
        // A page request made while the analyzer is busy finds the lock free
        // on this thread.
        analyzer.FindHand(request.hand.handNumber);
        handRecords.push_back(Keys(request.records));
        return request.outputFolder + "/Hand " + std::to_string(request.hand.handNumber) + ".htm";
    }
    void WritePlayerReport(const PlayerReportRequest& request) override {
        reports.push_back(request.record != nullptr
                              ? request.record->Key() + " " + request.outputFolder
                              : "unknown " + std::string(request.playerKey));
    }
    std::string WriteTablePage(const TablePageRequest& request) override {
        tables.push_back(request.table.TableName() + "|" + std::string(request.tag) + "|" +
                         Keys(request.seatRecords) + "|" +
                         (request.userRecord != nullptr ? request.userRecord->Key() : "-"));
        return tablePath;
    }
    CHandAnalyzer& analyzer;
    std::vector<std::string> reports, handRecords, tables;
    std::string tablePath = "/tmp/Table.htm";
};

TEST_F(AnalyzerTest, PagesAndNestedRequestsDuringProcess) {
    FakePages pages(*analyzer);
    platform::RecordingDesktop desktop;
    analyzer->SetPages(&pages);
    analyzer->SetDesktop(&desktop);
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
    // Positions 0..7 are Btn, Sb, Bb, P3 ... P7; 8 and 9 are empty.
    EXPECT_EQ(pages.handRecords.back(), "Btn*,Sb*,Bb*,P3*,P4*,P5*,P6*,P7*,-,-");
    EXPECT_TRUE(desktop.MessageBoxes().empty());
    EXPECT_EQ(analyzer->ShowHand(9999), "");
    ASSERT_EQ(desktop.MessageBoxes().size(), 1U);
    EXPECT_EQ(desktop.MessageBoxes()[0].text, "Hand Not Found");
    EXPECT_EQ(desktop.MessageBoxes()[0].caption, "Seatwatch");
    EXPECT_TRUE(analyzer->ShowPlayerReport("P3", nullptr));
    EXPECT_TRUE(analyzer->ShowPlayerReport("Ghost", nullptr));
    EXPECT_EQ(pages.reports, (std::vector<std::string>{"P3 /tmp", "unknown Ghost"}));
}

TEST_F(AnalyzerTest, TablePageRequestCarriesTheSeatsAndKeepsThePath) {
    FakePages pages(*analyzer);
    analyzer->SetPages(&pages);
    struct Case {
        const char* game;
        const char* expected;  // table | tag | seat records | user record
    };
    const Case cases[] = {
        {"Hold'em Limit ($1/$2 USD)", "Test Table||Btn*,Sb*,Bb*,P3*,P4*,P5*,P6*,P7*,-,-|Hero"},
        {"Hold'em No Limit ($1/$2 USD)",
         "Test Table| (NL)|Btn (NL)*,Sb (NL)*,Bb (NL)*,P3 (NL)*,P4 (NL)*,P5 (NL)*,P6 (NL)*,"
         "P7 (NL)*,-,-|Hero (NL)"},
    };
    std::uint64_t number = 8100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.game);
        testing_hands::Table table = MakeTable(0);
        table.game = c.game;
        const CHand* hand = Add(++number, table, FoldAround(0), {{"P3", "collected ($2.50)"}});
        ASSERT_NE(hand, nullptr);
        analyzer->Process(true);
        CTableRecord& record = analyzer->UpdateTable(*hand);
        EXPECT_EQ(analyzer->WriteTablePage("Test Table"), "/tmp/Table.htm");
        EXPECT_EQ(pages.tables.back(), c.expected);
        EXPECT_EQ(record.PageText(), "/tmp/Table.htm");
    }
    // An unknown table asks for nothing; a page not written keeps the old path.
    const std::size_t asked = pages.tables.size();
    EXPECT_EQ(analyzer->WriteTablePage("No Such Table"), "");
    EXPECT_EQ(pages.tables.size(), asked);
    pages.tablePath.clear();
    EXPECT_EQ(analyzer->WriteTablePage("Test Table"), "");
    EXPECT_EQ(analyzer->FindTable("Test Table")->PageText(), "/tmp/Table.htm");
}

}  // namespace
