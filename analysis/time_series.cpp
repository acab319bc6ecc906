#include "analysis/time_series.h"

#include <algorithm>

void CTimeSeries::Set(std::int64_t key, std::int32_t amount) {
    if (entries_.empty() || entries_.back().first < key) {
        entries_.emplace_back(key, amount);
        return;
    }
    // The newest key set again (a replayed hand) is overwritten in place
    // unless an older set of that key might be waiting.
    if (waiting_.empty() && entries_.back().first == key) {
        entries_.back().second = amount;
        return;
    }
    waiting_.emplace_back(key, amount);
}

void CTimeSeries::Reserve(std::size_t count) {
    const std::size_t needed = entries_.size() + count;
    if (needed <= entries_.capacity()) return;
    entries_.reserve(std::max(needed, entries_.capacity() * 2));
}

void CTimeSeries::Settle() const {
    if (waiting_.empty()) return;
    auto before = [](const Entry& e, std::int64_t k) { return e.first < k; };
    // A few waiting entries are put in place one by one; more are sorted
    // and merged in one pass over the array.
    constexpr std::size_t kMergeFrom = 16;
    if (waiting_.size() < kMergeFrom) {
        for (const Entry& w : waiting_) {
            auto it = std::lower_bound(entries_.begin(), entries_.end(), w.first, before);
            if (it != entries_.end() && it->first == w.first) {
                it->second = w.second;
            } else {
                entries_.insert(it, w);
            }
        }
        waiting_.clear();
        return;
    }
    std::stable_sort(waiting_.begin(), waiting_.end(),
                     [](const Entry& a, const Entry& b) { return a.first < b.first; });
    std::vector<Entry> merged;
    merged.reserve(entries_.size() + waiting_.size());
    auto listed = entries_.begin();
    for (std::size_t w = 0; w < waiting_.size(); ++w) {
        const std::int64_t key = waiting_[w].first;
        // Of several waiting entries with one key the last set wins.
        if (w + 1 < waiting_.size() && waiting_[w + 1].first == key) continue;
        const auto it = std::lower_bound(listed, entries_.end(), key, before);
        merged.insert(merged.end(), listed, it);
        listed = it;
        if (listed != entries_.end() && listed->first == key) ++listed;
        merged.push_back(waiting_[w]);
    }
    merged.insert(merged.end(), listed, entries_.end());
    entries_.swap(merged);
    std::vector<Entry>().swap(waiting_);
}

const std::int32_t* CTimeSeries::Find(std::int64_t key) const {
    Settle();
    auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                               [](const Entry& e, std::int64_t k) { return e.first < k; });
    return it != entries_.end() && it->first == key ? &it->second : nullptr;
}

void CTimeSeries::Merge(const CTimeSeries& other) {
    for (const Entry& e : other.Entries()) Set(e.first, e.second);
}
