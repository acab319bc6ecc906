#pragma once
// CDlgOverlayConfig: the "Screen Overlay Configuration" dialog with the
// eight switches of what the on-table display shows. The switches are copied
// in when the dialog opens and back only when it closes with OK. The Display
// group's choice (colour, transparent, opaque) is shown but not kept.

#include <array>

#include "platform/desktop.h"

class CDlgOverlayConfig {
  public:
    static constexpr const char* kTitle = "Screen Overlay Configuration";
    // The switches' control ids, in the order of the switch array: player
    // style, player alerts, player statistics, table alerts, calculator rank,
    // group, win / split and possible hands.
    static constexpr std::array<int, 8> kSwitchIds{1111, 1112, 1113, 1120, 1115, 1116, 1117, 1118};
    static constexpr int kColour = 1108, kTransparent = 1114, kOpaque = 1119;

    using Switches = std::array<bool, 8>;

    explicit CDlgOverlayConfig(platform::Desktop& desktop) : desktop_(desktop) {}

    // The dialog as it opens with switches.
    static platform::DialogDescription Describe(const Switches& switches);
    // Runs the dialog over owner; true, with switches updated, on OK.
    bool DoModal(platform::WindowId owner, Switches& switches);

  private:
    platform::Desktop& desktop_;
};
