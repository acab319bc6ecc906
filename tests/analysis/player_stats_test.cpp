#include "analysis/player_stats.h"

#include "tests/analysis/analyzer_fixture.h"

namespace {

using S = CPlayerStats;

// One hand that exercises most counters: Hero raises, P4 re-raises, the big
// blind calls, Hero raises again; the big blind check-raises the flop, Hero
// folds the flop, P4 checks the turn and raises the river (two streets: no
// check-raise) and wins at showdown.
const char* kBigHand =
    "Hero: raises $1 to $2\nP4: raises $1 to $3\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\nSb: folds\n"
    "Bb: calls $2\nHero: raises $1 to $4\nP4: calls $1\nBb: calls $1\n"
    "*** FLOP *** [2c 7d 9h]\nBb: checks\nHero: checks\nP4: bets $1\nBb: raises $1 to $2\nHero: folds\nP4: calls $1\n"
    "*** TURN *** [2c 7d 9h] [Js]\nBb: checks\nP4: checks\n"
    "*** RIVER *** [2c 7d 9h Js] [Qd]\nBb: bets $2\nP4: raises $2 to $4\nBb: calls $2\n"
    "*** SHOW DOWN ***\nP4: shows [Ac As] (a pair of Aces)\nBb: shows [Kc Ks] (a pair of Kings)\n"
    "P4 collected $24.50 from pot\n";

TEST_F(AnalyzerTest, CountersOfOneHand) {
    Add(1001, MakeTable(), std::string(kBlinds) + "Dealt to Hero [Ah Kd]\n" + kBigHand,
        {{"P4", "showed [Ac As] and won ($24.50)"}, {"Bb", "showed [Kc Ks] and lost"}});
    analyzer->Process(false);
    struct Case {
        const char* player;
        int counter;
        std::int64_t value;
    };
    const Case cases[] = {
        {"Hero", S::kVoluntaryPut, 1}, {"Hero", S::kPreflopRaised, 1}, {"Hero", S::kRaises, 1},
        {"Hero", S::kReRaises, 1},     {"Hero", S::kFoldedFlop, 1},    {"Hero", S::kCheckRaised, 0},
        {"Hero", S::kPFRKnown, 1},     {"Hero", S::kPFRPremium, 1},    {"Hero", S::kPFRAcesKings, 0},
        {"Hero", S::kInvested, 400},   {"Hero", S::kCollected, 0},     {"Hero", S::kEarlyHands, 1},
        {"Hero", S::kEarlyPlayed, 1},  {"Hero", S::kSawFlop, 1},       {"Hero", S::kSawTurn, 0},
        {"Bb", S::kVoluntaryPut, 1},   {"Bb", S::kCheckRaised, 1},     {"Bb", S::kPreflopRaised, 0},
        {"Bb", S::kInvested, 1000},    {"Bb", S::kSawRiver, 1},        {"Bb", S::kEarlyHands, 0},
        // A re-raise preflop is a preflop raise.
        {"P4", S::kPreflopRaised, 1},  {"P4", S::kCheckRaised, 0},     {"P4", S::kWonHands, 1},
        {"P4", S::kCollected, 2450},   {"P4", S::kPFRAcesKings, 1},    {"P4", S::kActions, 6},
        // Posting the small blind and folding is not putting money in voluntarily.
        {"Sb", S::kVoluntaryPut, 0},   {"Sb", S::kFoldedPreflop, 1},   {"Sb", S::kFolds, 1},
        {"Btn", S::kVoluntaryPut, 0},  {"Btn", S::kFoldedPreflop, 1},  {"Btn", S::kActions, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.player) + " counter " + std::to_string(c.counter));
        EXPECT_EQ(C(c.player, c.counter), c.value);
    }
    EXPECT_EQ(analyzer->FindPlayer("Hero")->Hands(), 1);
}

TEST_F(AnalyzerTest, BlindsAndVoluntaryMoney) {
    struct Case {
        const char* name;
        const char* body;
        const char* player;
        std::int64_t vpip;
    };
    const Case cases[] = {
        {"big blind checks", "P3: calls $1\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\nSb: folds\nBb: checks\n",
         "Bb", 0},
        {"big blind raises", "P3: calls $1\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\nSb: folds\n"
                             "Bb: raises $1 to $2\nP3: calls $1\n", "Bb", 1},
        {"small blind completes", "P3: folds\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\nSb: calls $0.50\n"
                                  "Bb: checks\n", "Sb", 1},
        {"small blind folds", "P3: raises $1 to $2\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\nSb: folds\n"
                              "Bb: folds\n", "Sb", 0},
        {"caller", "P3: calls $1\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\nSb: folds\nBb: checks\n",
         "P3", 1},
    };
    std::uint64_t number = 2000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        std::string body = std::string(kBlinds) + c.body;
        // End every hand with a river between the two players left.
        Add(++number, MakeTable(0), body + "*** FLOP *** [2c 7d 9h]\n*** TURN *** [2c 7d 9h] [Js]\n"
                                         "*** RIVER *** [2c 7d 9h Js] [Qd]\n",
            {{c.player, "collected ($2)"}});
        analyzer->Process(false);
        EXPECT_EQ(C(c.player, S::kVoluntaryPut), c.vpip);
    }
}

TEST_F(AnalyzerTest, NetResultCreditsReturnedBets) {
    Add(3001, MakeTable(),
        std::string(kBlinds) + "Dealt to Hero [9h 9d]\nHero: raises $1 to $2\nP4: folds\nP5: folds\nP6: folds\nP7: folds\n"
                               "Btn: folds\nSb: folds\nBb: folds\nUncalled bet ($1) returned to Hero\nHero collected $2.50 from pot\n",
        {{"Hero", "collected ($2.50)"}});
    analyzer->Process(false);
    EXPECT_EQ(C("Hero", S::kInvested), 100);
    EXPECT_EQ(C("Hero", S::kCollected), 250);
    EXPECT_EQ(analyzer->FindPlayer("Hero")->MoneyWon(), 150);
    EXPECT_EQ(C("Bb", S::kInvested), 100);
    // The net results go to the all-time series at start-up.
    const CTimeSeries& series = analyzer->FindPlayer("Hero")->AllTimeSeries();
    ASSERT_EQ(series.Size(), 1U);
    EXPECT_EQ(series.Entries()[0].second, 150);
    EXPECT_TRUE(analyzer->FindPlayer("Hero")->SessionSeries().Empty());
}

TEST_F(AnalyzerTest, SessionSeriesAndEndSession) {
    auto fold = std::string(kBlinds) + "Hero: raises $1 to $2\nP4: folds\nP5: folds\nP6: folds\nP7: folds\n"
                                       "Btn: folds\nSb: folds\nBb: folds\nUncalled bet ($1) returned to Hero\n";
    Add(4001, MakeTable(), fold, {{"Hero", "collected ($2.50)"}});
    analyzer->Process(false);
    testing_hands::Table later = MakeTable();
    later.time = "2010/08/19 21:05:00";
    Add(4002, later, fold, {{"Hero", "collected ($2.50)"}});
    analyzer->Process(true);
    CPlayerStats* hero = analyzer->FindPlayer("Hero");
    EXPECT_EQ(hero->AllTimeSeries().Size(), 1U);
    EXPECT_EQ(hero->SessionSeries().Size(), 1U);
    EXPECT_EQ(hero->Counter(S::kSessionCollected), 250);
    EXPECT_EQ(analyzer->GetSeries("Hero", true).Size(), 1U);
    analyzer->EndSession();
    EXPECT_EQ(hero->AllTimeSeries().Size(), 2U);
    EXPECT_TRUE(hero->SessionSeries().Empty());
    EXPECT_EQ(hero->Counter(S::kSessionCollected), 0);
    EXPECT_EQ(hero->Counter(S::kCollected), 500);
    EXPECT_TRUE(analyzer->GetSeries("Nobody", false).Empty());
}

TEST_F(AnalyzerTest, ReplayedHandIsNotCountedTwice) {
    auto body = std::string(kBlinds) + "P3: calls $1\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\nSb: folds\n"
                                       "Bb: checks\n*** FLOP *** [2c 7d 9h]\nBb: bets $1\nP3: folds\n";
    Add(5001, MakeTable(0), body, {{"Bb", "collected ($2.50)"}});
    analyzer->Process(false);
    std::string text = testing_hands::HandText(5001, MakeTable(0), body, {{"Bb", "collected ($2.50)"}});
    EXPECT_FALSE(analyzer->AddHand(testing_hands::Parse(text)));
    analyzer->Process(false);
    EXPECT_EQ(analyzer->FindPlayer("P3")->Hands(), 1);
    EXPECT_EQ(C("P3", S::kFoldedFlop), 1);
    EXPECT_EQ(analyzer->HandCount(), 1U);
}

}  // namespace
