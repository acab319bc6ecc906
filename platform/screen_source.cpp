#include "platform/screen_source.h"

namespace platform {

std::vector<ScreenWindow> FakeScreenSource::TopLevelWindows() {
    std::vector<ScreenWindow> out;
    if (!available_) return out;
    for (const Window& w : windows_) out.push_back(w.info);
    return out;
}

std::optional<ScreenWindow> FakeScreenSource::Describe(ScreenWindowId id) {
    if (!available_) return std::nullopt;
    for (const Window& w : windows_) {
        if (w.info.id == id) return w.info;
    }
    return std::nullopt;
}

Bitmap32 FakeScreenSource::CaptureClient(ScreenWindowId id, const Rect& rect) {
    if (!available_) return {};
    for (const Window& w : windows_) {
        if (w.info.id == id) return w.client.Cut(rect);
    }
    return {};
}

bool FakeScreenSource::MoveWindow(ScreenWindowId id, const Rect& windowRect) {
    moves_.emplace_back(id, windowRect);
    for (Window& w : windows_) {
        if (w.info.id != id) continue;
        const int dl = w.info.clientRect.left - w.info.windowRect.left;
        const int dt = w.info.clientRect.top - w.info.windowRect.top;
        const int dr = w.info.windowRect.right - w.info.clientRect.right;
        const int db = w.info.windowRect.bottom - w.info.clientRect.bottom;
        w.info.windowRect = windowRect;
        w.info.clientRect = Rect{windowRect.left + dl, windowRect.top + dt, windowRect.right - dr,
                                 windowRect.bottom - db};
        return true;
    }
    return false;
}

}  // namespace platform
