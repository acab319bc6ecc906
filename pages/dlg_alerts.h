#pragma once
// CDlgAlerts: the alerts window of a table, a page window showing the alerts
// page of one player at a time. It is created hidden; showing it never moves
// or resizes it. Closing it hides it.

#include <string_view>

#include "platform/desktop.h"

class CDlgAlerts {
  public:
    static constexpr const char* kTitle = "Alerts";
    static constexpr const char* kCreateFailed = "Could not create Alerts Window";
    static constexpr platform::Rect kDefaultPlace{140, 140, 140 + 420, 140 + 300};

    // Creates the window, hidden; when that fails the user is told and the
    // object stays without a window.
    CDlgAlerts(platform::Desktop& desktop, platform::WindowId owner);
    ~CDlgAlerts();
    CDlgAlerts(const CDlgAlerts&) = delete;
    CDlgAlerts& operator=(const CDlgAlerts&) = delete;

    // With `setTitle` the caption becomes "Alerts: <playerKey>"; a non-empty
    // `address` is shown; then the window comes to the top where it is.
    void Show(std::string_view playerKey, bool setTitle, std::string_view address);

    platform::WindowId Window() const { return window_; }

  private:
    platform::Desktop& desktop_;
    platform::WindowId window_ = platform::kNoWindow;
};
