#pragma once
// The outcome of one simulated deal for the player.

#include <span>

#include "calc/hand_evaluator.h"

namespace calc {

enum class ShowdownOutcome { kNone, kWin, kSplit, kLoss };

// Compares the player's strength with each opponent's in turn: any better
// opponent makes a loss; otherwise a tie with any opponent makes a split (even
// when the player beats all the others); otherwise a win. Without opponents
// the outcome is kNone, which counts as neither a win nor a split.
constexpr ShowdownOutcome Showdown(HandStrength player, std::span<const HandStrength> opponents) {
    ShowdownOutcome outcome = ShowdownOutcome::kNone;
    for (const HandStrength opponent : opponents) {
        if (opponent > player) return ShowdownOutcome::kLoss;
        if (opponent == player) {
            outcome = ShowdownOutcome::kSplit;
        } else if (outcome != ShowdownOutcome::kSplit) {
            outcome = ShowdownOutcome::kWin;
        }
    }
    return outcome;
}

}  // namespace calc
