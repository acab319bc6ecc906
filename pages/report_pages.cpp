#include "pages/report_pages.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <map>
#include <vector>

#include "analysis/alert.h"
#include "analysis/hand_analyzer.h"
#include "analysis/hand_reference.h"
#include "analysis/net_result.h"
#include "analysis/player_stats.h"
#include "hands/hand.h"
#include "html/cards_html.h"
#include "html/escape.h"
#include "html/html_file.h"
#include "pages/page_parts.h"

namespace pages {

std::string_view GameTypeTitle(int gameType) {
    switch (gameType) {
        case 1:
            return "Ring Games - Limit";
        case 2:
            return "Ring Games - No Limit and Pot Limit";
        case 3:
            return "Tournaments - Limit";
        case 4:
            return "Tournaments - No Limit and Pot Limit";
        default:
            return "Unknown";
    }
}

std::string_view GameTypeTag(int gameType) {
    switch (gameType) {
        case 2:
            return " (NL)";
        case 3:
            return " (T-L)";
        case 4:
            return " (T-NL)";
        default:
            return "";
    }
}

std::string PlayersReportPath(std::string_view folder) {
    return JoinPath(folder, "Report_Players.htm");
}

std::string PlayerReportPath(std::string_view folder, std::string_view playerKey, bool hasRecord) {
    if (hasRecord) return JoinPath(folder, "Report_Player.htm");
    return JoinPath(folder, "Report_Player_" + FileNamePart(playerKey) + ".htm");
}

namespace {

// The opening of the centred title table both reports start with.
void BeginTitle(CHtmlFile& page) {
    page.WriteString("<table border=\"0\" width=\"100%\" align='center'>");
    page.WriteString("<tr>");
}

void WriteTitle(CHtmlFile& page, const std::string& title, const std::string& subtitle,
                int report) {
    BeginTitle(page);
    page.WriteString("<td align='center'><FONT SIZE='+1'>");
    page.WriteString("<FONT COLOR='#CC0000'>" + title + "</FONT>");
    page.WriteString("<BR>");
    page.WriteString("<FONT COLOR='#003366'><B>" + subtitle + "</B></FONT>");
    page.WriteString("<BR>");
    page.WriteString(
        "<FONT COLOR='#003366'>" +
        Format("<a href=\"javascript:BrowserSink.ChangeReportProperties(%d, '', -1)\">", report) +
        "Click</a> to refresh" + "</B></FONT>");
    page.WriteString("</td>");
    page.WriteString("</tr>");
    page.WriteString("</table><P>");
}

// One settings link: the current choice bold.
std::string SettingLink(int report, std::string_view code, int value, std::string_view text,
                        bool current) {
    std::string out =
        Format("<a href=\"javascript:BrowserSink.ChangeReportProperties(%d, '%.*s', %d)\">", report,
               static_cast<int>(code.size()), code.data(), value);
    if (current) {
        out += "<B>" + std::string(text) + "</B></a>";
    } else {
        out += std::string(text) + "</a>";
    }
    return out;
}

struct Choice {
    int value;
    std::string_view text;
};

template <std::size_t N>
std::string SettingLinks(int report, std::string_view code, const Choice (&choices)[N],
                         int current) {
    std::string out;
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0) out += " | ";
        out += SettingLink(report, code, choices[i].value, choices[i].text,
                           choices[i].value == current);
    }
    return out;
}

void SettingRow(CHtmlFile& page, int row, std::string_view label, const std::string& links) {
    page.BeginRow(row);
    page.RightCell(label);
    page.DataCell(links, -1, 0);
    page.EndRow();
}

constexpr Choice kRingChoices[] = {{1, "Limit"}, {2, "No Limit and Pot Limit"}};
constexpr Choice kTournamentChoices[] = {{3, "Limit"}, {4, "No Limit and Pot Limit"}};

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// "n/a" for the negative values that mean no data.
std::string OrNa(double value, const char* format, double scale = 1.0) {
    if (value < 0) return "n/a";
    return Format(format, value / scale);
}

// Rounded as a key text with two decimals would round it.
double Cents(double value) { return std::round(value * 100.0) / 100.0; }

// --- Players report ---------------------------------------------------------

struct SortEntry {
    int tier = 0;
    double value = 0;
    std::string lowerKey;
    const CPlayerStats* record = nullptr;
};

int Tier(int hands) { return hands < 20 ? 0 : hands < 40 ? 1 : 2; }

class PlayersReport {
  public:
    PlayersReport(const CHandAnalyzer::PlayerMap& players, const CPlayerStats* userRecord,
                  const CReportOptions& options, std::size_t maxRows)
        : players_(players),
          options_(options),
          ring_(options.gameType == 1 || options.gameType == 2),
          tag_(GameTypeTag(options.gameType)),
          userRecord_(userRecord),
          maxRows_(maxRows) {}

    std::string Build() {
        std::string handsText = options_.minimumHands == 0
                                    ? std::string("All Hands")
                                    : Format("%d hands or more", options_.minimumHands);
        page_.BeginDocument();
        page_.BeginBody();
        page_.WriteScriptObject();
        WriteTitle(page_, "Player Report",
                   std::string(GameTypeTitle(options_.gameType)) + " (" + handsText + ")", 1);
        WriteSettings();
        page_.BeginTable(0, 100, "CENTER");
        WriteHeader();
        std::size_t rows = WriteRows();
        page_.EndTable();
        if (rows == 0) {
            page_.WriteString("<P>");
            BeginTitle(page_);
            page_.WriteString("<td align='center'><FONT SIZE='-4'>");
            page_.WriteString(
                "<FONT COLOR='#CC0000'><B>No players meet the selected criteria.</B></FONT>");
            page_.WriteString("</td>");
            page_.WriteString("</tr>");
            page_.WriteString("</table><P>");
        } else if (rows < listed_) {
            page_.WriteString(Format(
                "<P ALIGN=CENTER><FONT SIZE='-2' COLOR='#CC0000'><B>The first %zu of %zu players "
                "are listed.</B></FONT>",
                rows, listed_));
        }
        page_.EndBody();
        page_.EndDocument();
        return page_.Text();
    }

  private:
    void WriteSettings() {
        page_.BeginTable(0, 50, "LEFT");
        SettingRow(page_, 0, "Ring Games:", SettingLinks(1, "GT", kRingChoices, options_.gameType));
        SettingRow(page_, 1,
                   "Tournaments:", SettingLinks(1, "GT", kTournamentChoices, options_.gameType));
        static constexpr Choice kHands[] = {{0, "All"}, {25, "25+"}, {100, "100+"}};
        SettingRow(page_, 2,
                   "Number of Hands:", SettingLinks(1, "HC", kHands, options_.minimumHands));
        page_.EndTable();
        page_.WriteString("&nbsp<P>&nbsp");
    }

    void WriteHeader() {
        page_.BeginRow(0);
        page_.Header(html::LinkSortColumn(0, "Hands"));
        if (ring_) {
            page_.Header(html::LinkSortColumn(1, "$"));
            page_.Header(html::LinkSortColumn(2, "LT"));
            page_.Header(html::LinkSortColumn(3, "PA"));
        }
        page_.HeaderCell(html::LinkSortColumn(4, "Name"), 1, 0, "CENTER", -15);
        if (ring_) page_.Header("G");
        page_.Header(html::LinkSortColumn(5, "%Fold<BR>before<BR>Flop"));
        page_.Header(html::LinkSortColumn(6, "%Fold<BR>before<BR>Turn"));
        page_.Header(html::LinkSortColumn(7, "%Fold<BR>before<BR>River"));
        page_.Header(html::LinkSortColumn(8, "%Fold<BR>before<BR>Showdown"));
        page_.Header(html::LinkSortColumn(15, "VP$IP"));
        page_.Header(html::LinkSortColumn(9, "Bet/Check"));
        page_.Header(html::LinkSortColumn(10, "Raise/Call"));
        page_.Header(html::LinkSortColumn(11, "%ReRaise"));
        page_.Header(html::LinkSortColumn(12, "%Check<BR>Raise"));
        page_.Header(html::LinkSortColumn(13, "%Win"));
        if (ring_) page_.Header(html::LinkSortColumn(14, "$Win"));
        page_.EndRow();
    }

    // Won from the user minus lost to him, in hundredths.
    double UserRelative(const CPlayerStats& record) const {
        if (userRecord_ == nullptr) return 0.0;
        const CPreditorsAndFoes::Entry* entry = userRecord_->TagRecord().Find(record.Key());
        return entry != nullptr ? entry->wonFrom - entry->lostTo : 0.0;
    }

    // The sort key of a record: the figure of the sort column (rounded as
    // its shown text rounds), then the lower-cased key. Numbers compare as
    // numbers, so negative figures and large amounts keep their order.
    SortEntry KeyOf(const CPlayerStats& record) const {
        SortEntry e;
        e.record = &record;
        e.lowerKey = Lower(record.Key());
        switch (options_.sortColumn) {
            case 0:
                e.value = record.Hands();
                break;
            case 1:
                e.value = std::round(UserRelative(record));
                break;
            case 2:
                e.tier = Tier(record.Hands());
                e.value = static_cast<double>(record.Counter(CPlayerStats::kScoreLT));
                break;
            case 3:
                e.tier = Tier(record.Hands());
                e.value = static_cast<double>(record.Counter(CPlayerStats::kScorePA));
                break;
            case 4:
                break;
            case 5:
                e.value = Cents(record.FoldBeforeFlop());
                break;
            case 6:
                e.value = Cents(record.FoldBeforeTurn());
                break;
            case 7:
                e.value = Cents(record.FoldBeforeRiver());
                break;
            case 8:
                e.value = Cents(record.FoldBeforeShowdown());
                break;
            case 9:
                e.value = record.BetCheck();
                break;
            case 10:
                e.value = record.RaiseCall();
                break;
            case 11:
                e.value = Cents(record.ReRaisePercent());
                break;
            case 12:
                e.value = Cents(record.CheckRaisePercent());
                break;
            case 13:
                e.value = Cents(record.WinPercent());
                break;
            case 14:
                e.value = static_cast<double>(record.MoneyWon());
                break;
            case 15:
                e.value = Cents(record.VPIP());
                break;
            default:
                break;
        }
        return e;
    }

    std::size_t WriteRows() {
        const int minimum = std::max(options_.minimumHands, 1);
        std::vector<SortEntry> entries;
        for (const auto& [key, record] : players_) {
            if (record->Tag() != tag_) continue;
            if (record->Hands() < minimum || key.starts_with("_")) continue;
            entries.push_back(KeyOf(*record));
        }
        auto less = [](const SortEntry& a, const SortEntry& b) {
            if (a.tier != b.tier) return a.tier < b.tier;
            if (a.value != b.value) return a.value < b.value;
            if (a.lowerKey != b.lowerKey) return a.lowerKey < b.lowerKey;
            // Keys that differ only in case are both listed, in byte order.
            return a.record->Key() < b.record->Key();
        };
        listed_ = entries.size();
        const std::size_t shown = std::min(entries.size(), maxRows_);
        auto ordered = [&](const SortEntry& a, const SortEntry& b) {
            return options_.ascending ? less(a, b) : less(b, a);
        };
        std::partial_sort(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(shown),
                          entries.end(), ordered);
        for (std::size_t i = 0; i < shown; ++i)
            WriteRow(static_cast<int>(i) + 1, *entries[i].record);
        return shown;
    }

    void WriteRow(int row, const CPlayerStats& record) {
        const int hands = record.Hands();
        page_.BeginRow(row);
        page_.CenteredCell(Format("%d", hands));
        if (ring_) {
            double relative = UserRelative(record);
            page_.DataCell(Format("%0.0f", relative / 100.0), 0, 0, relative >= 0 ? kGreen : kRed);
            ScoreCell lt =
                LooseTightCell(hands, static_cast<int>(record.Counter(CPlayerStats::kScoreLT)));
            ScoreCell pa = PassiveAggressiveCell(
                hands, static_cast<int>(record.Counter(CPlayerStats::kScorePA)));
            page_.DataCell(lt.text, 0, 0, lt.background);
            page_.DataCell(pa.text, 0, 0, pa.background);
        }
        std::string_view nameColour =
            &record == userRecord_ ? std::string_view(kPurple) : StyleColour(record);
        page_.DataCell(html::LinkPlayerReport(record.Key()), -1, 0, nameColour);
        if (ring_) page_.CenteredCell(GraphLink(record.Key(), record.MoneyWon()));
        page_.CenteredCell(OrNa(record.FoldBeforeFlop(), "%0.0f%%"));
        page_.CenteredCell(OrNa(record.FoldBeforeTurn(), "%0.0f%%"));
        page_.CenteredCell(OrNa(record.FoldBeforeRiver(), "%0.0f%%"));
        page_.CenteredCell(OrNa(record.FoldBeforeShowdown(), "%0.0f%%"));
        page_.CenteredCell(OrNa(record.VPIP(), "%1.2f", 100.0));
        page_.CenteredCell(OrNa(record.BetCheck(), "%1.2f", 100.0));
        page_.CenteredCell(OrNa(record.RaiseCall(), "%1.2f", 100.0));
        page_.CenteredCell(OrNa(record.ReRaisePercent(), "%1.2f%%"));
        page_.CenteredCell(OrNa(record.CheckRaisePercent(), "%1.2f%%"));
        page_.CenteredCell(OrNa(record.WinPercent(), "%1.2f%%"));
        if (ring_) {
            double won = static_cast<double>(record.MoneyWon());
            page_.DataCell(Format("%5.2f&nbsp&nbsp", won / 100.0), 1, 0, won < 0 ? kRed : kGreen);
        }
        page_.EndRow();
    }

    const CHandAnalyzer::PlayerMap& players_;
    const CReportOptions& options_;
    const bool ring_;
    const std::string_view tag_;
    const CPlayerStats* userRecord_;
    const std::size_t maxRows_;
    std::size_t listed_ = 0;
    CHtmlFile page_;
};

// --- Player report ----------------------------------------------------------

constexpr std::string_view kNestedTable =
    "<TABLE border=0 cellspacing=0 cellpadding=0 width='100%' valign='top' align='CENTER' "
    "BGCOLOR='#EBE9E3'>\n";

std::string_view ClassColour(int rank) {
    if (rank <= 16) return kGreen;
    if (rank <= 52) return "#FFFF00";
    if (rank <= 70) return kPurple;
    return kRed;
}

std::string_view SquareOfColour(std::string_view colour) {
    if (colour == "#FF0000") return "square_red.PNG";
    if (colour == "#000000") return "square_blk.PNG";
    if (colour == "#FF00FF") return "square_pnk.PNG";
    if (colour == "#B69334") return "square_brn.PNG";
    return "square_none.PNG";
}

// Ranks as letters that sort A first: A -> a, K -> b, ... 2 -> m.
char RankLetter(char rank) {
    static constexpr std::string_view kRanks = "AKQJT98765432";
    std::size_t at = kRanks.find(rank);
    return at == std::string_view::npos ? 'z' : static_cast<char>('a' + at);
}

class PlayerReport {
  public:
    PlayerReport(const PlayerReportRequest& request, const CReportOptions& options)
        : request_(request),
          options_(options),
          record_(request.record),
          key_(request.playerKey),
          report_(options.report == 0 ? 0 : 2) {}

    std::string Build() {
        static constexpr std::string_view kPeriods[] = {"Current Session", "Last 24 hours",
                                                        "Last 7 days", "Last 30 days", "All Hands"};
        const int period = std::clamp(options_.period, 1, 5);
        page_.BeginDocument();
        page_.BeginBody();
        page_.WriteScriptObject();
        WriteTitle(page_, "Hand Report - " + html::EscapeText(key_) + " ",
                   std::string(GameTypeTitle(options_.gameType)) + " (" +
                       std::string(kPeriods[period - 1]) + ")",
                   report_);
        page_.WriteString("<HR>");
        WriteSettings();
        if (record_ == nullptr) {
            page_.WriteString(
                "<FONT COLOR='#CC0000'><B>No Data available on this player.</B></FONT>");
        } else {
            WriteTabs();
            if (report_ == 0) {
                WriteHandGroups();
            } else {
                WriteAnalysis();
            }
        }
        page_.EndBody();
        page_.EndDocument();
        return page_.Text();
    }

  private:
    void WriteSettings() {
        page_.BeginTable(0, 50, "LEFT");
        page_.BeginRow(-1);
        page_.HeaderCell("Report Settings", 2);
        page_.EndRow();
        SettingRow(page_, 0,
                   "Ring Games:", SettingLinks(report_, "GT", kRingChoices, options_.gameType));
        SettingRow(page_, 1, "Tournaments:",
                   SettingLinks(report_, "GT", kTournamentChoices, options_.gameType));
        static constexpr Choice kPeriods[] = {
            {1, "Current"}, {2, "24 hours"}, {3, "7 days"}, {4, "30 days"}, {5, "All"}};
        SettingRow(page_, 2,
                   "Time Periods:", SettingLinks(report_, "TP", kPeriods, options_.period));
        static constexpr Choice kFilters[] = {{0, "None"}, {1, "Short Handed"}, {2, "Heads up"}};
        SettingRow(page_, 3, "Filters:", SettingLinks(report_, "FT", kFilters, options_.filter));
        page_.EndTable();
        page_.WriteString("<P>");
    }

    void WriteTabs() {
        page_.WriteString("<table border='0' width='100%' cellspacing='0' cellpadding='0'>");
        page_.WriteString("<tr><td width='106'>");
        page_.WriteString(
            std::string("<a href=\"javascript:BrowserSink.ChangeReportProperties(0, '', -1)\">") +
            "<img border='0' src='" +
            (report_ == 0 ? "../HandReview_Selected.png" : "../HandReview_Unselected.png") +
            "'></a>");
        page_.WriteString("</td><td width='106'>");
        page_.WriteString(
            std::string("<a href=\"javascript:BrowserSink.ChangeReportProperties(2, '', -1)\">") +
            "<img border='0' src='" +
            (report_ == 2 ? "../Analysis_Selected.png" : "../Analysis_Unselected.png") + "'></a>");
        page_.WriteString("</td><td align='right'>");
        page_.WriteString(GraphLink(key_, record_->MoneyWon()));
        page_.WriteString("</td></tr></table>");
        page_.WriteString(
            "<FONT COLOR='#CC0000'><B>Only hands which have been shown by the player are "
            "included in the report.<BR>Other hands are not displayed.</B></FONT>");
        page_.WriteString("<BR>");
        page_.WriteString(
            "<FONT COLOR='#CC0000'><B>Player must have won or lost money for a hand to be "
            "included in the report.<BR>Other hands are not displayed.</B></FONT>");
        page_.WriteString("<P>");
    }

    // Whether a hand counts for the period and the table-size filter.
    bool Counts(const CHand& hand) const {
        if (options_.period != 5 && hand.dateTime < options_.periodStart) return false;
        int players = hand.GetPlayerCount();
        if (options_.filter == 1 && players >= CHandReference::kFullTablePlayers) return false;
        if (options_.filter == 2 && players != 2) return false;
        return true;
    }

    // The alert colour of the player in a hand, or empty.
    std::string AlertColour(const CHand& hand) const {
        CPlayerAlerts::AlertMap alerts;
        std::array<int, CAlert::kCategoryCount> counts{};
        record_->Alerts().AlertsOfHand(hand.handNumber, alerts, counts, false);
        return alerts.empty() ? std::string() : alerts.begin()->second->Colour();
    }

    // One hand line of the player, and its net result.
    std::string HandLine(const CHand& hand, int position, std::string_view colour) const {
        const auto p = static_cast<std::size_t>(position);
        const bool collected = hand.collected[p];
        double amount;
        if (collected) {
            amount = options_.displayPotSize
                         ? hand.won[p]
                         : static_cast<double>(analysis::NetResult(hand, position));
        } else {
            amount = static_cast<double>(analysis::NetInvested(hand, position));
        }
        std::string cards = html::ShortHandText(hand.holeCards[p]);
        if (cards.empty()) cards = "&nbsp";
        return Format(
            "<TR %s><TD width='12' align='right' valign='middle'><img src='../%s'></TD><TD "
            "align='center' width='63%%'><font face='verdana' size='-4'> %s %s</TD><TD width='10' "
            "align='center' valign='middle'><img src='../%s'></TD><TD align='right'  "
            "width='32%%'>%s<font face='verdana' size='-4'> %0.2f</a>%s%s%s</TD></TR>",
            "", std::string(SquareOfColour(colour)).c_str(), "", cards.c_str(),
            collected ? "direction_up.PNG" : "direction_dn.PNG",
            html::LinkDisplayHand(hand.handNumber).c_str(), amount / 100.0, "", "", "");
    }

    void WriteHandGroups() {
        page_.BeginTable(0, 100, "CENTER");
        page_.BeginRow(0);
        page_.Header(
            "<a href=\"javascript:BrowserSink.ChangeReportProperties(0, 'SC', 1)\">Pockets</a>");
        page_.Header(
            "<a href=\"javascript:BrowserSink.ChangeReportProperties(0, 'SC', 0)\">Rank</a>");
        for (std::string_view h :
             {"Group", "Small Blind", "Big Blind", "Early", "Middle", "Late", "Short Handed"})
            page_.Header(h);
        page_.Header(
            "<a href=\"javascript:BrowserSink.ChangeReportProperties(0, 'SC', 2)\">Winnings "
            "$</a>");
        page_.EndRow();

        struct ClassRow {
            std::string sortKey;
            std::int64_t sortNumber = 0;
            int index = 0;
            std::array<std::string, 6> cells;
            std::int64_t total = 0;
        };
        std::vector<ClassRow> rows;
        const bool descending = !options_.ascending;
        for (int index = 0; index < CHandReference::kKeyCount; ++index) {
            ClassRow row;
            row.index = index;
            bool any = false;
            for (const CHand* hand : record_->HandsOfClass(index)) {
                if (!Counts(*hand)) continue;
                int position = hand->PositionOf(key_);
                if (position < 0 || hand->invested[static_cast<std::size_t>(position)] == 0)
                    continue;
                auto column =
                    static_cast<std::size_t>(CHandReference::PositionClassOf(*hand, key_));
                if (row.cells[column].empty()) row.cells[column] = kNestedTable;
                row.cells[column] += HandLine(*hand, position, AlertColour(*hand));
                row.total += analysis::NetResult(*hand, position);
                any = true;
            }
            if (!any) continue;
            const CHandClass& cls = request_.reference.Class(index);
            switch (options_.sortColumn) {
                case 1:
                    row.sortKey =
                        cls.IsPair()
                            ? std::string{RankLetter(cls.highRank), RankLetter(cls.lowRank), 'o'}
                            : std::string{RankLetter(cls.highRank), RankLetter(cls.lowRank),
                                          cls.suited ? '1' : '2'};
                    break;
                case 2:
                    row.sortNumber = descending ? -row.total : row.total;
                    row.sortKey = cls.DisplayName();
                    break;
                default:
                    row.sortNumber = descending ? 170 - cls.rank : cls.rank;
                    break;
            }
            rows.push_back(std::move(row));
        }
        std::sort(rows.begin(), rows.end(), [](const ClassRow& a, const ClassRow& b) {
            if (a.sortNumber != b.sortNumber) return a.sortNumber < b.sortNumber;
            if (a.sortKey != b.sortKey) return a.sortKey < b.sortKey;
            return a.index < b.index;
        });
        int rowIndex = 1;
        for (ClassRow& row : rows) {
            const CHandClass& cls = request_.reference.Class(row.index);
            std::string_view colour = ClassColour(cls.rank);
            page_.BeginRow(rowIndex++);
            page_.DataCell(cls.DisplayName(), 0, 0, colour);
            page_.DataCell(Format("%d", cls.rank), 0, 0, colour);
            page_.DataCell(cls.group > 8 ? std::string("n/a") : Format("%d", cls.group), 0, 0,
                           colour);
            for (std::string& cell : row.cells) {
                if (cell.empty()) {
                    cell = "&nbsp";
                } else {
                    cell += "</TABLE>";
                }
                page_.DataCell(cell, 0, -1, cls.rank > 70 ? kRed : std::string_view());
            }
            page_.DataCell(Format("%5.2f&nbsp&nbsp", static_cast<double>(row.total) / 100.0), 1, 0,
                           row.total < 0 ? kRed : kGreen);
            page_.EndRow();
        }
        page_.EndTable();
    }

    // The column of an alert's hand in the analysis view, or -1.
    int AnalysisColumn(const CHand& hand) const {
        if (options_.filter == 0)
            return static_cast<int>(CHandReference::PositionClassOf(hand, key_));
        int position = hand.PositionOf(key_);
        if (position < 0) return -1;
        auto first = hand.Actions(position, 0);
        for (const CAction& action : first) {
            if (action.kind == kActionSmallBlind) return 0;
            if (action.kind == kActionBigBlind) return 1;
        }
        if (options_.filter == 2) return -1;
        int order = hand.OrdinalPosition(key_);
        if (order == 0) return 5;  // the button
        if (order >= 3 && order <= 5) return order - 1;
        return -1;
    }

    void WriteAnalysis() {
        static constexpr std::string_view kFull[] = {"Small Blind", "Big Blind", "Early",
                                                     "Middle",      "Late",      "Short Handed"};
        static constexpr std::string_view kShort[] = {"Small Blind", "Big Blind", "Pos 3",
                                                      "Pos 4",       "Pos 5",     "Button"};
        const std::size_t columns = options_.filter == 2 ? 2 : 6;
        const std::string_view* headers = options_.filter == 1 ? kShort : kFull;
        page_.BeginTable(0, 100, "CENTER");
        page_.BeginRow(0);
        page_.Header("Play");
        for (std::size_t c = 0; c < columns; ++c) page_.Header(headers[c]);
        page_.EndRow();

        std::map<int, std::array<std::string, 6>> byKind;
        for (const auto& [sortKey, alert] : record_->Alerts().Alerts()) {
            if (alert->hand == nullptr || !Counts(*alert->hand)) continue;
            if (alert->kind == 4 && alert->expected) continue;
            int column = AnalysisColumn(*alert->hand);
            if (column < 0 || static_cast<std::size_t>(column) >= columns) continue;
            int position = alert->hand->PositionOf(key_);
            if (position < 0) continue;
            std::string& cell = byKind[alert->kind][static_cast<std::size_t>(column)];
            if (cell.empty()) cell = kNestedTable;
            cell += HandLine(*alert->hand, position, alert->Colour());
        }
        int row = 1;
        for (auto& [kind, cells] : byKind) {
            page_.BeginRow(row++);
            page_.DataCell(CAlert::LabelOf(kind), -1, 0);
            for (std::size_t c = 0; c < columns; ++c) {
                std::string& cell = cells[c];
                if (cell.empty()) {
                    cell = "&nbsp";
                } else {
                    cell += "</TABLE>";
                }
                page_.DataCell(cell, 0, -1);
            }
            page_.EndRow();
        }
        page_.EndTable();
    }

    const PlayerReportRequest& request_;
    const CReportOptions& options_;
    const CPlayerStats* record_;
    std::string key_;
    const int report_;
    CHtmlFile page_;
};

}  // namespace

std::string PlayersReportText(const CHandAnalyzer::PlayerMap& players,
                              const CPlayerStats* userRecord, const CReportOptions& options,
                              std::size_t maxRows) {
    return PlayersReport(players, userRecord, options, maxRows).Build();
}

std::string PlayerReportText(const PlayerReportRequest& request) {
    static const CReportOptions kDefaults;
    return PlayerReport(request, request.options != nullptr ? *request.options : kDefaults).Build();
}

}  // namespace pages
