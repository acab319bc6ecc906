#include "calc/calculator_page_data.h"

#include <algorithm>
#include <cstdio>

#include "html/cards_html.h"
#include "html/escape.h"
#include "html/html_file.h"
#include "platform/text_util.h"

namespace {

constexpr int kTablePadding = 2;

using platform::Format;

// The first cell of a card or rank row: a fixed caption.
std::string CaptionCell(std::string_view caption) {
    return "<TD align='center' WIDTH='45%'><FONT SIZE=-4>" + std::string(caption) +
           "&nbsp</FONT></TD>";
}

std::string WinText(float win) {
    if (win < 0) return "<FONT SIZE='+1'>Win: n/a</FONT>";
    // Just below certainty shows a decimal, so that 99.5% is not rounded up to 100%.
    if (win > 0.99f && win < 1.0f)
        return Format("<FONT SIZE='+1'>Win: %0.1f%%</FONT>", win * 100.0);
    return Format("<FONT SIZE='+1'>Win: %0.0f%%</FONT>", win * 100.0);
}

std::string SplitText(float split) {
    if (split < 0) return "<FONT SIZE='+1'>Split: n/a</FONT>";
    return Format("<FONT SIZE='+1'>Split: %0.0f%%</FONT>", split * 100.0);
}

std::string PlayerCellText(float fraction) {
    if (fraction < 0) return "n/a";
    if (fraction == 0) return "&nbsp";
    const std::string percent = fraction < 0.01f ? Format("%3.1f%%", fraction * 100.0)
                                                 : Format("%3.0f%%", fraction * 100.0);
    return "<table cellspacing=0 cellpadding=0><tr><td width='50%' align='center'><p "
           "align='center'>"
           "<FONT SIZE='-4'>" +
           percent +
           "</font></td><td width='50%' align='center'><p align='center'>"
           "<FONT SIZE='-4'>" +
           OddsText(fraction) + "</font></td></tr></table>";
}

std::string BestOpponentCellText(float opponentFraction, float bestFraction) {
    if (opponentFraction < 0) return "n/a";
    if (opponentFraction == 0) return "&nbsp";
    return opponentFraction < 0.01f ? Format("%3.1f%%", bestFraction * 100.0)
                                    : Format("%3.0f%%", bestFraction * 100.0);
}

std::string_view BestOpponentColour(float bestFraction) {
    if (bestFraction * 100 >= 33) return "#FF9999";
    if (bestFraction * 100 >= 15) return "#FFB56A";
    return {};
}

bool HasRank(std::int32_t rank) { return rank >= 1 && rank <= 169; }

// Colour of the rank and group cells by how strong the starting hand is.
std::string_view RankColour(std::int32_t rank) {
    if (!HasRank(rank)) return {};
    if (rank <= 16) return "#80FF80";
    if (rank <= 52) return "#FFFF00";
    if (rank <= 70) return "#CC99FF";
    return "#FF9999";
}

void WriteTableSizeWarning(CHtmlFile& file) {
    file.BeginTable(kTablePadding, 100, "CENTER");
    file.BeginRow(0);
    file.WriteString(
        "<td align='center' valign='middle'><FONT color='NAVY' SIZE='+1'><br><BR><BR>Poker Table "
        "must be "
        "set to DEFAULT size for calculator to recognize cards<BR><BR><BR><BR><BR></FONT></TD>\n");
    file.EndRow();
    file.EndTable();
}

void WriteOdds(CHtmlFile& file, const CalculatorPageData& page) {
    file.BeginTable(kTablePadding, 100, "CENTER");
    file.BeginRow(0);
    file.CenteredCell(WinText(page.win));
    file.CenteredCell(SplitText(page.split));
    file.EndRow();
    if (page.exact && page.win >= 0) {
        file.BeginRow(1);
        file.DataCell("Exact figures: every deal counted", 0, 0, {}, {}, 2);
        file.EndRow();
    }
    file.EndTable();

    const bool showOuts = !page.flopText.empty() && page.riverText.empty();
    file.BeginTable(kTablePadding, 100, "CENTER");
    file.BeginRow(-1);
    file.HeaderCell("Your<BR>Hand", 1, 0, "CENTER", -28);
    if (showOuts) file.HeaderCell("Outs", 1, 0, "CENTER", -10);
    file.HeaderCell("Final<BR>Hand", 1, 0, "CENTER", -33);
    file.HeaderCell("Best<BR>Opponent", 1, 0, "CENTER", -28);
    file.EndRow();
    for (int category = kCategoryCount - 1, row = 0; category >= 0; --category, ++row) {
        const auto c = static_cast<std::size_t>(category);
        const float player = page.playerFraction[c];
        file.BeginRow(row);
        file.DataCell(PlayerCellText(player), 0, 0, player * 100 >= 10 ? "#80FF80" : "");
        if (showOuts) {
            const std::int32_t outs = page.outs[c];
            file.CenteredCell(outs >= 1 && outs <= 32 ? Format("<B>%d</B>", outs) : "&nbsp");
        }
        file.CenteredCell(CategoryDisplayName(static_cast<HandCategory>(category)));
        file.DataCell(BestOpponentCellText(page.opponentFraction[c], page.bestFraction[c]), 0, 0,
                      BestOpponentColour(page.bestFraction[c]));
        file.EndRow();
    }
    file.EndTable();
}

void WriteCards(CHtmlFile& file, const CalculatorPageData& page) {
    file.BeginTable(kTablePadding, 100, "CENTER");
    file.BeginRow(0);
    file.WriteString(CaptionCell("Pocket Cards"));
    file.DataCell(
        page.pocketText.empty()
            ? "<font face='Arial' size='-1' COLOR='BLACK'>&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp"
              "&nbsp&nbsp&nbsp&nbsp&nbsp</FONT>"
            : html::CardsAsHtml(page.pocketText),
        -1, 0);
    file.EndRow();
    file.BeginRow(1);
    file.WriteString(CaptionCell("Community Cards"));
    // The streets dealt so far, one after another; a blank when none is known.
    std::string board;
    for (const std::string* street : {&page.flopText, &page.turnText, &page.riverText}) {
        if (!street->empty()) board += html::CardsAsHtml(*street);
    }
    file.DataCell(board.empty() ? html::CardsAsHtml("") : board, -1, 0);
    file.EndRow();
    file.EndTable();

    const std::string_view colour = RankColour(page.pocketRank);
    file.BeginTable(kTablePadding, 100, "CENTER");
    file.BeginRow(0);
    file.WriteString(CaptionCell("Pocket Rank"));
    file.DataCell(HasRank(page.pocketRank) ? Format("<B>%d/169</B>", page.pocketRank) : "&nbsp", 0,
                  0, colour);
    file.EndRow();
    file.BeginRow(1);
    file.WriteString(CaptionCell("Pocket Group"));
    const bool hasGroup = page.pocketGroup >= 1 && page.pocketGroup <= 8;
    file.DataCell(hasGroup ? Format("<B>%d</B>", page.pocketGroup) : "n/a", 0, 0, colour);
    file.EndRow();
    file.EndTable();
}

}  // namespace

std::string_view CategoryDisplayName(HandCategory category) {
    static constexpr std::array<std::string_view, kCategoryCount> kNames = {
        "High Card", "One Pair", "Two Pair", "3 Kind",   "Straight",
        "Flush",     "Fl House", "4 Kind",   "Str Flsh", "Royal"};
    const auto i = static_cast<std::size_t>(category);
    return i < kNames.size() ? kNames[i] : std::string_view();
}

std::string OddsText(float p) {
    // Thresholds are compared in float, the precision of the fractions, so
    // that 4,500 of 10,000 trials (0.45f, a little below the double 0.45)
    // still reads ">1:1".
    struct Step {
        float atLeast;
        const char* text;
    };
    static constexpr Step kSteps[] = {
        {0.45f, ">1:1"},   {0.3923f, "1.5:1"}, {0.3775f, "1.6:1"}, {0.3638f, "1.7:1"},
        {0.351f, "1.8:1"}, {0.3391f, "1.9:1"}, {0.3095f, "2:1"},   {0.225f, "3:1"},
        {0.1833f, "4:1"},  {0.1548f, "5:1"},   {0.1339f, "6:1"},   {0.1181f, "7:1"},
        {0.1056f, "8:1"},  {0.0955f, "9:1"},   {0.0871f, "10:1"},  {0.0801f, "11:1"},
        {0.0742f, "12:1"},
    };
    for (const Step& step : kSteps) {
        if (p >= step.atLeast) return step.text;
    }
    if (p <= 0) return {};
    return Format("%1.0f:1", (1.0 - p) / p);
}

std::string CalculatorPagePath(std::string_view folder, std::string_view title) {
    std::string path(folder);
    if (!path.empty() && path.back() != '/') path.push_back('/');
    path += "Calculator_";
    path += html::SafeFileNamePart(title);
    path += ".htm";
    return path;
}

bool WriteCalculatorPage(CalculatorPageData& page, TableSizeWarning warning) {
    page.pagePath = CalculatorPagePath(page.folder, page.title);
    CHtmlFile file;
    file.Open(page.pagePath);
    file.BeginDocument();
    file.BeginBody();
    if (warning == TableSizeWarning::kWrongSize) {
        WriteTableSizeWarning(file);
    } else {
        WriteOdds(file, page);
        WriteCards(file, page);
    }
    file.EndBody();
    file.EndDocument();
    return file.Close();
}
