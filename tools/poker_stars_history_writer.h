#pragma once
// The text a PokerStars client of the "PokerStars Game #" era writes for one
// real-money no-limit Hold'em cash hand: header, seats, posts, streets,
// show-down and summary, each line ending in CR LF as on Windows, and the
// blank lines that close the hand. Times are written in US Eastern time.

#include <cstdint>
#include <string>

#include "tools/history_text.h"
#include "tools/played_hand.h"

namespace sim {

std::string WritePokerStarsHand(const PlayedHand& hand);

// The file name the client gives a table's history for hands of `utcSeconds`'s
// Eastern date: "HH20100305 Alcyone III - $0.05-$0.10 - USD No Limit Hold'em.txt".
// The table name is made safe for a file name (no separators, no "..").
std::string PokerStarsFileName(const PlayedHand& hand);

}  // namespace sim
