#include "rooms/poker_room_profile.h"

#include <stdexcept>

#include "hands/room_family.h"
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
    return ::KeepsOldFilesWatched(FamilyOfRoom(roomId));
}

std::unique_ptr<CPokerRoomProfile> CreateRoomProfile(int roomId,
                                                     const RoomProfileOptions& options) {
    const bool real = options.money == MoneyMode::kReal;
    switch (FamilyOfRoom(roomId)) {
        case RoomFamily::kTruePoker:
            return std::make_unique<CPokerRoomProfileTruePoker>(roomId);
        case RoomFamily::kPartyPoker:
            return std::make_unique<CPokerRoomProfilePartyPoker>(roomId, real,
                                                                 options.partyTimeZone);
        case RoomFamily::kInterPoker:
            return std::make_unique<CPokerRoomProfileInterPoker>(roomId, real, options.logFolder,
                                                                 options.nickname, options.now);
        case RoomFamily::kPokerStars:
            return std::make_unique<CPokerRoomProfilePokerStars>();
        case RoomFamily::kFullTilt:
            return std::make_unique<CPokerRoomProfileFullTilt>();
        case RoomFamily::kAbsolutePoker:
            return std::make_unique<CPokerRoomProfileAbsolutePoker>();
        case RoomFamily::kNone:
            break;
    }
    return nullptr;
}
