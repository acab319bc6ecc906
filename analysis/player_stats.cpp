#include "analysis/player_stats.h"

#include <algorithm>
#include <cmath>

#include "analysis/hand_reference.h"
#include "analysis/net_result.h"
#include "hands/hand.h"

namespace {

float Percent(std::int64_t part, std::int64_t whole) {
    return static_cast<float>(part) * 100.0F / static_cast<float>(whole);
}

int Trunc(double value) { return static_cast<int>(std::trunc(value)); }

}  // namespace

CPlayerStats::CPlayerStats(std::string key, std::string tag)
    : key_(std::move(key)), tags_(key_), tag_(std::move(tag)), alerts_(key_) {}

std::int64_t CPlayerStats::Counter(int index) const {
    if (IsMoney(index)) return money_[static_cast<std::size_t>(index - kInvested)];
    return counters_.at(static_cast<std::size_t>(index));
}

void CPlayerStats::SetCounter(int index, std::int64_t value) {
    if (IsMoney(index)) {
        money_[static_cast<std::size_t>(index - kInvested)] = value;
    } else {
        counters_.at(static_cast<std::size_t>(index)) = static_cast<std::int32_t>(value);
    }
}

std::unique_ptr<CPlayerStats> CPlayerStats::CreateModelPlayer(std::string key, std::string tag,
                                                              const ModelFigures& m) {
    auto record = std::make_unique<CPlayerStats>(std::move(key), std::move(tag));
    const double h = m.hands;
    record->hands_ = m.hands;
    int foldFlop = Trunc(h * m.foldBeforeFlop / 100.0);
    int foldTurn = Trunc(h * m.foldBeforeTurn / 100.0 - foldFlop);
    int foldRiver = Trunc(h * m.foldBeforeRiver / 100.0 - foldFlop - foldTurn);
    auto& c = record->counters_;
    c[kFoldedPreflop] = foldFlop;
    c[kFoldedFlop] = foldTurn;
    c[kFoldedTurn] = foldRiver;
    c[kFoldedRiver] = 0;
    c[kFoldedShowdown] = 0;
    c[kReRaises] = Trunc(h * m.reRaise / 100.0);
    c[kActions] = m.hands;
    c[kPreflopRaised] = Trunc(h * m.pfr / 100.0);
    c[kCheckRaised] = Trunc(h * m.checkRaise / 100.0);
    c[kEarlyPlayed] = Trunc(h * m.earlyPlay / 100.0);
    c[kEarlyHands] = m.hands;
    c[kBets] = m.betCheck;
    c[kChecks] = 100;
    c[kRaises] = m.raiseCall;
    c[kCalls] = 100;
    return record;
}

// Add hand, for one player:
//  - a hand with known hole cards is filed under their class;
//  - a hand the player was dealt into is counted: streets seen, actions by
//    kind, the first preflop raise, early-position play, check-raises,
//    VP$IP, the street folded on, money in and out, the net result in the
//    session or all-time series, pots won, the tag record and, for live
//    hands, the alert rules;
//  - a hand he was not dealt into is only stored, and only for the user.
bool CPlayerStats::AddHand(const CHand& hand, bool live, const Context& context,
                           const CHandKey& handKey, int position) {
    const int pos = position >= 0 ? position : hand.PositionOf(key_);
    if (pos < 0 || pos >= CHand::kPositions) return false;
    const bool wasUnsettled = Unsettled();
    const auto p = static_cast<std::size_t>(pos);
    std::string_view cards = hand.holeCards[p];
    int classIndex = -1;
    if (!cards.empty() && context.reference != nullptr) {
        classIndex = context.reference->ClassOf(cards);
        if (classIndex >= 0)
            handsByClass_.emplace_back(static_cast<std::uint8_t>(classIndex), &hand);
    }
    lastUpdateTime_ = context.now;

    if (!hand.acted[p][0]) {
        bool isUserRecord = !context.userRecordExists || key_ == context.userName ||
                            key_ == std::string(context.userName) + tag_;
        if (isUserRecord) StoreHand(hand, handKey);
        return !wasUnsettled && Unsettled();
    }

    StoreHand(hand, handKey);
    ++hands_;
    auto& c = counters_;
    const bool blind = pos == 1 || pos == 2;
    bool voluntary = false;
    bool raisedPreflop = false;
    bool checkRaised = false;
    int foldStreet = -1;
    for (int street = 0; street < 4; ++street) {
        if (hand.acted[p][static_cast<std::size_t>(street)])
            ++c[static_cast<std::size_t>(kSawPreflop + street)];
        bool checked = false;
        for (const CAction& a : hand.Actions(pos, street)) {
            switch (a.kind) {
                case kActionFold:
                    ++c[kFolds];
                    if (foldStreet < 0) foldStreet = street;
                    break;
                case kActionCheck:
                    ++c[kChecks];
                    checked = true;
                    break;
                case kActionCall:
                    ++c[kCalls];
                    break;
                case kActionBet:
                    ++c[kBets];
                    break;
                case kActionRaise:
                    ++c[kRaises];
                    if (checked) checkRaised = true;
                    break;
                case kActionReraise:
                    ++c[kReRaises];
                    break;
                default:
                    continue;  // posts and the dealer marker are not actions of the player's
                               // choosing
            }
            ++c[kActions];
            if (!blind && (a.kind == kActionCall || a.kind == kActionBet ||
                           a.kind == kActionRaise || a.kind == kActionReraise)) {
                voluntary = true;
            }
            // A preflop re-raise is a preflop raise too: counting only the
            // first raise of the street would leave every 3-bet out of PFR.
            if (street == 0 && (a.kind == kActionRaise || a.kind == kActionReraise) &&
                !raisedPreflop) {
                raisedPreflop = true;
                ++c[kPreflopRaised];
                if (!cards.empty()) {
                    ++c[kPFRKnown];
                    if (classIndex >= 0 && CHandReference::IsAcesOrKings(classIndex))
                        ++c[kPFRAcesKings];
                    if (classIndex >= 0 && CHandReference::IsPremiumTen(classIndex))
                        ++c[kPFRPremium];
                }
            }
        }
    }

    int dealtOrder = 0;
    for (int q = 0; q < pos; ++q) dealtOrder += hand.acted[static_cast<std::size_t>(q)][0] ? 1 : 0;
    if (CHandReference::PositionClassOf(hand.GetPlayerCount(), dealtOrder) ==
            PositionClass::kEarly &&
        !hand.HasExtraPost(pos)) {
        ++c[kEarlyHands];
        if (voluntary) ++c[kEarlyPlayed];
    }
    if (checkRaised) ++c[kCheckRaised];

    // VP$IP: money beyond the forced bets. The dealer marker is passed over
    // so that a button who also posts the small blind (heads-up) is judged
    // as a small blind; a small blind counts only when he put in more than
    // his post.
    std::int32_t preflop = hand.streetInvested[p][0];
    if (preflop != 0) {
        int firstKind = -1;
        for (const CAction& a : hand.Actions(pos, 0)) {
            if (a.kind == kActionButton) continue;
            firstKind = a.kind;
            break;
        }
        bool counts = false;
        if (firstKind == kActionBigBlind) {
            counts = preflop > hand.bigBlind;
        } else if (firstKind == kActionSmallBlind) {
            counts = preflop > hand.smallBlind;
        } else if (hand.HasExtraPost(pos)) {
            counts = preflop > hand.bigBlind;
        } else {
            counts = true;
        }
        if (counts) ++c[kVoluntaryPut];
    }

    if (foldStreet >= 0) ++c[static_cast<std::size_t>(kFoldedPreflop + foldStreet)];

    const std::int64_t invested = analysis::NetInvested(hand, pos);
    const std::int64_t collected = hand.won[p];
    const std::int64_t net = collected - invested;
    auto money = [this](int index) -> std::int64_t& {
        return money_[static_cast<std::size_t>(index - kInvested)];
    };
    if (live) {
        money(kSessionInvested) += invested;
        money(kSessionCollected) += collected;
    }
    money(kInvested) += invested;
    money(kCollected) += collected;
    std::int64_t timeKey = hand.dateTime - context.seriesOrigin;
    (live ? sessionSeries_ : allTimeSeries_).Set(timeKey, static_cast<std::int32_t>(net));
    if (hand.collected[p]) ++c[kWonHands];
    tags_.Update(hand, context.userName);
    if (live && context.reference != nullptr) {
        EnsureAlertsAnalysed(*context.reference);
        alerts_.Analyse(hand, *context.reference);
    }
    return !wasUnsettled && Unsettled();
}

namespace {

// Room for `count` more elements: exactly what is needed when that is more
// than twice the capacity (a start-up fold), else the usual doubling.
template <typename Vector>
void ReserveMore(Vector& v, std::size_t count) {
    const std::size_t needed = v.size() + count;
    if (needed <= v.capacity()) return;
    v.reserve(std::max(needed, v.capacity() * 2));
}

}  // namespace

void CPlayerStats::ReserveHands(std::size_t count, bool live) {
    ReserveMore(playerHands_, count);
    (live ? sessionSeries_ : allTimeSeries_).Reserve(count);
}

void CPlayerStats::EnsureAlertsAnalysed(const CHandReference& reference) {
    if (alertsAnalysed_) return;
    alertsAnalysed_ = true;
    for (const CHand* hand : PlayerHands()) alerts_.Analyse(*hand, reference);
}

// Hands arrive nearly always in key order, so the list is kept sorted with
// an append in the common case; the others are merged in by Settle.
void CPlayerStats::StoreHand(const CHand& hand, const CHandKey& key) {
    if (playerHands_.empty() || lastKey_ < key) {
        playerHands_.push_back(&hand);
        lastKey_ = key;
        return;
    }
    outOfOrder_.emplace_back(key, &hand);
}

void CPlayerStats::Settle() const {
    SettleHands();
    allTimeSeries_.Settle();
    sessionSeries_.Settle();
}

namespace {

// A few waiting entries are put in place one by one; more are sorted and
// merged in one pass over the list.
constexpr std::size_t kMergeFrom = 16;

CHandKey KeyOf(const CHand* hand) { return CHandKey::Of(*hand); }

}  // namespace

// A waiting hand's key was never above lastKey_ when it was filed, and keys
// appended since are above it, so a waiting hand is always filed later than
// a listed hand with the same key, and replaces it.
void CPlayerStats::SettleHands() const {
    if (outOfOrder_.empty()) return;
    auto before = [](const CHand* h, const CHandKey& k) { return KeyOf(h) < k; };
    if (outOfOrder_.size() < kMergeFrom) {
        for (const auto& [key, hand] : outOfOrder_) {
            auto it = std::lower_bound(playerHands_.begin(), playerHands_.end(), key, before);
            if (it != playerHands_.end() && KeyOf(*it) == key) {
                *it = hand;
            } else {
                playerHands_.insert(it, hand);
            }
        }
        outOfOrder_.clear();
        return;
    }
    std::stable_sort(outOfOrder_.begin(), outOfOrder_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<const CHand*> merged;
    merged.reserve(playerHands_.size() + outOfOrder_.size());
    auto listed = playerHands_.begin();
    for (std::size_t w = 0; w < outOfOrder_.size(); ++w) {
        const CHandKey& key = outOfOrder_[w].first;
        // Of several waiting hands with one key the last filed wins.
        if (w + 1 < outOfOrder_.size() && outOfOrder_[w + 1].first == key) continue;
        // Gallop to the place, then search the last step: reading a listed
        // hand's key reads the hand, so few are read when the waiting hands
        // are sparse and no hand more than twice when they are dense.
        std::size_t step = 1;
        auto low = listed;
        while (static_cast<std::size_t>(playerHands_.end() - low) > step &&
               before(low[static_cast<std::ptrdiff_t>(step)], key)) {
            low += static_cast<std::ptrdiff_t>(step);
            step *= 2;
        }
        const auto high = low + static_cast<std::ptrdiff_t>(std::min<std::size_t>(
                                    step + 1, static_cast<std::size_t>(playerHands_.end() - low)));
        const auto it = std::lower_bound(low, high, key, before);
        merged.insert(merged.end(), listed, it);
        listed = it;
        if (listed != playerHands_.end() && KeyOf(*listed) == key) ++listed;
        merged.push_back(outOfOrder_[w].second);
    }
    merged.insert(merged.end(), listed, playerHands_.end());
    playerHands_.swap(merged);
    std::vector<std::pair<CHandKey, const CHand*>>().swap(outOfOrder_);
}

const CHand* CPlayerStats::FindPlayerHand(const CHandKey& key) const {
    SettleHands();
    auto it =
        std::lower_bound(playerHands_.begin(), playerHands_.end(), key,
                         [](const CHand* h, const CHandKey& k) { return CHandKey::Of(*h) < k; });
    return it != playerHands_.end() && CHandKey::Of(**it) == key ? *it : nullptr;
}

std::vector<const CHand*> CPlayerStats::HandsOfClass(int classIndex) const {
    std::vector<const CHand*> hands;
    for (const auto& [index, hand] : handsByClass_) {
        if (index == classIndex) hands.push_back(hand);
    }
    return hands;
}

void CPlayerStats::EndSession() {
    allTimeSeries_.Merge(sessionSeries_);
    sessionSeries_.Clear();
    money_[kSessionInvested - kInvested] = 0;
    money_[kSessionCollected - kInvested] = 0;
}

float CPlayerStats::FoldBeforeFlop() const {
    return hands_ == 0 ? -1.0F : Percent(counters_[kFoldedPreflop], hands_);
}
float CPlayerStats::FoldBeforeTurn() const {
    return hands_ == 0 ? -1.0F : FoldBeforeFlop() + Percent(counters_[kFoldedFlop], hands_);
}
float CPlayerStats::FoldBeforeRiver() const {
    return hands_ == 0 ? -1.0F : FoldBeforeTurn() + Percent(counters_[kFoldedTurn], hands_);
}
float CPlayerStats::FoldBeforeShowdown() const {
    return hands_ == 0 ? -1.0F : FoldBeforeRiver() + Percent(counters_[kFoldedRiver], hands_);
}
float CPlayerStats::VPIP() const {
    return hands_ == 0 ? -1.0F : Percent(counters_[kVoluntaryPut], hands_);
}
float CPlayerStats::PFR() const {
    return hands_ == 0 ? -1.0F : Percent(counters_[kPreflopRaised], hands_);
}
int CPlayerStats::BetCheck() const {
    return counters_[kChecks] == 0
               ? -1
               : static_cast<int>(std::int64_t{counters_[kBets]} * 100 / counters_[kChecks]);
}
int CPlayerStats::RaiseCall() const {
    return counters_[kCalls] == 0
               ? -1
               : static_cast<int>(std::int64_t{counters_[kRaises]} * 100 / counters_[kCalls]);
}
float CPlayerStats::ReRaisePercent() const {
    return counters_[kActions] == 0 ? -1.0F : Percent(counters_[kReRaises], counters_[kActions]);
}
float CPlayerStats::CheckRaisePercent() const {
    return hands_ == 0 ? -1.0F : Percent(counters_[kCheckRaised], hands_);
}
float CPlayerStats::WinPercent() const {
    return hands_ == 0 ? -1.0F : Percent(counters_[kWonHands], hands_);
}
float CPlayerStats::EarlyPlay() const {
    return counters_[kEarlyHands] == 0 ? 0.0F
                                       : Percent(counters_[kEarlyPlayed], counters_[kEarlyHands]);
}

CPlayerStats::RankFigures CPlayerStats::FiguresForRanking() const {
    return RankFigures{hands_,
                       PFR(),
                       BetCheck(),
                       RaiseCall(),
                       ReRaisePercent(),
                       CheckRaisePercent(),
                       EarlyPlay(),
                       FoldBeforeTurn(),
                       FoldBeforeRiver(),
                       FoldBeforeShowdown()};
}
