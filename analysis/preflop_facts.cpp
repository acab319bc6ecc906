#include "analysis/preflop_facts.h"

#include "hands/hand.h"

namespace {

bool IsBlindPost(int kind) { return kind == kActionBigBlind || kind == kActionSmallBlind; }
bool IsPost(int kind) {
    return kind == kActionBigBlind || kind == kActionSmallBlind || kind == kActionOtherPost;
}

// The first preflop action of `position` once the dealer marker and blind
// posts are passed over; kind -1 when there is none.
CAction FirstVoluntary(const CHand& hand, int position) {
    for (const CAction& a : hand.Actions(position, 0)) {
        if (a.kind == kActionButton || IsBlindPost(a.kind)) continue;
        return a;
    }
    return {};
}

int FirstKind(const CHand& hand, int position) {
    auto list = hand.Actions(position, 0);
    return list.empty() ? -1 : list.front().kind;
}

// Dealt order of a position: dealt-in positions below it.
int DealtOrderOf(const CHand& hand, int position) {
    int order = 0;
    for (int p = 0; p < position; ++p) {
        if (hand.acted[static_cast<std::size_t>(p)][0]) ++order;
    }
    return order;
}

bool IsFirstIn(const CHand& hand, int position, int playerCount) {
    if (CPreflopFacts::FirstInPosition(hand) != position) return false;
    int first = FirstKind(hand, position);
    if (IsBlindPost(first)) return first == kActionSmallBlind;
    return playerCount >= 3;
}

bool IsStealPosition(int playerCount, int dealtOrder) {
    return dealtOrder >= 0 && playerCount >= 4 &&
           (dealtOrder == 0 || dealtOrder == 1 || dealtOrder == playerCount - 1);
}

}  // namespace

int CPreflopFacts::FirstInPosition(const CHand& hand) {
    int firstFolder = -1;
    for (int p = 0; p < CHand::kPositions; ++p) {
        auto list = hand.Actions(p, 0);
        if (list.empty()) continue;
        int kind = list.front().kind;
        if (kind == kActionButton || IsBlindPost(kind)) continue;
        if (kind == kActionFold) {
            if (firstFolder < 0) firstFolder = p;
            continue;
        }
        return p;
    }
    int limit = firstFolder < 0 ? CHand::kPositions : firstFolder;
    for (int p = 0; p < limit; ++p) {
        auto list = hand.Actions(p, 0);
        if (list.size() < 2) continue;
        int kind = list[1].kind;
        if (!IsPost(kind) && kind != kActionFold) return p;
    }
    return 0;
}

bool CPreflopFacts::IsStealAttempt(const CHand& hand, int position) {
    if (position < 0 || position >= CHand::kPositions) return false;
    if (!hand.acted[static_cast<std::size_t>(position)][0] || !hand.RaisedPreflop(position))
        return false;
    int n = hand.GetPlayerCount();
    if (n < 3 && position == 0) return true;
    return IsFirstIn(hand, position, n) && IsStealPosition(n, DealtOrderOf(hand, position));
}

CPreflopFacts CPreflopFacts::Compute(const CHand& hand, std::string_view player) {
    CPreflopFacts f;
    int pos = hand.PositionOf(player);
    if (pos < 0 || pos >= CHand::kPositions) return f;
    f.seated = true;
    f.position = pos;
    f.playerCount = hand.GetPlayerCount();
    f.dealtOrder = hand.OrdinalPosition(player);
    const int n = f.playerCount;
    const int d = f.dealtOrder;
    auto actions = hand.Actions(pos, 0);

    f.raised = hand.RaisedPreflop(pos);
    f.postedBlind = hand.PostedBlind(pos);
    f.firstIn = IsFirstIn(hand, pos, n);
    CAction firstVoluntary = FirstVoluntary(hand, pos);
    // The first voluntary action decides "raised first in": the button's
    // first recorded action is always the dealer marker, so reading the
    // first recorded action would never let the button open with a raise.
    f.raisedFirstIn = f.firstIn && firstVoluntary.kind == kActionRaise;
    f.reRaiseFirst = firstVoluntary.kind == kActionReraise;
    f.stealPosition = IsStealPosition(n, d);
    f.stealAttempt = f.raised && ((n < 3 && pos == 0) || (f.firstIn && f.stealPosition));
    for (const CAction& a : actions) {
        if (a.kind == kActionFold) {
            f.foldedPreflop = true;
            break;
        }
    }

    // Re-raised a steal.
    if (f.postedBlind && f.reRaiseFirst) {
        int opener = FirstInPosition(hand);
        if (opener != pos && FirstVoluntary(hand, opener).kind == kActionRaise &&
            IsStealAttempt(hand, opener)) {
            int openerOrder = DealtOrderOf(hand, opener);
            bool fromLate = openerOrder == 0 || openerOrder == n - 1;
            bool fromSmallBlind = openerOrder == 1 && d == 2;
            f.reRaisedSteal = fromLate || fromSmallBlind;
        }
    }

    // Blind called a raise: the first call decides; a fold ends the test.
    // Returned bets are kept apart from the lists and always follow the
    // calls, so they never come first.
    if (d == 1 || d == 2) {
        for (const CAction& a : actions) {
            if (a.kind == kActionFold) break;
            if (a.kind != kActionCall) continue;
            f.blindCalledRaise =
                d == 1 ? a.amount > hand.lowLimit - hand.smallBlind : a.amount >= hand.lowLimit;
            break;
        }
        if (f.blindCalledRaise) {
            static constexpr int kOrder[] = {0, 9, 8, 7, 6, 5, 4, 3, 2, 1};
            for (int p : kOrder) {
                if (p == pos || !hand.acted[static_cast<std::size_t>(p)][0]) continue;
                if (IsStealAttempt(hand, p)) {
                    f.blindDefendedSteal = true;
                    break;
                }
            }
        }
    }

    // Completed the small blind.
    if (d == 1) {
        long long sum = 0;
        for (const CAction& a : actions) {
            sum += a.amount;
            if (a.kind == kActionCall) {
                f.completedSmallBlind = sum == hand.lowLimit;
                break;
            }
        }
    }

    // Called two bets.
    if (!f.postedBlind) {
        for (const CAction& a : actions) {
            if (a.kind == kActionButton || a.kind == kActionCheck) continue;
            f.calledTwoBets =
                a.kind == kActionCall && static_cast<long long>(a.amount) >= 2LL * hand.lowLimit;
            break;
        }
        if (f.calledTwoBets) {
            int from = pos == 0 ? 9 : pos - 1;
            for (int p = from; p >= 3; --p) {
                int kind = FirstKind(hand, p);
                if (IsPost(kind) || kind == kActionCall || kind == kActionRaise ||
                    kind == kActionReraise) {
                    f.calledTwoBetsCold = kind == kActionRaise || kind == kActionReraise;
                    break;
                }
            }
        }
    }
    return f;
}
