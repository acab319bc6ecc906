#pragma once
// The text an Absolute Poker client writes for one real-money no-limit
// Hold'em cash hand: "Stage #" header, seats written "Seat 5 - NAME",
// actions written "NAME - Verb", Tens written "10", the show-down section
// with the pots collected, and the summary; lines end in CR LF and an empty
// line closes the hand.

#include <string>

#include "tools/played_hand.h"

namespace sim {

std::string WriteAbsolutePokerHand(const PlayedHand& hand);

// "AP20100305 Alcyone III - Hold'em No Limit $0.10(Real Money).txt", the
// date being the hand's Eastern date.
std::string AbsolutePokerFileName(const PlayedHand& hand);

}  // namespace sim
