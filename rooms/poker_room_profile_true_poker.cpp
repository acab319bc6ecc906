#include "rooms/poker_room_profile_true_poker.h"

#include "hands/hand_true_poker.h"

CPokerRoomProfileTruePoker::CPokerRoomProfileTruePoker(int roomId) : CPokerRoomProfile(roomId) {
    tableWidth = 646;
    tableHeight = 458;
}

bool CPokerRoomProfileTruePoker::SkipsStaleFolders() const { return false; }

std::unique_ptr<CHand> CPokerRoomProfileTruePoker::CreateHand(const std::string& nickname,
                                                              const std::string&) const {
    return std::make_unique<CHandTruePoker>(nickname);
}
