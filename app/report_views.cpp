#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "analysis/hand_analyzer.h"
#include "app/console_views.h"
#include "html/escape.h"
#include "pages/analysis_pages.h"
#include "pages/dlg_alerts.h"
#include "pages/dlg_reports.h"
#include "pages/report_pages.h"
#include "pages/report_settings.h"
#include "platform/profile.h"
#include "rooms/intake_session.h"

namespace {

namespace fs = std::filesystem;

// The report window, and the alerts window of alerts that belong to no open
// table (those of a report's pages).
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
    // escaped.
    void ShowAlerts(const std::string& /*name*/, const std::string& key, int number,
                    const std::string& page) override {
        if (context_.desktop == nullptr) return;
        const std::string playerKey = html::UnescapeNameFromScript(key);
        std::string path = html::UnescapeNameFromScript(page);
        if (!IsPageIn(context_.tempFolder, path)) path.clear();
        if (!alerts_) alerts_ = std::make_unique<CDlgAlerts>(*context_.desktop, context_.console);
        alerts_->Show(playerKey, number != 0, path);
    }

  private:
    ConsoleViewContext context_;
    std::unique_ptr<CDlgReports> reports_;
    std::unique_ptr<CDlgAlerts> alerts_;
};

}  // namespace

std::unique_ptr<IConsoleViews> MakeReportViews(const ConsoleViewContext& context) {
    return std::make_unique<CReportViews>(context);
}
