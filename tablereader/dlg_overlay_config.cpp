#include "tablereader/dlg_overlay_config.h"

namespace {

platform::Control Check(int id, std::string text, platform::Rect rect, bool checked) {
    platform::Control c =
        platform::MakeControl(id, platform::ControlKind::kCheckBox, std::move(text), rect);
    c.checked = checked;
    return c;
}

}  // namespace

platform::DialogDescription CDlgOverlayConfig::Describe(const Switches& s) {
    using platform::ControlKind;
    using platform::Rect;
    platform::DialogDescription d;
    d.title = kTitle;
    d.width = 330;
    d.height = 330;
    platform::Control colour =
        platform::MakeControl(kColour, ControlKind::kRadio, "Color", Rect{182, 120, 310, 140});
    colour.checked = true;
    d.controls = {
        MakeControl(1301, ControlKind::kGroupBox, "Player Information", Rect{10, 8, 170, 104}),
        Check(kSwitchIds[0], "&Style", Rect{22, 28, 160, 48}, s[0]),
        Check(kSwitchIds[1], "&Alerts", Rect{22, 52, 160, 72}, s[1]),
        Check(kSwitchIds[2], "S&tatistics", Rect{22, 76, 160, 96}, s[2]),
        MakeControl(1302, ControlKind::kGroupBox, "Table Information", Rect{170, 8, 320, 56}),
        Check(kSwitchIds[3], "&Alerts", Rect{182, 28, 310, 48}, s[3]),
        MakeControl(1303, ControlKind::kGroupBox, "Calculator", Rect{10, 112, 170, 250}),
        Check(kSwitchIds[4], "&Rank", Rect{22, 132, 160, 152}, s[4]),
        Check(kSwitchIds[5], "&Group", Rect{22, 156, 160, 176}, s[5]),
        Check(kSwitchIds[6], "&Win / Split", Rect{22, 180, 160, 200}, s[6]),
        Check(kSwitchIds[7], "Possible &Hands", Rect{22, 204, 160, 224}, s[7]),
        MakeControl(1304, ControlKind::kGroupBox, "Display", Rect{170, 100, 320, 216}),
        colour,
        MakeControl(kTransparent, ControlKind::kRadio, "Transparent", Rect{182, 144, 310, 164}),
        MakeControl(kOpaque, ControlKind::kRadio, "Opaque", Rect{182, 168, 310, 188}),
        MakeControl(platform::kIdOk, ControlKind::kButton, "OK", Rect{150, 290, 230, 316}),
        MakeControl(platform::kIdCancel, ControlKind::kButton, "Cancel", Rect{240, 290, 320, 316}),
    };
    return d;
}

bool CDlgOverlayConfig::DoModal(platform::WindowId owner, Switches& switches) {
    const platform::DialogResult result = desktop_.RunDialog(
        owner, Describe(switches), [](const platform::Command&) { return false; });
    if (result.code != platform::kIdOk) return false;
    for (std::size_t i = 0; i < kSwitchIds.size(); ++i)
        if (const platform::Control* c = result.Find(kSwitchIds[i])) switches[i] = c->checked;
    return true;
}
