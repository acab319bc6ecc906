#pragma once
// The text a PokerStars client of the "PokerStars Game #" era writes for one
// real-money no-limit Hold'em cash hand: header, seats, posts, streets,
// show-down and summary, each line ending in CR LF as on Windows, and the
// blank lines that close the hand. Times are written in US Eastern time.

#include <cstdint>
#include <string>

#include "tools/played_hand.h"

namespace sim {

std::string WritePokerStarsHand(const PlayedHand& hand);

// "$0.05", "$1.40", "$10": dollars and cents as the client writes them.
std::string PokerStarsMoney(Money cents);

// The US Eastern wall-clock time of an instant, "2010/03/05 21:10:11 ET":
// Eastern standard time, or daylight time from the second Sunday of March
// at 2:00 to the first Sunday of November at 2:00.
std::string EasternTimeText(std::int64_t utcSeconds);

// The file name the client gives a table's history for hands of `utcSeconds`'s
// Eastern date: "HH20100305 Alcyone III - $0.05-$0.10 - USD No Limit Hold'em.txt".
// The table name is made safe for a file name (no separators, no "..").
std::string PokerStarsFileName(const PlayedHand& hand);

}  // namespace sim
