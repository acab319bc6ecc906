#include "viewers/dlg_hand_viewer.h"

#include <exception>

#include "platform/saved_place.h"
#include "platform/text_util.h"

CDlgHandViewer::CDlgHandViewer(platform::Desktop& desktop, platform::WindowId owner,
                               platform::Profile& settings)
    : desktop_(desktop), settings_(settings) {
    std::string failure;
    try {
        platform::WindowDescription desc;
        desc.kind = platform::WindowKind::kHtml;
        desc.title = kTitle;
        desc.rect =
            platform::Rect::FromSize(kDefaultLeft, kDefaultTop, kDefaultWidth, kDefaultHeight);
        desc.owner = owner;
        desc.visible = false;
        window_ = desktop_.CreateWindow(desc);
        if (window_ == platform::kNoWindow) failure = kCreateFailed;
    } catch (const std::exception& error) {
        window_ = platform::kNoWindow;
        failure = std::string(error.what()).substr(0, kLongestError);
    }
    if (!failure.empty()) {
        desktop_.MessageBox(owner, failure, "Seatwatch", platform::MessageBoxButtons::kOk);
        return;
    }
    desktop_.SetCommandHandler(
        window_, [this](const platform::Command& command) { return OnCommand(command); });
}

CDlgHandViewer::~CDlgHandViewer() {
    if (window_ != platform::kNoWindow) desktop_.DestroyWindow(window_);
}

platform::Rect CDlgHandViewer::SavedPlace(const platform::Profile& settings,
                                          const platform::Rect& workArea) {
    return platform::ReadSavedPlace(
        settings, kPlaceName,
        platform::Rect::FromSize(kDefaultLeft, kDefaultTop, kDefaultWidth, kDefaultHeight),
        workArea);
}

void CDlgHandViewer::ShowHand(std::uint64_t handNumber, std::string_view pagePath) {
    if (window_ == platform::kNoWindow) return;
    if (!placeRestored_) {
        // The saved place is read once a run; afterwards the window stays
        // where the user puts it.
        const platform::Rect place = SavedPlace(settings_, desktop_.WorkArea());
        desktop_.SetWindowPos(window_, platform::kInsertTop, place,
                              platform::kNoZOrder | platform::kShowWindow);
        placeRestored_ = true;
    }
    desktop_.Navigate(window_, pagePath);
    const auto state = desktop_.GetWindow(window_);
    if (state && state->minimized) desktop_.Show(window_, platform::ShowMode::kRestore);
    desktop_.SetWindowPos(window_, platform::kInsertTop, platform::Rect{},
                          platform::kNoMove | platform::kNoSize | platform::kShowWindow);
    desktop_.SetTitle(window_,
                      platform::Format("Hand %llu", static_cast<unsigned long long>(handNumber)));
}

void CDlgHandViewer::Close() {
    if (window_ == platform::kNoWindow) return;
    if (const auto state = desktop_.GetWindow(window_)) {
        platform::WriteSavedPlace(settings_, kPlaceName, state->rect);
    }
    Hide();
}

void CDlgHandViewer::Hide() {
    if (window_ != platform::kNoWindow) desktop_.Show(window_, platform::ShowMode::kHide);
}

void CDlgHandViewer::OnFocus() {
    if (window_ != platform::kNoWindow) desktop_.BringToTop(window_);
}

bool CDlgHandViewer::OnCommand(const platform::Command& command) {
    switch (command.kind) {
        case platform::CommandKind::kClose:
            Close();
            return true;
        case platform::CommandKind::kMoved:
        case platform::CommandKind::kMenu:
            // The desk reports no focus changes of its own; moving or sizing
            // the window, or using its menu, means the user is working in it.
            OnFocus();
            return false;
        default:
            return false;
    }
}
