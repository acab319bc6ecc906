#include "rooms/poker_room_profile_full_tilt.h"

#include "hands/hand_full_tilt.h"

CPokerRoomProfileFullTilt::CPokerRoomProfileFullTilt() : CPokerRoomProfile(114) {
    tableWidth = 800;
    tableHeight = 579;
}

bool CPokerRoomProfileFullTilt::IsPlayMoneyLog(std::string_view path) const {
    return path.find(" Play ") != std::string_view::npos;
}

bool CPokerRoomProfileFullTilt::IsRealMoneyLog(std::string_view path) const {
    return !IsPlayMoneyLog(path);
}

std::unique_ptr<CHand> CPokerRoomProfileFullTilt::CreateHand(const std::string& nickname,
                                                             const std::string&) const {
    return std::make_unique<CHandFullTilt>(nickname);
}
