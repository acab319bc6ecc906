#include "hands/action_table.h"

#include <cassert>
#include <cstring>
#include <type_traits>

#include "hands/parse_error.h"

static_assert(std::is_trivially_copyable_v<CAction>, "actions are moved as bytes");

std::span<const CAction> CActionTable::List(int position, int street) const {
    if (position < 0 || position >= kPositions || street < 0 || street >= kStreets) return {};
    auto slot = static_cast<std::size_t>(position * kStreets + street);
    return std::span<const CAction>(items_.data() + start_[slot], start_[slot + 1] - start_[slot]);
}

void CActionTable::Append(int position, int street, const CAction& action) {
    assert(position >= 0 && position < kPositions && street >= 0 && street < kStreets);
    if (items_.size() >= kMaxActions) throw CParseError("too many actions in one hand");
    auto slot = static_cast<std::size_t>(position * kStreets + street);
    // One block for a typical hand instead of growing through 1, 2, 4 ...
    if (items_.capacity() == 0) items_.reserve(kTypicalActions);
    // Lists are stored back to back: insert at the end of this list and move
    // the start of every later list by one.
    // Actions are plain data: the later lists move up by one with a single
    // byte move.
    std::size_t at = start_[slot + 1];
    std::size_t after = items_.size() - at;
    items_.emplace_back();
    if (after > 0) std::memmove(items_.data() + at + 1, items_.data() + at, after * sizeof(CAction));
    items_[at] = action;
    // Every later list now starts one further on: add one to starts
    // slot + 1 onwards, four 16-bit starts per 64-bit word (no start comes
    // near 65535, so no lane carries into the next).
    constexpr std::uint64_t kOnes = 0x0001000100010001ull;
    constexpr std::size_t kWords = sizeof(start_) / sizeof(std::uint64_t);
    std::uint64_t words[kWords];
    std::memcpy(words, start_.data(), sizeof(words));
    std::size_t first = slot + 1;
    words[first / 4] += kOnes << (16 * (first % 4));
    for (std::size_t w = first / 4 + 1; w < kWords; ++w) words[w] += kOnes;
    std::memcpy(start_.data(), words, sizeof(words));
}

void CActionTable::Clear() {
    items_.clear();
    start_.fill(0);
}
