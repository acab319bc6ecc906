#include "hands/card_array.h"

#include <algorithm>
#include <cassert>

namespace {

constexpr std::size_t kRecordBytes = 12;

}  // namespace

void CCardArray::Reserve(std::size_t size) {
    if (size <= cards_.capacity()) return;
    // Grow in steps like the framework array: the set step, or else an
    // eighth of the current size, at least 4 and at most 1024 elements.
    std::size_t step = growBy_ > 0 ? static_cast<std::size_t>(growBy_)
                                   : std::clamp<std::size_t>(cards_.size() / 8, 4, 1024);
    cards_.reserve(std::max(size, cards_.size() + step));
}

void CCardArray::SetSize(std::size_t size, int growBy) {
    if (growBy > 0) growBy_ = growBy;
    Reserve(size);
    cards_.resize(size, CCard{0, 0, 0});
}

const CCard& CCardArray::GetAt(std::size_t i) const {
    assert(i < cards_.size());
    return cards_[i];
}

CCard& CCardArray::operator[](std::size_t i) {
    assert(i < cards_.size());
    return cards_[i];
}

void CCardArray::SetAtGrow(std::size_t i, const CCard& card) {
    if (i >= cards_.size()) SetSize(i + 1);
    cards_[i] = card;
}

std::size_t CCardArray::Add(const CCard& card) {
    std::size_t at = cards_.size();
    SetAtGrow(at, card);
    return at;
}

void CCardArray::RemoveAll() { cards_.clear(); }

void CCardArray::Serialize(CArchive& archive) {
    if (archive.IsStoring()) {
        archive.WriteCount(static_cast<std::uint32_t>(cards_.size()));
        for (const CCard& card : cards_) {
            archive.WriteInt32(card.index);
            archive.WriteInt32(card.rank);
            archive.WriteInt32(card.suit);
        }
        return;
    }
    RemoveAll();
    std::uint32_t count = archive.ReadCount();
    // A damaged count must not make us allocate gigabytes before the short
    // read is noticed: check the bytes first.
    if (archive.Remaining() / kRecordBytes < count) throw CArchiveEndOfFile();
    SetSize(count);
    for (CCard& card : cards_) {
        card.index = archive.ReadInt32();
        card.rank = archive.ReadInt32();
        card.suit = archive.ReadInt32();
    }
}
