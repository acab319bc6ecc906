#include "hands/room_family.h"

#include <gtest/gtest.h>

namespace {

// Every room id with its family and the facts the upper layers ask of it.
TEST(RoomFamily, EveryRoomIdWithItsFacts) {
    using F = RoomFamily;
    struct Case {
        int id;
        RoomFamily family;
        bool calculator;
        bool slow;
        bool keepsOld;
    };
    const Case cases[] = {
        {99, F::kNone, false, false, false},          {100, F::kTruePoker, false, false, true},
        {101, F::kPartyPoker, true, false, false},    {102, F::kPartyPoker, true, false, false},
        {103, F::kPartyPoker, true, false, false},    {104, F::kPartyPoker, true, false, false},
        {105, F::kPartyPoker, true, false, false},    {106, F::kNone, false, false, false},
        {107, F::kTruePoker, false, false, true},     {108, F::kInterPoker, true, true, false},
        {109, F::kInterPoker, true, true, false},     {110, F::kInterPoker, true, true, false},
        {111, F::kInterPoker, true, true, false},     {112, F::kTruePoker, false, false, true},
        {113, F::kPokerStars, true, false, false},    {114, F::kFullTilt, true, false, false},
        {115, F::kInterPoker, true, true, false},     {116, F::kInterPoker, true, true, false},
        {117, F::kInterPoker, true, true, false},     {118, F::kInterPoker, true, true, false},
        {119, F::kInterPoker, true, true, false},     {120, F::kTruePoker, false, false, true},
        {121, F::kAbsolutePoker, true, false, false}, {122, F::kNone, false, false, false},
        {-1, F::kNone, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("room " + std::to_string(c.id));
        EXPECT_EQ(FamilyOfRoom(c.id), c.family);
        EXPECT_EQ(HasTableCalculator(FamilyOfRoom(c.id)), c.calculator);
        EXPECT_EQ(ReadsSlowly(FamilyOfRoom(c.id)), c.slow);
        EXPECT_EQ(KeepsOldFilesWatched(FamilyOfRoom(c.id)), c.keepsOld);
    }
}

}  // namespace
