#pragma once
// The player reports: the players report (a sortable table of every known
// opponent of one game type) and the hand report of one player (his shown
// hands by starting-hand class and position, or his alerts by kind and
// position), with the settings links that ChangeReportProperties applies.

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/analysis_pages.h"
#include "analysis/hand_analyzer.h"

// What a report shows. The caller keeps the settings and turns the period
// into a start time; the pages only read these.
struct CReportOptions {
    // 0 the hand review view of the player report, 1 the players report, 2
    // the analysis view of the player report.
    int report = 2;
    // 1 ring limit, 2 ring no limit and pot limit, 3 tournament limit, 4
    // tournament no limit and pot limit.
    int gameType = 1;
    // Players report: the fewest hands a listed player has (0 for all).
    int minimumHands = 0;
    // Players report: column 0 to 15. Player report: 0 rank, 1 pockets, 2
    // winnings.
    int sortColumn = 0;
    bool ascending = false;
    // Player report: 1 current session, 2 last 24 hours, 3 last 7 days, 4
    // last 30 days, 5 all hands; only hands dated from periodStart count.
    int period = 5;
    std::int64_t periodStart = 0;
    // Player report: 0 none, 1 short-handed tables, 2 heads-up.
    int filter = 0;
    // Hand lines show the pot won instead of the net result.
    bool displayPotSize = false;
};

namespace pages {

// "Ring Games - Limit", ... "Unknown"; and the tag of the listed keys.
std::string_view GameTypeTitle(int gameType);
std::string_view GameTypeTag(int gameType);

// "Report_Players.htm" in `folder`.
std::string PlayersReportPath(std::string_view folder);
// "Report_Player.htm" for a player with a record, else "Report_Player_" +
// the key made safe + ".htm".
std::string PlayerReportPath(std::string_view folder, std::string_view playerKey, bool hasRecord);

// The players report over `players` (all records by key, ranked), with
// the "$" column relative to `userRecord` (the user's record of the game
// type, or nullptr). Lists at most `maxRows` players.
std::string PlayersReportText(const CHandAnalyzer::PlayerMap& players,
                              const CPlayerStats* userRecord, const CReportOptions& options,
                              std::size_t maxRows);
// The player report of a request (options default when none are given).
std::string PlayerReportText(const PlayerReportRequest& request);

}  // namespace pages
