#include "analysis/hand_reference.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/memory_profile.h"

namespace {

const CHandReference& Ref() {
    static const CHandReference reference;
    return reference;
}

TEST(HandReference, ClassOfTexts) {
    struct Case {
        const char* text;
        const char* name;  // display name, or "" for no class
        int rank;
    };
    const Case cases[] = {
        {"[Kd,Ah]", "AKo", 10}, {"[Kd, Ah]", "AKo", 10}, {"[9s,Ts]", "T9s", 17}, {"[7c,7d]", "77", 25},
        {"", "XX", 170},        {"AA", "AA", 1},         {"AAo", "AA", 1},       {"72o", "72o", 169},
        {"32s", "32s", 76},     {"XX", "XX", 170},       {"KAo", "", -1},        {"AAs", "", -1},
        {"akS", "", -1},        {"[Zz,Ah]", "", -1},     {"[Ah,Kd", "", -1},     {"[Ah,Kd,Qs]", "", -1},
        {"AK", "AKo", 10},      {"[2h,2d]", "22", 61},  {"[2h,2h]", "", -1},   {"[tc,9c]", "T9s", 17},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Ref().RankOf(c.text), c.rank);
        EXPECT_EQ(Ref().NameOf(Ref().RankOf(c.text)), c.name);
    }
}

TEST(HandReference, ClassesAgreeWithAnIndependentCount) {
    // Every two-card combination of a 52-card deck falls in exactly one of
    // the 169 classes: 6 per pair, 4 per suited and 12 per offsuit class.
    const char* ranks = "23456789TJQKA";
    const char* suits = "cdhs";
    std::map<int, int> combos;
    for (int a = 0; a < 52; ++a) {
        for (int b = a + 1; b < 52; ++b) {
            std::string text = std::string("[") + ranks[a / 4] + suits[a % 4] + "," + ranks[b / 4] + suits[b % 4] + "]";
            int index = Ref().ClassOf(text);
            ASSERT_GE(index, 0) << text;
            ++combos[index];
        }
    }
    ASSERT_EQ(combos.size(), 169U);
    int groups[10] = {};
    int premium = 0;
    for (int i = 0; i < 169; ++i) {
        const CHandClass& c = Ref().Class(i);
        SCOPED_TRACE(c.Name());
        EXPECT_EQ(c.rank, i + 1);
        EXPECT_EQ(combos[i], c.IsPair() ? 6 : c.suited ? 4 : 12);
        EXPECT_EQ(Ref().ClassOf(c.Name()), i);
        ++groups[c.group];
        if (c.premium) ++premium;
    }
    EXPECT_EQ(premium, 23);
    const int expectedGroups[10] = {0, 5, 5, 6, 8, 18, 10, 18, 15, 84};
    for (int g = 1; g <= 9; ++g) EXPECT_EQ(groups[g], expectedGroups[g]) << "group " << g;
    EXPECT_EQ(Ref().Class(169).group, 9);
    EXPECT_EQ(Ref().Class(0).value, 31.1F);
    EXPECT_EQ(Ref().Class(168).value, 4.8F);
}

TEST(HandReference, KeyListOrder) {
    const auto& keys = Ref().Keys();
    ASSERT_EQ(keys.size(), 169U);
    EXPECT_EQ(keys[0], "AA");
    EXPECT_EQ(keys[1], "AKs");
    EXPECT_EQ(keys[2], "AKo");
    EXPECT_EQ(keys[24], "A2o");
    EXPECT_EQ(keys[25], "KK");
    EXPECT_EQ(keys[167], "32o");
    EXPECT_EQ(keys[168], "22");
    std::set<int> ranks;
    for (const auto& k : keys) ranks.insert(Ref().RankOf(k));
    EXPECT_EQ(ranks.size(), 169U);
}

TEST(HandReference, FixedSets) {
    struct Case {
        const char* name;
        bool acesKings, premiumTen, smallPair, raising;
    };
    const Case cases[] = {
        {"AA", true, true, false, true},    {"KK", true, true, false, true},   {"TT", false, true, false, true},
        {"AQo", false, true, false, true},  {"KQs", false, false, false, true}, {"99", false, false, true, true},
        {"22", false, false, true, false},  {"AJo", false, false, false, true}, {"ATs", false, false, false, true},
        {"KQo", false, false, false, false}, {"72o", false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int index = Ref().ClassOf(c.name);
        EXPECT_EQ(CHandReference::IsAcesOrKings(index), c.acesKings);
        EXPECT_EQ(CHandReference::IsPremiumTen(index), c.premiumTen);
        EXPECT_EQ(CHandReference::IsSmallPair(index), c.smallPair);
        EXPECT_EQ(CHandReference::IsRaisingClass(index), c.raising);
    }
}

TEST(HandReference, RangesReadOnlyTheValueOne) {
    platform::MemoryProfile ini(
        "[StealRaiseHands]\nAA=1\nKK=2\nAKs=1\n[stealraisehands - short handed]\nqq=1\n"
        "[SmallBlindCall]\n72o=1\n[MiddlePositionHands - NotFirstIn]\nK9o=1\n");
    CHandReference reference;
    reference.LoadRanges(ini);
    struct Case {
        CHandReference::Range range;
        const char* name;
        bool inside;
    };
    using R = CHandReference::Range;
    const Case cases[] = {
        {R::kStealRaise, "AA", true},       {R::kStealRaise, "KK", false},     {R::kStealRaise, "AKs", true},
        {R::kStealRaise, "QQ", false},      {R::kStealRaiseShortHanded, "QQ", true},
        {R::kSmallBlindCall, "72o", true},  {R::kSmallBlindCallShortHanded, "72o", false},
        {R::kMiddleNotFirstIn, "K9o", true}, {R::kMiddleFirstIn, "K9o", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(CHandReference::SectionName(c.range)) + " " + c.name);
        EXPECT_EQ(reference.InRange(c.range, Ref().RankOf(c.name)), c.inside);
    }
    EXPECT_TRUE(reference.IsStealRaiseHand(1, false));
    EXPECT_TRUE(reference.IsStealRaiseHand(3, true));
    EXPECT_TRUE(reference.IsMiddlePositionHand(Ref().RankOf("K9o"), false));
    EXPECT_FALSE(reference.InRange(R::kStealRaise, 170));
    EXPECT_FALSE(reference.InRange(R::kStealRaise, 0));
}

TEST(HandReference, MissingFileLeavesEveryRangeEmpty) {
    CHandReference reference;
    EXPECT_FALSE(reference.LoadRanges("/nonexistent/Alerts.ini"));
    for (int r = 0; r < CHandReference::kRangeCount; ++r) {
        for (int rank = 1; rank <= 169; ++rank) EXPECT_FALSE(reference.InRange(static_cast<CHandReference::Range>(r), rank));
    }
}

TEST(HandReference, ShippedAlertsIniIsComplete) {
    std::string path = std::string(SEATWATCH_SOURCE_DIR) + "/assets/Alerts.ini";
    CHandReference reference;
    ASSERT_TRUE(reference.LoadRanges(path));
    for (int r = 0; r < CHandReference::kRangeCount; ++r) {
        auto range = static_cast<CHandReference::Range>(r);
        SCOPED_TRACE(CHandReference::SectionName(range));
        EXPECT_TRUE(reference.InRange(range, 1));     // AA everywhere
        EXPECT_FALSE(reference.InRange(range, 169));  // 72o nowhere
    }
    // Later positions and short tables take wider ranges.
    auto count = [&](CHandReference::Range range) {
        int n = 0;
        for (int rank = 1; rank <= 169; ++rank) n += reference.InRange(range, rank) ? 1 : 0;
        return n;
    };
    using R = CHandReference::Range;
    EXPECT_LT(count(R::kEarlyNotFirstIn), count(R::kEarlyFirstIn));
    EXPECT_LT(count(R::kEarlyFirstIn), count(R::kMiddleFirstIn));
    EXPECT_LT(count(R::kMiddleFirstIn), count(R::kLateFirstIn));
    EXPECT_LT(count(R::kStealRaise), count(R::kStealRaiseShortHanded));
}

TEST(HandReference, PositionClasses) {
    using P = PositionClass;
    struct Case {
        int players;
        std::vector<P> byOrder;
    };
    const Case cases[] = {
        {6, {P::kShortHanded, P::kShortHanded, P::kShortHanded, P::kShortHanded, P::kShortHanded, P::kShortHanded}},
        {7, {P::kLate, P::kSmallBlind, P::kBigBlind, P::kEarly, P::kEarly, P::kEarly, P::kLate}},
        {8, {P::kLate, P::kSmallBlind, P::kBigBlind, P::kEarly, P::kEarly, P::kEarly, P::kMiddle, P::kLate}},
        {10, {P::kLate, P::kSmallBlind, P::kBigBlind, P::kEarly, P::kEarly, P::kEarly, P::kMiddle, P::kMiddle,
              P::kMiddle, P::kLate}},
    };
    for (const Case& c : cases) {
        for (std::size_t d = 0; d < c.byOrder.size(); ++d) {
            SCOPED_TRACE("players " + std::to_string(c.players) + " order " + std::to_string(d));
            EXPECT_EQ(CHandReference::PositionClassOf(c.players, static_cast<int>(d)), c.byOrder[d]);
        }
    }
}

}  // namespace
