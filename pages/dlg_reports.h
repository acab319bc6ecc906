#pragma once
// CDlgReports: the report window. It shows the report pages (the players
// report and the player report in its two views) in one page window, comes
// forward at its saved place the first time the user asks for it, keeps
// that place in "Positions" when it is closed, and carries the view commands
// and the report options in its menu. What a view command shows is the
// console's business: the window only asks for it.

#include <functional>
#include <string>
#include <string_view>

#include "platform/desktop.h"
#include "platform/profile.h"

class CDlgReports {
  public:
    static constexpr const char* kTitle = "Report Window";
    static constexpr const char* kCreateFailed = "Could not create Report Window";
    static constexpr int kBrowser = 1067;
    // Menu commands: the three views, the options, and the help page of the
    // report window, which goes on to the console as its own command.
    static constexpr int kViewHandReview = 32850;
    static constexpr int kViewPlayers = 32851;
    static constexpr int kViewAnalysis = 32852;
    static constexpr int kOptions = 32853;
    static constexpr int kHelpCommand = 32802;

    // The place used when none is saved, or the saved one is off the screen.
    static constexpr platform::Rect kDefaultPlace{100, 100, 100 + 788, 100 + 628};

    struct Callbacks {
        // Show report 0, 1 or 2, or (-1) the current one again.
        std::function<void(int report)> showReport;
        // A command of the console's menu.
        std::function<void(int command)> consoleCommand;
    };

    // Creates the window, hidden; when that fails the user is told and the
    // object stays without a window (every call then does nothing).
    CDlgReports(platform::Desktop& desktop, platform::Profile& settings, platform::WindowId owner,
                Callbacks callbacks);
    ~CDlgReports();
    CDlgReports(const CDlgReports&) = delete;
    CDlgReports& operator=(const CDlgReports&) = delete;

    // Shows the page at `address` (nothing new when empty). With
    // `bringToFront` the window is placed at its saved place the first time,
    // restored when minimised and put on top; a non-empty `title` makes the
    // caption "Report: <title>".
    void Show(std::string_view address, bool bringToFront, std::string_view title);
    // Keeps the window's place in "Positions" and hides it.
    void Close();
    bool IsVisible() const;
    // Runs the report options over this window; after OK the current report
    // is shown again with the new setting.
    void RunOptions();

    platform::WindowId Window() const { return window_; }
    bool PositionApplied() const { return positionApplied_; }

    // The saved place ("Positions"/"Reports-Top", "-Left", "-Height",
    // "-Width"), or kDefaultPlace when any value is negative or would put
    // the window out of a screen of `screen`'s size (within 50 pixels).
    static platform::Rect SavedPlace(const platform::Profile& settings,
                                     const platform::Rect& screen);

  private:
    bool OnCommand(const platform::Command& command);

    platform::Desktop& desktop_;
    platform::Profile& settings_;
    Callbacks callbacks_;
    platform::WindowId window_ = platform::kNoWindow;
    bool positionApplied_ = false;
};
