#include "analysis/time_series.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "tests/analysis/analyzer_fixture.h"

namespace {

// Applies `keys` (amount = place in the list) and checks the series against
// a map, where the last set of a key wins, after every step that reads.
void CheckAgainstMap(const std::vector<std::int64_t>& keys, const std::string& label) {
    SCOPED_TRACE(label);
    CTimeSeries series;
    std::map<std::int64_t, std::int32_t> want;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        series.Set(keys[i], static_cast<std::int32_t>(i));
        want[keys[i]] = static_cast<std::int32_t>(i);
        // Reading now and then settles part way, as a page could.
        if (i % 5 == 4) {
            const std::int32_t* found = series.Find(keys[i]);
            ASSERT_NE(found, nullptr);
            EXPECT_EQ(*found, static_cast<std::int32_t>(i));
        }
    }
    std::vector<CTimeSeries::Entry> expected(want.begin(), want.end());
    EXPECT_EQ(series.Entries(), expected);
    EXPECT_EQ(series.Size(), expected.size());
}

TEST(TimeSeries, OutOfOrderSetsGiveTheSortedSeries) {
    struct Case {
        const char* label;
        std::vector<std::int64_t> keys;
    };
    const Case cases[] = {
        {"in order", {1, 2, 3, 4}},
        {"descending", {9, 8, 7, 6, 5, 4, 3, 2, 1}},
        {"newest set again", {1, 5, 5, 5}},
        {"older key twice, then the newest again", {10, 20, 5, 5, 20, 5}},
        {"two runs, as two files read one after the other", {10, 11, 12, 13, 1, 2, 3, 14, 4, 12}},
        {"waiting key equal to a listed one", {1, 2, 3, 2, 1, 3, 3}},
        {"negative keys", {0, -5, -1, -5, 7}},
    };
    for (const Case& c : cases) CheckAgainstMap(c.keys, c.label);

    std::mt19937 rng(5);
    std::uniform_int_distribution<std::int64_t> key(0, 60);
    for (int round = 0; round < 20; ++round) {
        std::vector<std::int64_t> keys(200);
        for (auto& k : keys) k = key(rng);
        CheckAgainstMap(keys, "random round " + std::to_string(round));
    }
}

TEST(TimeSeries, MergeAndCopyRead) {
    CTimeSeries session;
    session.Set(30, 3);
    session.Set(10, 1);  // waits
    CTimeSeries copy = session;
    EXPECT_EQ(copy.Entries(), (std::vector<CTimeSeries::Entry>{{10, 1}, {30, 3}}));
    CTimeSeries all;
    all.Set(20, 2);
    all.Set(10, 9);
    all.Merge(session);
    EXPECT_EQ(all.Entries(), (std::vector<CTimeSeries::Entry>{{10, 1}, {20, 2}, {30, 3}}));
    all.Clear();
    EXPECT_TRUE(all.Empty());
}

// Hands of one player read newest first (as when a history's files are read
// in an order other than time order) end up in key order, in the hand list
// and the series alike, also when read across several folds.
TEST_F(AnalyzerTest, HandsFoldedOutOfTimeOrderAreListedInOrder) {
    // Two folds of twenty hands, the first newest first, the second
    // bringing hands dated between those of the first.
    std::vector<std::vector<std::string>> folds(2);
    for (int minute = 39; minute >= 1; minute -= 2) folds[0].push_back((minute < 10 ? "0" : "") + std::to_string(minute));
    for (int minute = 0; minute <= 38; minute += 2) folds[1].push_back((minute < 10 ? "0" : "") + std::to_string(minute));
    auto body = std::string(kBlinds) + "P3: raises $1 to $2\nP4: folds\nP5: folds\nP6: folds\nP7: folds\nBtn: folds\n"
                                       "Sb: folds\nBb: folds\nUncalled bet ($1) returned to P3\n";
    std::uint64_t number = 9100;
    for (const auto& minutes : folds) {
        for (const std::string& minute : minutes) {
            testing_hands::Table table = MakeTable(0);
            table.time = "2010/08/19 21:" + minute + ":00";
            Add(number++, table, body, {{"P3", "collected ($2.50)"}});
        }
        analyzer->Process(false);
    }
    const CPlayerStats* p3 = analyzer->FindPlayer("P3");
    ASSERT_NE(p3, nullptr);
    EXPECT_FALSE(p3->Unsettled());
    const auto& hands = p3->PlayerHands();
    ASSERT_EQ(hands.size(), 40U);
    for (std::size_t i = 1; i < hands.size(); ++i) {
        EXPECT_LT(CHandKey::Of(*hands[i - 1]), CHandKey::Of(*hands[i])) << "place " << i;
    }
    const auto& entries = p3->AllTimeSeries().Entries();
    ASSERT_EQ(entries.size(), 40U);
    for (std::size_t i = 1; i < entries.size(); ++i) EXPECT_EQ(entries[i].first - entries[i - 1].first, 60) << i;
    EXPECT_EQ(p3->FindPlayerHand(CHandKey::Of(*hands[3])), hands[3]);
}

}  // namespace
