#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hands/hand.h"
#include "hands/parse_error.h"

namespace {

// A hand filled by hand: the tests drive AddAction and the queries directly.
class CTestHand : public CHand {
public:
    explicit CTestHand(int kind = 2, bool money = true) : CHand("Hero") {
        gameKind = kind;
        realMoney = money;
    }
    int Parse(CStdioFileCustom&) override { return 0; }
    std::string_view RoomName() const override { return "test"; }
    // Seats `names` (index = seat - 1, empty = empty seat) with the button
    // on `button`.
    void Seat(const std::vector<std::string>& names, int button) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i].empty()) continue;
            int position = (static_cast<int>(i) + 1 - button + 10) % 10;
            positionOfName.Set(QualifyName(names[i]), position);
        }
    }
    using CHand::ApplyExtraPosts;
    using CHand::RecordCollected;
};

TEST(HandTest, QualifiedNames) {
    struct Case {
        int gameKind;
        bool realMoney;
        const char* qualified;
        NameCategory category;
    };
    const Case cases[] = {
        {1, true, "Bob", NameCategory::kLimit},
        {2, true, "Bob (NL)", NameCategory::kNoLimit},
        {3, true, "Bob (T-L)", NameCategory::kTournamentLimit},
        {4, true, "Bob (T-NL)", NameCategory::kTournamentNoLimit},
        {1, false, "Bob (PM)", NameCategory::kPlayMoney},
        {4, false, "Bob (PM)", NameCategory::kPlayMoney},
    };
    for (const Case& c : cases) {
        CTestHand hand(c.gameKind, c.realMoney);
        std::string name = hand.QualifyName("  Bob ");
        EXPECT_EQ(name, c.qualified) << "game kind " << c.gameKind << " real " << c.realMoney;
        auto [base, category] = CHand::SplitQualifiedName(name);
        EXPECT_EQ(base, "Bob") << name;
        EXPECT_EQ(category, c.category) << name;
    }
    CTestHand unknown(0);
    EXPECT_THROW(unknown.QualifyName("Bob"), CParseError);

    // An empty name (a view without storage, as a missing name is read)
    // is just the tag; the name may also be read from the target itself.
    CTestHand noLimit(2, true);
    std::string out = "old";
    noLimit.QualifyNameInto(std::string_view(), out);
    EXPECT_EQ(out, " (NL)");
    out = "  Bob ";
    noLimit.QualifyNameInto(out, out);
    EXPECT_EQ(out, "Bob (NL)");
}

TEST(HandTest, NameMapFindsJoinedNamesAsWhole) {
    // Names that share lengths and the bytes the look-up key is made of, so
    // that only the full comparison tells them apart.
    CNameMap map;
    const std::vector<std::string> names = {"ab (NL)", "ax (NL)", "abc (NL)", "a (NL) (NL)", "Bob", " (NL)", "",
                                            "verylongscreenname1 (NL)", "sixteen bytes ab", "eight by"};
    for (std::size_t i = 0; i < names.size(); ++i) map.Set(names[i], static_cast<std::int32_t>(i));
    for (std::string probe : {"ab (NL)", "ax (NL)", "ay (NL)", "abc (NL)", "a (NL) (NL)", "Bob", "Bo", " (NL)", "",
                              "ab (T-L)", "verylongscreenname1 (NL)", "verylongscreenXame1 (NL)", "verylongscreenname1 (NX)",
                              "sixteen bytes ab", "sixteen bYtes ab", "eight by", "eighT by"}) {
        const std::int32_t* whole = map.Find(probe);
        // Every split of the probe into a head and a tail finds what the whole
        // probe finds.
        for (std::size_t cut = 0; cut <= probe.size(); ++cut) {
            const std::int32_t* joined = map.FindJoined(std::string_view(probe).substr(0, cut),
                                                        std::string_view(probe).substr(cut));
            ASSERT_EQ(joined == nullptr, whole == nullptr) << probe << " cut at " << cut;
            if (whole != nullptr) {
                EXPECT_EQ(*joined, *whole) << probe << " cut at " << cut;
            }
        }
    }
}

TEST(HandTest, PositionsWithEmptySeats) {
    // Six players at a ten-seat table, button in seat 5.
    CTestHand hand(1);
    hand.Seat({"s1", "s2", "s3", "s4", "s5", "s6"}, 5);
    const std::pair<const char*, int> expected[] = {{"s5", 0}, {"s6", 1}, {"s1", 6}, {"s2", 7}, {"s3", 8}, {"s4", 9}};
    for (auto [name, position] : expected) EXPECT_EQ(hand.PositionOf(name), position) << name;
    EXPECT_FALSE(hand.NameAtPosition(3).first);

    CTestHand ten(1);
    ten.Seat({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}, 10);
    EXPECT_EQ(ten.PositionOf("j"), 0);
    EXPECT_EQ(ten.PositionOf("a"), 1);
    EXPECT_EQ(ten.PositionOf("i"), 9);
}

TEST(HandTest, PositionOfPlacesLatePlayers) {
    CTestHand hand(1);
    hand.Seat({"a", "", "c", "", "", "", "", "", "", ""}, 1);  // a = 0, c = 2
    EXPECT_EQ(hand.PositionOf("late", "a"), -1);
    EXPECT_EQ(hand.PositionOf("late"), 1);
    // Unknown previous actor: position 1, which is taken now.
    EXPECT_THROW(hand.PositionOf("other", "nobody"), CParseError);
    // Next to c is free.
    EXPECT_EQ(hand.PositionOf("third", "c"), -1);
    EXPECT_EQ(hand.PositionOf("third"), 3);
    // No previous actor: nothing is entered.
    EXPECT_EQ(hand.PositionOf("ghost", ""), -1);
    EXPECT_EQ(hand.PositionOf("ghost"), -1);

    CTestHand last(1);
    last.Seat({"a", "", "", "", "", "", "", "", "", "z"}, 1);  // z = position 9
    EXPECT_EQ(last.PositionOf("late", "z"), -1);
    EXPECT_EQ(last.PositionOf("late"), -1);  // position 10 does not exist
}

TEST(HandTest, BlindsAndLimits) {
    CTestHand hand(1);
    hand.Seat({"a", "b", "c"}, 1);
    hand.AddAction(0, kActionSmallBlind, "b", 50);
    hand.AddAction(0, kActionBigBlind, "c", 100);
    EXPECT_EQ(hand.smallBlind, 50);
    EXPECT_EQ(hand.bigBlind, 100);
    EXPECT_EQ(hand.lowLimit, 100);
    EXPECT_EQ(hand.highLimit, 200);
    // A second big blind changes neither bigBlind nor lowLimit.
    hand.AddAction(0, kActionBigBlind, "a", 300);
    EXPECT_EQ(hand.bigBlind, 100);
    EXPECT_EQ(hand.lowLimit, 100);
    EXPECT_EQ(hand.highLimit, 200);
    EXPECT_EQ(hand.streetTotal[0], 450);
    EXPECT_TRUE(hand.PostedBlind(1));
    EXPECT_TRUE(hand.PostedBlind(2));
    EXPECT_FALSE(hand.PostedBlind(5));
    EXPECT_THROW(hand.AddAction(0, kActionCall, "nobody", 100), CParseError);
}

TEST(HandTest, RaisesCallsAndFirstIn) {
    struct Step {
        int street;
        int kind;
        const char* name;
        std::int32_t amount;
        bool raiseTo;
        CAction expected;
    };
    const Step steps[] = {
        {0, kActionBigBlind, "c", 100, false, CAction(kActionBigBlind, false, 100, false)},
        {0, kActionFold, "a", 0, false, CAction(kActionFold, false, 0, false)},
        {0, kActionCall, "b", 100, false, CAction(kActionCall, true, 100, false)},
        {0, kActionRaise, "c", 300, true, CAction(kActionRaise, false, 200, false)},  // raise to 300 after 100
        {0, kActionCall, "b", 200, false, CAction(kActionCall, false, 200, true)},
        {1, kActionCheck, "c", 0, false, CAction(kActionCheck, false, 0, false)},
        {1, kActionCall, "b", 50, false, CAction(kActionCall, true, 50, true)},  // raise was on an earlier street
        {1, kActionBet, "c", 400, false, CAction(kActionBet, false, 400, false)},
        {1, kActionReraise, "b", 800, false, CAction(kActionReraise, false, 800, false)},
    };
    CTestHand hand(2);
    hand.Seat({"a", "b", "c"}, 1);
    int street = 0;
    for (const Step& step : steps) {
        if (step.street != street) {
            hand.BeginStreet();
            street = step.street;
        }
        int position = hand.PositionOf(hand.QualifyName(step.name));
        hand.AddAction(step.street, step.kind, hand.QualifyName(step.name), step.amount, step.raiseTo);
        auto list = hand.Actions(position, step.street);
        ASSERT_FALSE(list.empty());
        EXPECT_EQ(list.back(), step.expected) << step.name << " kind " << step.kind << " street " << step.street;
    }
    EXPECT_EQ(hand.invested[2], 100 + 200 + 400);
    EXPECT_EQ(hand.invested[1], 100 + 200 + 50 + 800);
    EXPECT_EQ(hand.streetInvested[1][1], 850);
    EXPECT_EQ(hand.lastBetSize, 800);
    EXPECT_TRUE(hand.RaisedPreflop(2));
    EXPECT_FALSE(hand.RaisedPreflop(1));

    CTestHand calm(2);
    calm.Seat({"a", "b"}, 1);
    calm.AddAction(0, kActionCall, calm.QualifyName("a"), 100);
    EXPECT_FALSE(calm.Actions(0, 0).back().callsRaise);
}

TEST(HandTest, RiverShowdownFlags) {
    CTestHand hand(1);
    hand.Seat({"a", "b"}, 1);
    hand.AddAction(3, kActionBet, "a", 100);
    EXPECT_TRUE(hand.acted[0][CHand::kShowdown]);
    hand.AddAction(3, kActionFold, "a", 0);
    EXPECT_FALSE(hand.acted[0][CHand::kShowdown]);
    hand.AddAction(3, kActionCall, "b", 100);
    hand.RecordCollected("b", 190);
    EXPECT_TRUE(hand.wonAtShowdown[1]);
    EXPECT_TRUE(hand.collected[1]);
    EXPECT_TRUE(hand.potAwarded);
    hand.RecordCollected("stranger", 10);  // ignored
    EXPECT_EQ(hand.TotalWon(), 190);
    EXPECT_EQ(hand.Rake(), 10);
    EXPECT_EQ(hand.WinnerCount(), 1);
}

TEST(HandTest, ExtraPostsAddUpAndCountPlayers) {
    CTestHand hand(4);
    hand.Seat({"a", "b", "c"}, 1);
    std::string a = hand.QualifyName("a");
    std::string c = hand.QualifyName("c");
    hand.AddAction(0, kActionOtherPost, a, 1000);  // ante
    hand.AddAction(0, kActionOtherPost, a, 5000);  // and a dead blind
    hand.AddAction(0, kActionOtherPost, c, 1000);
    hand.AddAction(0, kActionBigBlind, c, 10000);
    EXPECT_EQ(hand.GetPlayerCount(), 1);
    hand.playerCount = -1;
    hand.ApplyExtraPosts();
    EXPECT_EQ(hand.invested[0], 6000);
    EXPECT_EQ(hand.streetInvested[2][0], 11000);
    EXPECT_EQ(hand.streetTotal[0], 17000);
    EXPECT_EQ(hand.GetPlayerCount(), 2);  // the ante-only player takes part
    EXPECT_TRUE(hand.HasExtraPost(0));
    EXPECT_FALSE(hand.HasExtraPost(1));
    EXPECT_EQ(hand.OrdinalPosition(c), 1);
    EXPECT_EQ(hand.OrdinalPosition("nobody"), 2);

    CTestHand stranger(4);
    stranger.Seat({"a"}, 1);
    stranger.AddAction(0, kActionOtherPost, "ghost (T-NL)", 100);
    EXPECT_THROW(stranger.ApplyExtraPosts(), CParseError);
}

TEST(HandTest, DeriveUncalledBet) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, std::int32_t>> bets;  // position, amount on the turn
        std::int32_t reported;                         // already in returned of the top bettor
        int top;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"single bettor", {{1, 400}}, 0, 1, 400},
        {"bet and smaller all-in call", {{1, 400}, {2, 250}}, 0, 1, 150},
        {"called in full", {{1, 400}, {2, 400}}, 0, 1, 0},
        {"equal amounts keep the lower position", {{2, 400}, {1, 400}}, 0, 1, 0},
        {"reported value stays", {{1, 400}}, 123, 1, 123},
    };
    for (const Case& c : cases) {
        CTestHand hand(2);
        hand.Seat({"a", "b", "c"}, 1);
        for (auto [position, amount] : c.bets) {
            hand.AddAction(2, kActionBet, std::string(hand.NameAtPosition(position).second), amount);
        }
        hand.returned[static_cast<std::size_t>(c.top)][2] = c.reported;
        hand.potAwarded = true;
        hand.DeriveUncalledBet();
        EXPECT_EQ(hand.returned[static_cast<std::size_t>(c.top)][2], c.expected) << c.what;
    }
    CTestHand notAwarded(2);
    notAwarded.Seat({"a", "b"}, 1);
    notAwarded.AddAction(0, kActionBet, "a (NL)", 300);
    notAwarded.DeriveUncalledBet();
    EXPECT_EQ(notAwarded.returned[0][0], 0);
}

TEST(HandTest, MoneyTotalsDoNotWrap) {
    CTestHand hand(2);
    hand.Seat({"a", "b"}, 1);
    hand.AddAction(0, kActionBet, "a (NL)", 2'000'000'000);
    EXPECT_THROW(hand.AddAction(0, kActionCall, "a (NL)", 2'000'000'000), CParseError);
}

TEST(HandTest, NamesByPositionAndWinners) {
    CTestHand hand(1);
    hand.Seat({"a", "", "c"}, 1);
    std::vector<std::string> names = {"stale"};
    hand.NamesByPosition(names, true);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "", "c", "", "", "", "", "", "", ""}));
    hand.NamesByPosition(names, false);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "c"}));
    hand.RecordCollected("c", 100);
    hand.holeCards[2] = "[Ah,Kd]";
    std::vector<std::string> winners;
    hand.WinnerNames(winners);
    EXPECT_EQ(winners, std::vector<std::string>{"c"});
    int renders = 0;
    auto render = [&](std::string_view cards) {
        ++renders;
        return "<" + std::string(cards) + ">";
    };
    EXPECT_EQ(hand.WinnerCardsHtml(render), "<[Ah,Kd]>");
    EXPECT_EQ(hand.WinnerCardsHtml(render), "<[Ah,Kd]>");
    EXPECT_EQ(renders, 1);
}

}  // namespace
