#pragma once
// CPlayerIndex: player records by key for the hand fold, an open-addressing
// table of (hash, record) pairs. A look-up touches one slot and then the
// record itself, which the fold reads next anyway; a tree or a node-based
// hash map would add cache misses on every one of the millions of look-ups
// of a start-up fold.

#include <cstdint>
#include <string_view>
#include <vector>

class CPlayerStats;

class CPlayerIndex {
  public:
    // The record with `key`, or nullptr.
    CPlayerStats* Find(std::string_view key) const;
    // Adds a record under its own key (which must not be present yet).
    void Insert(CPlayerStats* record);
    std::size_t Size() const { return size_; }

  private:
    struct Slot {
        std::uint64_t hash = 0;
        CPlayerStats* record = nullptr;
    };
    static std::uint64_t Hash(std::string_view key);
    void Grow();

    std::vector<Slot> slots_;  // size a power of two, at most half full
    std::size_t size_ = 0;
};
