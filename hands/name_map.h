#pragma once
// CNameMap: a small map from player name to a 32-bit value, used by a hand
// for positions by qualified name and for extra posts. Names are kept back to
// back in one string so a hand holds two heap blocks per map, not one per
// name. Look-up is by exact byte comparison; entries keep insertion order.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CNameMap {
  public:
    struct Entry {
        std::string_view name;
        std::int32_t value;
    };

    // The value stored for `name`, or nullptr when the name is absent. The
    // pointer is valid until the map is next changed.
    const std::int32_t* Find(std::string_view name) const;
    // As Find(head + tail), without joining the two: a parser looks up a
    // name as written in a line plus the tag of the hand's game type.
    const std::int32_t* FindJoined(std::string_view head, std::string_view tail) const;
    bool Contains(std::string_view name) const { return Find(name) != nullptr; }
    // Stores `value` for `name`, replacing an earlier value.
    void Set(std::string_view name, std::int32_t value);
    // Number of names.
    std::size_t Size() const { return slots_.size(); }
    bool Empty() const { return slots_.empty(); }
    // Entry `i` (0 <= i < Size()) in insertion order.
    Entry At(std::size_t i) const;
    void Clear();
    // Makes room for `names` more names of `bytes` bytes in all, so that
    // adding them allocates once and ShrinkToFit has nothing to give back.
    void Reserve(std::size_t names, std::size_t bytes);
    // Gives back storage beyond what the names hold.
    void ShrinkToFit();
    // Heap bytes held (for memory accounting).
    std::size_t HeapBytes() const;

  private:
    struct Slot {
        std::uint32_t offset;
        std::uint32_t length;
        std::int32_t value;
        std::uint32_t key;  // KeyOf(name)
    };
    static std::uint32_t KeyOf(std::string_view name);
    // The key of a name of `size` bytes with these first, middle (at
    // size / 2) and last bytes.
    static std::uint32_t KeyOf(std::size_t size, char first, char middle, char last) {
        return static_cast<std::uint32_t>(size) * 0x9E3779B1u ^
               (static_cast<std::uint32_t>(static_cast<unsigned char>(first)) |
                static_cast<std::uint32_t>(static_cast<unsigned char>(middle)) << 8 |
                static_cast<std::uint32_t>(static_cast<unsigned char>(last)) << 16);
    }
    std::int32_t* FindSlot(std::string_view name);
    static constexpr std::size_t kTypicalNames = 10;

    std::string names_;
    std::vector<Slot> slots_;
};
