#include "rooms/room_catalogue.h"

#include <array>
#include <string>

#include "platform/text_util.h"

namespace rooms {

namespace {

using platform::RegRoot;
constexpr RegRoot kLm = RegRoot::kLocalMachine;
constexpr RegRoot kCu = RegRoot::kCurrentUser;

// A catalogue entry; the family comes from the one room-to-family table.
constexpr RoomInfo Room(int id, std::string_view name, RegRoot root, std::string_view detectionKey,
                        std::string_view defaultInstallFolder, std::string_view setupPage) {
    return {id, name, root, detectionKey, defaultInstallFolder, FamilyOfRoom(id), setupPage};
}

constexpr std::array<RoomInfo, 22> kRooms{{
    Room(100, "TruePoker", kLm, "SOFTWARE\\TruePoker", "c:\\Program Files\\TruePoker",
         "\\TruePoker_Setup.htm"),
    Room(101, "Party Poker", kCu, "SOFTWARE\\PartyGaming\\PartyPoker",
         "C:\\Program Files\\PartyGaming\\PartyPoker", "\\Party_Poker_Setup.htm"),
    Room(102, "Empire Poker", kCu, "SOFTWARE\\EmpirePokerMaster\\EmpirePoker",
         "C:\\Program Files\\EmpirePokerMaster\\EmpirePoker", "\\Empire_Poker_Setup.htm"),
    Room(103, "Multi Poker", kCu, "SOFTWARE\\MultiPoker", "c:\\Program Files\\MultiPoker",
         "\\Multibet_Poker_Setup.htm"),
    Room(104, "Intertops Poker", kCu, "SOFTWARE\\IntertopsPoker",
         "c:\\Program Files\\Intertops Poker", "\\Intertops_Poker_Setup.htm"),
    Room(105, "Poker Now", kCu, "SOFTWARE\\PokerNow", "c:\\Program Files\\PokerNow",
         "\\PokerNow_Poker_Setup.htm"),
    Room(106, "Eurobet", kCu, "SOFTWARE\\CEPoker", "c:\\Program Files\\CoralEurobetPoker",
         "\\Eurobet_Poker_Setup.htm"),
    Room(107, "ProCappers", kLm, "SOFTWARE\\Procappers", "c:\\Program Files\\ProCappers",
         "\\ProCappers_Setup.htm"),
    Room(108, "InterPoker", kLm, "SOFTWARE\\InterCasinoPoker", "c:\\Program Files\\InterPoker",
         "\\InterPoker_Setup.htm"),
    Room(109, "Betfair Poker", kLm, "SOFTWARE\\BetfairPoker", "c:\\Program Files\\Betfair Poker",
         "\\BetFair_setup.htm"),
    Room(110, "William Hill Poker", kLm, "SOFTWARE\\WilliamHillPokerXP",
         "c:\\Program Files\\William Hill Poker 2004", "\\williamhillpoker_setup.htm"),
    Room(111, "Littlewoods Poker", kLm, "SOFTWARE\\LittlewoodsPoker",
         "c:\\Program Files\\Littlewoods Poker", "\\littlewoods_setup.htm"),
    Room(112, "Poker Fun Club", kLm, "SOFTWARE\\PokerFunClub", "c:\\Program Files\\PokerFunClub",
         "\\PokerFunClub_Setup.htm"),
    Room(113, "PokerStars", kLm,
         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\PokerStars",
         "C:\\Program Files\\PokerStars", "\\PokerStars_Setup.htm"),
    Room(114, "Full Tilt Poker", kCu, "SOFTWARE\\Full Tilt Poker\\LastHand",
         "C:\\Program Files\\Full Tilt Poker", "\\FullTilt_Setup.htm"),
    Room(115, "Caribbean Sun Poker", kLm, "SOFTWARE\\CaribbeanSunPoker",
         "c:\\Program Files\\Caribbean Sun Poker", "\\caribbeansunpoker_setup.htm"),
    Room(116, "PokerPlex", kLm, "SOFTWARE\\PokerPlex", "c:\\Program Files\\PokerPlex",
         "\\pokerplex_setup.htm"),
    Room(117, "Ritz Club London Poker", kLm, "SOFTWARE\\RitzClubPoker",
         "c:\\Program Files\\Ritz Club London Poker", "\\ritzclublondonpoker_setup.htm"),
    Room(118, "ukbetting poker", kLm, "SOFTWARE\\ukbettingpoker",
         "c:\\Program Files\\ukBetting Poker", "\\ukbettingpoker_setup.htm"),
    Room(119, "total bet poker", kLm, "SOFTWARE\\totalbetpoker",
         "c:\\Program Files\\TotalBet Poker", "\\totalbetpoker_setup.htm"),
    Room(120, "Score Poker", kLm, "SOFTWARE\\Score Poker", "c:\\Program Files\\Score Poker",
         "\\scorepoker_setup.htm"),
    Room(121, "Absolute Poker", kLm, "SOFTWARE\\Innoco\\Casino\\absolute\\common",
         "c:\\Program Files\\Absolute Poker", "\\absolute_setup.htm"),
}};

}  // namespace

std::span<const RoomInfo> Rooms() { return kRooms; }

const RoomInfo* FindRoom(std::string_view name) {
    for (const RoomInfo& room : kRooms) {
        if (room.name == name) return &room;
    }
    return nullptr;
}

const RoomInfo* FindRoomLoosely(std::string_view name) {
    auto squeeze = [](std::string_view text) {
        std::string out;
        for (char c : text) {
            if (c != ' ') out += platform::FoldAscii(c);
        }
        return out;
    };
    const std::string wanted = squeeze(name);
    for (const RoomInfo& room : kRooms) {
        if (squeeze(room.name) == wanted) return &room;
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
