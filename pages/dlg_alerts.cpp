#include "pages/dlg_alerts.h"

#include <string>

#include "pages/page_window.h"

CDlgAlerts::CDlgAlerts(platform::Desktop& desktop, platform::WindowId owner,
                       const std::string& title, platform::Rect place)
    : desktop_(desktop) {
    platform::WindowDescription desc;
    desc.kind = platform::WindowKind::kHtml;
    desc.title = title;
    desc.rect = place;
    desc.owner = owner;
    desc.visible = false;
    window_ = desktop_.CreateWindow(desc);
    if (window_ == platform::kNoWindow) {
        desktop_.MessageBox(owner, kCreateFailed, "Seatwatch", platform::MessageBoxButtons::kOk);
    }
}

CDlgAlerts::~CDlgAlerts() {
    if (window_ != platform::kNoWindow) desktop_.DestroyWindow(window_);
}

void CDlgAlerts::Load(std::string_view playerKey, bool setTitle, std::string_view address) {
    if (window_ == platform::kNoWindow) return;
    if (setTitle) desktop_.SetTitle(window_, "Alerts: " + std::string(playerKey));
    if (!address.empty()) desktop_.Navigate(window_, address);
}

void CDlgAlerts::Show(std::string_view playerKey, bool setTitle, std::string_view address) {
    if (window_ == platform::kNoWindow) return;
    Load(playerKey, setTitle, address);
    pages::ComeForward(desktop_, window_);
}

void CDlgAlerts::Hide() {
    if (window_ != platform::kNoWindow) desktop_.Show(window_, platform::ShowMode::kHide);
}

void CDlgAlerts::ShowAgain() {
    if (window_ != platform::kNoWindow) desktop_.Show(window_, platform::ShowMode::kShowNoActivate);
}

bool CDlgAlerts::IsVisible() const {
    if (window_ == platform::kNoWindow) return false;
    const auto state = desktop_.GetWindow(window_);
    return state && state->visible;
}
