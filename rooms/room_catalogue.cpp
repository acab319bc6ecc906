#include "rooms/room_catalogue.h"

#include <array>

namespace rooms {

namespace {

using platform::RegRoot;
constexpr RegRoot kLm = RegRoot::kLocalMachine;
constexpr RegRoot kCu = RegRoot::kCurrentUser;

constexpr std::array<RoomInfo, 22> kRooms{{
    {100, "TruePoker", kLm, "SOFTWARE\\TruePoker", "c:\\Program Files\\TruePoker",
     RoomFamily::kTruePoker, "\\TruePoker_Setup.htm"},
    {101, "Party Poker", kCu, "SOFTWARE\\PartyGaming\\PartyPoker",
     "C:\\Program Files\\PartyGaming\\PartyPoker", RoomFamily::kPartyPoker,
     "\\Party_Poker_Setup.htm"},
    {102, "Empire Poker", kCu, "SOFTWARE\\EmpirePokerMaster\\EmpirePoker",
     "C:\\Program Files\\EmpirePokerMaster\\EmpirePoker", RoomFamily::kPartyPoker,
     "\\Empire_Poker_Setup.htm"},
    {103, "Multi Poker", kCu, "SOFTWARE\\MultiPoker", "c:\\Program Files\\MultiPoker",
     RoomFamily::kPartyPoker, "\\Multibet_Poker_Setup.htm"},
    {104, "Intertops Poker", kCu, "SOFTWARE\\IntertopsPoker", "c:\\Program Files\\Intertops Poker",
     RoomFamily::kPartyPoker, "\\Intertops_Poker_Setup.htm"},
    {105, "Poker Now", kCu, "SOFTWARE\\PokerNow", "c:\\Program Files\\PokerNow",
     RoomFamily::kPartyPoker, "\\PokerNow_Poker_Setup.htm"},
    {106, "Eurobet", kCu, "SOFTWARE\\CEPoker", "c:\\Program Files\\CoralEurobetPoker",
     RoomFamily::kNone, "\\Eurobet_Poker_Setup.htm"},
    {107, "ProCappers", kLm, "SOFTWARE\\Procappers", "c:\\Program Files\\ProCappers",
     RoomFamily::kTruePoker, "\\ProCappers_Setup.htm"},
    {108, "InterPoker", kLm, "SOFTWARE\\InterCasinoPoker", "c:\\Program Files\\InterPoker",
     RoomFamily::kInterPoker, "\\InterPoker_Setup.htm"},
    {109, "Betfair Poker", kLm, "SOFTWARE\\BetfairPoker", "c:\\Program Files\\Betfair Poker",
     RoomFamily::kInterPoker, "\\BetFair_setup.htm"},
    {110, "William Hill Poker", kLm, "SOFTWARE\\WilliamHillPokerXP",
     "c:\\Program Files\\William Hill Poker 2004", RoomFamily::kInterPoker,
     "\\williamhillpoker_setup.htm"},
    {111, "Littlewoods Poker", kLm, "SOFTWARE\\LittlewoodsPoker",
     "c:\\Program Files\\Littlewoods Poker", RoomFamily::kInterPoker, "\\littlewoods_setup.htm"},
    {112, "Poker Fun Club", kLm, "SOFTWARE\\PokerFunClub", "c:\\Program Files\\PokerFunClub",
     RoomFamily::kTruePoker, "\\PokerFunClub_Setup.htm"},
    {113, "PokerStars", kLm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PokerStars",
     "C:\\Program Files\\PokerStars", RoomFamily::kPokerStars, "\\PokerStars_Setup.htm"},
    {114, "Full Tilt Poker", kCu, "SOFTWARE\\Full Tilt Poker\\LastHand",
     "C:\\Program Files\\Full Tilt Poker", RoomFamily::kFullTilt, "\\FullTilt_Setup.htm"},
    {115, "Caribbean Sun Poker", kLm, "SOFTWARE\\CaribbeanSunPoker",
     "c:\\Program Files\\Caribbean Sun Poker", RoomFamily::kInterPoker,
     "\\caribbeansunpoker_setup.htm"},
    {116, "PokerPlex", kLm, "SOFTWARE\\PokerPlex", "c:\\Program Files\\PokerPlex",
     RoomFamily::kInterPoker, "\\pokerplex_setup.htm"},
    {117, "Ritz Club London Poker", kLm, "SOFTWARE\\RitzClubPoker",
     "c:\\Program Files\\Ritz Club London Poker", RoomFamily::kInterPoker,
     "\\ritzclublondonpoker_setup.htm"},
    {118, "ukbetting poker", kLm, "SOFTWARE\\ukbettingpoker", "c:\\Program Files\\ukBetting Poker",
     RoomFamily::kInterPoker, "\\ukbettingpoker_setup.htm"},
    {119, "total bet poker", kLm, "SOFTWARE\\totalbetpoker", "c:\\Program Files\\TotalBet Poker",
     RoomFamily::kInterPoker, "\\totalbetpoker_setup.htm"},
    {120, "Score Poker", kLm, "SOFTWARE\\Score Poker", "c:\\Program Files\\Score Poker",
     RoomFamily::kTruePoker, "\\scorepoker_setup.htm"},
    {121, "Absolute Poker", kLm, "SOFTWARE\\Innoco\\Casino\\absolute\\common",
     "c:\\Program Files\\Absolute Poker", RoomFamily::kAbsolutePoker, "\\absolute_setup.htm"},
}};

}  // namespace

std::span<const RoomInfo> Rooms() { return kRooms; }

const RoomInfo* FindRoom(std::string_view name) {
    for (const RoomInfo& room : kRooms) {
        if (room.name == name) return &room;
    }
    return nullptr;
}

const RoomInfo* FindRoom(int id) {
    if (id < kFirstRoomId || id > kLastRoomId) return nullptr;
    return &kRooms[static_cast<std::size_t>(id - kFirstRoomId)];
}

bool IsPartyPokerLike(const RoomInfo& room) {
    return room.family == RoomFamily::kPartyPoker || room.id == kEurobetId;
}

}  // namespace rooms
