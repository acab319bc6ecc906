#pragma once
// CPlayerStats: everything learned about one player of one game type (the
// key is the screen name plus the game-type tag): his hands, counters,
// derived statistics, ranks and scores, money series, alerts and tag record.
//
// Counts and ranks are 32-bit; the four money totals (entries 35 to 38) are
// kept as 64-bit values so that they cannot overflow over a long history.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/hand_key.h"
#include "analysis/player_alerts.h"
#include "analysis/preditors_and_foes.h"
#include "analysis/time_series.h"

class CHand;
class CHandReference;

class CPlayerStats {
  public:
    // Counter entries.
    enum Counter : int {
        kSawPreflop = 0,
        kSawFlop = 1,
        kSawTurn = 2,
        kSawRiver = 3,
        kFoldedPreflop = 5,
        kFoldedFlop = 6,
        kFoldedTurn = 7,
        kFoldedRiver = 8,
        kFoldedShowdown = 9,
        kRankEarlyPlay = 10,
        kRankPFR = 11,
        kRankBetCheck = 12,
        kRankRaiseCall = 13,
        kRankReRaise = 14,
        kRankCheckRaise = 15,
        kScorePA = 16,
        kRankFoldTurn = 17,
        kRankFoldRiver = 18,
        kRankFoldShowdown = 19,
        kScoreLT = 21,
        kPreflopRaised = 22,
        kFolds = 24,
        kChecks = 25,
        kCalls = 26,
        kBets = 27,
        kRaises = 28,
        kReRaises = 29,
        kActions = 30,
        kVoluntaryPut = 31,
        kEarlyPlayed = 32,
        kEarlyHands = 33,
        kCheckRaised = 34,
        kInvested = 35,
        kCollected = 36,
        kSessionInvested = 37,
        kSessionCollected = 38,
        kWonHands = 39,
        kPFRKnown = 40,
        kPFRAcesKings = 41,
        kPFRPremium = 42,
        kCounterCount = 44,  // entry 43 is the tag record, kept as TagRecord()
    };

    // What Add hand needs to know beyond the hand.
    struct Context {
        const CHandReference* reference = nullptr;
        std::string_view userName;      // the user's screen name
        bool userRecordExists = false;  // the user's records have been created
        std::int64_t now = 0;           // current time, seconds since 1970
        std::int64_t seriesOrigin = 0;  // local midnight of 1 January 2000
    };

    // The ten figures a model player is made from.
    struct ModelFigures {
        int hands;
        float foldBeforeFlop, foldBeforeTurn, foldBeforeRiver, pfr;
        int betCheck, raiseCall;
        float reRaise, checkRaise, earlyPlay;
    };

    CPlayerStats(std::string key, std::string tag);
    // A record with fixed counters that give back `figures` through the
    // derived statistics (to the precision a count of hands allows).
    static std::unique_ptr<CPlayerStats> CreateModelPlayer(std::string key, std::string tag,
                                                           const ModelFigures& figures);

    // Folds one hand in for this player (see the comment in the source).
    // `handKey` is CHandKey::Of(hand); `position` is the player's position
    // in the hand when the caller knows it, else -1. Returns true when the
    // hand left the record Unsettled() and it was not before.
    bool AddHand(const CHand& hand, bool live, const Context& context, const CHandKey& handKey,
                 int position = -1);
    // Makes room for `count` more hands in the hand list and in the series
    // that `live` hands go to, so that a large fold grows each list once;
    // small additions keep the usual growth.
    void ReserveHands(std::size_t count, bool live);
    // Runs the alert rules over every stored hand once; later calls do
    // nothing.
    void EnsureAlertsAnalysed(const CHandReference& reference);

    const std::string& Key() const { return key_; }
    const std::string& Tag() const { return tag_; }
    int Hands() const { return hands_; }
    // Counter entry `index` (0..43; entry 43 reads 0, see TagRecord()).
    std::int64_t Counter(int index) const;
    void SetCounter(int index, std::int64_t value);
    std::int64_t LastUpdateTime() const { return lastUpdateTime_; }

    // Derived statistics; "no data" values are negative (or 0 for EarlyPlay%).
    float FoldBeforeFlop() const;
    float FoldBeforeTurn() const;
    float FoldBeforeRiver() const;
    float FoldBeforeShowdown() const;
    float VPIP() const;
    float PFR() const;
    int BetCheck() const;
    int RaiseCall() const;
    float ReRaisePercent() const;
    float CheckRaisePercent() const;
    float WinPercent() const;
    std::int64_t MoneyWon() const { return Counter(kCollected) - Counter(kInvested); }
    float EarlyPlay() const;

    // The figures the ranking reads, each computed exactly as the statistic
    // of the same name: hands, PFR%, Bet/Check, Raise/Call, %ReRaise,
    // %CheckRaise, EarlyPlay%, FoldBeforeTurn%, FoldBeforeRiver%,
    // FoldBeforeShowdown%.
    struct RankFigures {
        std::int32_t hands;
        float pfr;
        std::int32_t betCheck, raiseCall;
        float reRaise, checkRaise, earlyPlay, foldTurn, foldRiver, foldShowdown;
    };
    RankFigures FiguresForRanking() const;

    // The player's hands in hand-key order (not owned); a hand filed again
    // under the same key replaces the earlier one.
    const std::vector<const CHand*>& PlayerHands() const {
        SettleHands();
        return playerHands_;
    }
    // The stored hand with this key, or nullptr.
    const CHand* FindPlayerHand(const CHandKey& key) const;
    // The player's hands of one starting-hand class index (0..169), in the
    // order they were added.
    std::vector<const CHand*> HandsOfClass(int classIndex) const;
    // Net results by time key (seconds since local midnight of 1 January
    // 2000): hands read at start-up, and live hands of this session.
    const CTimeSeries& AllTimeSeries() const { return allTimeSeries_; }
    const CTimeSeries& SessionSeries() const { return sessionSeries_; }
    CTimeSeries& MutableAllTimeSeries() { return allTimeSeries_; }
    // Merges the session series into the all-time series and zeroes the
    // session money counters.
    void EndSession();
    // Hands (and series entries) filed out of key order wait in side lists
    // until they are next read, or until this is called, so that a history
    // read out of order costs a sort instead of a move of the whole list
    // for every hand. Whether any wait; Settle puts them all in place.
    bool Unsettled() const {
        return !outOfOrder_.empty() || allTimeSeries_.Unsettled() || sessionSeries_.Unsettled();
    }
    void Settle() const;

    CPlayerAlerts& Alerts() { return alerts_; }
    const CPlayerAlerts& Alerts() const { return alerts_; }
    bool AlertsAnalysed() const { return alertsAnalysed_; }
    // Whether the analyzer has entered the record in its ranking.
    bool InRanking() const { return inRanking_; }
    void SetInRanking() { inRanking_ = true; }
    // Scratch count of the analyzer's fold in progress: the hands about to
    // be folded into this record (0 between folds).
    std::uint32_t& ComingHands() { return comingHands_; }
    CPreditorsAndFoes& TagRecord() { return tags_; }
    const CPreditorsAndFoes& TagRecord() const { return tags_; }

  private:
    void StoreHand(const CHand& hand, const CHandKey& key);
    void SettleHands() const;
    static bool IsMoney(int index) { return index >= kInvested && index <= kSessionCollected; }

    // What the fold touches for every hand comes first, so that a record
    // needs few cache lines per hand.
    std::string key_;
    int hands_ = 0;
    std::uint32_t comingHands_ = 0;
    bool alertsAnalysed_ = false;
    bool inRanking_ = false;
    std::int64_t lastUpdateTime_ = 0;
    std::array<std::int32_t, kCounterCount> counters_{};
    std::array<std::int64_t, 4> money_{};  // entries 35 to 38
    CHandKey lastKey_;                     // key of playerHands_.back(), so an append reads no hand
    // Sorted by key, one hand per key. Hands whose key is not above lastKey_
    // wait in outOfOrder_, in the order filed, until Settle merges them in
    // (the later of two hands with one key wins).
    mutable std::vector<const CHand*> playerHands_;
    mutable std::vector<std::pair<CHandKey, const CHand*>> outOfOrder_;
    CTimeSeries allTimeSeries_;
    CTimeSeries sessionSeries_;
    // (class index, hand) in the order added; one list for all classes
    // keeps a record small when few of its hands were shown down.
    std::vector<std::pair<std::uint8_t, const CHand*>> handsByClass_;
    CPreditorsAndFoes tags_;
    std::string tag_;
    CPlayerAlerts alerts_;
};
