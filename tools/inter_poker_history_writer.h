#pragma once
// The text an InterPoker-network client writes for one real-money no-limit
// Hold'em cash hand: "Game #" header with the stakes in US$ and the Eastern
// date and time, the quoted table name with the button seat, seats, posts
// and actions written "NAME: verb", dashed street lines, the returned
// uncalled bet, the show-down and the summary with each seat's result; lines
// end in CR LF and an empty line closes the hand.
//
// The client tells play money from real money by the folder it writes to,
// so the files go into the folder given, which should not be a "PK..."
// folder's child.

#include <string>

#include "tools/played_hand.h"

namespace sim {

std::string WriteInterPokerHand(const PlayedHand& hand);

// "2010-03-05 Alcyone III.txt", the date being the hand's Eastern date.
std::string InterPokerFileName(const PlayedHand& hand);

}  // namespace sim
