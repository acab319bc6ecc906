#pragma once
// CPokerRoomProfile: what the log reader must know about one room family —
// how its history files are named, how money type shows in their names,
// which parser reads them, and the size of the client's table window. One
// profile exists per session; CreateRoomProfile picks the class from the
// room identifier.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "hands/hand.h"

class CPokerRoomProfile {
  public:
    // Sets the earliest hand date to 1 January 2005, 00:00:00 local time.
    // Throws std::invalid_argument when that local time cannot be formed.
    explicit CPokerRoomProfile(int roomId);
    virtual ~CPokerRoomProfile() = default;
    CPokerRoomProfile(const CPokerRoomProfile&) = delete;
    CPokerRoomProfile& operator=(const CPokerRoomProfile&) = delete;

    // Whether live passes skip folders created more than 3 days ago.
    virtual bool SkipsStaleFolders() const;
    // Whether the file at path may hold play-money hands (read in play-money sessions).
    virtual bool IsPlayMoneyLog(std::string_view path) const;
    // Whether the file at path may hold real-money hands (read in real-money sessions).
    virtual bool IsRealMoneyLog(std::string_view path) const;
    // Whether each history file holds a single hand (read once, then forgotten).
    virtual bool OneHandPerFile() const;
    // A new, empty hand of the room's parser class for the user `nickname`;
    // `filePath` is the file about to be read. Null when this build has no
    // parser for the room. The caller owns the hand.
    virtual std::unique_ptr<CHand> CreateHand(const std::string& nickname,
                                              const std::string& filePath) const = 0;
    // Copies the folder consolidated logs are written to (nothing by default).
    virtual void GetConsolidatedFolder(std::string& folder) const;
    // Prepares consolidated logs; 1 by default.
    virtual int PrepareLogs();
    // Brings consolidated logs up to date (nothing by default).
    virtual void RefreshLogs(std::string_view folder);
    // The one extension history files must have (with its dot), or empty for
    // the usual ".txt" and ".log".
    virtual void GetLogExtension(std::string& extension) const;
    // Whether the file at path is to be ignored although its name fits.
    virtual bool IsIgnoredLog(std::string_view path) const;
    // Hands dated before this time (seconds since 1970) are dropped.
    virtual const std::int64_t& GetEarliestHandDate() const;

    // The room identifier (100 to 121) the profile was made for.
    int RoomId() const { return roomId; }
    // Whether the room's family keeps old files watched (TruePoker).
    bool KeepsOldFilesWatched() const;

    std::int64_t earliestHandDate = 0;
    std::int32_t tableWidth = 0;
    std::int32_t tableHeight = 0;

  protected:
    // Moves the earliest hand date to the local midnight starting the day.
    // Throws std::invalid_argument when that local time cannot be formed.
    void SetEarliestHandDate(int year, int month, int day);

    int roomId;
};

// Whether money is real or play in the session.
enum class MoneyMode { kPlay, kReal };

// Construction values the InterPoker profile keeps.
struct RoomProfileOptions {
    MoneyMode money = MoneyMode::kReal;
    std::string logFolder;
    std::string nickname;
    std::int64_t now = 0;      // construction time, seconds since 1970
    int partyTimeZone = -100;  // "Config"/"TimeZone" for the PartyPoker family
};

// The profile of the room with this identifier, or null for an identifier
// without one (Eurobet, 106, and anything outside 100 to 121).
std::unique_ptr<CPokerRoomProfile> CreateRoomProfile(int roomId, const RoomProfileOptions& options);
