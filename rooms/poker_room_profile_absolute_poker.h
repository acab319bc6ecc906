#pragma once
// CPokerRoomProfileAbsolutePoker: the profile of the Absolute Poker room; its test files ("_test"
// in the path) are ignored.

#include "rooms/poker_room_profile.h"

class CPokerRoomProfileAbsolutePoker : public CPokerRoomProfile {
  public:
    // Table window 800 x 600; hands before 1 March 2006 (local time) are dropped.
    CPokerRoomProfileAbsolutePoker();
    // True when the full path contains "_test".
    bool IsIgnoredLog(std::string_view path) const override;
    std::unique_ptr<CHand> CreateHand(const std::string& nickname,
                                      const std::string& filePath) const override;
};
