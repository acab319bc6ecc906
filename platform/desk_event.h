#pragma once
// The wire form of one desktop change: a type, the window it concerns and its
// data as JSON, written as {"type":..., "window":..., ...data}. The desktop
// model describes every state change this way; the web desktop sends the
// events to the browser and the recording desktop keeps them for tests.

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace platform {

struct DeskEvent {
    std::string type;  // "create", "destroy", "title", "icon", "rect", "show", "zorder",
                       // "navigate", "zoom", "paint", "menu", "sysmenu", "control",
                       // "messagebox", "dialog"
    WindowId window = kNoWindow;
    nlohmann::json data;
    // {"type":..., "window":..., ...data} as one JSON object text.
    std::string ToJson() const;
    // The same object as JSON.
    nlohmann::json ToObject() const;
};

// The JSON forms used in desk events.
nlohmann::json ToJson(const Rect& rect);
nlohmann::json ToJson(const Control& control);
nlohmann::json ToJson(const std::vector<MenuItem>& menu);
const char* WindowKindName(WindowKind kind);
const char* MessageBoxButtonsName(MessageBoxButtons buttons);

}  // namespace platform
