#pragma once
// CPlayerAlerts: the alerts found for one player, and the rules that find
// them (Analyse) and the per-table Loose/Tight remark.
//
// Analyse looks at one hand in which the player's hole cards are known and
// he put money in preflop, and makes at most one alert; the first rule that
// applies decides:
//   1. his first voluntary action is a re-raise: "ReRaised", or "Defended
//      Blind" when he re-raised a steal from a blind (expected when the hand
//      is in the steal-raise range);
//   2. he raised: "Attempted Steal" for a steal attempt (expected with a
//      steal-raise hand), else "Raised" (expected with the raising classes
//      other than small pairs);
//   3. first in from a steal position without raising: "Did Not Attempt
//      Steal" (expected when the hand is no steal-raise hand);
//   4. a blind called a raise: "Defended Blind" against a steal attempt,
//      else "Called Raise from Blinds";
//   5. the small blind completed: "Completed Small Blind" unless the hand is
//      a small-blind call hand;
//   6. called two bets: "(Cold) Called 2 Bets";
//   7. a premium-ten hand not folded preflop: "Limped with / Did not raise
//      with Raising Hand";
//   8. early, middle or late position with a hand outside the position's
//      range: "Questionable Limps / Calls".
// Short-handed means at most 6 players dealt in.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/alert.h"

class CHand;
class CHandReference;

class CPlayerAlerts {
  public:
    // Alerts by sort key, as the alerts page lists them (not owned).
    using AlertMap = std::map<CAlertSortKey, const CAlert*>;

    explicit CPlayerAlerts(std::string playerKey) : playerKey_(std::move(playerKey)) {}

    // Runs the rules over `hand` for this player and adds the alert found.
    // A hand already analysed (one that produced an alert) is skipped.
    void Analyse(const CHand& hand, const CHandReference& reference);
    // The alert the rules give for the player in `hand`, or nullptr; adds
    // nothing.
    static std::unique_ptr<CAlert> Classify(const CHand& hand, std::string_view playerKey,
                                            const CHandReference& reference);
    // Adds one alert: counts its kind and files it by sort key and by hand.
    void AddAlert(std::unique_ptr<CAlert> alert);
    // Whether the hand number has alerts.
    bool IsAnalysed(std::uint64_t handNumber) const { return byHand_.count(handNumber) != 0; }

    // Puts the alerts of one hand (without those with the expected flag when
    // `skipExpected`) into `out` and counts them by category (0 to 3) into
    // `categoryCounts`. Returns the number of entries then in `out`.
    int AlertsOfHand(std::uint64_t handNumber, AlertMap& out,
                     std::array<int, CAlert::kCategoryCount>& categoryCounts,
                     bool skipExpected) const;

    // The Loose/Tight remark over `hands` (the user's recent hands at one
    // table, newest first) for `playerKey`, or nullptr.
    //   - Only the newest hands in a row in which the player was seated are
    //     considered.
    //   - A hand is played when the player was dealt in and saw the flop or
    //     raised preflop; a played hand with fewer than 7 players dealt in
    //     means no remark.
    //   - From the 7th hand on, played/considered of at least 0.7 makes a
    //     "loose" candidate and of at most 0.25 a "tight" one; any other
    //     ratio ends the walk. The last candidate is the remark.
    static std::unique_ptr<CAlertLooseTight> LooseTight(std::span<const CHand* const> hands,
                                                        std::string_view playerKey,
                                                        std::int64_t now);

    const std::string& PlayerKey() const { return playerKey_; }
    // Every alert by sort key.
    const std::map<CAlertSortKey, std::unique_ptr<CAlert>>& Alerts() const { return alerts_; }
    // Alerts made of a kind (0..16).
    int KindCount(int kind) const {
        return kind >= 0 && kind < CAlert::kKindCount ? kindCounts_[static_cast<std::size_t>(kind)]
                                                      : 0;
    }

  private:
    std::map<CAlertSortKey, std::unique_ptr<CAlert>> alerts_;
    std::string playerKey_;
    std::array<int, CAlert::kKindCount> kindCounts_{};
    std::map<std::uint64_t, std::vector<CAlert*>> byHand_;
    std::uint64_t nextSequence_ = 0;
};
