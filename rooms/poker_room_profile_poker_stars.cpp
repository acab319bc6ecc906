#include "rooms/poker_room_profile_poker_stars.h"

#include "hands/hand_poker_stars.h"

CPokerRoomProfilePokerStars::CPokerRoomProfilePokerStars() : CPokerRoomProfile(113) {
    tableWidth = 800;
    tableHeight = 580;
}

bool CPokerRoomProfilePokerStars::IsPlayMoneyLog(std::string_view path) const {
    return path.find("Play Money") != std::string_view::npos;
}

bool CPokerRoomProfilePokerStars::IsRealMoneyLog(std::string_view path) const {
    return !IsPlayMoneyLog(path);
}

std::unique_ptr<CHand> CPokerRoomProfilePokerStars::CreateHand(const std::string& nickname,
                                                               const std::string&) const {
    return std::make_unique<CHandPokerStars>(nickname);
}
