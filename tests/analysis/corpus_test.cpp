// The real PokerStars histories: every player's statistics stay within
// their bounds, and the user's tag amounts add up to his net result.

#include <filesystem>

#include "analysis/net_result.h"
#include "tests/analysis/analyzer_fixture.h"

namespace {

namespace fs = std::filesystem;

class CorpusTest : public AnalyzerTest {
protected:
    // Reads every hand of every file; returns the user's net result over the
    // ring-game hands taken.
    std::int64_t LoadAll(const fs::path& folder, const std::string& hero) {
        std::int64_t heroNet = 0;
        for (const auto& entry : fs::directory_iterator(folder)) {
            CStdioFileCustom reader;
            if (!reader.Open(entry.path().string())) continue;
            for (int guard = 0; guard < 100000; ++guard) {
                auto hand = std::make_unique<CHandPokerStars>(hero);
                int result = hand->ReadHand(reader);
                if (result == CHand::kNoHandStart) break;
                if (result != 0 || !hand->potAwarded || analyzer->HasHand(hand->handNumber)) continue;
                int pos = hand->PositionOf(hand->QualifyName(hero));
                if (pos >= 0 && hand->acted[static_cast<std::size_t>(pos)][0] && hand->realMoney &&
                    (hand->gameKind == 1 || hand->gameKind == 2)) {
                    // A result nobody else's result answers (all of it went
                    // to the rake) cannot be shared among opponents.
                    std::int64_t net = analysis::NetResult(*hand, pos);
                    bool answered = false;
                    for (int p = 0; p < CHand::kPositions; ++p) {
                        std::int64_t other = p == pos ? 0 : analysis::NetResult(*hand, p);
                        answered = answered || (net > 0 && other < 0) || (net < 0 && other > 0);
                    }
                    if (answered) heroNet += net;
                }
                analyzer->AddHand(std::move(hand));
            }
        }
        analyzer->Process(false);
        return heroNet;
    }
};

TEST_F(CorpusTest, StatisticsStayWithinBoundsAndTagsAddUp) {
    fs::path folder = fs::path(SEATWATCH_SOURCE_DIR) / ".." / "shared" / "corpus" / "pokerstars";
    if (!fs::is_directory(folder)) GTEST_SKIP() << "no corpus at " << folder;
    const std::string hero = "Hero";
    SetUp();  // the analyzer's user is "Hero", as in most of the corpus
    std::int64_t heroNet = LoadAll(folder, hero);
    ASSERT_GT(analyzer->HandCount(), 20U);
    int checked = 0;
    for (const auto& [key, record] : analyzer->Players()) {
        if (record->Hands() == 0 || key.front() == '_') continue;
        SCOPED_TRACE(key);
        ++checked;
        const std::int64_t h = record->Hands();
        EXPECT_LE(record->Counter(CPlayerStats::kPreflopRaised), record->Counter(CPlayerStats::kVoluntaryPut));
        EXPECT_LE(record->Counter(CPlayerStats::kVoluntaryPut), h);
        std::int64_t folds = 0;
        for (int c = CPlayerStats::kFoldedPreflop; c <= CPlayerStats::kFoldedShowdown; ++c) folds += record->Counter(c);
        EXPECT_LE(folds, h);
        EXPECT_LE(record->Counter(CPlayerStats::kWonHands), h);
        for (float pct : {record->VPIP(), record->PFR(), record->FoldBeforeShowdown(), record->WinPercent(),
                          record->CheckRaisePercent(), record->EarlyPlay()}) {
            EXPECT_GE(pct, 0.0F);
            EXPECT_LE(pct, 100.0F);
        }
    }
    EXPECT_GT(checked, 10);
    double tags = 0.0;
    for (const char* tag : {"", " (NL)"}) {
        for (const auto& [opponent, entry] : analyzer->UserRecord(tag)->TagRecord().Entries()) {
            tags += entry.wonFrom - entry.lostTo;
        }
    }
    EXPECT_NEAR(tags, static_cast<double>(heroNet), 1.0);
}

TEST_F(AnalyzerTest, SplitPotTagsAddUpToTheUsersResult) {
    // Hero and P4 split the pot; Bb loses. Hero's net is what Bb lost to
    // him, not what Bb put in times a share.
    auto body = std::string(kBlinds) + "Dealt to Hero [Ah Kd]\nHero: raises $1 to $2\nP4: calls $2\nP5: folds\nP6: folds\n"
                                       "P7: folds\nBtn: folds\nSb: folds\nBb: calls $1\n*** FLOP *** [2c 7d 9h]\n"
                                       "Bb: checks\nHero: checks\nP4: checks\n";
    Add(9001, MakeTable(), body, {{"Hero", "collected ($3.20)"}, {"P4", "collected ($3.20)"}});
    analyzer->Process(false);
    const CPreditorsAndFoes& tags = analyzer->UserRecord()->TagRecord();
    ASSERT_NE(tags.Find("Bb"), nullptr);
    ASSERT_NE(tags.Find("P4"), nullptr);
    // Pot 6.50 less 0.10 rake: Hero +1.20, P4 +1.20, Bb -2, Sb -0.50.
    EXPECT_DOUBLE_EQ(tags.Find("Bb")->wonFrom, 120.0 * 200.0 / 250.0);
    EXPECT_DOUBLE_EQ(tags.Find("Sb")->wonFrom, 120.0 * 50.0 / 250.0);
    EXPECT_DOUBLE_EQ(tags.Find("P4")->wonFrom, 0.0);
    double sum = 0;
    for (const auto& [k, e] : tags.Entries()) sum += e.wonFrom - e.lostTo;
    EXPECT_DOUBLE_EQ(sum, 120.0);
    EXPECT_EQ(analyzer->UserRecord(" (NL)")->TagRecord().Entries().size(), 0U);
    // Nobody else's tag record is kept.
    EXPECT_TRUE(analyzer->FindPlayer("P4")->TagRecord().Entries().empty());
}

}  // namespace
