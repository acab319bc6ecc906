#pragma once
// CPokerRoomProfileInterPoker: the profile of the InterPoker family, whose
// clients write one hand per file. The family's log consolidation mode is off
// in this system, so the consolidation operations do nothing.

#include "rooms/poker_room_profile.h"

class CPokerRoomProfileInterPoker : public CPokerRoomProfile {
  public:
    // Table window 806 x 832. `now` (seconds since 1970) is the construction
    // time; it names the session file ("%02d%02d%02d.txt", local hour,
    // minute, second).
    CPokerRoomProfileInterPoker(int roomId, bool realMoney, std::string logFolder,
                                std::string nickname, std::int64_t now);

    // True: each file holds one hand.
    bool OneHandPerFile() const override;
    // The hand parser also receives the file path (the family writes the
    // table name into it).
    std::unique_ptr<CHand> CreateHand(const std::string& nickname,
                                      const std::string& filePath) const override;
    // Copies consolidatedFolder.
    void GetConsolidatedFolder(std::string& folder) const override;
    // 0: consolidation is off.
    int PrepareLogs() override;
    // Nothing: consolidation is off.
    void RefreshLogs(std::string_view folder) override;
    // Nothing: consolidation is off. Leaves `found` false and `newest` unchanged.
    void CollectNewLogs(std::string_view folder, bool& found, std::int64_t& newest);

    std::int32_t roomIdValue = 0;
    bool realMoney = false;
    bool oneHandPerFile = true;
    std::string logFolder;
    std::string consolidatedFolder;
    std::string nickname;
    std::int64_t lastReadTime = 0;
    std::string sessionFileName;
    std::string consolidationIniPath;
    bool consolidationEnabled = false;
    // The user's name as the family's hands reveal it, shared by every hand
    // this profile creates.
    std::shared_ptr<std::string> learnedHero = std::make_shared<std::string>();
};
