#include "rooms/poker_room_profile.h"

#include <stdexcept>

#include "platform/local_time.h"
#include "rooms/poker_room_profile_absolute_poker.h"
#include "rooms/poker_room_profile_full_tilt.h"
#include "rooms/poker_room_profile_inter_poker.h"
#include "rooms/poker_room_profile_party_poker.h"
#include "rooms/poker_room_profile_poker_stars.h"
#include "rooms/poker_room_profile_true_poker.h"

CPokerRoomProfile::CPokerRoomProfile(int roomId) : roomId(roomId) {
    SetEarliestHandDate(2005, 1, 1);
}

void CPokerRoomProfile::SetEarliestHandDate(int year, int month, int day) {
    const auto t = platform::FromLocal({year, month, day, 0, 0, 0});
    if (!t) throw std::invalid_argument("earliest hand date is not a valid local time");
    earliestHandDate = *t;
}

bool CPokerRoomProfile::SkipsStaleFolders() const { return true; }
bool CPokerRoomProfile::IsPlayMoneyLog(std::string_view) const { return true; }
bool CPokerRoomProfile::IsRealMoneyLog(std::string_view) const { return true; }
bool CPokerRoomProfile::OneHandPerFile() const { return false; }
void CPokerRoomProfile::GetConsolidatedFolder(std::string&) const {}
int CPokerRoomProfile::PrepareLogs() { return 1; }
void CPokerRoomProfile::RefreshLogs(std::string_view) {}
void CPokerRoomProfile::GetLogExtension(std::string& extension) const { extension.clear(); }
bool CPokerRoomProfile::IsIgnoredLog(std::string_view) const { return false; }
const std::int64_t& CPokerRoomProfile::GetEarliestHandDate() const { return earliestHandDate; }

bool CPokerRoomProfile::KeepsOldFilesWatched() const {
    return roomId == 100 || roomId == 107 || roomId == 112 || roomId == 120;
}

std::unique_ptr<CPokerRoomProfile> CreateRoomProfile(int roomId,
                                                     const RoomProfileOptions& options) {
    const bool real = options.money == MoneyMode::kReal;
    switch (roomId) {
        case 100:
        case 107:
        case 112:
        case 120:
            return std::make_unique<CPokerRoomProfileTruePoker>(roomId);
        case 101:
        case 102:
        case 103:
        case 104:
        case 105:
            return std::make_unique<CPokerRoomProfilePartyPoker>(roomId, real,
                                                                 options.partyTimeZone);
        case 108:
        case 109:
        case 110:
        case 111:
        case 115:
        case 116:
        case 117:
        case 118:
        case 119:
            return std::make_unique<CPokerRoomProfileInterPoker>(roomId, real, options.logFolder,
                                                                 options.nickname, options.now);
        case 113:
            return std::make_unique<CPokerRoomProfilePokerStars>();
        case 114:
            return std::make_unique<CPokerRoomProfileFullTilt>();
        case 121:
            return std::make_unique<CPokerRoomProfileAbsolutePoker>();
        default:
            return nullptr;
    }
}
