#pragma once
// The screen as the table reader sees it: the top-level windows of other
// programs (the poker clients' tables), their titles and rectangles, the
// foreground window, capture of a window's client area, and moving a window.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/bitmap32.h"
#include "platform/geometry.h"

namespace platform {

using ScreenWindowId = std::uint64_t;

struct ScreenWindow {
    ScreenWindowId id = 0;
    std::string title;  // UTF-8
    bool visible = false;
    Rect windowRect;  // screen coordinates, including the frame
    Rect clientRect;  // screen coordinates of the client area
    bool operator==(const ScreenWindow&) const = default;
};

class ScreenSource {
  public:
    virtual ~ScreenSource() = default;
    // True when there is a screen to read; when false every other call
    // returns nothing, empty lists or empty bitmaps.
    virtual bool Available() const = 0;
    // The top-level windows in Z order, top first.
    virtual std::vector<ScreenWindow> TopLevelWindows() = 0;
    // The window's current description, or nothing when it no longer exists.
    virtual std::optional<ScreenWindow> Describe(ScreenWindowId id) = 0;
    // The window that has the input focus, if any.
    virtual std::optional<ScreenWindowId> ForegroundWindow() = 0;
    // The pixels of rect (client coordinates) of the window's client area,
    // clipped to the client area; empty when nothing can be read.
    virtual Bitmap32 CaptureClient(ScreenWindowId id, const Rect& rect) = 0;
    // Moves and sizes the window so that its window rectangle becomes rect;
    // false when the window is gone.
    virtual bool MoveWindow(ScreenWindowId id, const Rect& windowRect) = 0;
};

// A scripted screen for tests: windows with client images, moved in memory.
class FakeScreenSource : public ScreenSource {
  public:
    struct Window {
        ScreenWindow info;
        Bitmap32 client;  // the client area's pixels
    };
    bool Available() const override { return available_; }
    std::vector<ScreenWindow> TopLevelWindows() override;
    std::optional<ScreenWindow> Describe(ScreenWindowId id) override;
    std::optional<ScreenWindowId> ForegroundWindow() override { return foreground_; }
    Bitmap32 CaptureClient(ScreenWindowId id, const Rect& rect) override;
    bool MoveWindow(ScreenWindowId id, const Rect& windowRect) override;

    void SetAvailable(bool available) { available_ = available; }
    // Windows are kept top first.
    std::vector<Window>& Windows() { return windows_; }
    void SetForeground(std::optional<ScreenWindowId> id) { foreground_ = id; }
    // Every MoveWindow call so far.
    const std::vector<std::pair<ScreenWindowId, Rect>>& Moves() const { return moves_; }

  private:
    bool available_ = true;
    std::vector<Window> windows_;
    std::optional<ScreenWindowId> foreground_;
    std::vector<std::pair<ScreenWindowId, Rect>> moves_;
};

}  // namespace platform
