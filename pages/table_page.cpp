#include "pages/table_page.h"

#include <array>
#include <memory>

#include "analysis/alert.h"
#include "analysis/alerts_page.h"
#include "analysis/player_alerts.h"
#include "analysis/player_stats.h"
#include "analysis/table_record.h"
#include "hands/hand.h"
#include "html/cards_html.h"
#include "html/escape.h"
#include "html/html_file.h"
#include "pages/page_parts.h"

namespace pages {

int HandColumnsOfRoom(int roomId) {
    if (roomId == 100 || roomId == 107 || roomId == 112 || roomId == 120) return 21;
    if (roomId >= 101 && roomId <= 119) return 17;
    return 0;
}

std::string TablePagePath(std::string_view folder, std::string_view tableName) {
    return JoinPath(folder, "Table_" + FileNamePart(tableName) + ".htm");
}

std::string AlertsPagePath(std::string_view tablePagePath, std::string_view playerKey) {
    std::string_view base = tablePagePath;
    if (base.size() >= 4 && base.substr(base.size() - 4) == ".htm") base.remove_suffix(4);
    return std::string(base) + "_" + FileNamePart(playerKey) + ".htm";
}

namespace {

constexpr std::string_view kFiller = "<img border='0' src='../1x1.gif' width='12' height='12'>";
constexpr std::string_view kManualCalculator = "Seatwatch Manual Calculator";

// The label cells of the summary rows.
constexpr std::string_view kLabelPfr =
    "<TD ALIGN='right' colspan=3 bgcolor=#F5e9d1><font face='verdana' size='-4'> <B>Pre Flop "
    "Raise<B></TD>\n";
constexpr std::string_view kLabelPot =
    "<TD ALIGN='right' colspan=3 bgcolor=#F5e9d1><font face='verdana' size='-4'> <B>Pot "
    "Size<B></TD>\n";
constexpr std::string_view kLabelPlayers =
    "<TD ALIGN='right' colspan=3 bgcolor=#F5e9d1><font face='verdana' size='-4'> <B># "
    "Players<B></TD>\n";
constexpr std::string_view kLabelFlop =
    "<TD ALIGN='right' colspan=3 bgcolor=#F5e9d1><font face='verdana' size='-4'> <B>Flop "
    "Players<B></TD>\n";
constexpr std::string_view kLabelShowdown =
    "<TD ALIGN='right' colspan=3 bgcolor=#F5e9d1><font face='verdana' size='-4'> <B>Showdown "
    "Players<B></TD>\n";

bool HasCalculatorCell(int roomId) {
    return roomId == 100 || roomId == 107 || roomId == 112 || roomId == 120;
}

std::string MakerLogoLink() {
    return "<a href=\"" + std::string(kMakerSite) + "\" target=\"_blank\"><img border='0' src='" +
           std::string(kMakerLogo) + "' width='119' height='22'></a>";
}

int CountActed(const CHand& hand, int street) {
    int n = 0;
    for (int p = 0; p < CHand::kPositions; ++p) {
        if (hand.acted[static_cast<std::size_t>(p)][static_cast<std::size_t>(street)]) ++n;
    }
    return n;
}

bool AnyPreflopRaise(const CHand& hand) {
    for (int p = 0; p < CHand::kPositions; ++p) {
        if (hand.RaisedPreflop(p)) return true;
    }
    return false;
}

// Everything one page build works from.
class TablePageBuilder {
  public:
    explicit TablePageBuilder(const TablePageRequest& request)
        : request_(request),
          table_(request.table),
          ring_(IsRingTag(request.tag)),
          columns_(HandColumnsOfRoom(request.table.RoomId())) {
        files_.page.path = TablePagePath(request.outputFolder, table_.TableName());
        CollectRecentHands();
    }

    TablePageFiles Build() {
        page_.BeginDocument();
        page_.BeginBody();
        page_.BeginTable(0, 100, "CENTER");
        WriteHeader();
        WritePlayerRows();
        WriteSummaryRows();
        page_.EndTable();
        WriteFooter();
        page_.WriteScriptObject();
        page_.EndBody();
        page_.EndDocument();
        files_.page.text = page_.Text();
        return std::move(files_);
    }

  private:
    // The user's hands at this table of the recent period, newest first, at
    // most one per hand column.
    void CollectRecentHands() {
        if (columns_ <= 0 || request_.userRecord == nullptr) return;
        const auto& hands = request_.userRecord->PlayerHands();
        const std::int64_t since = request_.now - kRecentSeconds;
        for (auto it = hands.rbegin(); it != hands.rend(); ++it) {
            const CHand* hand = *it;
            if (hand->dateTime < since) break;  // the list is in time order
            if (hand->tableName != table_.TableName()) continue;
            recent_.push_back(hand);
            if (static_cast<int>(recent_.size()) >= columns_) break;
        }
    }

    // The recent hand shown in column `column` (0 the leftmost), or nullptr:
    // the hands fill the right-most columns, oldest first.
    const CHand* HandInColumn(int column) const {
        int first = columns_ - static_cast<int>(recent_.size());
        if (column < first) return nullptr;
        return recent_[recent_.size() - 1 - static_cast<std::size_t>(column - first)];
    }

    void WriteHeader() {
        page_.BeginRow(0);
        page_.Header("Hands");
        if (ring_) page_.HeaderCell("$$", 1, 0, "CENTER", 20);
        page_.Header("Now");
        if (ring_) {
            page_.HeaderCell("LT", 1, 0, "CENTER", 20);
            page_.HeaderCell("PA", 1, 0, "CENTER", 20);
        }
        page_.Header("Name");
        page_.Header("G");
        page_.Header("Alerts");
        for (int column = 0; column < columns_; ++column) {
            int number = columns_ - column;
            const CHand* hand = HandInColumn(column);
            if (hand != nullptr) {
                page_.HeaderCell(
                    html::LinkDisplayHand(hand->handNumber) + Format("%02d</a>", number), 1, 0,
                    "CENTER", 25);
            } else {
                page_.HeaderCell(Format("%02d", number), 1, 0, "CENTER", 22);
            }
        }
        page_.EndRow();
    }

    void WritePlayerRows() {
        const auto& seats = table_.SeatNames();
        const std::size_t count = seats.size();
        std::size_t userSeat = count;
        if (request_.userRecord != nullptr) {
            std::string_view userName = html::CutGameTypeTag(request_.userRecord->Key());
            for (std::size_t i = 0; i < count; ++i) {
                if (!seats[i].empty() && html::CutGameTypeTag(seats[i]) == userName) {
                    userSeat = i;
                    break;
                }
            }
        }
        // From the seat after the user's round to the user's; without the
        // user, in seat order.
        std::size_t start = userSeat < count ? userSeat + 1 : 0;
        int row = 1;
        for (std::size_t k = 0; k < count; ++k) {
            std::size_t seat = (start + k) % count;
            if (seats[seat].empty()) continue;
            const CPlayerStats* record =
                seat == userSeat
                    ? request_.userRecord
                    : (seat < request_.seatRecords.size() ? request_.seatRecords[seat] : nullptr);
            WritePlayerRow(row++, seats[seat], record, seat == userSeat);
        }
    }

    void WritePlayerRow(int row, const std::string& key, const CPlayerStats* record, bool isUser) {
        const CPlayerStats* comparison = request_.userRecord;
        const int hands = record != nullptr ? record->Hands() : 0;
        page_.BeginRow(row);

        // Hands.
        const char* bold = comparison == nullptr ? "<B>" : "";
        const char* unbold = comparison == nullptr ? "</B>" : "";
        page_.DataCell(Format("%s%u%s", bold, static_cast<unsigned>(hands), unbold), 0, 0,
                       kEvenColour);

        // $$: won from the user minus lost to him.
        if (ring_) {
            if (isUser || comparison == nullptr) {
                page_.DataCell("&nbsp", 0, 0, kEvenColour);
            } else {
                const CPreditorsAndFoes::Entry* entry = comparison->TagRecord().Find(key);
                double difference = entry != nullptr ? entry->wonFrom - entry->lostTo : 0.0;
                page_.DataCell(Format("%s%1.0f%s", "", difference / 100.0, ""), 0, 0,
                               difference >= 0 ? kGreen : kRed);
            }
        }

        // Now: the session result.
        std::int64_t session = record != nullptr
                                   ? record->Counter(CPlayerStats::kSessionCollected) -
                                         record->Counter(CPlayerStats::kSessionInvested)
                                   : 0;
        page_.DataCell(Format("%s%d%s", "", static_cast<int>(session / 100), ""), 0, 0,
                       session < 0 ? kRed : kGreen);

        // LT and PA.
        if (ring_) {
            int lt =
                record != nullptr ? static_cast<int>(record->Counter(CPlayerStats::kScoreLT)) : 0;
            int pa =
                record != nullptr ? static_cast<int>(record->Counter(CPlayerStats::kScorePA)) : 0;
            ScoreCell ltCell = LooseTightCell(hands, lt);
            ScoreCell paCell = PassiveAggressiveCell(hands, pa);
            page_.DataCell(ltCell.text, 0, 0, ltCell.background);
            page_.DataCell(paCell.text, 0, 0, paCell.background);
        }

        // Name.
        std::string_view nameColour = kEvenColour;
        if (ring_ && record != nullptr) {
            std::string_view style = StyleColour(*record);
            if (!style.empty()) nameColour = style;
        }
        page_.DataCell(html::LinkPlayerReport(key), -1, 0, nameColour);

        // G.
        page_.CenteredCell(GraphLink(key, record != nullptr ? record->MoneyWon() : 0));

        // Alerts.
        page_.CenteredCell(AlertIcons(key, record));

        // The strip of recent hands.
        for (int column = 0; column < columns_; ++column) {
            const CHand* hand = HandInColumn(column);
            if (hand == nullptr) {
                page_.DataCell("<BR>", 0, 0, kWhite);
                continue;
            }
            HandCell(*hand, key);
        }
        page_.EndRow();
    }

    void HandCell(const CHand& hand, std::string_view key) {
        int position = hand.PositionOf(key);
        if (position < 0 || !hand.acted[static_cast<std::size_t>(position)][0]) {
            page_.DataCell("<BR>", 0, 0, "#808080");
            return;
        }
        const auto p = static_cast<std::size_t>(position);
        std::string_view background = kWhite;
        if (hand.acted[p][1]) background = "#D0FFFF";
        if (position == 0) background = "#009999";
        bool raised = hand.RaisedPreflop(position);
        std::string text = html::ShortHandText(hand.holeCards[p], true);
        if (text.empty()) text = raised ? "PFR" : "<BR>";
        if (raised) text = "<B>" + text + "</B>";
        page_.DataCell(text, 0, 0, background, hand.collected[p] ? "#FF0000" : "");
    }

    // The five alert icons of a player over the recent hands; a player with
    // any gets his alerts page written.
    std::string AlertIcons(const std::string& key, const CPlayerStats* record) {
        std::unique_ptr<CAlertLooseTight> looseTight =
            CPlayerAlerts::LooseTight(recent_, key, request_.now);
        CPlayerAlerts::AlertMap alerts;
        std::array<int, CAlert::kCategoryCount> counts{};
        if (record != nullptr) {
            for (const CHand* hand : recent_) {
                record->Alerts().AlertsOfHand(hand->handNumber, alerts, counts, true);
            }
        }
        bool any = looseTight != nullptr;
        for (int c : counts) any = any || c > 0;
        std::string out;
        if (!any) {
            for (int i = 0; i < 5; ++i) out += kFiller;
            return out;
        }
        std::string alertsPath = AlertsPagePath(files_.page.path, key);
        std::string_view screenName = html::CutGameTypeTag(key);
        auto link = [&](const std::string& image) {
            return html::LinkDisplayAlerts(screenName, key, 1, alertsPath, image);
        };
        if (looseTight != nullptr) {
            out += link(looseTight->IsLoose()
                            ? "<img border='0' src='../alertL.png' width='12' height='12'>"
                            : "<img border='0' src='../alertT.png' width='12' height='12'>");
        } else {
            out += kFiller;
        }
        static constexpr const char* kIcons[CAlert::kCategoryCount] = {
            "<img border='0' src='../alert%d.png' width='12' height='12' alt='Questionable Hand "
            "Selection - Click to see details'>",
            "<img border='0' src='../alert%dpnk.png' width='12' height='12' alt='Passive plays - "
            "Click to see details'>",
            "<img border='0' src='../alert%dblk.png' width='12' height='12' alt='Aggressive plays "
            "- Click to see details'>",
            "<img border='0' src='../alert%dbrn.png' width='12' height='12' alt='Blind plays - "
            "Click to see details'>",
        };
        for (int c = 0; c < CAlert::kCategoryCount; ++c) {
            int n = counts[static_cast<std::size_t>(c)];
            if (n > 0) {
                out += link(Format(kIcons[c], n));
            } else {
                out += kFiller;
            }
        }
        files_.alertsPages.push_back(
            {alertsPath, analysis::AlertsPageText(looseTight.get(), alerts)});
        return out;
    }

    // One summary row: the label, then a cell per hand column from `cell`.
    template <typename CellOf>
    void SummaryRow(int row, std::string_view label, std::string_view leading, CellOf cell) {
        page_.BeginRow(row);
        page_.WriteString(leading);
        page_.WriteString(label);
        for (int column = 0; column < columns_; ++column) {
            const CHand* hand = HandInColumn(column);
            if (hand == nullptr) {
                page_.DataCell("", 0, 0);
                continue;
            }
            auto [text, colour] = cell(*hand);
            page_.DataCell(text, 0, 0, colour);
        }
        page_.EndRow();
    }

    void WriteSummaryRows() {
        const bool calculator = HasCalculatorCell(table_.RoomId());
        const bool pot = request_.tag != " (PM)" && ring_;
        std::string calculatorCell;
        std::string logoCell;
        if (calculator) {
            calculatorCell = Format(
                "<TD ALIGN='right' colspan='%d' rowspan='%d' bgcolor=#F5e9d1><p align=\"center\">",
                ring_ ? 5 : 2, ring_ ? 2 : 4);
            calculatorCell += html::LinkDisplayCalc(kManualCalculator);
            calculatorCell += "<img border='0' src='../calculator.png' alt='" +
                              std::string(kManualCalculator) + "'></a><BR>";
            calculatorCell +=
                "<font face='verdana' size='-4'>" + std::string(kManualCalculator) + "</font><BR>";
            calculatorCell += "<a href=\"" + std::string(kMakerSite) +
                              "\" target=\"_blank\"><font face='verdana' "
                              "size='-4'>www.seatwatch.example</font></a></TD>\n";
            if (ring_) {
                logoCell =
                    "<TD ALIGN='right' colspan='5' rowspan='3' bgcolor=#F5e9d1><p "
                    "align=\"center\">" +
                    MakerLogoLink() + "</TD>\n";
            }
        }
        using Cell = std::pair<std::string, std::string_view>;
        int row = 0;
        SummaryRow(row++, kLabelPfr, calculatorCell, [](const CHand& hand) {
            return AnyPreflopRaise(hand) ? Cell{"PFR", kRed} : Cell{"&nbsp", kTitleColour};
        });
        if (pot) {
            SummaryRow(row++, kLabelPot, "", [](const CHand& hand) {
                return Cell{Format("%d", hand.TotalWon() / 100), kTitleColour};
            });
        }
        SummaryRow(row++, kLabelPlayers, logoCell, [](const CHand& hand) {
            int n = hand.GetPlayerCount();
            return Cell{Format("%d", n), n > 6 ? kTitleColour : kRed};
        });
        SummaryRow(row++, kLabelFlop, "", [](const CHand& hand) {
            int n = CountActed(hand, 1);
            return Cell{Format("%d", n), n <= 3 ? kOrange : n <= 5 ? kTitleColour : kPurple};
        });
        SummaryRow(row++, kLabelShowdown, "", [](const CHand& hand) {
            int showdown = CountActed(hand, CHand::kShowdown);
            if (showdown > 0) {
                return Cell{Format("%d", showdown), showdown == 1   ? kRed
                                                    : showdown == 2 ? kTitleColour
                                                                    : kPurple};
            }
            int river = CountActed(hand, 3);
            return Cell{Format("%d", river), river < 2    ? kOrange
                                             : river == 2 ? kTitleColour
                                                          : kPurple};
        });
    }

    void WriteFooter() {
        static constexpr std::string_view kNoHands =
            "<P ALIGN=CENTER><FONT SIZE='-2' COLOR='#FF0000'><B>Hand details will be displayed "
            "once you complete a hand</B></FONT>";
        if (request_.tag != " (NL)") {
            page_.WriteString("<P>\n");
            page_.WriteString("<P><table border=\"0\" width=\"100%\">");
            page_.WriteString("<tr>");
            page_.WriteString("<td align=\"right\">");
            page_.WriteString(MakerLogoLink());
            page_.WriteString("</td>");
            page_.WriteString("</tr>");
            if (recent_.empty()) {
                page_.WriteString("<TR><TD>");
                page_.WriteString("<B><font face='verdana' size='-4'></font></B></font>");
                page_.WriteString(kNoHands);
                page_.WriteString("</TD></TR>");
            }
            page_.WriteString("</table>");
        } else if (recent_.empty()) {
            page_.WriteString(kNoHands);
        }
    }

    const TablePageRequest& request_;
    const CTableRecord& table_;
    const bool ring_;
    const int columns_;
    std::vector<const CHand*> recent_;  // newest first
    CHtmlFile page_;
    TablePageFiles files_;
};

}  // namespace

TablePageFiles BuildTablePage(const TablePageRequest& request) {
    return TablePageBuilder(request).Build();
}

}  // namespace pages
