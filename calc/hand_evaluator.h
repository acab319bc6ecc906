#pragma once
// Seven-card hand evaluator built on lookup tables that are generated when it
// is first used.
//
// A hand is summed card by card into a HandKey: one word counts the cards of
// each rank (3 bits per rank) and of each suit (4 bits per suit), the other
// collects the ranks held in each suit (13 bits in a 16-bit lane per suit).
// Because the sum is additive, a caller that deals cards one after another
// (the odds simulation, an enumeration) pays one addition per card. A suit
// counter starts at 3, so the fifth card of a suit sets the counter's top bit
// and one mask test detects a flush.
//
// With five to seven distinct cards a flush rules out four of a kind and full
// house, so a flush hand is decided by its flush-suit ranks alone (8,192-entry
// table) and any other hand by its rank counts alone (a perfect hash of the
// count word into a 131,072-entry table). Both tables hold a strength class:
// classes are numbered in the order of CompareHandValues, so two hands compare
// by comparing their classes, and each class maps back to its exact HandValue.

#include <array>
#include <bit>
#include <cstdint>
#include <span>
#include <vector>

#include "calc/card_index.h"
#include "calc/hand_value.h"

namespace calc {

// Running sum of the cards of one hand. Add each card once; adding a card twice
// or more than seven cards makes Strength() meaningless.
struct HandKey {
    // Rank counts in bits 3*(value-2)..+2, suit counters (from 3) in bits 48+4*suit..+3.
    std::uint64_t counts = kInitialCounts;
    // Bit 16*suit + (value-2) for every card held.
    std::uint64_t suitRanks = 0;

    static constexpr std::uint64_t kInitialCounts = 0x3333ull << 48;

    constexpr HandKey& operator+=(const HandKey& card) {
        counts += card.counts - kInitialCounts;
        suitRanks += card.suitRanks;
        return *this;
    }
};

// Strength class of a hand: higher is better, equal classes tie.
using HandStrength = std::uint16_t;

class HandEvaluator {
  public:
    // The shared evaluator; its tables are built on the first call (thread-safe).
    static const HandEvaluator& Instance();

    // The key of a single card 0..51, to be added to a HandKey. Expects IsCard(card).
    static HandKey CardKey(int card) { return kCardKeys[static_cast<std::size_t>(card)]; }

    // The strength of five to seven distinct cards summed into `key`.
    HandStrength Strength(const HandKey& key) const {
        const std::uint64_t flush = key.counts & kFlushFlags;
        if (flush != 0) {
            const int suit = (std::countr_zero(flush) - 51) >> 2;
            return FlushStrength(static_cast<unsigned>(key.suitRanks >> (16 * suit)));
        }
        return RankStrength(key.counts);
    }

    // The strength five to seven distinct cards would have without a flush:
    // the class of their rank counts alone (the low 39 bits of
    // HandKey::counts; the suit counters above are ignored). Equal to
    // Strength() whenever the cards hold no five of a suit.
    HandStrength RankStrength(std::uint64_t counts) const {
        const std::uint64_t ranks = counts & kRankCountMask;
        const std::size_t bucket = (ranks * bucketMultiplier_) >> (64 - kBucketBits);
        const std::size_t slot =
            ((ranks * slotMultiplier_) >> (64 - kSlotBits)) ^ displacement_[bucket];
        return rankClass_[slot];
    }

    // The strength of a flush whose suit holds the ranks `suitRanks` (bit
    // value - 2, five to seven bits; bits above the thirteenth are ignored).
    HandStrength FlushStrength(unsigned suitRanks) const { return flushClass_[suitRanks & 0x1fff]; }

    // The rank-count step of one card of rank value `value` (2..14), to add
    // to the counts word passed to RankStrength.
    static constexpr std::uint64_t RankUnit(int value) { return 1ull << (3 * (value - 2)); }

    // The category of a strength class.
    HandCategory CategoryOf(HandStrength strength) const {
        return static_cast<HandCategory>(classCategory_[strength]);
    }

    // The full value of five to seven distinct cards summed into `key`.
    HandValue Value(const HandKey& key) const;

    // Evaluates any number of cards. Numbers outside 0..51 are skipped and a card
    // given twice counts once. Five to seven cards take the table path; other
    // counts the direct computation (keys a short hand cannot fill stay 0).
    HandValue Evaluate(std::span<const std::uint8_t> cards) const;

    // Number of distinct strength classes.
    std::size_t ClassCount() const { return classValue_.size(); }

    // The direct computation from rank counts (indexed by value - 2) and the
    // ranks of the flush suit (bit value - 2; `flushSuit` -1 when there is no
    // flush). Used to build the tables and for hands outside five to seven cards.
    static HandValue EvaluateCounts(const std::array<int, kRankCount>& countByValue, int flushSuit,
                                    unsigned flushRanks);

  private:
    HandEvaluator();

    static constexpr int kBucketBits = 14;
    static constexpr int kSlotBits = 17;
    static constexpr std::uint64_t kFlushFlags = 0x8888ull << 48;
    static constexpr std::uint64_t kRankCountMask = (1ull << 39) - 1;

    static constexpr std::array<HandKey, kDeckSize> kCardKeys = [] {
        std::array<HandKey, kDeckSize> keys{};
        for (int card = 0; card < kDeckSize; ++card) {
            const int bit = ValueOf(card) - 2;
            const int suit = SuitOf(card);
            keys[static_cast<std::size_t>(card)].counts =
                HandKey::kInitialCounts + (1ull << (3 * bit)) + (1ull << (48 + 4 * suit));
            keys[static_cast<std::size_t>(card)].suitRanks = 1ull << (16 * suit + bit);
        }
        return keys;
    }();

    void BuildPerfectHash(const std::vector<std::uint64_t>& rankKeys);

    std::uint64_t bucketMultiplier_ = 0;
    std::uint64_t slotMultiplier_ = 0;
    std::vector<std::uint32_t> displacement_;
    std::vector<HandStrength> rankClass_;
    std::vector<HandStrength> flushClass_;
    std::vector<HandValue> classValue_;
    // The category of each class, one byte each: counting loops read it for
    // every hand, and 7,462 bytes stay in the first-level cache.
    std::vector<std::uint8_t> classCategory_;
};

}  // namespace calc
