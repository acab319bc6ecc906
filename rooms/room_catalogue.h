#pragma once
// The fixed catalogue of supported poker rooms: identifier, display name,
// how an installed client is recognised and where it usually lives. Display
// names are the keys by which settings and the room selection refer to a
// room; they are compared exactly.

#include <span>
#include <string_view>

#include "hands/room_family.h"
#include "platform/registry.h"

namespace rooms {

// The profile family that reads a room's hand histories (kNone for Eurobet,
// listed but never detected and without a profile).
using ::RoomFamily;

// One room of the catalogue.
struct RoomInfo {
    int id;                                 // 100 to 121
    std::string_view name;                  // display name, exact
    platform::RegRoot root;                 // root of the detection key
    std::string_view detectionKey;          // key whose presence means the client is installed
    std::string_view defaultInstallFolder;  // Windows path
    RoomFamily family;                      // FamilyOfRoom(id)
    std::string_view setupPage;             // help page in the program folder, with its leading "\"
};

using ::kFirstRoomId;
using ::kLastRoomId;
inline constexpr int kEurobetId = 106;
inline constexpr int kPokerStarsId = 113;
// The setup page shown when no room is selected.
inline constexpr std::string_view kGenericSetupPage = "\\Generic_Setup.htm";

// All 22 rooms in identifier order.
std::span<const RoomInfo> Rooms();
// The room with this display name (exact comparison), or nullptr.
const RoomInfo* FindRoom(std::string_view name);
// The room with this display name compared without regard to case and
// blanks ("pokerstars" finds "PokerStars"), or nullptr.
const RoomInfo* FindRoomLoosely(std::string_view name);
// The room with this identifier, or nullptr.
const RoomInfo* FindRoom(int id);
// The room's family; also true for Eurobet, which reads like the PartyPoker
// family for folder and deck questions though it has no profile.
bool IsPartyPokerLike(const RoomInfo& room);

}  // namespace rooms
