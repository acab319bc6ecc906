#pragma once
// CLogLoader: reads a room's logging folder into the hand database, once in
// bulk at start-up and then on every live pass, taking only what the client
// appended since the last pass. It keeps one LogFileReader per history file
// seen during the session.
//
// Folders are walked in name order so that runs are repeatable. Live passes
// never take a line the client has not finished (a last line without its
// line end) and hold back a last hand that ran into the end of the file until
// the file has stopped growing for a whole pass. The first loading takes such
// a hand at once: the end of a file is final for it.

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

// Which folder a pass reads: the logging folder, which live passes watch, or
// the historical folder, read once by the first loading.
enum class FolderKind { kLogging, kHistorical };

// Progress of the start-up loading, for the status page.
struct LogLoadProgress {
    int files = 0;       // history files met so far
    int handsAdded = 0;  // hands added by this pass so far
    std::int64_t elapsedMs = 0;
};

// What one pass over a folder found.
struct LogPassCounts {
    int filesRead = 0;   // history files whose new text the pass read
    int handsAdded = 0;  // hands the pass added
};

class CLogLoader {
  public:
    // Borrows the profile, the sink and the clock; they must outlive the loader.
    CLogLoader(CPokerRoomProfile& profile, HandSink& sink, LogLoaderSettings settings,
               const platform::Clock& clock);

    // One pass over `folder` (a host path): every entry in name order goes
    // through LoadFile. When hands were added, asks the sink to Process them
    // and returns true. The historical folder is read by the first loading
    // only.
    bool LoadFolder(LoadPass pass, FolderKind kind, const std::string& folder);
    // Reads one file, or the whole tree under a folder, keeping the hands of
    // the session's money mode `money`; returns the number of hands added.
    int LoadFile(const std::string& path, LoadPass pass, MoneyMode money, FolderKind kind);
    // What the last LoadFolder found.
    const LogPassCounts& LastPass() const { return lastPass_; }

    // Called before each hand is read, so a user interface can stay
    // responsive (the event loop's PumpPending); empty for none.
    void SetMessagePump(std::function<void()> pump) { pump_ = std::move(pump); }
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
    // One pass's way through the folders: its kind, the folder's, and the
    // session's money mode.
    struct Walk {
        LoadPass pass;
        FolderKind kind;
        MoneyMode money;
    };

    // Runs LoadEntry on every entry of `folder` in name order, calling
    // `after` with each entry's count; returns the sum.
    int LoadFolderEntries(const std::string& folder, const Walk& walk, int depth,
                          const std::function<void(int added)>& after);
    int LoadEntry(const std::string& path, const LogFileStatus& status, const Walk& walk,
                  int depth);
    int LoadOneFile(const std::string& path, const LogFileStatus& status, const Walk& walk);
    bool ExtensionAccepted(const std::string& path) const;
    // Whether a complete hand passes the money, date and install filters.
    bool Acceptable(const CHand& hand, const Walk& walk) const;

    CPokerRoomProfile& profile_;
    HandSink& sink_;
    LogLoaderSettings settings_;
    const platform::Clock& clock_;
    std::map<std::string, LogFileReader, std::less<>> readers_;
    std::function<void()> pump_;
    int newHands_ = 0;
    LogPassCounts lastPass_;
    std::int64_t historicalCutoff_ = 0;
};
