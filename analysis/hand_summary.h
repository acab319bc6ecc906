#pragma once
// CHandSummary: what the graph window shows of one hand.

#include <cstdint>
#include <string>

#include "analysis/hand_key.h"

class CHand;

struct CHandSummary {
    CHandKey key;
    std::uint64_t handNumber = 0;
    bool raisedPreflop = false;   // anybody raised preflop
    std::int32_t pot = 0;         // TotalWon
    int flopPlayers = 0;          // positions that took part on the flop
    std::string winnerCardsHtml;  // the first winner's hole cards as page text

    static CHandSummary Of(const CHand& hand);
};
