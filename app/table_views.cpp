#include <map>
#include <memory>

#include "analysis/table_record.h"
#include "app/console_views.h"
#include "html/escape.h"
#include "pages/table_page.h"
#include "platform/win_paths.h"
#include "platform/x11_screen_source.h"
#include "rooms/intake_session.h"
#include "tablereader/dlg_overlay_config.h"
#include "tablereader/dlg_table_info.h"
#include "tablereader/table_layout.h"

namespace {

// The table information windows, one per table with hands, and the overlay
// options. The screen is the X display the program was started on; without
// one the windows show their pages and read nothing.
class CTableViews : public IConsoleViews {
  public:
    explicit CTableViews(const ConsoleViewContext& context) : context_(context) {
        const std::string path = (context_.assetsFolder / "table_layouts.ini").string();
        layouts_ = LoadTableLayouts(path);
        const int room = context_.session != nullptr ? context_.session->Settings().roomId : 0;
        if (const TableLayout* found = layouts_.Find(LayoutKey(room, false))) {
            layout_ = *found;
            layout_.installFolder = context_.clientFolder;
            hasLayout_ = true;
        }
        screen_ = std::make_unique<platform::X11ScreenSource>();
        // Cards come off the screen only where there is one to read; without
        // it the calculator follows the histories.
        if (context_.session != nullptr)
            context_.session->Analyzer().SetScreenReading(hasLayout_ && layout_.reading &&
                                                          screen_->Available());

        env_.desktop = context_.desktop;
        env_.loop = context_.loop;
        env_.screen = screen_.get();
        env_.settings = context_.settings;
        env_.owner = context_.console;
        env_.roomCode = room;
        env_.layout = hasLayout_ ? &layout_ : nullptr;
        env_.pageFolder = context_.tempFolder.string();
        if (const platform::WinPaths* paths = context_.paths) {
            env_.hostPath = [paths](const std::string& windowsPath) {
                const auto host = paths->ToHost(windowsPath);
                return host ? host->string() : windowsPath;
            };
        }
        // Our own card sheets live with the assets; a user's own copies in
        // the program folder come first.
        env_.programFolder = (context_.assetsFolder / "cards").string();
        if (std::filesystem::exists(context_.programFolder / "cards-1.bmp"))
            env_.programFolder = context_.programFolder.string();
        if (context_.session != nullptr) {
            CHandAnalyzer* analyzer = &context_.session->Analyzer();
            env_.updateFromScreen = [analyzer](CTableRecord& record,
                                               const std::array<int, 7>& cards, int street,
                                               int opponents, TableSizeWarning warning) {
                analyzer->UpdateTableFromScreen(record, cards, street, opponents, warning);
            };
        }
    }

    void ShowTableWindow(const std::string& table, const std::string& page) override {
        if (auto it = windows_.find(table); it != windows_.end()) {
            it->second->Refresh(page);
            return;
        }
        if (context_.desktop == nullptr || context_.loop == nullptr || context_.session == nullptr)
            return;
        // A layout file that cannot be used is told once, when the first
        // table needs it (the start-up log keeps to its milestones).
        if (!layouts_.error.empty() && !layoutErrorLogged_) {
            Log("Table layouts: " + layouts_.error);
            layoutErrorLogged_ = true;
        }
        CTableRecord* record = context_.session->Analyzer().FindTable(table);
        if (record == nullptr) return;
        env_.cascade = static_cast<int>(windows_.size());
        windows_.emplace(table, std::make_unique<CDlgTableInfo>(env_, table, *record, page));
    }

    void ShowTableCalculator(const std::string& table) override {
        if (auto it = windows_.find(table); it != windows_.end()) it->second->ShowCalculator();
    }

    // The table is the open one whose page links to the alerts page; the
    // names and the path arrive escaped as script-string arguments.
    bool ShowTableAlerts(const std::string& /*name*/, const std::string& key, int number,
                         const std::string& page) override {
        const std::string path = html::UnescapeNameFromScript(page);
        if (!IsPageIn(context_.tempFolder, path)) return false;
        const std::string playerKey = html::UnescapeNameFromScript(key);
        for (auto& [table, window] : windows_) {
            if (window->PageText().empty()) continue;
            if (pages::AlertsPagePath(window->PageText(), playerKey) != path) continue;
            window->ShowAlerts(playerKey, number != 0, path);
            return true;
        }
        return false;
    }

    bool RunOverlayConfig(OverlaySwitches& switches) override {
        if (context_.desktop == nullptr) return false;
        CDlgOverlayConfig dialog(*context_.desktop);
        return dialog.DoModal(context_.console, switches);
    }

  private:
    void Log(const std::string& line) const {
        if (context_.log) context_.log(line);
    }

    ConsoleViewContext context_;
    TableLayouts layouts_;
    TableLayout layout_;
    bool hasLayout_ = false;
    bool layoutErrorLogged_ = false;
    std::unique_ptr<platform::ScreenSource> screen_;
    TableInfoEnvironment env_;
    std::map<std::string, std::unique_ptr<CDlgTableInfo>> windows_;
};

}  // namespace

std::unique_ptr<IConsoleViews> MakeTableViews(const ConsoleViewContext& context) {
    return std::make_unique<CTableViews>(context);
}
