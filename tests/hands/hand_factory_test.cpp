#include "hands/hand_factory.h"

#include <gtest/gtest.h>

namespace {

TEST(HandFactory, FamiliesAndCodes) {
    struct Case {
        const char* room;
        const char* family;  // RoomName of the parser, empty for none
    };
    const Case cases[] = {
        {"fulltilt", "Full Tilt"}, {"Full-Tilt", "Full Tilt"}, {"party", "PartyPoker"},   {"absolute", "Absolute"},
        {"InterPoker", "InterPoker"}, {"true_poker", "TruePoker"}, {"114", "Full Tilt"}, {"101", "PartyPoker"},
        {"105", "PartyPoker"},     {"108", "InterPoker"},     {"119", "InterPoker"},     {"100", "TruePoker"},
        {"120", "TruePoker"},      {"121", "Absolute"},       {"113", "PokerStars"},     {"106", ""},
        {"99", ""},                {"nosuchroom", ""},        {"99999999999999999999999", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.room);
        auto hand = CreateHandParser(c.room, "Hero");
        if (std::string(c.family).empty()) {
            EXPECT_EQ(hand, nullptr);
        } else {
            ASSERT_NE(hand, nullptr);
            EXPECT_EQ(hand->RoomName(), c.family);
        }
    }
}

}  // namespace
