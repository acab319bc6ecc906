#pragma once
// The room families and the one table that maps a room id (100 to 121) to
// the family whose profile and parser read its histories, with the few facts
// about a family that the layers above the parsers ask. Everything here is
// constexpr, so tables of rooms can be built from it at compile time.

#include <array>
#include <cstddef>

// The family of clients whose hand histories one profile and one parser read.
enum class RoomFamily {
    kNone,  // a listed room without a profile or parser (Eurobet), or no room at all
    kTruePoker,
    kPartyPoker,
    kInterPoker,
    kPokerStars,
    kFullTilt,
    kAbsolutePoker,
};

inline constexpr int kFirstRoomId = 100;
inline constexpr int kLastRoomId = 121;

namespace room_family_detail {

inline constexpr std::array<RoomFamily, kLastRoomId - kFirstRoomId + 1> kFamilyOfRoom{
    RoomFamily::kTruePoker,      // 100 TruePoker
    RoomFamily::kPartyPoker,     // 101 Party Poker
    RoomFamily::kPartyPoker,     // 102 Empire Poker
    RoomFamily::kPartyPoker,     // 103 Multi Poker
    RoomFamily::kPartyPoker,     // 104 Intertops Poker
    RoomFamily::kPartyPoker,     // 105 Poker Now
    RoomFamily::kNone,           // 106 Eurobet
    RoomFamily::kTruePoker,      // 107 ProCappers
    RoomFamily::kInterPoker,     // 108 InterPoker
    RoomFamily::kInterPoker,     // 109 Betfair Poker
    RoomFamily::kInterPoker,     // 110 William Hill Poker
    RoomFamily::kInterPoker,     // 111 Littlewoods Poker
    RoomFamily::kTruePoker,      // 112 Poker Fun Club
    RoomFamily::kPokerStars,     // 113 PokerStars
    RoomFamily::kFullTilt,       // 114 Full Tilt Poker
    RoomFamily::kInterPoker,     // 115 Caribbean Sun Poker
    RoomFamily::kInterPoker,     // 116 PokerPlex
    RoomFamily::kInterPoker,     // 117 Ritz Club London Poker
    RoomFamily::kInterPoker,     // 118 ukbetting poker
    RoomFamily::kInterPoker,     // 119 total bet poker
    RoomFamily::kTruePoker,      // 120 Score Poker
    RoomFamily::kAbsolutePoker,  // 121 Absolute Poker
};

}  // namespace room_family_detail

// The family of the room with this id; kNone for Eurobet (106) and for any
// number outside 100 to 121.
constexpr RoomFamily FamilyOfRoom(int roomId) {
    if (roomId < kFirstRoomId || roomId > kLastRoomId) return RoomFamily::kNone;
    return room_family_detail::kFamilyOfRoom[static_cast<std::size_t>(roomId - kFirstRoomId)];
}

// Whether the family's tables get a table calculator window: every family
// but TruePoker.
constexpr bool HasTableCalculator(RoomFamily family) {
    return family != RoomFamily::kNone && family != RoomFamily::kTruePoker;
}

// Whether the family reads slowly at start-up (InterPoker): its default
// start-up time budget, past which fewer hands are kept, is longer.
constexpr bool ReadsSlowly(RoomFamily family) { return family == RoomFamily::kInterPoker; }

// Whether the family's history files stay watched once they are older than
// three days (TruePoker).
constexpr bool KeepsOldFilesWatched(RoomFamily family) { return family == RoomFamily::kTruePoker; }
