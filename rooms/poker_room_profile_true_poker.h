#pragma once
// CPokerRoomProfileTruePoker: the profile of the TruePoker family (TruePoker, ProCappers, Poker Fun
// Club, Score Poker), whose old folders stay watched.

#include "rooms/poker_room_profile.h"

class CPokerRoomProfileTruePoker : public CPokerRoomProfile {
  public:
    // Table window 646 x 458.
    explicit CPokerRoomProfileTruePoker(int roomId);
    // False: the family's folders are walked whatever their age.
    bool SkipsStaleFolders() const override;
    std::unique_ptr<CHand> CreateHand(const std::string& nickname,
                                      const std::string& filePath) const override;
};
