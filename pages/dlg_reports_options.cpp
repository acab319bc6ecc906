#include "pages/dlg_reports_options.h"

#include <string>
#include <utility>

#include "pages/report_settings.h"

CDlgReportsOptions::CDlgReportsOptions(platform::Desktop& desktop, platform::Profile& settings)
    : desktop_(desktop), settings_(settings) {}

platform::DialogDescription CDlgReportsOptions::Describe() const {
    using platform::ControlKind;
    using platform::MakeControl;
    using platform::Rect;
    const bool potSize = pages::ReadDisplayPotSize(settings_) != 0;
    const auto radio = [](int id, std::string text, Rect rect, bool checked) {
        platform::Control c = MakeControl(id, ControlKind::kRadio, std::move(text), rect);
        c.checked = checked;
        return c;
    };
    platform::DialogDescription d;
    d.title = kTitle;
    d.width = 300;
    d.height = 150;
    d.controls = {
        MakeControl(kGroup, ControlKind::kGroupBox, "Display win amounts as...",
                    Rect{10, 8, 290, 100}),
        radio(kNetAmount, "Net amount Won", Rect{24, 32, 280, 54}, !potSize),
        radio(kPotSize, "Size of Pot won", Rect{24, 62, 280, 84}, potSize),
        MakeControl(platform::kIdOk, ControlKind::kButton, "OK", Rect{110, 112, 190, 138}),
        MakeControl(platform::kIdCancel, ControlKind::kButton, "Cancel", Rect{200, 112, 290, 138}),
    };
    return d;
}

bool CDlgReportsOptions::DoModal(platform::WindowId owner) {
    const platform::DialogResult result =
        desktop_.RunDialog(owner, Describe(), [](const platform::Command&) { return false; });
    if (result.code != platform::kIdOk) return false;
    const platform::Control* pot = result.Find(kPotSize);
    pages::StoreDisplayPotSize(settings_, pot != nullptr && pot->checked ? 1 : 0);
    return true;
}
