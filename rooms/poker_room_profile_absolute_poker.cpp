#include "rooms/poker_room_profile_absolute_poker.h"

#include "hands/hand_absolute_poker.h"

CPokerRoomProfileAbsolutePoker::CPokerRoomProfileAbsolutePoker() : CPokerRoomProfile(121) {
    tableWidth = 800;
    tableHeight = 600;
    SetEarliestHandDate(2006, 3, 1);
}

bool CPokerRoomProfileAbsolutePoker::IsIgnoredLog(std::string_view path) const {
    return path.find("_test") != std::string_view::npos;
}

std::unique_ptr<CHand> CPokerRoomProfileAbsolutePoker::CreateHand(const std::string& nickname,
                                                                  const std::string&) const {
    return std::make_unique<CHandAbsolutePoker>(nickname);
}
