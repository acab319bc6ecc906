#pragma once
// CHeadlessDesktop: the desktop the program runs on without a browser
// (--headless, and until the web desk is connected). Windows are kept as
// data; every message box takes its first button and every modal dialog its
// OK button, and their texts go to standard error and the program log, so
// that a start-up failure is never silent.
#include <iosfwd>

#include "platform/desktop_model.h"

class CHeadlessDesktop : public platform::DesktopModel {
  public:
    // Texts go to `err`, which must outlive the desktop.
    CHeadlessDesktop(platform::EventLoop* loop, std::ostream& err);

  protected:
    void Emit(platform::DeskEvent) override {}
    platform::MessageBoxResult AskMessageBox(platform::WindowId owner, std::string_view text,
                                             std::string_view caption,
                                             platform::MessageBoxButtons buttons) override;
    void WaitForDialog(platform::WindowId dialog) override;

  private:
    std::ostream& err_;
};
