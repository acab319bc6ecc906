#pragma once
// The text a TruePoker client writes for one real-money no-limit Hold'em
// cash hand: the "Game Started on" line in the computer's local time, the
// header with the table, stakes and hand number, the "begins" line, the
// dealer button named by a line of its own (the client writes no seat
// list), posts and actions written "NAME verb", streets announced in words,
// the show-down and the "wins money from" lines, and a line of asterisks
// that closes the hand; lines end in CR LF.

#include <string>

#include "tools/played_hand.h"

namespace sim {

std::string WriteTruePokerHand(const PlayedHand& hand);

// "TP20100305 Alcyone III.txt", the date being the hand's local date.
std::string TruePokerFileName(const PlayedHand& hand);

}  // namespace sim
