#pragma once
// The table information page: one row per seated player (hands, money won
// from the user, session result, scores, graph and alert links, and a strip
// of cells for the user's recent hands at the table), then summary rows for
// those hands. The players' alerts pages are made with it.

#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis_pages.h"

namespace pages {

// How many recent hands a room's table page shows: 21, 17 or none.
int HandColumnsOfRoom(int roomId);
// Recent hands are those of the last 12,480 seconds.
inline constexpr std::int64_t kRecentSeconds = 12'480;

// The page file of a table: "Table_" + the name made safe + ".htm".
std::string TablePagePath(std::string_view folder, std::string_view tableName);
// The alerts page of a player of that table: the table page's path less
// ".htm", "_", the key made safe, ".htm".
std::string AlertsPagePath(std::string_view tablePagePath, std::string_view playerKey);

// One page to be written: where and what.
struct PageFile {
    std::string path;
    std::string text;
};

// The table page and the alerts pages of the players that have alerts over
// the recent hands (their alert icons link to them).
struct TablePageFiles {
    PageFile page;
    std::vector<PageFile> alertsPages;
};

// Builds the texts of a table page request; writes nothing.
TablePageFiles BuildTablePage(const TablePageRequest& request);

}  // namespace pages
