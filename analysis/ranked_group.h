#pragma once
// CRankedGroup: one group of ranked players (ring limit, or ring no limit)
// and the ranking that gives each member his ranks and scores.
//
// The ranking is a chain of sorts, each starting from the order the previous
// one left (ties keep that order), the first from key order:
//   RankPFR, RankBetCheck, RankRaiseCall, RankReRaise, RankCheckRaise: the
//     figure highest first, ties fewer hands first;
//   ScorePA: the sum of those five ranks highest first, place * 10 / count;
//   RankEarlyPlay (highest first), RankFoldTurn, RankFoldRiver,
//     RankFoldShowdown (lowest first);
//   ScoreLT: the sum of those four ranks highest first, place * 10 / count.
//
// Each sort is a stable radix sort of one packed integer key per member:
// the figure mapped to an unsigned integer of the same order (and, for the
// first five, the hand count below it), so the chain gives exactly what a
// chain of comparison-based stable sorts gives, in linear time. The figures
// are kept by member in separate arrays, read once per ranking.

#include <array>
#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

#include "analysis/player_stats.h"

class CRankedGroup {
  public:
    // The figures a ranking reads, by member (members in key order).
    struct Figures {
        std::vector<std::int32_t> hands;
        std::vector<float> pfr;
        std::vector<std::int32_t> betCheck;
        std::vector<std::int32_t> raiseCall;
        std::vector<float> reRaise;
        std::vector<float> checkRaise;
        std::vector<float> earlyPlay;
        std::vector<float> foldTurn;
        std::vector<float> foldRiver;
        std::vector<float> foldShowdown;

        void Resize(std::size_t count);
        std::size_t Size() const { return hands.size(); }
    };

    // What a ranking gives, by output and then by member.
    enum Output : int {
        kRankPFR,
        kRankBetCheck,
        kRankRaiseCall,
        kRankReRaise,
        kRankCheckRaise,
        kScorePA,
        kRankEarlyPlay,
        kRankFoldTurn,
        kRankFoldRiver,
        kRankFoldShowdown,
        kScoreLT,
        kOutputCount,
    };
    // The record counter each output is stored in.
    static constexpr std::array<int, kOutputCount> kCounterOf = {
        CPlayerStats::kRankPFR,        CPlayerStats::kRankBetCheck,
        CPlayerStats::kRankRaiseCall,  CPlayerStats::kRankReRaise,
        CPlayerStats::kRankCheckRaise, CPlayerStats::kScorePA,
        CPlayerStats::kRankEarlyPlay,  CPlayerStats::kRankFoldTurn,
        CPlayerStats::kRankFoldRiver,  CPlayerStats::kRankFoldShowdown,
        CPlayerStats::kScoreLT,
    };
    using Results = std::array<std::vector<std::int32_t>, kOutputCount>;

    // Working storage of a ranking, kept between rankings so that a live
    // ranking allocates nothing.
    struct Scratch {
        struct Item {
            std::uint64_t key;
            std::uint32_t member;
        };
        std::vector<Item> items;
        std::vector<Item> spare;
        std::vector<std::uint64_t> keys;
        std::vector<std::uint32_t> order;
        std::vector<std::int32_t> sum;
    };

    // Ranks members with `figures` (none may be NaN) into `results`.
    static void Rank(const Figures& figures, Results& results, Scratch& scratch);

    // Adds a record to the group; a record already in it is ignored.
    void Insert(CPlayerStats* record);
    std::size_t Size() const { return members_.size(); }
    // Reads every member's figures, ranks the group and stores each
    // member's ranks and scores in his record. The group is the only writer
    // of those counters: it writes a value only where it differs from what
    // it wrote there last.
    void RankMembers();

  private:
    struct ByKey {
        bool operator()(const CPlayerStats* a, const CPlayerStats* b) const {
            return a->Key() < b->Key();
        }
    };
    std::set<CPlayerStats*, ByKey> members_;
    // members_ in key order; rebuilt when a member joined since the last
    // ranking.
    std::vector<CPlayerStats*> ordered_;
    bool orderedStale_ = false;
    // What the last ranking stored in each member's record (by the order of
    // ordered_), so that a ranking writes only the values that changed;
    // -1 for a member that has not been ranked yet.
    Results stored_;
    Figures figures_;
    Results results_;
    Scratch scratch_;
};
