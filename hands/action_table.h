#pragma once
// CActionTable: the action lists of a hand by position and street, kept in
// one contiguous block so a stored hand needs one heap block for all fifty
// lists. Each list keeps the order in which its actions were appended.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "hands/action.h"

class CActionTable {
  public:
    static constexpr int kPositions = 10;
    static constexpr int kStreets = 5;
    // A hand with more actions than this is not a real hand; appending more
    // throws CParseError so hostile input cannot make appending quadratic.
    static constexpr std::size_t kMaxActions = 2000;

    // The list of `position` (0..9) on `street` (0..4), oldest first. Out of
    // range arguments give an empty list.
    std::span<const CAction> List(int position, int street) const;
    // Appends `action` at the end of the list of `position` on `street`
    // (both must be in range).
    void Append(int position, int street, const CAction& action);
    // Number of actions in all lists.
    std::size_t TotalCount() const { return items_.size(); }
    // Number of actions of all positions on `street` (0..4).
    std::size_t StreetCount(int street) const {
        return static_cast<std::size_t>(start_[SlotOf(0, street + 1)] - start_[SlotOf(0, street)]);
    }
    // Heap bytes held (for memory accounting).
    std::size_t HeapBytes() const { return items_.capacity() * sizeof(CAction); }
    void Clear();
    // Gives back storage beyond what the lists hold, when that is worth
    // moving them (a few spare actions are left in place).
    void ShrinkToFit() {
        if (items_.capacity() - items_.size() >= kWorthShrinking) items_.shrink_to_fit();
    }

  private:
    static constexpr std::size_t kSlots = kPositions * kStreets;
    // Lists are laid out street by street: a hand is read in street order,
    // so an action is appended at or near the end of the block and few
    // later actions have to move.
    static std::size_t SlotOf(int position, int street) {
        return static_cast<std::size_t>(street * kPositions + position);
    }
    static constexpr std::size_t kTypicalActions = 24;
    static constexpr std::size_t kWorthShrinking = 4;
    // start_[s] is the offset of list s in items_; start_[kSlots] the end.
    // The array is padded to whole blocks of eight starts so that moving the
    // later starts on an append works a block at a time.
    static constexpr std::size_t kStartBlocks = (kSlots + 1 + 7) / 8;
    std::array<std::uint16_t, kStartBlocks * 8> start_{};
    std::vector<CAction> items_;
};
