#pragma once
// What the user does to a window, as the desk delivers it.

#include "platform/desktop.h"

namespace viewers::testing {

inline platform::Command UserCommand(platform::WindowId window, platform::CommandKind kind,
                                     int id = 0, platform::Rect rect = {}) {
    platform::Command command;
    command.window = window;
    command.kind = kind;
    command.id = id;
    command.rect = rect;
    return command;
}

}  // namespace viewers::testing
