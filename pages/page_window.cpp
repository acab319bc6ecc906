#include "pages/page_window.h"

namespace pages {

void ComeForward(platform::Desktop& desktop, platform::WindowId window) {
    const auto state = desktop.GetWindow(window);
    if (!state) return;
    desktop.Show(window,
                 state->minimized ? platform::ShowMode::kRestore : platform::ShowMode::kShow);
    desktop.SetWindowPos(window, platform::kInsertBottom, platform::Rect{},
                         platform::kNoMove | platform::kNoSize);
    desktop.BringToTop(window);
}

}  // namespace pages
