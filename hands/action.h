#pragma once
// CAction: one recorded action of one player on one street.

#include <cstdint>

// Action kinds.
enum ActionKind : std::int32_t {
    kActionButton = 0,      // dealer button marker, preflop, no money
    kActionBigBlind = 1,    // posts the big blind
    kActionSmallBlind = 2,  // posts the small blind
    kActionOtherPost = 3,   // antes, dead blinds, extra posts: kept in extraPosts
    kActionFold = 4,
    kActionCheck = 5,
    kActionCall = 6,
    kActionBet = 7,
    kActionRaise = 8,         // first raise on the street
    kActionReraise = 9,       // any later raise on the same street
    kActionUncalledBet = 10,  // uncalled bet returned: kept in returned
};

struct CAction {
    std::int32_t kind = -1;   // ActionKind, -1 for none
    std::int32_t amount = 0;  // money put in by this action, in hundredths
    bool firstIn = false;     // first voluntary action (kinds 6 to 9) on its street
    bool callsRaise = false;  // a call made after a raise earlier in the hand

    CAction() = default;
    // Arguments in the order kind, first in, amount, calls raise; the members
    // keep the two flags together instead.
    CAction(std::int32_t kind_, bool firstIn_, std::int32_t amount_, bool callsRaise_)
        : kind(kind_), amount(amount_), firstIn(firstIn_), callsRaise(callsRaise_) {}

    friend bool operator==(const CAction&, const CAction&) = default;
};
