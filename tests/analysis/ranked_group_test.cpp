#include "analysis/ranked_group.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>

namespace {

using G = CRankedGroup;

// The ranking as a chain of comparison-based stable sorts over the figures,
// written the plain way: the reference the radix sorts must match exactly.
G::Results ReferenceRank(const G::Figures& f) {
    const std::size_t n = f.Size();
    G::Results out;
    for (auto& r : out) r.assign(n, 0);
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0U);
    auto sortAndStore = [&](auto less, std::vector<std::int32_t>& ranks) {
        std::stable_sort(order.begin(), order.end(), less);
        for (std::size_t i = 0; i < n; ++i) ranks[order[i]] = static_cast<std::int32_t>(i);
    };
    auto score = [&](std::vector<std::int32_t>& places) {
        for (auto& p : places) p = static_cast<int>(static_cast<float>(p) * 10.0F / static_cast<float>(n));
    };
    std::vector<int> sum(n, 0);
    auto rankPA = [&](const auto& v, G::Output o) {
        sortAndStore([&](std::uint32_t a, std::uint32_t b) { return v[a] != v[b] ? v[a] > v[b] : f.hands[a] < f.hands[b]; },
                     out[o]);
        for (std::size_t i = 0; i < n; ++i) sum[i] += out[o][i];
    };
    rankPA(f.pfr, G::kRankPFR);
    rankPA(f.betCheck, G::kRankBetCheck);
    rankPA(f.raiseCall, G::kRankRaiseCall);
    rankPA(f.reRaise, G::kRankReRaise);
    rankPA(f.checkRaise, G::kRankCheckRaise);
    sortAndStore([&](std::uint32_t a, std::uint32_t b) { return sum[a] > sum[b]; }, out[G::kScorePA]);
    score(out[G::kScorePA]);
    sum.assign(n, 0);
    auto rankLT = [&](const std::vector<float>& v, bool highestFirst, G::Output o) {
        sortAndStore([&](std::uint32_t a, std::uint32_t b) { return highestFirst ? v[a] > v[b] : v[a] < v[b]; }, out[o]);
        for (std::size_t i = 0; i < n; ++i) sum[i] += out[o][i];
    };
    rankLT(f.earlyPlay, true, G::kRankEarlyPlay);
    rankLT(f.foldTurn, false, G::kRankFoldTurn);
    rankLT(f.foldRiver, false, G::kRankFoldRiver);
    rankLT(f.foldShowdown, false, G::kRankFoldShowdown);
    sortAndStore([&](std::uint32_t a, std::uint32_t b) { return sum[a] > sum[b]; }, out[G::kScoreLT]);
    score(out[G::kScoreLT]);
    return out;
}

// A group whose figures come from a few values each, so that most members
// tie with others: signed zeros, negatives ("no data"), large and tiny
// values, and hand counts that sometimes differ between equal figures.
G::Figures RandomFigures(std::size_t n, std::uint32_t seed, int distinct) {
    std::mt19937 rng(seed);
    const float floats[] = {0.0F, -0.0F, -1.0F, 0.5F, 12.5F, 12.5F, 100.0F, 1e-30F, -1e30F, 33.333332F, 3e38F};
    const std::int32_t ints[] = {-1, 0, 0, 1, 100, -2147483647 - 1, 2147483647, 250};
    std::uniform_int_distribution<int> pickFloat(0, std::min<int>(distinct, std::size(floats)) - 1);
    std::uniform_int_distribution<int> pickInt(0, std::min<int>(distinct, std::size(ints)) - 1);
    std::uniform_int_distribution<int> pickHands(20, 20 + distinct);
    G::Figures f;
    f.Resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        f.hands[i] = rng() % 7 == 0 ? 70000 + pickHands(rng) : pickHands(rng);
        f.betCheck[i] = ints[pickInt(rng)];
        f.raiseCall[i] = ints[pickInt(rng)];
        for (auto* v : {&f.pfr, &f.reRaise, &f.checkRaise, &f.earlyPlay, &f.foldTurn, &f.foldRiver, &f.foldShowdown}) {
            (*v)[i] = floats[pickFloat(rng)];
        }
    }
    return f;
}

TEST(RankedGroup, RadixChainMatchesStableSortChain) {
    struct Case {
        std::size_t members;
        int distinct;  // how many values each figure takes at most
    };
    const Case cases[] = {
        {1, 3}, {2, 1}, {3, 2}, {17, 2}, {100, 3}, {257, 11}, {1000, 4}, {5000, 11}, {20000, 2},
    };
    for (const Case& c : cases) {
        for (std::uint32_t seed = 1; seed <= 3; ++seed) {
            SCOPED_TRACE("members " + std::to_string(c.members) + ", distinct " + std::to_string(c.distinct) +
                         ", seed " + std::to_string(seed));
            const G::Figures f = RandomFigures(c.members, seed, c.distinct);
            G::Results got;
            G::Scratch scratch;
            G::Rank(f, got, scratch);
            const G::Results want = ReferenceRank(f);
            for (int o = 0; o < G::kOutputCount; ++o) {
                ASSERT_EQ(got[static_cast<std::size_t>(o)], want[static_cast<std::size_t>(o)]) << "output " << o;
            }
        }
    }
}

TEST(RankedGroup, SignedZerosTieAndHandsBreakTies) {
    // Members 0 and 1 hold -0.0 and +0.0 with equal hands: a tie, so key
    // order stays. Member 2 has the same PFR with fewer hands and goes first.
    G::Figures f;
    f.Resize(3);
    f.hands = {30, 30, 25};
    f.pfr = {-0.0F, 0.0F, 0.0F};
    f.foldTurn = {0.0F, -0.0F, 0.0F};
    G::Results got;
    G::Scratch scratch;
    G::Rank(f, got, scratch);
    EXPECT_EQ(got[G::kRankPFR], (std::vector<std::int32_t>{1, 2, 0}));
    EXPECT_EQ(got[G::kRankFoldTurn], ReferenceRank(f)[G::kRankFoldTurn]);
}

}  // namespace
