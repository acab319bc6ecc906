#pragma once
// The windows the console reaches for page commands, menus and the intake
// pass, other than its own: the report window, the hand viewer, the graph
// windows, the table information windows (with their calculators and alert
// windows) and the overlay options. Each does nothing here; the windows that
// implement them take this interface's place as they are built, so the
// console's routing is already in place and tested.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/window_id.h"

class CAnalysisPages;
class CIntakeSession;
namespace platform {
class Desktop;
class EventLoop;
class Profile;
class WinPaths;
}  // namespace platform

class IConsoleViews {
  public:
    // Report numbers of the report window: 0 and 2 the hand review report,
    // 1 the players report.
    static constexpr int kHandReviewReport = 2;
    static constexpr int kPlayersReport = 1;
    // The overlay's display switches.
    using OverlaySwitches = std::array<bool, 8>;

    virtual ~IConsoleViews() = default;

    // Shows the report window with report (0, 1 or 2; -1: the one it shows)
    // for player (empty: no player, no report preference).
    virtual void ShowReport(int /*report*/, const std::string& /*player*/) {}
    virtual bool IsReportWindowVisible() const { return false; }
    virtual void HideReportWindow() {}
    // Shows the hand page at path in the hand viewer.
    virtual void ShowHand(const std::string& /*pagePath*/) {}
    virtual void HideHandViewer() {}
    // Shows (creating it when needed) the graph window under key for player,
    // with the number the page passed.
    virtual void ShowGraph(const std::string& /*key*/, const std::string& /*player*/,
                           int /*number*/) {}
    // Refreshes every open graph window after a pass that added hands.
    virtual void RefreshGraphs() {}
    // Shows or refreshes the table information window of table with its
    // freshly written page.
    virtual void ShowTableWindow(const std::string& /*table*/, const std::string& /*page*/) {}
    // Shows the calculator of the table of that name.
    virtual void ShowTableCalculator(const std::string& /*table*/) {}
    // Shows the alerts of a player (screen name, player key) at a table.
    virtual void ShowAlerts(const std::string& /*name*/, const std::string& /*key*/, int /*number*/,
                            const std::string& /*page*/) {}
    // Shows them in the alerts window of the open table whose page links to
    // that alerts page; false when no open table's page does.
    virtual bool ShowTableAlerts(const std::string& /*name*/, const std::string& /*key*/,
                                 int /*number*/, const std::string& /*page*/) {
        return false;
    }
    // Runs the overlay options on the switches; true (with the new values)
    // when the user chose OK.
    virtual bool RunOverlayConfig(OverlaySwitches& /*switches*/) { return false; }
};

// What the console's windows borrow from the console; everything outlives
// the views.
struct ConsoleViewContext {
    platform::Desktop* desktop = nullptr;
    // The user-interface thread's loop, for the windows' own timers.
    platform::EventLoop* loop = nullptr;
    // The host path of the selected client's installation folder (its card
    // artwork); empty when unknown.
    std::string clientFolder;
    // Windows paths of the Wine prefix to host paths; may be null.
    const platform::WinPaths* paths = nullptr;
    // The console window: owner of the views' windows and of their messages.
    platform::WindowId console = platform::kNoWindow;
    platform::Profile* settings = nullptr;
    // The page writers and the intake session (its analyzer holds the hands
    // and the players).
    CAnalysisPages* pages = nullptr;
    CIntakeSession* session = nullptr;
    std::filesystem::path tempFolder;
    std::filesystem::path programFolder;
    std::filesystem::path assetsFolder;
    // Writes one line in the program log.
    std::function<void(const std::string&)> log;
    // Runs a command of the console's menu (a help page, say).
    std::function<void(int command)> consoleCommand;
    // When the current session began (seconds since 1970): the start of the
    // run, or of the last reset of the session statistics.
    std::function<std::int64_t()> sessionStart;
};

// The console's real views: each group of windows is a part of its own (the
// report and alerts windows, the graph windows and the hand viewer, the
// table information windows with the overlay options), and every call goes
// to the part that owns it.
class CConsoleViews : public IConsoleViews {
  public:
    explicit CConsoleViews(const ConsoleViewContext& context);

    void ShowReport(int report, const std::string& player) override {
        reports_->ShowReport(report, player);
    }
    bool IsReportWindowVisible() const override { return reports_->IsReportWindowVisible(); }
    void HideReportWindow() override { reports_->HideReportWindow(); }
    // A table's alerts land in that table's window; the others (from a
    // report, or of a table since closed) in the report part's.
    void ShowAlerts(const std::string& name, const std::string& key, int number,
                    const std::string& page) override {
        if (!tables_->ShowTableAlerts(name, key, number, page))
            reports_->ShowAlerts(name, key, number, page);
    }
    void ShowHand(const std::string& pagePath) override { viewers_->ShowHand(pagePath); }
    void HideHandViewer() override { viewers_->HideHandViewer(); }
    void ShowGraph(const std::string& key, const std::string& player, int number) override {
        viewers_->ShowGraph(key, player, number);
    }
    void RefreshGraphs() override { viewers_->RefreshGraphs(); }
    void ShowTableWindow(const std::string& table, const std::string& page) override {
        tables_->ShowTableWindow(table, page);
    }
    void ShowTableCalculator(const std::string& table) override {
        tables_->ShowTableCalculator(table);
    }
    bool RunOverlayConfig(OverlaySwitches& switches) override {
        return tables_->RunOverlayConfig(switches);
    }

  private:
    std::unique_ptr<IConsoleViews> reports_;
    std::unique_ptr<IConsoleViews> viewers_;
    std::unique_ptr<IConsoleViews> tables_;
};

// Whether `path` names a page inside `folder` (after "." and ".." are
// resolved): pages only ever ask to show pages the program wrote there.
bool IsPageIn(const std::filesystem::path& folder, const std::string& path);

// The parts, each made in a file of its own.
std::unique_ptr<IConsoleViews> MakeReportViews(const ConsoleViewContext& context);
std::unique_ptr<IConsoleViews> MakeViewerViews(const ConsoleViewContext& context);
std::unique_ptr<IConsoleViews> MakeTableViews(const ConsoleViewContext& context);
