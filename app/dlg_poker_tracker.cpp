#include "app/dlg_poker_tracker.h"

#include <string>
#include <utility>

#include "app/setting_values.h"

namespace {

void Write(platform::Profile& settings, const IntSetting& setting, int value) {
    settings.WriteInt(setting.section, setting.key, value);
}

// Ids of the group boxes and texts, which the user cannot change.
constexpr int kTrackerGroup = 1301;
constexpr int kGraphGroup = 1302;
constexpr int kToolsGroup = 1303;
constexpr int kToolsText = 1304;
constexpr int kBackupText = 1305;
constexpr int kRestartText = 1306;

// A check box or radio button, ticked or not.
platform::Control Choice(int id, platform::ControlKind kind, std::string text, platform::Rect rect,
                         bool checked) {
    platform::Control control = platform::MakeControl(id, kind, std::move(text), rect);
    control.checked = checked;
    return control;
}

}  // namespace

CDlgPokerTracker::CDlgPokerTracker(platform::Desktop& desktop, platform::Profile& settings)
    : desktop_(desktop), settings_(settings) {}

platform::DialogDescription CDlgPokerTracker::Describe() const {
    using platform::ControlKind;
    using platform::Rect;
    const int detach = ReadSetting(settings_, setting::kDetachTableView);
    const bool reuse = ReadSetting(settings_, setting::kReuseGraphWindow) != 0;
    const bool historical = ReadSetting(settings_, setting::kPokerTracker) != 0;

    platform::DialogDescription d;
    d.title = kTitle;
    d.width = 540;
    d.height = 386;
    d.controls = {
        MakeControl(kTrackerGroup, ControlKind::kGroupBox, "Game Tracker Options",
                    Rect{10, 8, 530, 112}),
        Choice(kAttachAuto, ControlKind::kRadio,
               "Attach/detach based on screen resolution and poker room table size "
               "(Recommended)",
               Rect{22, 28, 520, 50}, detach == 0),
        Choice(kAttachNever, ControlKind::kRadio, "Never attach Game Tracker to poker table",
               Rect{22, 54, 520, 74}, detach == 1),
        Choice(kAttachAlways, ControlKind::kRadio, "Always attach Game Tracker to poker table",
               Rect{22, 80, 520, 100}, detach == 2),
        MakeControl(kGraphGroup, ControlKind::kGroupBox, "Graph Options", Rect{10, 120, 530, 166}),
        Choice(kReuseGraphWindow, ControlKind::kCheckBox,
               "Reuse the same window when displaying graphs", Rect{22, 140, 520, 160}, reuse),
        MakeControl(kToolsGroup, ControlKind::kGroupBox, "Intergration with 3rd Party Tools",
                    Rect{10, 174, 530, 332}),
        MakeControl(kToolsText, ControlKind::kStatic,
                    "Some other poker tools move the hand history files from the poker room's "
                    "hand history folder to a backup folder. Tick the box below so that the "
                    "hands in that backup folder are read as well.",
                    Rect{22, 194, 520, 254}),
        Choice(kUseHistoricalFolder, ControlKind::kCheckBox, "Use Historical File Folder",
               Rect{22, 258, 520, 278}, historical),
        MakeControl(kBackupText, ControlKind::kStatic,
                    "The location of the backup folder is configured on the Poker Room "
                    "Selection Window.",
                    Rect{22, 284, 520, 324}),
        MakeControl(kRestartText, ControlKind::kStatic,
                    "Changes will take effect once you restart the software.",
                    Rect{10, 342, 340, 382}),
        MakeControl(platform::kIdOk, ControlKind::kButton, "OK", Rect{350, 350, 430, 376}),
        MakeControl(platform::kIdCancel, ControlKind::kButton, "Cancel", Rect{440, 350, 530, 376}),
    };
    return d;
}

bool CDlgPokerTracker::DoModal(platform::WindowId owner) {
    const platform::DialogResult result =
        desktop_.RunDialog(owner, Describe(), [](const platform::Command&) { return false; });
    if (result.code != platform::kIdOk) return false;
    const auto checked = [&result](int id) {
        const platform::Control* c = result.Find(id);
        return c != nullptr && c->checked;
    };
    int detach = 0;
    if (checked(kAttachNever)) detach = 1;
    if (checked(kAttachAlways)) detach = 2;
    Write(settings_, setting::kDetachTableView, detach);
    Write(settings_, setting::kReuseGraphWindow, checked(kReuseGraphWindow) ? 1 : 0);
    Write(settings_, setting::kPokerTracker, checked(kUseHistoricalFolder) ? 1 : 0);
    return true;
}
