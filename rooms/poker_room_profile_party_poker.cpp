#include "rooms/poker_room_profile_party_poker.h"

#include "hands/hand_party_poker.h"

CPokerRoomProfilePartyPoker::CPokerRoomProfilePartyPoker(int roomId, bool realMoney, int timeZone)
    : CPokerRoomProfile(roomId), realMoney(realMoney ? 1 : 0), timeZone(timeZone) {
    tableWidth = 796;
    tableHeight = 583;
}

bool CPokerRoomProfilePartyPoker::SkipsStaleFolders() const { return realMoney != 0; }

void CPokerRoomProfilePartyPoker::GetLogExtension(std::string& extension) const {
    extension = realMoney != 0 ? "" : ".hhf";
}

std::unique_ptr<CHand> CPokerRoomProfilePartyPoker::CreateHand(const std::string& nickname,
                                                               const std::string&) const {
    return std::make_unique<CHandPartyPoker>(nickname, timeZone);
}
