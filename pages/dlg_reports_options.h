#pragma once
// CDlgReportsOptions: the report options, a modal dialog choosing how the
// hand lines of the reports show a won amount: the net amount won, or the
// size of the pot won ("Reports"/"Display Pot Size" 0 or 1). It reads the
// setting when it opens and writes it only on OK.

#include "platform/desktop.h"
#include "platform/profile.h"

class CDlgReportsOptions {
  public:
    static constexpr const char* kTitle = "Report Options";
    // Control ids.
    static constexpr int kGroup = 1330;
    static constexpr int kNetAmount = 1331;
    static constexpr int kPotSize = 1332;

    CDlgReportsOptions(platform::Desktop& desktop, platform::Profile& settings);

    // The dialog as it opens with the current setting.
    platform::DialogDescription Describe() const;
    // Runs the dialog over owner; true when it ended with OK (the setting is
    // then written).
    bool DoModal(platform::WindowId owner);

  private:
    platform::Desktop& desktop_;
    platform::Profile& settings_;
};
