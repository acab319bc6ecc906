#pragma once
// The text a PartyPoker client writes for one real-money no-limit Hold'em
// cash hand: the "Game #... starts." and "#Game No :" lines and the banner,
// the game line with the buy-in, weekday, month name and Eastern zone, the
// player count before the seats, amounts in brackets with the currency word,
// "** Dealing ..." street lines, the show-down and the "wins" lines; lines
// end in CR LF and an empty line closes the hand.
//
// This client writes no line for an uncalled bet: the money goes back in the
// "wins" line of the player it returns to (a line of its own when he wins no
// pot), so what he collected still nets out against all he put in.

#include <string>

#include "tools/played_hand.h"

namespace sim {

std::string WritePartyPokerHand(const PlayedHand& hand);

// "20100305 Alcyone III - NL Texas Hold'em $0.05-$0.10.txt", the date being
// the hand's Eastern date.
std::string PartyPokerFileName(const PlayedHand& hand);

}  // namespace sim
