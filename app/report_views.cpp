#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "analysis/hand_analyzer.h"
#include "analysis/table_record.h"
#include "app/console_views.h"
#include "html/escape.h"
#include "pages/analysis_pages.h"
#include "pages/dlg_alerts.h"
#include "pages/dlg_reports.h"
#include "pages/report_pages.h"
#include "pages/report_settings.h"
#include "pages/table_page.h"
#include "platform/profile.h"
#include "rooms/intake_session.h"

namespace {

namespace fs = std::filesystem;

// Whether `path` names a page inside `folder` (after "." and ".." are
// resolved): pages only ever ask to show pages the program wrote there.
bool IsPageIn(const fs::path& folder, const std::string& path) {
    if (folder.empty() || path.empty()) return false;
    const fs::path page = fs::path(path).lexically_normal();
    const fs::path relative = page.lexically_relative(folder.lexically_normal());
    if (relative.empty() || *relative.begin() == ".." || relative == ".") return false;
    return page.extension() == ".htm";
}

// The report window and the alerts windows of the tables.
class CReportViews final : public IConsoleViews {
  public:
    explicit CReportViews(const ConsoleViewContext& context) : context_(context) {
        if (context_.desktop == nullptr || context_.settings == nullptr) return;
        CDlgReports::Callbacks callbacks;
        callbacks.showReport = [this](int report) {
            if (report >= 0) context_.settings->WriteInt("Reports", "Current", report);
            ShowReport(-1, std::string());
        };
        callbacks.consoleCommand = [this](int command) {
            if (context_.consoleCommand) context_.consoleCommand(command);
        };
        reports_ = std::make_unique<CDlgReports>(*context_.desktop, *context_.settings,
                                                 context_.console, std::move(callbacks));
    }

    // A player given is the one the report is now about (the report is made
    // ready without coming forward, as at the end of the first loading); a
    // request without one is the user's, and brings the window to the front.
    void ShowReport(int report, const std::string& player) override {
        if (!reports_ || context_.session == nullptr || context_.pages == nullptr) return;
        platform::Profile& settings = *context_.settings;
        if (report == -1) report = settings.GetInt("Reports", "Current", kHandReviewReport);
        if (report < 0 || report > 2) return;
        if (!player.empty()) settings.WriteString("Hand Review Report", "Player", player);
        CHandAnalyzer& analyzer = context_.session->Analyzer();
        const std::int64_t sessionStart =
            context_.sessionStart ? context_.sessionStart() : analyzer.Start().sessionStart;
        const CReportOptions options =
            pages::ReadReportOptions(settings, report, analyzer.Now(), sessionStart);
        std::string path;
        std::string title;
        if (report == kPlayersReport) {
            path = context_.pages->WritePlayersReport(analyzer, options);
            title = pages::GameTypeTitle(options.gameType);
        } else {
            const std::string key = pages::ReportPlayerKey(settings, options.gameType);
            analyzer.ShowPlayerReport(key, &options);
            path = pages::PlayerReportPath(analyzer.Start().outputFolder, key,
                                           analyzer.FindPlayer(key) != nullptr);
            std::error_code error;
            if (!fs::exists(path, error)) path.clear();
            title = key;
        }
        reports_->Show(path, player.empty(), title);
    }

    bool IsReportWindowVisible() const override { return reports_ && reports_->IsVisible(); }

    void HideReportWindow() override {
        if (reports_) reports_->Close();
    }

    // The page passes the names and the path as script-string arguments,
    // escaped; each table has an alerts window of its own.
    void ShowAlerts(const std::string& /*name*/, const std::string& key, int number,
                    const std::string& page) override {
        if (context_.desktop == nullptr) return;
        const std::string playerKey = html::UnescapeNameFromScript(key);
        std::string path = html::UnescapeNameFromScript(page);
        const std::string table = TableOfAlertsPage(playerKey, path);
        if (!IsPageIn(context_.tempFolder, path)) path.clear();
        std::unique_ptr<CDlgAlerts>& window = alerts_[table];
        if (!window) window = std::make_unique<CDlgAlerts>(*context_.desktop, context_.console);
        window->Show(playerKey, number != 0, path);
    }

  private:
    // The table whose page links to `path` as the player's alerts page;
    // empty when none does (the alerts then share one window).
    std::string TableOfAlertsPage(const std::string& playerKey, const std::string& path) {
        if (context_.session == nullptr || path.empty()) return {};
        CHandAnalyzer& analyzer = context_.session->Analyzer();
        for (const std::string& table : analyzer.TablesSince(0)) {
            const CTableRecord* record = analyzer.FindTable(table);
            if (record == nullptr || record->PageText().empty()) continue;
            if (pages::AlertsPagePath(record->PageText(), playerKey) == path) return table;
        }
        return {};
    }

    ConsoleViewContext context_;
    std::unique_ptr<CDlgReports> reports_;
    std::map<std::string, std::unique_ptr<CDlgAlerts>> alerts_;
};

}  // namespace

std::unique_ptr<IConsoleViews> MakeReportViews(const ConsoleViewContext& context) {
    return std::make_unique<CReportViews>(context);
}
