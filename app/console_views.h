#pragma once
// The windows the console reaches for page commands, menus and the intake
// pass, other than its own: the report window, the hand viewer, the graph
// windows, the table information windows (with their calculators and alert
// windows) and the overlay options. Each does nothing here; the windows that
// implement them take this interface's place as they are built, so the
// console's routing is already in place and tested.
#include <array>
#include <cstdint>
#include <string>

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
    // Runs the overlay options on the switches; true (with the new values)
    // when the user chose OK.
    virtual bool RunOverlayConfig(OverlaySwitches& /*switches*/) { return false; }
};
