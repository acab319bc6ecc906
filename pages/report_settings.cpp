#include "pages/report_settings.h"

namespace pages {

namespace {

constexpr std::int64_t kDay = 24 * 60 * 60;

// The integer setting, or `def` when it lies outside [low, high].
int ReadInRange(const platform::Profile& settings, const char* section, const char* key, int def,
                int low, int high) {
    const int value = settings.GetInt(section, key, def);
    return value < low || value > high ? def : value;
}

}  // namespace

int ReadDisplayPotSize(const platform::Profile& settings) {
    return ReadInRange(settings, kReportsSection, kDisplayPotSizeKey, 0, 0, 1);
}

void StoreDisplayPotSize(platform::Profile& settings, int value) {
    settings.WriteInt(kReportsSection, kDisplayPotSizeKey, value != 0 ? 1 : 0);
}

CReportOptions ReadReportOptions(const platform::Profile& settings, int report, std::int64_t now,
                                 std::int64_t sessionStart) {
    CReportOptions o;
    o.report = report == 0 || report == 1 ? report : 2;
    o.gameType = ReadInRange(settings, kReportsSection, "Type", 1, 1, 4);
    o.displayPotSize = ReadDisplayPotSize(settings) != 0;
    if (o.report == 1) {
        o.minimumHands = settings.GetInt("Players Report", "Hands", 0);
        if (o.minimumHands < 0) o.minimumHands = 0;
        o.sortColumn = ReadInRange(settings, "Players Reports", "Sort", 4, 0, 15);
        o.ascending = settings.GetInt("Players Reports", "SortO", 1) != 0;
        return o;
    }
    // The period is stored as the link's value less one (0 the current
    // session ... 4 all hands).
    o.period = ReadInRange(settings, "Hand Review Report", "Period", 2, 0, 4) + 1;
    switch (o.period) {
        case 1:
            o.periodStart = sessionStart;
            break;
        case 2:
            o.periodStart = now - kDay;
            break;
        case 3:
            o.periodStart = now - 7 * kDay;
            break;
        case 4:
            o.periodStart = now - 30 * kDay;
            break;
        default:
            o.periodStart = 0;
            break;
    }
    // No column chosen yet (-1) sorts by rank.
    o.sortColumn = ReadInRange(settings, "Hand Review Report", "Sort", 0, 0, 2);
    o.ascending = settings.GetInt("Hand Review Report", "SortO", 1) != 0;
    o.filter = ReadInRange(settings, "Hand Review Report", "Filter", 0, 0, 2);
    return o;
}

std::string ReportPlayerKey(const platform::Profile& settings, int gameType) {
    return settings.GetString("Hand Review Report", "Player", "") +
           std::string(GameTypeTag(gameType));
}

}  // namespace pages
