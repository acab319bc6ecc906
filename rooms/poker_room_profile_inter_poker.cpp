#include "rooms/poker_room_profile_inter_poker.h"

#include <cstdio>

#include "hands/hand_inter_poker.h"
#include "platform/local_time.h"

CPokerRoomProfileInterPoker::CPokerRoomProfileInterPoker(int roomId, bool realMoney,
                                                         std::string logFolder,
                                                         std::string nickname, std::int64_t now)
    : CPokerRoomProfile(roomId),
      roomIdValue(roomId),
      realMoney(realMoney),
      logFolder(logFolder),
      consolidatedFolder(std::move(logFolder)),
      nickname(std::move(nickname)),
      lastReadTime(now) {
    tableWidth = 806;
    tableHeight = 832;
    const auto local = platform::ToLocal(now).value_or(platform::LocalDateTime{});
    char name[32];
    std::snprintf(name, sizeof name, "%02d%02d%02d.txt", local.hour, local.minute, local.second);
    sessionFileName = name;
}

bool CPokerRoomProfileInterPoker::OneHandPerFile() const { return oneHandPerFile; }

std::unique_ptr<CHand> CPokerRoomProfileInterPoker::CreateHand(const std::string& nickname,
                                                               const std::string& filePath) const {
    return std::make_unique<CHandInterPoker>(nickname, filePath, learnedHero);
}

void CPokerRoomProfileInterPoker::GetConsolidatedFolder(std::string& folder) const {
    folder = consolidatedFolder;
}
int CPokerRoomProfileInterPoker::PrepareLogs() { return 0; }
void CPokerRoomProfileInterPoker::RefreshLogs(std::string_view) {}
void CPokerRoomProfileInterPoker::CollectNewLogs(std::string_view, bool& found, std::int64_t&) {
    found = false;
}
