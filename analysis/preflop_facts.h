#pragma once
// CPreflopFacts: what one player did before the flop, read from the preflop
// action lists of a hand, as the alert rules need it.
//
// Positions are those of the hand (0 the button, then clockwise); the dealt
// order counts only the dealt-in positions (0 the button, 1 the first player
// after it, ...). A player's "first voluntary action" is his first preflop
// action once the dealer marker and the blind posts are passed over.
//
// First-in rule (who entered the pot first):
//   1. Scan positions 0 to 9, skipping positions without preflop actions and
//      those whose first action is the dealer marker or a blind post. A fold
//      is remembered as the first folder (only the first) and the scan goes
//      on; any other first action makes that position the first-in one.
//   2. If none was found, the positions below the first folder's (all of
//      them when nobody folded) are looked at from 0 upwards: the first whose
//      second preflop action is neither a post nor a fold is first in.
//   3. Otherwise position 0 is first in.
//
// Re-raised a steal: the player posted a blind, his first voluntary action is
// a re-raise, and the first-in player (another player) made a steal attempt
// (his first voluntary action is a raise, from the button, the cutoff or, when
// the re-raiser is the big blind, the small blind; see `stealAttempt`). So a
// blind that re-raises a late-position raise that opened the pot is
// defending; a blind re-raising after somebody limped first is not, and
// neither is a small blind re-raising the big blind.

#include <string_view>

class CHand;

struct CPreflopFacts {
    bool seated = false;         // the player has a position in the hand
    int position = -1;           // hand position, -1 when not seated
    int dealtOrder = -1;         // OrdinalPosition, -1 when not seated
    int playerCount = 0;         // players dealt in (GetPlayerCount)
    bool raised = false;         // a raise or re-raise preflop
    bool firstIn = false;        // first into the pot by the first-in rule
    bool raisedFirstIn = false;  // first in, and the first voluntary action is a raise
    bool reRaiseFirst = false;   // the first voluntary action is a re-raise
    bool postedBlind = false;    // the first preflop action is a blind post
    bool reRaisedSteal = false;  // see the header comment
    bool stealPosition = false;  // >= 4 dealt in and dealt order 0, 1 or n - 1
    bool stealAttempt =
        false;  // raised, and first in from a steal position (or heads-up on the button)
    bool blindCalledRaise = false;    // small or big blind whose first call was a raise
    bool blindDefendedSteal = false;  // ... and another player made a steal attempt
    bool completedSmallBlind =
        false;                       // small blind, money up to the first call equals the low limit
    bool calledTwoBets = false;      // first voluntary action a call of two bets or more
    bool calledTwoBetsCold = false;  // ... and the nearest earlier entrant raised
    bool foldedPreflop = false;      // folded on street 0

    // The facts for `player` (qualified name) in `hand`; all false when the
    // player is not seated.
    static CPreflopFacts Compute(const CHand& hand, std::string_view player);
    // The first-in position of the hand by the rule above.
    static int FirstInPosition(const CHand& hand);
    // Whether the player at `position` made a steal attempt.
    static bool IsStealAttempt(const CHand& hand, int position);
};
