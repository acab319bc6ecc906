#pragma once
// CDlgPokerTracker: the General Options dialog. It loads three settings when
// it opens (how the table information window attaches to the table, whether
// graphs share one window, whether the historical file folder is used) and
// writes them only on OK; the program reads them at start-up, so they take
// effect at the next start.
#include "platform/desktop.h"
#include "platform/profile.h"

class CDlgPokerTracker {
  public:
    static constexpr const char* kTitle = "General Options";
    // Control ids.
    static constexpr int kAttachAuto = 1127;
    static constexpr int kAttachNever = 1128;
    static constexpr int kAttachAlways = 1129;
    static constexpr int kReuseGraphWindow = 1111;
    static constexpr int kUseHistoricalFolder = 1119;

    CDlgPokerTracker(platform::Desktop& desktop, platform::Profile& settings);

    // Runs the dialog modally over owner; true when it ended with OK (the
    // settings are then written).
    bool DoModal(platform::WindowId owner);

    // The dialog as it opens with the current settings.
    platform::DialogDescription Describe() const;

  private:
    platform::Desktop& desktop_;
    platform::Profile& settings_;
};
