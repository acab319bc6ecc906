#include "platform/desk_event.h"

namespace platform {

namespace {

const char* ControlKindName(ControlKind kind) {
    static constexpr const char* kNames[] = {"button",      "checkbox",     "radio",  "edit",
                                             "combobox",    "dropdownlist", "static", "groupbox",
                                             "imagebutton", "page"};
    return kNames[static_cast<int>(kind)];
}

}  // namespace

const char* WindowKindName(WindowKind kind) {
    switch (kind) {
        case WindowKind::kHtml:
            return "html";
        case WindowKind::kPainted:
            return "painted";
        case WindowKind::kDialog:
            return "dialog";
        case WindowKind::kTool:
            return "tool";
    }
    return "html";
}

const char* MessageBoxButtonsName(MessageBoxButtons b) {
    switch (b) {
        case MessageBoxButtons::kOk:
            return "ok";
        case MessageBoxButtons::kOkCancel:
            return "okcancel";
        case MessageBoxButtons::kYesNo:
            return "yesno";
    }
    return "ok";
}

nlohmann::json ToJson(const Rect& r) {
    return nlohmann::json{
        {"left", r.left}, {"top", r.top}, {"right", r.right}, {"bottom", r.bottom}};
}

nlohmann::json ToJson(const Control& c) {
    nlohmann::json j{{"id", c.id},
                     {"kind", ControlKindName(c.kind)},
                     {"text", c.text},
                     {"rect", ToJson(c.rect)},
                     {"checked", c.checked},
                     {"enabled", c.enabled},
                     {"visible", c.visible},
                     {"items", c.items},
                     {"selection", c.selection}};
    if (!c.image.empty()) j["image"] = c.image;
    if (!c.page.empty()) j["page"] = c.page;
    return j;
}

nlohmann::json ToJson(const std::vector<MenuItem>& menu) {
    nlohmann::json items = nlohmann::json::array();
    for (const MenuItem& m : menu) {
        nlohmann::json j{{"text", m.text},
                         {"command", m.command},
                         {"separator", m.separator},
                         {"checked", m.checked},
                         {"enabled", m.enabled}};
        if (!m.children.empty()) j["children"] = ToJson(m.children);
        items.push_back(std::move(j));
    }
    return items;
}

nlohmann::json DeskEvent::ToObject() const {
    nlohmann::json j = data.is_object() ? data : nlohmann::json::object();
    j["type"] = type;
    j["window"] = window;
    return j;
}

std::string DeskEvent::ToJson() const {
    const nlohmann::json j = ToObject();
    // Replacement keeps malformed UTF-8 from hostile text from throwing.
    return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace platform
