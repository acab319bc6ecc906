#include "hands/action_table.h"

#include <cassert>
#include <cstring>
#include <type_traits>

#include "hands/parse_error.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

static_assert(std::is_trivially_copyable_v<CAction>, "actions are moved as bytes");

std::span<const CAction> CActionTable::List(int position, int street) const {
    if (position < 0 || position >= kPositions || street < 0 || street >= kStreets) return {};
    auto slot = SlotOf(position, street);
    return std::span<const CAction>(items_.data() + start_[slot], start_[slot + 1] - start_[slot]);
}

void CActionTable::Append(int position, int street, const CAction& action) {
    assert(position >= 0 && position < kPositions && street >= 0 && street < kStreets);
    if (items_.size() >= kMaxActions) throw CParseError("too many actions in one hand");
    auto slot = SlotOf(position, street);
    // One block for a typical hand instead of growing through 1, 2, 4 ...
    if (items_.capacity() == 0) items_.reserve(kTypicalActions);
    // Lists are stored back to back: insert at the end of this list and move
    // the start of every later list by one.
    std::size_t at = start_[slot + 1];
    std::size_t after = items_.size() - at;
    items_.emplace_back();
    // Usually the list is near the end and few actions move: those are
    // moved one by one, more with one byte move (actions are plain data).
    CAction* items = items_.data();
    if (after <= 4) {
        for (std::size_t i = at + after; i > at; --i) items[i] = items[i - 1];
    } else {
        std::memmove(items + at + 1, items + at, after * sizeof(CAction));
    }
    items[at] = action;
    // Every later list now starts one further on.
#if defined(__SSE2__)
    // Eight starts at a time: lanes whose index is above `slot` gain one (a
    // comparison gives -1 there, which is subtracted).
    alignas(16) static constexpr std::array<std::uint16_t, kStartBlocks* 8> kIndex = [] {
        std::array<std::uint16_t, kStartBlocks * 8> index{};
        for (std::size_t i = 0; i < index.size(); ++i) index[i] = static_cast<std::uint16_t>(i);
        return index;
    }();
    // All blocks, unrolled: a fixed sequence is cheaper than a loop whose
    // length depends on the slot.
    const __m128i limit = _mm_set1_epi16(static_cast<short>(slot));
#pragma GCC unroll 8
    for (std::size_t block = 0; block < kStartBlocks; ++block) {
        auto* starts = reinterpret_cast<__m128i*>(start_.data() + block * 8);
        __m128i index = _mm_load_si128(reinterpret_cast<const __m128i*>(kIndex.data() + block * 8));
        _mm_storeu_si128(starts,
                         _mm_sub_epi16(_mm_loadu_si128(starts), _mm_cmpgt_epi16(index, limit)));
    }
#else
    for (std::size_t i = slot + 1; i < start_.size(); ++i) ++start_[i];
#endif
}

void CActionTable::Clear() {
    items_.clear();
    start_.fill(0);
}
