#include "analysis/player_index.h"

#include "analysis/player_stats.h"

std::uint64_t CPlayerIndex::Hash(std::string_view key) {
    // FNV-1a, then a final mix so that the low bits used for the slot depend
    // on every byte.
    std::uint64_t h = 1469598103934665603ULL;
    for (unsigned char c : key) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return h;
}

CPlayerStats* CPlayerIndex::Find(std::string_view key) const {
    if (slots_.empty()) return nullptr;
    std::uint64_t h = Hash(key);
    std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.record == nullptr) return nullptr;
        if (slot.hash == h && slot.record->Key() == key) return slot.record;
    }
}

void CPlayerIndex::Insert(CPlayerStats* record) {
    if ((size_ + 1) * 2 > slots_.size()) Grow();
    std::uint64_t h = Hash(record->Key());
    std::size_t mask = slots_.size() - 1;
    std::size_t i = h & mask;
    while (slots_[i].record != nullptr) i = (i + 1) & mask;
    slots_[i] = Slot{h, record};
    ++size_;
}

void CPlayerIndex::Grow() {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
    std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.record == nullptr) continue;
        std::size_t i = slot.hash & mask;
        while (slots_[i].record != nullptr) i = (i + 1) & mask;
        slots_[i] = slot;
    }
}
