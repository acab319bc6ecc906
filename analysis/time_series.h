#pragma once
// CTimeSeries: a player's net results by time key, ordered by key; setting
// an existing key overwrites it. Kept as one sorted array because hands
// arrive nearly always in time order (an append), which keeps a stored hand
// at 16 bytes per player instead of a tree node. An entry older than the
// newest one waits in a side list until the series is next read, when all
// waiting entries are sorted and merged in at once: a history read out of
// time order (files of several tables, one after the other) then costs a
// sort rather than a move of the whole array for every hand.
//
// Reading a series may thus merge its waiting entries; like the rest of the
// hand database it belongs to the one thread that runs the analyzer.

#include <cstdint>
#include <utility>
#include <vector>

class CTimeSeries {
  public:
    using Entry = std::pair<std::int64_t, std::int32_t>;

    void Set(std::int64_t key, std::int32_t amount);
    // Makes room for `count` more entries: exactly when that is far beyond
    // the current capacity, else the usual growth.
    void Reserve(std::size_t count);
    // The amount at `key`, or nullptr.
    const std::int32_t* Find(std::int64_t key) const;
    // Sets every entry of `other` here (same keys overwrite).
    void Merge(const CTimeSeries& other);
    void Clear() {
        entries_.clear();
        waiting_.clear();
    }
    bool Empty() const { return entries_.empty() && waiting_.empty(); }
    std::size_t Size() const { return Entries().size(); }
    // All entries by key.
    const std::vector<Entry>& Entries() const {
        Settle();
        return entries_;
    }
    auto begin() const { return Entries().begin(); }
    auto end() const { return Entries().end(); }
    // Whether entries wait to be merged; Settle merges them into the sorted
    // array.
    bool Unsettled() const { return !waiting_.empty(); }
    void Settle() const;

  private:
    // Sorted by key, one entry per key.
    mutable std::vector<Entry> entries_;
    // Entries whose key was not above the last key of entries_ when set, in
    // the order set; a waiting entry is always newer than an entry of
    // entries_ with the same key.
    mutable std::vector<Entry> waiting_;
};
