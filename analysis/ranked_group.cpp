#include "analysis/ranked_group.h"

#include <bit>
#include <cassert>
#include <cmath>
#include <numeric>

namespace {

// An unsigned key that orders like `value`, lowest first. -0.0 and +0.0
// compare equal as floats and so get the same key. The figures come from
// counts divided by positive counts (or are fixed "no data" values), so they
// are never NaN.
std::uint32_t AscendingKey(float value) {
    assert(!std::isnan(value));
    if (value == 0.0F) value = 0.0F;
    const auto bits = std::bit_cast<std::uint32_t>(value);
    return (bits & 0x8000'0000U) != 0 ? ~bits : bits | 0x8000'0000U;
}

std::uint32_t AscendingKey(std::int32_t value) {
    return static_cast<std::uint32_t>(value) ^ 0x8000'0000U;
}

std::uint32_t DescendingKey(float value) { return ~AscendingKey(value); }
std::uint32_t DescendingKey(std::int32_t value) { return ~AscendingKey(value); }

// Sorts `order` stably by keys[member], lowest first: an LSD radix sort by
// bytes, skipping the bytes in which all keys agree (the high bytes of small
// counts, and mostly the hand counts' upper bytes).
void StableSortByKey(std::vector<std::uint32_t>& order, const std::vector<std::uint64_t>& keys,
                     CRankedGroup::Scratch& s) {
    const std::size_t n = order.size();
    s.items.resize(n);
    s.spare.resize(n);
    std::array<std::array<std::uint32_t, 256>, 8> counts{};
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t member = order[i];
        const std::uint64_t key = keys[member];
        s.items[i] = CRankedGroup::Scratch::Item{key, member};
        for (std::size_t b = 0; b < 8; ++b) ++counts[b][(key >> (8 * b)) & 0xFF];
    }
    CRankedGroup::Scratch::Item* from = s.items.data();
    CRankedGroup::Scratch::Item* to = s.spare.data();
    for (std::size_t b = 0; b < 8; ++b) {
        auto& count = counts[b];
        const unsigned shift = static_cast<unsigned>(8 * b);
        if (count[(from[0].key >> shift) & 0xFF] == n)
            continue;  // one digit only: the pass would change nothing
        std::array<std::uint32_t, 256> start;
        std::uint32_t sum = 0;
        for (std::size_t d = 0; d < 256; ++d) {
            start[d] = sum;
            sum += count[d];
        }
        for (std::size_t i = 0; i < n; ++i) to[start[(from[i].key >> shift) & 0xFF]++] = from[i];
        std::swap(from, to);
    }
    for (std::size_t i = 0; i < n; ++i) order[i] = from[i].member;
}

// Sorts, then stores each member's 0-based place in `ranks`.
void SortAndStore(std::vector<std::uint32_t>& order, const std::vector<std::uint64_t>& keys,
                  std::vector<std::int32_t>& ranks, CRankedGroup::Scratch& s) {
    StableSortByKey(order, keys, s);
    for (std::size_t i = 0; i < order.size(); ++i) ranks[order[i]] = static_cast<std::int32_t>(i);
}

// place * 10 / count in single precision, truncated: 0 to 9.
void StoreScores(const std::vector<std::int32_t>& places, std::vector<std::int32_t>& scores) {
    const auto count = static_cast<float>(places.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
        scores[i] = static_cast<std::int32_t>(static_cast<float>(places[i]) * 10.0F / count);
    }
}

}  // namespace

void CRankedGroup::Figures::Resize(std::size_t count) {
    for (auto* v : {&hands, &betCheck, &raiseCall}) v->resize(count);
    for (auto* v : {&pfr, &reRaise, &checkRaise, &earlyPlay, &foldTurn, &foldRiver, &foldShowdown})
        v->resize(count);
}

void CRankedGroup::Rank(const Figures& f, Results& results, Scratch& s) {
    const std::size_t n = f.Size();
    for (auto& r : results) r.resize(n);
    if (n == 0) return;
    s.keys.resize(n);
    s.order.resize(n);
    std::iota(s.order.begin(), s.order.end(), 0U);
    s.sum.assign(n, 0);

    // Passive/aggressive: the figure highest first, then fewer hands first.
    auto rankPA = [&](const auto& values, Output output) {
        for (std::size_t i = 0; i < n; ++i) {
            s.keys[i] = std::uint64_t{DescendingKey(values[i])} << 32 | AscendingKey(f.hands[i]);
        }
        auto& ranks = results[output];
        SortAndStore(s.order, s.keys, ranks, s);
        for (std::size_t i = 0; i < n; ++i) s.sum[i] += ranks[i];
    };
    rankPA(f.pfr, kRankPFR);
    rankPA(f.betCheck, kRankBetCheck);
    rankPA(f.raiseCall, kRankRaiseCall);
    rankPA(f.reRaise, kRankReRaise);
    rankPA(f.checkRaise, kRankCheckRaise);
    // The sum of five places below the count (a 32-bit count of records)
    // fits the key with room to spare.
    for (std::size_t i = 0; i < n; ++i) s.keys[i] = DescendingKey(s.sum[i]);
    SortAndStore(s.order, s.keys, results[kScorePA], s);
    StoreScores(results[kScorePA], results[kScorePA]);

    // Loose/tight: early play highest first, the fold figures lowest first;
    // ties keep the previous order.
    s.sum.assign(n, 0);
    auto rankLT = [&](const std::vector<float>& values, bool highestFirst, Output output) {
        for (std::size_t i = 0; i < n; ++i)
            s.keys[i] = highestFirst ? DescendingKey(values[i]) : AscendingKey(values[i]);
        auto& ranks = results[output];
        SortAndStore(s.order, s.keys, ranks, s);
        for (std::size_t i = 0; i < n; ++i) s.sum[i] += ranks[i];
    };
    rankLT(f.earlyPlay, true, kRankEarlyPlay);
    rankLT(f.foldTurn, false, kRankFoldTurn);
    rankLT(f.foldRiver, false, kRankFoldRiver);
    rankLT(f.foldShowdown, false, kRankFoldShowdown);
    for (std::size_t i = 0; i < n; ++i) s.keys[i] = DescendingKey(s.sum[i]);
    SortAndStore(s.order, s.keys, results[kScoreLT], s);
    StoreScores(results[kScoreLT], results[kScoreLT]);
}

void CRankedGroup::Insert(CPlayerStats* record) {
    if (members_.insert(record).second) orderedStale_ = true;
}

void CRankedGroup::RankMembers() {
    if (orderedStale_) {
        // Members only join, so the old order is a subsequence of the new
        // one: what was stored for a member moves with him.
        std::vector<CPlayerStats*> ordered(members_.begin(), members_.end());
        Results stored;
        for (std::size_t o = 0; o < kOutputCount; ++o) {
            stored[o].assign(ordered.size(), -1);
            std::size_t old = 0;
            for (std::size_t i = 0; i < ordered.size() && old < ordered_.size(); ++i) {
                if (ordered[i] == ordered_[old]) stored[o][i] = stored_[o][old++];
            }
        }
        ordered_ = std::move(ordered);
        stored_ = std::move(stored);
        orderedStale_ = false;
    }
    const std::size_t n = ordered_.size();
    if (n == 0) return;

    figures_.Resize(n);
    constexpr std::size_t kAhead = 8;
    for (std::size_t i = 0; i < n; ++i) {
        // The records lie far apart: fetch a few ahead while this one is read.
        if (i + kAhead < n) {
            const char* bytes = reinterpret_cast<const char*>(ordered_[i + kAhead]);
            __builtin_prefetch(bytes);
            __builtin_prefetch(bytes + 64);
            __builtin_prefetch(bytes + 128);
            __builtin_prefetch(bytes + 192);
        }
        const CPlayerStats::RankFigures r = ordered_[i]->FiguresForRanking();
        figures_.hands[i] = r.hands;
        figures_.pfr[i] = r.pfr;
        figures_.betCheck[i] = r.betCheck;
        figures_.raiseCall[i] = r.raiseCall;
        figures_.reRaise[i] = r.reRaise;
        figures_.checkRaise[i] = r.checkRaise;
        figures_.earlyPlay[i] = r.earlyPlay;
        figures_.foldTurn[i] = r.foldTurn;
        figures_.foldRiver[i] = r.foldRiver;
        figures_.foldShowdown[i] = r.foldShowdown;
    }

    Rank(figures_, results_, scratch_);

    // Only values that changed are written: most records keep most of their
    // ranks from one live hand to the next, and a record left alone costs
    // no memory traffic.
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t o = 0; o < kOutputCount; ++o) {
            const std::int32_t now = results_[o][i];
            std::int32_t& stored = stored_[o][i];
            if (now == stored) continue;
            stored = now;
            ordered_[i]->SetCounter(kCounterOf[o], now);
        }
    }
}
