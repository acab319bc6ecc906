#include "pages/hand_page.h"

#include "analysis/alert.h"
#include "analysis/net_result.h"
#include "analysis/player_alerts.h"
#include "analysis/player_stats.h"
#include "hands/hand.h"
#include "html/cards_html.h"
#include "html/escape.h"
#include "html/html_file.h"
#include "pages/page_parts.h"
#include "platform/local_time.h"

namespace pages {

std::string HandPagePath(std::string_view folder, std::uint64_t handNumber) {
    return JoinPath(folder, Format("Hand %llu.htm", static_cast<unsigned long long>(handNumber)));
}

namespace {

constexpr std::string_view kActionNames[] = {
    "Dealer   ", "BB       ", "SB       ", "Post     ", "Fold     ", "Chk      ",
    "Call     ", "Bet      ", "Raise    ", "ReRaise  ", "Returned ",
};

bool CarriesAmount(int kind) {
    return kind == kActionBigBlind || kind == kActionSmallBlind || kind == kActionOtherPost ||
           kind == kActionCall || kind == kActionBet || kind == kActionRaise ||
           kind == kActionReraise || kind == kActionUncalledBet;
}

class HandPageBuilder {
  public:
    explicit HandPageBuilder(const HandPageRequest& request)
        : request_(request), hand_(request.hand), whole_(hand_.smallBlind >= 500) {}

    std::string Build() {
        page_.BeginDocument();
        page_.BeginBody();
        page_.WriteScriptObject();
        page_.BeginTable(0, 100, "CENTER");
        WriteHeader();
        WritePosts();
        for (int street = 0; street < 4; ++street) WriteStreet(street);
        WriteTotals();
        WriteMoneyWon();
        page_.EndTable();
        WriteInformation();
        WriteAnalysis();
        page_.EndBody();
        page_.EndDocument();
        return page_.Text();
    }

  private:
    // Hundredths as the page shows them: two decimals for small stakes.
    std::string Amount(double hundredths) const {
        return Format(whole_ ? "%0.0f" : "%0.2f", hundredths / 100.0);
    }

    bool DealtIn(int position) const { return hand_.acted[static_cast<std::size_t>(position)][0]; }

    // The player's name for the header: the report link (the tag on a line
    // of its own), or the plain key for play money.
    static std::string NameCell(std::string_view key) {
        std::string_view screen = html::CutGameTypeTag(key);
        std::string_view tag = key.substr(screen.size());
        std::string text = html::EscapeText(screen);
        if (!tag.empty()) text += "<BR>" + html::EscapeText(tag);
        if (IsPlayMoneyKey(key)) return text;
        return "<a href=\"javascript:BrowserSink.ChangeReportProperties2(2, 'PN', '" +
               ScriptArgument(screen) + "')\">" + text + "</a>";
    }

    void WriteHeader() {
        page_.BeginRow(0);
        page_.Header("Round\n");
        page_.Header("Pot Value\n");
        for (int position = 0; position < CHand::kPositions; ++position) {
            auto [seated, key] = hand_.NameAtPosition(position);
            if (seated) {
                page_.Header(
                    Format("<B>%d<BR> %s</B><BR>%s", position, NameCell(key).c_str(),
                           html::CardsAsHtml(hand_.holeCards[static_cast<std::size_t>(position)])
                               .c_str()));
            } else {
                page_.Header(Format("<B>%d<BR> %s</B>", position, "EmptySeat<BR>&nbsp"));
            }
        }
        page_.EndRow();
    }

    void WritePosts() {
        page_.BeginRow(row_++);
        page_.CenteredCell("<font face='verdana' size='-4' color='#003366'><B>Posts<B></FONT>\n");
        page_.CenteredCell("0\n");
        for (int position = 0; position < CHand::kPositions; ++position) {
            std::int64_t posted = 0;
            bool any = false;
            for (std::size_t i = 0; i < hand_.extraPosts.Size(); ++i) {
                CNameMap::Entry entry = hand_.extraPosts.At(i);
                if (hand_.PositionOf(entry.name) != position) continue;
                posted += entry.value;
                any = true;
            }
            if (any) {
                pot_ += posted;
                page_.CenteredCell("Post " + Amount(static_cast<double>(posted)));
            } else {
                page_.CenteredCell("&nbsp");
            }
        }
        page_.EndRow();
    }

    void WriteStreet(int street) {
        static constexpr std::string_view kLabels[] = {"<B>Pre Flop</B>", "<B>Flop</B>",
                                                       "<B>Turn</B>", "<B>River</B>"};
        page_.BeginRow(row_++);
        page_.CenteredCell(std::string(kFont) + std::string(kLabels[street]) + "</FONT>");
        page_.CenteredCell(Amount(static_cast<double>(pot_)));
        const bool headsUp = hand_.GetPlayerCount() == 2;
        for (int position = 0; position < CHand::kPositions; ++position) {
            std::string text;
            bool first = true;
            for (const CAction& action : hand_.Actions(position, street)) {
                if (!first) text += "<BR>";
                const bool nameless = headsUp && street == 0 && position == 0 && first;
                first = false;
                if (!nameless && action.kind >= 0 && action.kind <= kActionUncalledBet) {
                    text += kActionNames[action.kind];
                    text += ' ';
                }
                if (CarriesAmount(action.kind)) {
                    text += Amount(action.amount) + " ";
                    pot_ += action.amount;
                }
            }
            std::int32_t returned =
                hand_
                    .returned[static_cast<std::size_t>(position)][static_cast<std::size_t>(street)];
            if (returned != 0) text += "<BR>Returned " + Amount(returned);
            page_.CenteredCell(text.empty() ? std::string("&nbsp")
                                            : std::string(kFont) + text + "</FONT>");
        }
        page_.EndRow();
    }

    void WriteTotals() {
        page_.BeginRow(row_++);
        page_.DataCell("<B>Total Bets</B>", 0, 0, kTitleColour);
        page_.DataCell("&nbsp", 0, 0, kTitleColour);
        for (int position = 0; position < CHand::kPositions; ++position) {
            bool seated = hand_.NameAtPosition(position).first;
            page_.DataCell(seated ? Amount(hand_.invested[static_cast<std::size_t>(position)])
                                  : std::string("&nbsp"),
                           0, 0, kTitleColour);
        }
        page_.EndRow();
    }

    void WriteMoneyWon() {
        page_.BeginRow(row_++);
        page_.DataCell(std::string(kFont) + "<B>Money Won</B></FONT>", 0, 0, kTitleColour);
        page_.DataCell("&nbsp", 0, 0, kTitleColour);
        for (int position = 0; position < CHand::kPositions; ++position) {
            if (!hand_.NameAtPosition(position).first || !DealtIn(position)) {
                page_.DataCell("&nbsp", 0, 0, kTitleColour);
                continue;
            }
            std::int64_t net = analysis::NetResult(hand_, position);
            const char* bold = net > 0 ? "<B>" : "";
            page_.DataCell(Format(whole_ ? "%s%0.0f%s" : "%s%0.2f%s", bold,
                                  static_cast<double>(net) / 100.0 + 0.000005, bold),
                           0, 0, net > 0 ? kGreen : kRed);
        }
        page_.EndRow();
    }

    void InfoRow(int row, const std::string& text) {
        page_.BeginRow(row);
        page_.DataCell(text, -1, 0, {}, {}, 2);
        page_.EndRow();
    }

    void WriteInformation() {
        page_.WriteString("<P>");
        page_.WriteString("<table border=\"0\" width=\"100%\">");
        page_.WriteString("<tr>");
        page_.WriteString("<td width='39%' valign='top'>");
        page_.BeginTable(0, 100, "CENTER");
        page_.BeginRow(-1);
        page_.HeaderCell("Hand Information", 2);
        page_.EndRow();
        int row = 0;
        InfoRow(row++, Format("<B>Community Cards:</B> %s %s %s",
                              html::CardsAsHtml(hand_.flopCards).c_str(),
                              html::CardsAsHtml(hand_.turnCard).c_str(),
                              html::CardsAsHtml(hand_.riverCard).c_str()));
        const bool tournament = hand_.gameKind == 3 || hand_.gameKind == 4;
        InfoRow(row++, Format("<B>Type:</B> %s %s", tournament ? "Tournament" : "Ring Game",
                              hand_.realMoney ? "Real Money" : "Play Money"));
        if (tournament) {
            InfoRow(row++, Format("<B>Stakes:</B> %d/%d; <B>Antes:</B> %d", hand_.smallBlind / 100,
                                  hand_.bigBlind / 100, hand_.ante / 100));
        } else {
            const bool limit = hand_.gameKind == 1;
            const double low = limit ? hand_.lowLimit : hand_.smallBlind;
            const double high = limit ? hand_.highLimit : hand_.bigBlind;
            InfoRow(row++,
                    Format(low > 99 ? "<B>Limits:</B> %0.0f/%0.0f" : "<B>Limits:</B> %0.2f/%0.2f",
                           low / 100.0, high / 100.0));
        }
        InfoRow(row++, Format("<B>Hand Number:</B> %llu",
                              static_cast<unsigned long long>(hand_.handNumber)));
        InfoRow(row++, "<B>Date:</B> " + platform::FormatLongLocal(hand_.dateTime));
        page_.EndTable();
    }

    void WriteAnalysis() {
        page_.WriteString("</td>");
        page_.WriteString("<td width='2%'>");
        page_.WriteString("&nbsp");
        page_.WriteString("</td>");
        page_.WriteString("<td width='59%' valign='top'>");
        page_.BeginTable(0, 100, "CENTER");
        page_.BeginRow(-1);
        page_.HeaderCell("Hand Analysis", 2);
        page_.EndRow();
        // Players who came in without a blind first, then the blinds and
        // the button.
        std::vector<int> order;
        for (int position = 1; position < CHand::kPositions; ++position) {
            if (!hand_.PostedBlind(position)) order.push_back(position);
        }
        for (int position = 1; position < CHand::kPositions; ++position) {
            if (hand_.PostedBlind(position)) order.push_back(position);
        }
        order.push_back(0);
        int row = 0;
        for (int position : order) {
            const CPlayerStats* record = request_.records[static_cast<std::size_t>(position)];
            if (record == nullptr) continue;
            CPlayerAlerts::AlertMap alerts;
            std::array<int, CAlert::kCategoryCount> counts{};
            record->Alerts().AlertsOfHand(hand_.handNumber, alerts, counts, false);
            for (const auto& [key, alert] : alerts) {
                page_.BeginRow(row++);
                page_.DataCell("&nbsp", -1, 0, alert->Colour());
                page_.DataCell(alert->Text(false), -1, 0);
                page_.EndRow();
            }
        }
        if (row == 0) {
            page_.BeginRow(0);
            page_.DataCell("No Pre Flop Plays of Interest", -1, 0, {}, {}, 2);
            page_.EndRow();
        }
        page_.WriteString("</TABLE>\n");
        page_.WriteString("</td>");
        page_.WriteString("</tr>");
        page_.WriteString("</table>");
    }

    const HandPageRequest& request_;
    const CHand& hand_;
    const bool whole_;  // amounts without decimals
    std::int64_t pot_ = 0;
    int row_ = 1;
    CHtmlFile page_;
};

}  // namespace

std::string HandPageText(const HandPageRequest& request) {
    return HandPageBuilder(request).Build();
}

}  // namespace pages
