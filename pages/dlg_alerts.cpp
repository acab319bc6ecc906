#include "pages/dlg_alerts.h"

#include <string>

#include "pages/page_window.h"

CDlgAlerts::CDlgAlerts(platform::Desktop& desktop, platform::WindowId owner) : desktop_(desktop) {
    platform::WindowDescription desc;
    desc.kind = platform::WindowKind::kHtml;
    desc.title = kTitle;
    desc.rect = kDefaultPlace;
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

void CDlgAlerts::Show(std::string_view playerKey, bool setTitle, std::string_view address) {
    if (window_ == platform::kNoWindow) return;
    if (setTitle) desktop_.SetTitle(window_, "Alerts: " + std::string(playerKey));
    if (!address.empty()) desktop_.Navigate(window_, address);
    pages::ComeForward(desktop_, window_);
}
