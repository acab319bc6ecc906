#pragma once
// CHandClass: one of the 170 starting-hand classes (169 real classes plus
// "XX" for unknown hole cards), as CHandReference builds them.

#include <cstdint>
#include <string>

struct CHandClass {
    int index = 0;         // 0-based place in the reference's array (rank - 1)
    char highRank = 'X';   // rank character of the higher card: A K Q J T 9 ... 2, X unknown
    char lowRank = 'X';    // rank character of the lower card
    bool suited = false;   // true for suited classes; pairs and offsuit are false
    float value = 0.0F;    // strength figure kept with the class; nothing computes with it
    int rank = 0;          // 1 to 170, the place in the ranking
    int group = 9;         // 1 to 9; 9 for everything outside groups 1 to 8
    bool premium = false;  // one of the 23 premium classes

    bool IsPair() const { return highRank == lowRank; }
    // The look-up name: both ranks and "s" or "o"; pairs carry "o" ("AAo").
    std::string Name() const { return std::string{highRank, lowRank, suited ? 's' : 'o'}; }
    // The name shown in alert texts and reports: pairs without "o" ("AA").
    std::string DisplayName() const { return IsPair() ? std::string{highRank, lowRank} : Name(); }
};
