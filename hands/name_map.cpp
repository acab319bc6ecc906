#include "hands/name_map.h"

#include <cassert>

#include "hands/parse_error.h"
#include "hands/parse_text.h"

std::uint32_t CNameMap::KeyOf(std::string_view name) {
    if (name.empty()) return 0;
    return KeyOf(name.size(), name[0], name[name.size() / 2], name.back());
}

const std::int32_t* CNameMap::Find(std::string_view name) const {
    // The key (length and three bytes) tells names apart with one compare
    // per entry; the bytes are compared only on a likely hit, inline since
    // names are short.
    const std::uint32_t key = KeyOf(name);
    const char* base = names_.data();
    for (const Slot& slot : slots_) {
        if (slot.key == key && slot.length == name.size() &&
            hands::SameBytes(base + slot.offset, name.data(), name.size())) {
            return &slot.value;
        }
    }
    return nullptr;
}

const std::int32_t* CNameMap::FindJoined(std::string_view head, std::string_view tail) const {
    if (tail.empty()) return Find(head);
    // KeyOf of the joined name, its bytes taken from whichever part holds them.
    const std::size_t size = head.size() + tail.size();
    const std::size_t middle = size / 2;
    const char middleByte = middle < head.size() ? head[middle] : tail[middle - head.size()];
    const char firstByte = head.empty() ? tail[0] : head[0];
    const std::uint32_t key = KeyOf(size, firstByte, middleByte, tail.back());
    const char* base = names_.data();
    for (const Slot& slot : slots_) {
        if (slot.key == key && slot.length == size &&
            hands::SameBytes(base + slot.offset, head.data(), head.size()) &&
            hands::SameBytes(base + slot.offset + head.size(), tail.data(), tail.size())) {
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
                          static_cast<std::uint32_t>(name.size()), value, KeyOf(name)});
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

void CNameMap::Reserve(std::size_t names, std::size_t bytes) {
    slots_.reserve(slots_.size() + names);
    names_.reserve(names_.size() + bytes);
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
