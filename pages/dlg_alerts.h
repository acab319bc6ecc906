#pragma once
// CDlgAlerts: the alerts window of a table, a page window showing the alerts
// page of one player at a time. It is created hidden; showing it never moves
// or resizes it. Closing it hides it. Each table information window owns the
// one of its table; alerts of no open table share one of the console's.

#include <string>
#include <string_view>

#include "platform/desktop.h"

class CDlgAlerts {
  public:
    static constexpr const char* kTitle = "Alerts";
    static constexpr const char* kCreateFailed = "Could not create Alerts Window";
    static constexpr platform::Rect kDefaultPlace{140, 140, 140 + 420, 140 + 300};

    // Creates the window, hidden, with that caption and place; when that
    // fails the user is told and the object stays without a window.
    CDlgAlerts(platform::Desktop& desktop, platform::WindowId owner,
               const std::string& title = kTitle, platform::Rect place = kDefaultPlace);
    ~CDlgAlerts();
    CDlgAlerts(const CDlgAlerts&) = delete;
    CDlgAlerts& operator=(const CDlgAlerts&) = delete;

    // With `setTitle` the caption becomes "Alerts: <playerKey>"; a non-empty
    // `address` is shown; then the window comes to the top where it is.
    void Show(std::string_view playerKey, bool setTitle, std::string_view address);
    // The same without showing the window (its table is away).
    void Load(std::string_view playerKey, bool setTitle, std::string_view address);

    // Hides the window (with its table's window set) or shows it again
    // without taking the focus.
    void Hide();
    void ShowAgain();
    bool IsVisible() const;

    platform::WindowId Window() const { return window_; }

  private:
    platform::Desktop& desktop_;
    platform::WindowId window_ = platform::kNoWindow;
};
