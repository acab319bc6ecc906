#pragma once
// CHandAnalyzer: the in-memory database of one poker room's parsed hands and
// of everything learned about the other players, and the table records of
// the live tables.
//
// The log reader adds hands (AddHand) under the analyzer's lock; once per
// intake cycle Process folds the new hands into the player records, ranks
// the players and keeps the start-up memory limit. Pages read the records.
//
// Everything runs on the user-interface thread, and long walks pump pending
// messages, so page requests can run in the middle of Process. The locks are
// recursive so that such a nested request on the same thread never
// deadlocks, and Process works from its own list of the hands to fold, so a
// hand added meanwhile waits for the next call.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis_pages.h"
#include "analysis/hand_summary.h"
#include "analysis/player_index.h"
#include "analysis/player_stats.h"
#include "analysis/ranked_group.h"
#include "analysis/table_record.h"

class CHand;
class CHandReference;
namespace platform {
class Clock;
class Desktop;
class Profile;
}  // namespace platform

class CHandAnalyzer {
  public:
    using PlayerMap = std::map<std::string, std::unique_ptr<CPlayerStats>, std::less<>>;
    using Series = CTimeSeries;

    // What the program passes at start-up.
    struct StartValues {
        int roomId = 0;
        std::int64_t installationDate = 0;  // kept for the log reader's age filter
        std::int64_t sessionStart = 0;      // kept for the pages
        std::string loggingFolder;          // kept for the log reader
        std::string historicalFolder;       // kept for the log reader
        std::string outputFolder;           // where pages are written
        std::string userName;               // the user's screen name in this room
        bool realMoney = true;              // the session's money mode
    };

    struct StoredHand {
        std::unique_ptr<CHand> hand;
        bool processed = false;  // folded into the player records
    };

    // `settings` is the program's settings file, `reference` the starting-hand
    // classes and ranges; both and `clock` must outlive the analyzer.
    CHandAnalyzer(platform::Profile& settings, const CHandReference& reference,
                  const platform::Clock& clock);
    ~CHandAnalyzer();
    CHandAnalyzer(const CHandAnalyzer&) = delete;
    CHandAnalyzer& operator=(const CHandAnalyzer&) = delete;

    // Called before each hand of a long walk and after every 20 players, to
    // keep the interface alive (the event loop's PumpPending).
    void SetMessagePump(std::function<void()> pump) { pump_ = std::move(pump); }
    // The writers of the pages the analyzer is asked for; not owned.
    void SetPages(IAnalysisPages* pages) { pages_ = pages; }
    // Whether new table records read their cards off the screen (the current
    // table layout's reading flag).
    void SetScreenReading(bool screenReading) { screenReading_ = screenReading; }
    // Where the analyzer's messages to the user are shown; not owned.
    void SetDesktop(platform::Desktop* desktop) { desktop_ = desktop; }

    // --- Initialisation --------------------------------------------------

    // Stores the start values, reads the oldest-hand cut-off, creates the
    // user's four records and the forty model players, then marks the
    // analyzer initialised. Meant to be called once.
    void Initialise(const StartValues& start);
    bool IsInitialised() const { return initialised_; }
    const StartValues& Start() const { return start_; }
    // Hands dated before this are not read (seconds since 1970).
    std::int64_t OldestHandCutoff() const { return oldestHandCutoff_; }
    std::int64_t StartupTime() const { return startupTime_; }
    // The user's records: plain, " (NL)", " (T-L)", " (T-NL)"; nullptr
    // before initialisation.
    CPlayerStats* UserRecord() const { return userRecord_; }
    CPlayerStats* UserRecord(std::string_view tag) const;

    // --- Hands -----------------------------------------------------------

    // The analyzer's lock: taken around adding and looking up hands.
    std::recursive_mutex& Mutex() const { return mutex_; }
    // Stores a parsed hand (ownership passes). A hand number already stored
    // and folded in keeps its first hand, so a replayed hand is never counted
    // twice; one stored but not yet folded in is replaced. Returns whether
    // the hand was stored.
    bool AddHand(std::unique_ptr<CHand> hand);
    const CHand* FindHand(std::uint64_t handNumber) const;
    bool HasHand(std::uint64_t handNumber) const { return FindHand(handNumber) != nullptr; }
    const std::map<std::uint64_t, StoredHand>& Hands() const { return hands_; }
    std::size_t HandCount() const { return hands_.size(); }

    void AddHandSummary(const CHand& hand);
    const std::map<CHandKey, CHandSummary>& Summaries() const { return summaries_; }

    // --- Tables ----------------------------------------------------------

    // Finds or creates the record of the hand's table and updates it from
    // the hand (CTableRecord::UpdateFromHand).
    CTableRecord& UpdateTable(const CHand& hand);
    // Cards read off the screen for a table (CTableRecord::UpdateFromScreen).
    bool UpdateTableFromScreen(CTableRecord& record, std::span<const int> cards, int street,
                               int playerCount, TableSizeWarning warning);
    CTableRecord* FindTable(std::string_view tableName);
    // Writes the information page of a table and keeps its path as the
    // record's page text; empty when the table is unknown or the page was not
    // written.
    std::string WriteTablePage(std::string_view tableName);
    // Names of the tables whose last hand is not older than `since`.
    std::vector<std::string> TablesSince(std::int64_t since) const;

    // --- Processing ------------------------------------------------------

    // Folds the hands added since the last call into the player records (in
    // hand-number order), ranks the players and, when not live, keeps the
    // memory limit. `live` is true for hands arriving while the program
    // runs, false while the histories are first read.
    void Process(bool live);
    // Ranks the ring-limit and the no-limit players with at least 20 hands.
    void RankPlayers();
    // Players ranked in the last group ranked (no limit).
    int RankedCount() const { return rankedCount_; }
    // Players ranked in the ring-limit group.
    int RankedLimitCount() const { return static_cast<int>(rankedLimit_.Size()); }
    int OptMHC() const { return optMHC_; }
    int OptTime() const { return optTime_; }

    // --- Requests from pages and commands --------------------------------

    // Writes the page of a hand and returns its path; empty, after telling
    // the user "Hand Not Found" in a message box, when the number is unknown.
    std::string ShowHand(std::uint64_t handNumber);
    // Writes the report of a player (or of a key without a record).
    bool ShowPlayerReport(std::string_view playerKey, const CReportOptions* options);
    // Moves every record's session series into its all-time series and
    // zeroes the session money.
    void EndSession();
    // A copy of the player's session or all-time series; the all-time series
    // of a tournament key is empty. Unknown keys give an empty series.
    Series GetSeries(std::string_view playerKey, bool session);
    CPlayerStats* FindPlayer(std::string_view playerKey) const;
    // All records by key.
    const PlayerMap& Players() const { return players_; }
    const CHandReference& Reference() const { return reference_; }
    std::int64_t Now() const;
    // Physical memory of the machine in megabytes.
    std::int64_t PhysicalMemoryMb() const { return physicalMemoryMb_; }
    // "HandHistory"/"Extended" is 1.
    bool ExtendedHistory() const { return extendedHistory_; }

  private:
    void Pump();
    CPlayerStats* InsertRecord(std::string key, std::string tag,
                               std::unique_ptr<CPlayerStats> record = nullptr);
    void NoteRanked(CPlayerStats* record);
    void ReadMemorySettings();
    void ApplyMemoryLimit();
    std::string SettingsKey(std::string_view suffix) const;

    platform::Profile& settings_;
    const CHandReference& reference_;
    const platform::Clock& clock_;
    std::function<void()> pump_;
    IAnalysisPages* pages_ = nullptr;
    platform::Desktop* desktop_ = nullptr;
    bool screenReading_ = false;

    mutable std::recursive_mutex mutex_;
    std::map<std::uint64_t, StoredHand> hands_;
    PlayerMap players_;
    std::vector<std::uint64_t> pending_;  // numbers added since the last Process
    StartValues start_;
    std::array<CPlayerStats*, 4> userRecords_{};
    CPlayerStats* userRecord_ = nullptr;
    std::int64_t oldestHandCutoff_ = 0;
    std::int64_t startupTime_ = 0;
    std::int64_t seriesOrigin_ = 0;
    std::map<CHandKey, CHandSummary> summaries_;
    mutable std::recursive_mutex tablesMutex_;
    std::map<std::string, std::unique_ptr<CTableRecord>, std::less<>> tables_;
    bool initialised_ = false;
    bool processing_ = false;
    std::int64_t physicalMemoryMb_ = 0;
    int optMHC_ = -1;
    int optTime_ = -1;
    bool extendedHistory_ = false;
    int rankedCount_ = 0;

    // Records with at least 20 hands, per ranked group.
    CRankedGroup rankedLimit_;
    CRankedGroup rankedNoLimit_;
    CPlayerIndex index_;  // the records of players_, for fast look-up
};
