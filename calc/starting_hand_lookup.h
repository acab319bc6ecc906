#pragma once
// The starting-hand rank (1..169, 170 for no hand) and group (1..8, 9 for
// none) of a two-card pocket text such as "[Ah,Kd]". The calculators are given
// the hand database's lookup at start-up; without one every pocket shows no
// rank.

#include <functional>
#include <string_view>

struct StartingHandRank {
    int rank = 170;
    int group = 9;
};

using StartingHandLookup = std::function<StartingHandRank(std::string_view pocketText)>;
