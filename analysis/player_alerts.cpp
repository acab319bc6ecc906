#include "analysis/player_alerts.h"

#include "analysis/hand_reference.h"
#include "analysis/preflop_facts.h"
#include "hands/hand.h"

std::unique_ptr<CAlert> CPlayerAlerts::Classify(const CHand& hand, std::string_view playerKey,
                                                const CHandReference& reference) {
    int pos = hand.PositionOf(playerKey);
    if (pos < 0 || pos >= CHand::kPositions) return nullptr;
    if (hand.InvestedByActions(pos, 0) == 0) return nullptr;
    std::string_view cards = hand.holeCards[static_cast<std::size_t>(pos)];
    if (cards.empty()) return nullptr;
    int index = reference.ClassOf(cards);
    // Hole-card text that names no class is as good as unknown cards.
    if (index < 0 || index == CHandReference::kUnknownIndex) return nullptr;
    const int rank = index + 1;

    CPreflopFacts f = CPreflopFacts::Compute(hand, playerKey);
    const int d = f.dealtOrder;
    const bool shortHanded = f.playerCount <= 6;
    const std::string key(playerKey);
    const bool stealHand = reference.IsStealRaiseHand(rank, shortHanded);

    if (f.reRaiseFirst) {
        if (f.postedBlind && f.reRaisedSteal)
            return std::make_unique<CAlertDefendedBlind>(&hand, key, rank, stealHand, d);
        return std::make_unique<CAlertReRaised>(&hand, key, rank, false, d);
    }
    if (f.raised) {
        if (f.stealAttempt)
            return std::make_unique<CAlertStealAttempt>(&hand, key, rank, stealHand, d);
        bool expected =
            CHandReference::IsRaisingClass(index) && !CHandReference::IsSmallPair(index);
        return std::make_unique<CAlertRaised>(&hand, key, rank, expected, d, f.raisedFirstIn);
    }
    if (f.firstIn && f.stealPosition)
        return std::make_unique<CAlertNoStealAttempt>(&hand, key, rank, !stealHand, d);
    if (f.blindCalledRaise) {
        if (f.blindDefendedSteal)
            return std::make_unique<CAlertDefendedBlind>(&hand, key, rank, stealHand, d);
        bool expected =
            CHandReference::IsRaisingClass(index) && !CHandReference::IsSmallPair(index);
        return std::make_unique<CAlertCalledRaiseFromBlind>(&hand, key, rank, expected, d);
    }
    if (f.completedSmallBlind) {
        if (reference.IsSmallBlindCallHand(rank, shortHanded)) return nullptr;
        return std::make_unique<CAlertCompletedSmallBlind>(&hand, key, rank, false, d);
    }
    if (f.calledTwoBets)
        return std::make_unique<CAlertCalledTwoBets>(&hand, key, rank, false, d,
                                                     f.calledTwoBetsCold);
    if (CHandReference::IsPremiumTen(index)) {
        if (f.foldedPreflop) return nullptr;
        return std::make_unique<CAlertNotRaised>(&hand, key, rank, false, d, f.firstIn);
    }
    int position = -1;
    bool inRange = false;
    switch (CHandReference::PositionClassOf(f.playerCount, d)) {
        case PositionClass::kEarly:
            position = 0;
            inRange = reference.IsEarlyPositionHand(rank, f.firstIn);
            break;
        case PositionClass::kMiddle:
            position = 1;
            inRange = reference.IsMiddlePositionHand(rank, f.firstIn);
            break;
        case PositionClass::kLate:
            position = 2;
            inRange = reference.IsLatePositionHand(rank, f.firstIn);
            break;
        default:
            return nullptr;
    }
    if (inRange) return nullptr;
    return std::make_unique<CAlertSelection>(&hand, key, rank, false, position, f.firstIn);
}

void CPlayerAlerts::Analyse(const CHand& hand, const CHandReference& reference) {
    if (IsAnalysed(hand.handNumber)) return;
    std::unique_ptr<CAlert> alert = Classify(hand, playerKey_, reference);
    if (alert) AddAlert(std::move(alert));
}

void CPlayerAlerts::AddAlert(std::unique_ptr<CAlert> alert) {
    if (!alert) return;
    if (alert->kind >= 0 && alert->kind < CAlert::kKindCount)
        ++kindCounts_[static_cast<std::size_t>(alert->kind)];
    alert->sequence = nextSequence_++;
    CAlert* raw = alert.get();
    byHand_[raw->handNumber].push_back(raw);
    alerts_.emplace(raw->SortKey(), std::move(alert));
}

int CPlayerAlerts::AlertsOfHand(std::uint64_t handNumber, AlertMap& out,
                                std::array<int, CAlert::kCategoryCount>& categoryCounts,
                                bool skipExpected) const {
    auto it = byHand_.find(handNumber);
    if (it != byHand_.end()) {
        for (const CAlert* alert : it->second) {
            if (skipExpected && alert->expected) continue;
            out.emplace(alert->SortKey(), alert);
            int category = alert->Category();
            if (category >= 0 && category < CAlert::kCategoryCount)
                ++categoryCounts[static_cast<std::size_t>(category)];
        }
    }
    return static_cast<int>(out.size());
}

std::unique_ptr<CAlertLooseTight> CPlayerAlerts::LooseTight(std::span<const CHand* const> hands,
                                                            std::string_view playerKey,
                                                            std::int64_t now) {
    // The run of newest hands in which the player was seated: a remark about
    // "the last n hands" must not count hands he did not sit in.
    std::size_t n = 0;
    while (n < hands.size() && hands[n] != nullptr && hands[n]->PositionOf(playerKey) >= 0) ++n;

    std::vector<bool> played(n, false);
    for (std::size_t i = 0; i < n; ++i) {
        const CHand& hand = *hands[i];
        auto pos = static_cast<std::size_t>(hand.PositionOf(playerKey));
        bool dealtIn = hand.acted[pos][0];
        played[i] = dealtIn && (hand.acted[pos][1] || hand.RaisedPreflop(static_cast<int>(pos)));
        if (played[i] && hand.GetPlayerCount() < CHandReference::kFullTablePlayers) return nullptr;
    }
    bool found = false;
    bool loose = false;
    int candidatePlayed = 0;
    int candidateCount = 0;
    int c = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (played[i]) ++c;
        int considered = static_cast<int>(i) + 1;
        if (considered <= 6) continue;
        float r = static_cast<float>(c) / static_cast<float>(considered);
        if (r >= 0.7F) {
            found = true;
            loose = true;
        } else if (r <= 0.25F) {
            found = true;
            loose = false;
        } else {
            break;
        }
        candidatePlayed = c;
        candidateCount = considered;
    }
    if (!found) return nullptr;
    return std::make_unique<CAlertLooseTight>(loose, candidatePlayed, candidateCount,
                                              std::string(playerKey), now);
}
