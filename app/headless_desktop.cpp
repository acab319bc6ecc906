#include "app/headless_desktop.h"

#include <ostream>
#include <string>

#include "platform/log.h"

CHeadlessDesktop::CHeadlessDesktop(platform::EventLoop* loop, std::ostream& err)
    : DesktopModel(loop), err_(err) {}

platform::MessageBoxResult CHeadlessDesktop::AskMessageBox(platform::WindowId,
                                                           std::string_view text,
                                                           std::string_view caption,
                                                           platform::MessageBoxButtons buttons) {
    err_ << caption << ": " << text << "\n" << std::flush;
    platform::Log::Write(std::string(caption) + ": " + std::string(text));
    return buttons == platform::MessageBoxButtons::kYesNo ? platform::MessageBoxResult::kYes
                                                          : platform::MessageBoxResult::kOk;
}

void CHeadlessDesktop::WaitForDialog(platform::WindowId dialog) {
    const auto state = GetWindow(dialog);
    const std::string title = state ? state->title : std::string();
    err_ << title << ": answered OK (no desk)\n" << std::flush;
    EndDialog(dialog, platform::kIdOk);
}
