// The histories of tests/data/faults/ read by the room parsers: each case is
// a fault once seen on real client files.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "hands/eastern_time.h"
#include "hands/hand_full_tilt.h"
#include "hands/hand_party_poker.h"
#include "hands/hand_poker_stars.h"
#include "hands/header_time.h"
#include "tests/hands/fault_histories.h"

namespace {

using Make = std::function<std::unique_ptr<CHand>()>;

Make FullTilt(const std::string& hero) {
    return [hero] { return std::make_unique<CHandFullTilt>(hero); };
}
Make PokerStars(const std::string& hero) {
    return [hero] { return std::make_unique<CHandPokerStars>(hero); };
}

TEST(RoomFaults, CancelledHandIsRejectedAloneAndTheNextIsRead) {
    struct Case {
        const char* file;
        Make make;
        std::uint64_t next;  // the hand after the cancelled one
    };
    const Case cases[] = {
        {"fulltilt/cancelled_hand.txt", FullTilt("Hero"), 21000000011},
        {"pokerstars/cancelled_hand.txt", PokerStars("Hero"), 27000000002},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        auto reads = faulttest::ReadAll(faulttest::History(c.file), c.make);
        ASSERT_EQ(reads.size(), 2u);
        EXPECT_EQ(reads[0].result, CHand::kParseRejected);
        EXPECT_EQ(reads[0].reason, "hand cancelled before the cards were dealt");
        EXPECT_TRUE(reads[1].complete) << reads[1].result << " " << reads[1].reason;
        EXPECT_EQ(reads[1].hand->handNumber, c.next);
        EXPECT_EQ(faulttest::Balance(*reads[1].hand), 0);
    }
}

TEST(RoomFaults, CardsShownOpenlyAndSingly) {
    struct Case {
        const char* file;
        Make make;
        const char* villain;       // qualified name
        const char* villainCards;  // his hole cards afterwards
        const char* heroCards;
    };
    const Case cases[] = {
        // A second "Dealt to" line, for the other player of a heads-up game.
        {"fulltilt/second_dealt_to.txt", FullTilt("Hero"), "Villain (T-NL)", "[7h,7c]", "[As,Kd]"},
        {"pokerstars/second_dealt_to.txt", PokerStars("Hero"), "Villain (T-NL)", "[7h,7c]",
         "[As,Kd]"},
        // One card shown.
        {"fulltilt/single_card_shown.txt", FullTilt("Hero"), "Villain (NL)", "[Qc]", "[Kh,Qd]"},
        {"pokerstars/single_card_shown.txt", PokerStars("Hero"), "Villain (NL)", "[Qc]", "[Kh,Qd]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        auto reads = faulttest::ReadAll(faulttest::History(c.file), c.make);
        ASSERT_EQ(reads.size(), 1u);
        ASSERT_TRUE(reads[0].complete) << reads[0].result << " " << reads[0].reason;
        const CHand& hand = *reads[0].hand;
        int villain = hand.PositionOf(c.villain);
        ASSERT_GE(villain, 0);
        EXPECT_EQ(hand.holeCards[villain], c.villainCards);
        EXPECT_EQ(hand.heroCards, c.heroCards);
        EXPECT_EQ(faulttest::Balance(hand), 0);
    }
}

TEST(RoomFaults, ShowLineCutByTheEndOfTheText) {
    // "Seat 2: Hero (big blind) showed [Kh " with no more text: the line
    // holds no whole cards and leaves the hero's own ones. A hand whose text
    // ends inside a line is never complete, even when nothing more will come.
    struct Case {
        const char* file;
        Make make;
    };
    const Case cases[] = {
        {"fulltilt/cut_in_showed_line.txt", FullTilt("Hero")},
        {"pokerstars/cut_in_showed_line.txt", PokerStars("Hero")},
    };
    for (const Case& c : cases) {
        for (TextEnd end : {TextEnd::kMayGrow, TextEnd::kComplete}) {
            SCOPED_TRACE(std::string(c.file) + (end == TextEnd::kComplete ? ", final" : ""));
            auto reads = faulttest::ReadAll(faulttest::History(c.file), c.make, end);
            ASSERT_EQ(reads.size(), 1u);
            EXPECT_FALSE(reads[0].complete) << reads[0].result;
            EXPECT_EQ(reads[0].result, CHand::kEndBeforeBlankLine);
            const CHand& hand = *reads[0].hand;
            int hero = hand.PositionOf("Hero (NL)");
            ASSERT_GE(hero, 0);
            EXPECT_EQ(hand.holeCards[hero], "[Kh,Qd]");
        }
    }
    // The same hand with its last line whole is complete.
    std::string whole = faulttest::History("pokerstars/cut_in_showed_line.txt") + "Qd] and lost";
    auto reads = faulttest::ReadAll(whole, PokerStars("Hero"), TextEnd::kComplete);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_TRUE(reads[0].complete) << reads[0].result << " " << reads[0].reason;
    EXPECT_EQ(faulttest::Balance(*reads[0].hand), 0);
}

TEST(RoomFaults, LineEndsAndEncodingsOfEveryClient) {
    // Each file holds the hands of another file of the folder in another
    // form: the same hands must come out.
    struct Case {
        const char* file;
        const char* sameAs;
        Make make;
    };
    const Case cases[] = {
        {"reader/cr_only_pokerstars.txt", "pokerstars/cancelled_hand.txt", PokerStars("Hero")},
        {"reader/nul_after_line_end_party.txt", "party/names_with_blanks.txt",
         [] { return std::make_unique<CHandPartyPoker>("Hero"); }},
        {"reader/utf16le_without_bom_fulltilt.txt", "fulltilt/cancelled_hand.txt",
         FullTilt("Hero")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        auto reads = faulttest::ReadAll(faulttest::History(c.file), c.make);
        auto expected = faulttest::ReadAll(faulttest::History(c.sameAs), c.make);
        ASSERT_EQ(reads.size(), expected.size());
        ASSERT_FALSE(reads.empty());
        for (std::size_t i = 0; i < reads.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(reads[i].result, expected[i].result);
            EXPECT_EQ(reads[i].reason, expected[i].reason);
            EXPECT_EQ(reads[i].complete, expected[i].complete);
            EXPECT_EQ(reads[i].hand->handNumber, expected[i].hand->handNumber);
            EXPECT_EQ(reads[i].hand->won, expected[i].hand->won);
            EXPECT_EQ(reads[i].hand->invested, expected[i].hand->invested);
        }
        EXPECT_TRUE(reads.back().complete || reads.back().result != CHand::kParseOk);
    }
}

TEST(RoomFaults, EasternTimeIsNewYorkTimeAndNamedOffsetsAreFixed) {
    // Plain "ET" follows New York's daylight saving of the hand's date; EST
    // and EDT written as such keep their fixed offsets.
    EXPECT_EQ(hands::ZoneOffsetSeconds("EST"), -5 * 3600);
    EXPECT_EQ(hands::ZoneOffsetSeconds("EDT"), -4 * 3600);
    EXPECT_EQ(hands::ZoneOffsetSeconds("ET"), std::nullopt);
    const CWallClock july{2010, 7, 21, 15, 13, 0};
    const std::int64_t wall = hands::ZonedToUtc(july, 0);
    EXPECT_EQ(EasternToUtc(july) - wall, 4 * 3600);
    struct Case {
        const char* header;
        std::int64_t hoursBehind;
    };
    const Case cases[] = {
        {"Full Tilt Poker Game #2: Table Flash - $0.02/$0.05 - No Limit Hold'em - 15:13 ET - "
         "Wed, July 21, 2010",
         4},
        {"Full Tilt Poker Game #2: Table Flash - $0.02/$0.05 - No Limit Hold'em - 15:13 EST - "
         "Wed, July 21, 2010",
         5},
        {"Full Tilt Poker Game #2: Table Flash - $0.02/$0.05 - No Limit Hold'em - 15:13 EDT - "
         "Wed, July 21, 2010",
         4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        std::string text = std::string(c.header) +
                           "\nSeat 1: Hero ($2)\nSeat 2: Villain ($2)\nHero posts the small "
                           "blind of $0.02\nVillain posts the big blind of $0.05\n"
                           "The button is in seat #1\n*** HOLE CARDS ***\n";
        auto reads = faulttest::ReadAll(text, FullTilt("Hero"));
        ASSERT_EQ(reads.size(), 1u);
        EXPECT_EQ(reads[0].hand->dateTime - wall, c.hoursBehind * 3600) << reads[0].reason;
    }
}

}  // namespace
