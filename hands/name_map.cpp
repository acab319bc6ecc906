#include "hands/name_map.h"

#include <cassert>
#include <cstring>

#include "hands/parse_error.h"

const std::int32_t* CNameMap::Find(std::string_view name) const {
    if (name.empty()) {
        for (const Slot& slot : slots_) {
            if (slot.length == 0) return &slot.value;
        }
        return nullptr;
    }
    // Length and first byte tell most names apart before a full compare.
    const char* base = names_.data();
    for (const Slot& slot : slots_) {
        if (slot.length == name.size() && base[slot.offset] == name[0] &&
            std::memcmp(base + slot.offset, name.data(), name.size()) == 0) {
            return &slot.value;
        }
    }
    return nullptr;
}

std::int32_t* CNameMap::FindSlot(std::string_view name) {
    return const_cast<std::int32_t*>(static_cast<const CNameMap*>(this)->Find(name));
}

void CNameMap::Set(std::string_view name, std::int32_t value) {
    if (std::int32_t* existing = FindSlot(name)) {
        *existing = value;
        return;
    }
    // Offsets are 32-bit: a hand's names together stay far below 4 GB.
    if (names_.size() + name.size() > UINT32_MAX) throw CParseError("player names too long");
    if (slots_.capacity() == 0) {
        // Room for a full table at once instead of growing name by name.
        slots_.reserve(kTypicalNames);
        names_.reserve(kTypicalNames * 12);
    }
    slots_.push_back(Slot{static_cast<std::uint32_t>(names_.size()),
                          static_cast<std::uint32_t>(name.size()), value});
    names_.append(name);
}

CNameMap::Entry CNameMap::At(std::size_t i) const {
    assert(i < slots_.size());
    const Slot& slot = slots_[i];
    return Entry{std::string_view(names_).substr(slot.offset, slot.length), slot.value};
}

void CNameMap::Clear() {
    names_.clear();
    slots_.clear();
}

void CNameMap::ShrinkToFit() {
    slots_.shrink_to_fit();
    names_.shrink_to_fit();
}

std::size_t CNameMap::HeapBytes() const {
    std::size_t bytes = slots_.capacity() * sizeof(Slot);
    // Short strings live inside the string object itself.
    if (names_.capacity() > 15) bytes += names_.capacity() + 1;
    return bytes;
}
