#pragma once
// CPokerRoomProfilePokerStars: the profile of the PokerStars room; play-money files carry "Play
// Money" in their names.

#include "rooms/poker_room_profile.h"

class CPokerRoomProfilePokerStars : public CPokerRoomProfile {
  public:
    // Table window 800 x 580.
    CPokerRoomProfilePokerStars();
    // True when the path contains "Play Money".
    bool IsPlayMoneyLog(std::string_view path) const override;
    // True when the path does not contain "Play Money".
    bool IsRealMoneyLog(std::string_view path) const override;
    std::unique_ptr<CHand> CreateHand(const std::string& nickname,
                                      const std::string& filePath) const override;
};
