#pragma once
// CPokerRoomProfilePartyPoker: the profile of the PartyPoker family; play money is written to
// ".hhf" files.

#include "rooms/poker_room_profile.h"

class CPokerRoomProfilePartyPoker : public CPokerRoomProfile {
  public:
    // Table window 796 x 583; `realMoney` is the session's money mode and
    // `timeZone` the "Config"/"TimeZone" setting for the family's hand times
    // (-100: the computer's own).
    CPokerRoomProfilePartyPoker(int roomId, bool realMoney, int timeZone = -100);
    // True in a real-money session only.
    bool SkipsStaleFolders() const override;
    // Empty in a real-money session, ".hhf" in a play-money one.
    void GetLogExtension(std::string& extension) const override;
    std::unique_ptr<CHand> CreateHand(const std::string& nickname,
                                      const std::string& filePath) const override;

    std::int32_t realMoney = 0;
    int timeZone = -100;
};
