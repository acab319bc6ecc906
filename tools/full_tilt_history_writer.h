#pragma once
// The text a Full Tilt Poker client writes for one real-money no-limit
// Hold'em cash hand: header with time and date, seats, posts and the button
// line, streets with actions written without a colon, show-down, the pots
// won and the summary; lines end in CR LF, blank lines close the hand.

#include <string>

#include "tools/played_hand.h"

namespace sim {

std::string WriteFullTiltHand(const PlayedHand& hand);

// "FT20100305 Alcyone III - $0.05-$0.10 - No Limit Hold'em.txt", the date
// being the hand's Eastern date.
std::string FullTiltFileName(const PlayedHand& hand);

}  // namespace sim
