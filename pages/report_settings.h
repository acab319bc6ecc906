#pragma once
// The report settings as the report window reads them: what the players
// report and the player report show ("Reports", "Players Report(s)" and
// "Hand Review Report" sections), turned into CReportOptions. A value out of
// its range gives that setting's default.

#include <cstdint>
#include <string>

#include "pages/report_pages.h"
#include "platform/profile.h"

namespace pages {

// The setting of the hand lines' amount: 0 the net amount won, 1 the size
// of the pot won.
inline constexpr const char* kReportsSection = "Reports";
inline constexpr const char* kDisplayPotSizeKey = "Display Pot Size";
int ReadDisplayPotSize(const platform::Profile& settings);
void StoreDisplayPotSize(platform::Profile& settings, int value);

// The options of report 0, 1 or 2 (anything else reads as 2). `now` and
// `sessionStart` (seconds since 1970) turn the player report's period into
// the start of the hands it counts.
CReportOptions ReadReportOptions(const platform::Profile& settings, int report, std::int64_t now,
                                 std::int64_t sessionStart);

// The key of the player of the player report: "Hand Review Report"/"Player"
// with the tag of the report's game type ("Bob (NL)" for game type 2).
std::string ReportPlayerKey(const platform::Profile& settings, int gameType);

}  // namespace pages
