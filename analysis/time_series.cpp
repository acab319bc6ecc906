#include "analysis/time_series.h"

#include <algorithm>

void CTimeSeries::Set(std::int64_t key, std::int32_t amount) {
    if (entries_.empty() || entries_.back().first < key) {
        entries_.emplace_back(key, amount);
        return;
    }
    auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                               [](const Entry& e, std::int64_t k) { return e.first < k; });
    if (it != entries_.end() && it->first == key) {
        it->second = amount;
    } else {
        entries_.insert(it, Entry{key, amount});
    }
}

const std::int32_t* CTimeSeries::Find(std::int64_t key) const {
    auto it = std::lower_bound(entries_.begin(), entries_.end(), key,
                               [](const Entry& e, std::int64_t k) { return e.first < k; });
    return it != entries_.end() && it->first == key ? &it->second : nullptr;
}

void CTimeSeries::Merge(const CTimeSeries& other) {
    for (const Entry& e : other.entries_) Set(e.first, e.second);
}
