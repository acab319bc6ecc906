#pragma once
// What the report and alerts windows share when they come forward.

#include "platform/desktop.h"

namespace pages {

// Shows `window` (restoring it when minimised) on top of the desk, without
// moving or resizing it. The desk raises panels on the user's clicks by
// itself, so the program's order may already have the window on top while
// the desk shows another panel above it: the window is lowered and raised
// again, so that the desk is told the order whole.
void ComeForward(platform::Desktop& desktop, platform::WindowId window);

}  // namespace pages
