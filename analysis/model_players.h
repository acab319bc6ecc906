#pragma once
// The forty model players: invented records with fixed statistics, twenty
// ranked with the real ring-limit players and the same twenty with the
// no-limit ones, so that loose/tight and passive/aggressive scores measure
// real players against a fixed scale even when few opponents are known.
// Model player 00 is the loosest and most aggressive, 19 the tightest and
// most passive. Keys begin with "_" and are never listed in reports.

#include <array>
#include <string>

#include "analysis/player_stats.h"

namespace analysis {

inline constexpr int kModelPlayerCount = 20;

// The figures of model player `number` (0..19).
const CPlayerStats::ModelFigures& ModelPlayerFigures(int number);
// "_Seatwatch_ModelPlayer07_", with " (NL)" appended for the no-limit group.
std::string ModelPlayerKey(int number, bool noLimit);

}  // namespace analysis
