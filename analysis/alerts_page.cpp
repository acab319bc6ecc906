#include "analysis/alerts_page.h"

#include "html/html_file.h"

namespace analysis {

namespace {

void WritePage(CHtmlFile& page, const CAlertLooseTight* looseTight,
               const CPlayerAlerts::AlertMap& alerts) {
    static constexpr std::string_view kCategoryIcon[CAlert::kCategoryCount] = {"", "pnk", "blk",
                                                                               "brn"};
    page.BeginDocument();
    page.BeginBody();
    page.WriteScriptObject();
    page.WriteString(
        "<table border=1 cellspacing=1 cellpadding=0 width='100%' valign='top' align='CENTER' "
        "BGCOLOR='#EFDFCF' bordercolor='' >\n");
    int row = 0;
    if (looseTight != nullptr) {
        page.BeginRow(row++);
        page.CenteredCell(looseTight->IsLoose()
                              ? "<img border='0' src='../alertL.png' width='12' height='12'>"
                              : "<img border='0' src='../alertT.png' width='12' height='12'>");
        page.DataCell(looseTight->Text(true), -1, 0);
        page.EndRow();
    }
    int previousCategory = -1;
    int number = 0;
    for (const auto& [key, alert] : alerts) {
        if (alert == nullptr || alert->expected) continue;
        int category = alert->Category();
        if (category != previousCategory) {
            page.BeginRow(-1);
            page.HeaderCell(CAlert::CategoryTitle(category), 2);
            page.EndRow();
            previousCategory = category;
            number = 0;
            row = 0;
        }
        ++number;
        std::string_view suffix =
            category >= 0 && category < CAlert::kCategoryCount ? kCategoryIcon[category] : "";
        page.BeginRow(row++);
        page.CenteredCell("<img border='0' src='../alert" + std::to_string(number) +
                          std::string(suffix) + ".png' width='12' height='12'>");
        page.DataCell(alert->Text(true), -1, 0);
        page.EndRow();
    }
    page.EndTable();
    page.EndBody();
    page.EndDocument();
}

}  // namespace

std::string AlertsPageText(const CAlertLooseTight* looseTight,
                           const CPlayerAlerts::AlertMap& alerts) {
    CHtmlFile page;
    WritePage(page, looseTight, alerts);
    std::string text = page.Text();
    page.Abandon();
    return text;
}

bool WriteAlertsPage(const std::string& path, const CAlertLooseTight* looseTight,
                     const CPlayerAlerts::AlertMap& alerts) {
    CHtmlFile page;
    page.Open(path);
    WritePage(page, looseTight, alerts);
    return page.Close();
}

}  // namespace analysis
