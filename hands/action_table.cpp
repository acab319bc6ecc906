#include "hands/action_table.h"

#include <cassert>

#include "hands/parse_error.h"

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
    items_.insert(items_.begin() + start_[slot + 1], action);
    for (std::size_t s = slot + 1; s <= kSlots; ++s) ++start_[s];
}

void CActionTable::Clear() {
    items_.clear();
    start_.fill(0);
}
