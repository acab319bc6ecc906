#pragma once
// CPokerRoomProfileFullTilt: the profile of the Full Tilt room; play-money files carry " Play " in
// their names.

#include "rooms/poker_room_profile.h"

class CPokerRoomProfileFullTilt : public CPokerRoomProfile {
  public:
    // Table window 800 x 579.
    CPokerRoomProfileFullTilt();
    // True when the path contains " Play ".
    bool IsPlayMoneyLog(std::string_view path) const override;
    // True when the path does not contain " Play ".
    bool IsRealMoneyLog(std::string_view path) const override;
    std::unique_ptr<CHand> CreateHand(const std::string& nickname,
                                      const std::string& filePath) const override;
};
