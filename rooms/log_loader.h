#pragma once
// CLogLoader: reads a room's logging folder into the hand database, once in
// bulk at start-up and then on every live pass, taking only what the client
// appended since the last pass. It keeps one LogFileReader per history file
// seen during the session.
//
// Folders are walked in name order so that runs are repeatable. Live passes
// never take a line the client has not finished (a last line without its
// line end) and hold back a last hand that ran into the end of the file until
// the file has stopped growing for a whole pass.

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/clock.h"
#include "rooms/hand_sink.h"
#include "rooms/log_file_reader.h"
#include "rooms/poker_room_profile.h"

// What the loader needs to know about the session.
struct LogLoaderSettings {
    std::string nickname;                // the user's screen name, given to each hand
    MoneyMode money = MoneyMode::kReal;  // the session's money mode
    std::int64_t installDate = 0;        // when the program was installed (seconds since 1970)
    bool extendedHistory = false;        // "HandHistory"/"Extended" is 1: files up to 30 days old
};

// Progress of the start-up loading, for the status page.
struct LogLoadProgress {
    int files = 0;       // history files met so far
    int handsAdded = 0;  // hands added by this pass so far
    std::int64_t elapsedMs = 0;
};

class CLogLoader {
  public:
    // Borrows the profile, the sink and the clock; they must outlive the loader.
    CLogLoader(CPokerRoomProfile& profile, HandSink& sink, LogLoaderSettings settings,
               const platform::Clock& clock);

    // One pass over `folder` (a host path): every entry in name order goes
    // through LoadFile. When hands were added, asks the sink to Process them
    // and returns true. `live` is false for the start-up loading; `historical`
    // is true only for the historical folder read at start-up.
    bool LoadFolder(bool live, bool historical, const std::string& folder);
    // Reads one file, or the whole tree under a folder; returns the number
    // of hands added.
    int LoadFile(const std::string& path, bool live, bool realMoney, bool historical);

    // Called before each hand is read, so a user interface can stay responsive.
    std::function<void()> pumpMessages;
    // Called when the status page is due for a refresh (see LoadFolder).
    std::function<void(const LogLoadProgress&)> refreshStatus;
    // Called with each hand as it is added (before it is handed to the sink).
    std::function<void(const CHand&)> onHandAdded;

    // Hands added by live passes since the start (or the last reset).
    int NewHands() const { return newHands_; }
    void ResetNewHands() { newHands_ = 0; }
    // Number of history files met so far.
    int FileCount() const { return static_cast<int>(readers_.size()); }
    // Total length in bytes of those files when last seen.
    std::uint64_t TotalFileBytes() const;
    // The reader of a file, or null when the file was never met.
    const LogFileReader* FindReader(const std::string& path) const;

  private:
    int LoadFolderTree(const std::string& path, bool live, bool realMoney, bool historical,
                       int depth);
    // Runs LoadEntry on every entry of `folder` in name order, calling
    // `after` with each entry's count; returns the sum.
    int LoadFolderEntries(const std::string& folder, bool live, bool realMoney, bool historical,
                          int depth, const std::function<void(int added)>& after);
    int LoadEntry(const std::string& path, const LogFileStatus& status, bool live, bool realMoney,
                  bool historical, int depth);
    int LoadOneFile(const std::string& path, const LogFileStatus& status, bool live, bool realMoney,
                    bool historical);
    bool ExtensionAccepted(const std::string& path) const;
    // Whether a complete hand passes the money, date and install filters.
    bool Acceptable(const CHand& hand, bool live, bool realMoney) const;

    CPokerRoomProfile& profile_;
    HandSink& sink_;
    LogLoaderSettings settings_;
    const platform::Clock& clock_;
    std::map<std::string, LogFileReader, std::less<>> readers_;
    int newHands_ = 0;
    int passAdded_ = 0;
    std::int64_t historicalCutoff_ = 0;
};
