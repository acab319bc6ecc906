#include "pages/dlg_reports.h"

#include <utility>
#include <vector>

#include "pages/dlg_reports_options.h"
#include "pages/page_window.h"
#include "platform/saved_place.h"

namespace {


std::vector<platform::MenuItem> ReportMenu() {
    const auto item = [](std::string text, int command) {
        platform::MenuItem m;
        m.text = std::move(text);
        m.command = command;
        return m;
    };
    platform::MenuItem separator;
    separator.separator = true;
    platform::MenuItem view = item("&View", 0);
    view.children = {item("&Hand Review", CDlgReports::kViewHandReview),
                     item("&Players Report", CDlgReports::kViewPlayers),
                     item("&Analysis", CDlgReports::kViewAnalysis), separator,
                     item("&Options...", CDlgReports::kOptions)};
    platform::MenuItem help = item("&Help", 0);
    help.children = {item("&Reports Window", CDlgReports::kHelpCommand)};
    return {view, help};
}

}  // namespace

CDlgReports::CDlgReports(platform::Desktop& desktop, platform::Profile& settings,
                         platform::WindowId owner, Callbacks callbacks)
    : desktop_(desktop), settings_(settings), callbacks_(std::move(callbacks)) {
    platform::WindowDescription desc;
    desc.kind = platform::WindowKind::kHtml;
    desc.title = kTitle;
    desc.rect = kDefaultPlace;
    desc.owner = owner;
    desc.visible = false;
    window_ = desktop_.CreateWindow(desc);
    if (window_ == platform::kNoWindow) {
        desktop_.MessageBox(owner, kCreateFailed, "Seatwatch", platform::MessageBoxButtons::kOk);
        return;
    }
    desktop_.SetMenu(window_, ReportMenu());
    desktop_.SetCommandHandler(
        window_, [this](const platform::Command& command) { return OnCommand(command); });
}

CDlgReports::~CDlgReports() {
    if (window_ != platform::kNoWindow) desktop_.DestroyWindow(window_);
}

platform::Rect CDlgReports::SavedPlace(const platform::Profile& settings,
                                       const platform::Rect& screen) {
    return platform::ReadSavedPlace(settings, "Reports", kDefaultPlace, screen);
}

void CDlgReports::Show(std::string_view address, bool bringToFront, std::string_view title) {
    if (window_ == platform::kNoWindow) return;
    if (!address.empty()) desktop_.Navigate(window_, address);
    if (!title.empty()) desktop_.SetTitle(window_, "Report: " + std::string(title));
    if (!bringToFront) return;
    if (!positionApplied_) {
        positionApplied_ = true;
        desktop_.SetWindowPos(window_, platform::kInsertTop,
                              SavedPlace(settings_, desktop_.WorkArea()),
                              platform::kNoZOrder | platform::kShowWindow);
    }
    pages::ComeForward(desktop_, window_);
}

void CDlgReports::Close() {
    if (window_ == platform::kNoWindow) return;
    if (const auto state = desktop_.GetWindow(window_)) {
        platform::WriteSavedPlace(settings_, "Reports", state->rect);
    }
    desktop_.Show(window_, platform::ShowMode::kHide);
}

bool CDlgReports::IsVisible() const {
    if (window_ == platform::kNoWindow) return false;
    const auto state = desktop_.GetWindow(window_);
    return state && state->visible;
}

void CDlgReports::RunOptions() {
    if (window_ == platform::kNoWindow) return;
    if (CDlgReportsOptions(desktop_, settings_).DoModal(window_) && callbacks_.showReport)
        callbacks_.showReport(-1);
}

bool CDlgReports::OnCommand(const platform::Command& command) {
    using platform::CommandKind;
    if (command.kind == CommandKind::kClose) {
        Close();
        return true;
    }
    if (command.kind != CommandKind::kMenu) return false;
    switch (command.id) {
        case kViewHandReview:
        case kViewPlayers:
        case kViewAnalysis:
            if (callbacks_.showReport) callbacks_.showReport(command.id - kViewHandReview);
            return true;
        case kOptions:
            RunOptions();
            return true;
        case kHelpCommand:
            if (callbacks_.consoleCommand) callbacks_.consoleCommand(command.id);
            return true;
        default:
            return false;
    }
}
