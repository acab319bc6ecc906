#pragma once
// CTimeSeries: a player's net results by time key, ordered by key; setting
// an existing key overwrites it. Kept as one sorted array because hands
// arrive nearly always in time order (an append), which keeps a stored hand
// at 16 bytes per player instead of a tree node; a hand older than the
// newest entry costs a move of the entries after it.

#include <cstdint>
#include <utility>
#include <vector>

class CTimeSeries {
public:
    using Entry = std::pair<std::int64_t, std::int32_t>;

    void Set(std::int64_t key, std::int32_t amount);
    // The amount at `key`, or nullptr.
    const std::int32_t* Find(std::int64_t key) const;
    // Sets every entry of `other` here (same keys overwrite).
    void Merge(const CTimeSeries& other);
    void Clear() { entries_.clear(); }
    bool Empty() const { return entries_.empty(); }
    std::size_t Size() const { return entries_.size(); }
    const std::vector<Entry>& Entries() const { return entries_; }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    std::vector<Entry> entries_;
};
