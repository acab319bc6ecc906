#pragma once
// The alerts page of one player: his Loose/Tight remark, if any, then his
// alerts over the recent hands grouped by category, numbered within each
// category with the category's icons.

#include <string>

#include "analysis/player_alerts.h"

namespace analysis {

// The page text for `alerts` (as CPlayerAlerts::AlertsOfHand fills it; alerts
// with the expected flag are left out) and an optional Loose/Tight remark.
std::string AlertsPageText(const CAlertLooseTight* looseTight,
                           const CPlayerAlerts::AlertMap& alerts);
// Writes that page to `path`; false when it could not be written (the old
// page, if any, is kept).
bool WriteAlertsPage(const std::string& path, const CAlertLooseTight* looseTight,
                     const CPlayerAlerts::AlertMap& alerts);

}  // namespace analysis
