#pragma once
// ScreenSource on an X11 display through libX11. Works with and without a
// window manager: under one, a top-level window is the manager's frame and
// the program's window is the descendant that carries WM_STATE; the id we
// report is always the program's (client) window. Titles come from
// _NET_WM_NAME, then WM_NAME. Errors from windows that vanish meanwhile are
// absorbed; the call then reports the window as gone.

#include <string>

#include "platform/screen_source.h"

struct _XDisplay;

namespace platform {

class X11ScreenSource : public ScreenSource {
  public:
    // Connects to displayName, or to $DISPLAY when empty; when DISPLAY is
    // unset or the connection fails, the source reports no screen.
    explicit X11ScreenSource(const std::string& displayName = {});
    ~X11ScreenSource() override;
    X11ScreenSource(const X11ScreenSource&) = delete;
    X11ScreenSource& operator=(const X11ScreenSource&) = delete;

    bool Available() const override { return display_ != nullptr; }
    std::vector<ScreenWindow> TopLevelWindows() override;
    std::optional<ScreenWindow> Describe(ScreenWindowId id) override;
    std::optional<ScreenWindowId> ForegroundWindow() override;
    Bitmap32 CaptureClient(ScreenWindowId id, const Rect& rect) override;
    bool MoveWindow(ScreenWindowId id, const Rect& windowRect) override;

  private:
    // The window's description given its top-level (frame) and client windows.
    std::optional<ScreenWindow> DescribePair(unsigned long frame, unsigned long client);
    // The top-level child of the root that holds window, or 0.
    unsigned long TopLevelOf(unsigned long window);
    // The client window inside a top-level window (itself when none has WM_STATE).
    unsigned long ClientOf(unsigned long frame);
    std::string Title(unsigned long window);

    _XDisplay* display_ = nullptr;
};

}  // namespace platform
