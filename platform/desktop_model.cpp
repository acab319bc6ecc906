#include "platform/desktop_model.h"

#include <algorithm>

#include "platform/svg_canvas.h"

namespace platform {

const Control* DialogResult::Find(int id) const {
    for (const Control& c : controls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

DesktopModel::DesktopModel(EventLoop* loop) : loop_(loop) {}

DesktopModel::Entry* DesktopModel::Find(WindowId window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : &it->second;
}

const DesktopModel::Entry* DesktopModel::Find(WindowId window) const {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : &it->second;
}

void DesktopModel::EmitZOrder() {
    Emit(DeskEvent{"zorder", kNoWindow, nlohmann::json{{"order", zorder_}}});
}

void DesktopModel::EmitRect(const Entry& e) {
    Emit(DeskEvent{"rect", e.state.id, nlohmann::json{{"rect", ToJson(e.state.rect)}}});
}

void DesktopModel::EmitShow(const Entry& e) {
    Emit(DeskEvent{"show", e.state.id,
                   nlohmann::json{{"visible", e.state.visible}, {"minimized", e.state.minimized}}});
}

void DesktopModel::Raise(WindowId window) {
    auto it = std::find(zorder_.begin(), zorder_.end(), window);
    if (it == zorder_.begin()) return;
    if (it != zorder_.end()) zorder_.erase(it);
    zorder_.insert(zorder_.begin(), window);
    EmitZOrder();
}

WindowId DesktopModel::Create(const WindowDescription& desc, bool modal) {
    const WindowId id = nextId_++;
    Entry& e = windows_[id];
    e.state.id = id;
    e.state.kind = desc.kind;
    e.state.title = desc.title;
    e.state.rect = desc.rect;
    e.state.owner = desc.owner;
    e.state.visible = desc.visible;
    e.state.icon = desc.icon;
    e.state.controls = desc.controls;
    e.state.modal = modal;
    zorder_.insert(zorder_.begin(), id);
    nlohmann::json controls = nlohmann::json::array();
    for (const Control& c : desc.controls) controls.push_back(ToJson(c));
    Emit(DeskEvent{"create", id,
                   nlohmann::json{{"kind", WindowKindName(desc.kind)},
                                  {"title", desc.title},
                                  {"rect", ToJson(desc.rect)},
                                  {"owner", desc.owner},
                                  {"visible", desc.visible},
                                  {"icon", desc.icon},
                                  {"modal", modal},
                                  {"controls", controls}}});
    EmitZOrder();
    for (const Control& c : desc.controls) {
        if (c.kind == ControlKind::kPage && !c.page.empty()) {
            FixPageZoom(id);
            break;
        }
    }
    return id;
}

void DesktopModel::FixPageZoom(WindowId window) {
    const Entry* e = Find(window);
    if (e == nullptr || e->state.zoom >= 0 || !zoomSource_) return;
    const int level = std::clamp(zoomSource_(), 0, 4);
    Entry* again = Find(window);
    if (again == nullptr || again->state.zoom >= 0) return;
    again->state.zoom = level;
    Emit(DeskEvent{"zoom", window, nlohmann::json{{"level", level}}});
}

WindowId DesktopModel::CreateWindow(const WindowDescription& desc) { return Create(desc, false); }

void DesktopModel::DestroyWindow(WindowId window) {
    if (Find(window) == nullptr) return;
    // Owned windows go first, as on Windows.
    std::vector<WindowId> owned;
    for (const auto& [id, e] : windows_) {
        if (e.state.owner == window) owned.push_back(id);
    }
    for (WindowId id : owned) DestroyWindow(id);
    if (Find(window) == nullptr) return;
    windows_.erase(window);
    zorder_.erase(std::remove(zorder_.begin(), zorder_.end(), window), zorder_.end());
    if (loop_ != nullptr) loop_->KillWindowTimers(window);
    Emit(DeskEvent{"destroy", window, nlohmann::json::object()});
}

bool DesktopModel::IsWindow(WindowId window) const { return Find(window) != nullptr; }

std::optional<WindowState> DesktopModel::GetWindow(WindowId window) const {
    const Entry* e = Find(window);
    if (e == nullptr) return std::nullopt;
    return e->state;
}

void DesktopModel::SetTitle(WindowId window, std::string_view title) {
    Entry* e = Find(window);
    if (e == nullptr || e->state.title == title) return;
    e->state.title = std::string(title);
    Emit(DeskEvent{"title", window, nlohmann::json{{"title", e->state.title}}});
}

void DesktopModel::SetIcon(WindowId window, std::string_view icon) {
    Entry* e = Find(window);
    if (e == nullptr) return;
    e->state.icon = std::string(icon);
    Emit(DeskEvent{"icon", window, nlohmann::json{{"icon", e->state.icon}}});
}

void DesktopModel::SetWindowPos(WindowId window, WindowId insertAfter, const Rect& rect,
                                unsigned flags) {
    Entry* e = Find(window);
    if (e == nullptr) return;
    Rect r = e->state.rect;
    if (!(flags & kNoMove)) {
        r = Rect::FromSize(rect.left, rect.top, r.Width(), r.Height());
    }
    if (!(flags & kNoSize)) {
        r.right = r.left + std::max(0, rect.Width());
        r.bottom = r.top + std::max(0, rect.Height());
    }
    if (r != e->state.rect) {
        e->state.rect = r;
        EmitRect(*e);
    }
    if (!(flags & kNoZOrder) && insertAfter != window) {
        if (insertAfter == kInsertTop) {
            Raise(window);
        } else {
            zorder_.erase(std::remove(zorder_.begin(), zorder_.end(), window), zorder_.end());
            auto after = std::find(zorder_.begin(), zorder_.end(), insertAfter);
            if (insertAfter == kInsertBottom || after == zorder_.end()) {
                zorder_.push_back(window);
            } else {
                zorder_.insert(after + 1, window);
            }
            EmitZOrder();
        }
    }
    if ((flags & kShowWindow) && !e->state.visible) {
        e->state.visible = true;
        EmitShow(*e);
    } else if ((flags & kHideWindow) && e->state.visible) {
        e->state.visible = false;
        EmitShow(*e);
    }
}

void DesktopModel::Show(WindowId window, ShowMode mode) {
    Entry* e = Find(window);
    if (e == nullptr) return;
    const WindowState before = e->state;
    switch (mode) {
        case ShowMode::kHide:
            e->state.visible = false;
            break;
        case ShowMode::kShow:
        case ShowMode::kShowNoActivate:
            e->state.visible = true;
            break;
        case ShowMode::kMinimize:
            e->state.visible = true;
            e->state.minimized = true;
            break;
        case ShowMode::kRestore:
            e->state.visible = true;
            e->state.minimized = false;
            break;
    }
    if (before.visible != e->state.visible || before.minimized != e->state.minimized) EmitShow(*e);
    // Showing with activation brings the window to the front, as on Windows.
    if (mode == ShowMode::kShow || mode == ShowMode::kRestore) Raise(window);
}

void DesktopModel::BringToTop(WindowId window) {
    if (Find(window) != nullptr) Raise(window);
}

std::vector<WindowId> DesktopModel::ZOrder() const { return zorder_; }

void DesktopModel::Navigate(WindowId window, std::string_view address) {
    Entry* e = Find(window);
    if (e == nullptr) return;
    if (e->state.zoom < 0 && zoomSource_) {
        FixPageZoom(window);
        e = Find(window);
        if (e == nullptr) return;
    }
    e->state.address = std::string(address);
    Emit(DeskEvent{"navigate", window, nlohmann::json{{"address", e->state.address}}});
}

void DesktopModel::Paint(WindowId window, const std::function<void(Canvas&)>& painter) {
    Entry* e = Find(window);
    if (e == nullptr || !painter) return;
    SvgCanvas canvas(e->state.rect.Width(), e->state.rect.Height());
    painter(canvas);
    e = Find(window);  // the painter may have changed the desktop
    if (e == nullptr) return;
    e->state.drawing = canvas.Svg();
    Emit(DeskEvent{"paint", window, nlohmann::json{{"svg", e->state.drawing}}});
}

void DesktopModel::SetMenu(WindowId window, std::vector<MenuItem> menu) {
    Entry* e = Find(window);
    if (e == nullptr) return;
    e->state.menu = std::move(menu);
    Emit(DeskEvent{"menu", window, nlohmann::json{{"items", ToJson(e->state.menu)}}});
}

void DesktopModel::SetSystemMenuItems(WindowId window, std::vector<MenuItem> items) {
    Entry* e = Find(window);
    if (e == nullptr) return;
    e->state.systemMenu = std::move(items);
    Emit(DeskEvent{"sysmenu", window, nlohmann::json{{"items", ToJson(e->state.systemMenu)}}});
}

void DesktopModel::SetControl(WindowId window, const Control& control) {
    Entry* e = Find(window);
    if (e == nullptr) return;
    auto it = std::find_if(e->state.controls.begin(), e->state.controls.end(),
                           [&](const Control& c) { return c.id == control.id; });
    if (it == e->state.controls.end()) {
        e->state.controls.push_back(control);
    } else if (*it == control) {
        return;
    } else {
        *it = control;
    }
    if (control.kind == ControlKind::kPage && !control.page.empty() && e->state.zoom < 0)
        FixPageZoom(window);
    Emit(DeskEvent{"control", window, nlohmann::json{{"control", ToJson(control)}}});
}

std::optional<Control> DesktopModel::GetControl(WindowId window, int id) const {
    const Entry* e = Find(window);
    if (e == nullptr) return std::nullopt;
    for (const Control& c : e->state.controls) {
        if (c.id == id) return c;
    }
    return std::nullopt;
}

void DesktopModel::SetCommandHandler(WindowId window, CommandHandler handler) {
    if (Entry* e = Find(window)) e->handler = std::move(handler);
}

int DesktopModel::GetSystemMetric(SystemMetric metric) const {
    auto it = metrics_.find(metric);
    if (it != metrics_.end()) return it->second;
    switch (metric) {
        case SystemMetric::kScreenWidth:
            return 1280;
        case SystemMetric::kScreenHeight:
            return 1024;
        case SystemMetric::kCaptionHeight:
            return 19;
        case SystemMetric::kBorderWidth:
        case SystemMetric::kBorderHeight:
            return 1;
        case SystemMetric::kFrameWidth:
        case SystemMetric::kFrameHeight:
            return 4;
        case SystemMetric::kCaptionButtonHeight:
            return 18;
    }
    return 0;
}

MessageBoxResult DesktopModel::MessageBox(WindowId owner, std::string_view text,
                                          std::string_view caption, MessageBoxButtons buttons) {
    Emit(DeskEvent{"messagebox", owner,
                   nlohmann::json{{"text", std::string(text)},
                                  {"caption", std::string(caption)},
                                  {"buttons", MessageBoxButtonsName(buttons)}}});
    const MessageBoxResult answer = AskMessageBox(owner, text, caption, buttons);
    // Only answers that the box offers are taken.
    switch (buttons) {
        case MessageBoxButtons::kOk:
            return MessageBoxResult::kOk;
        case MessageBoxButtons::kOkCancel:
            return answer == MessageBoxResult::kCancel ? MessageBoxResult::kCancel
                                                       : MessageBoxResult::kOk;
        case MessageBoxButtons::kYesNo:
            return answer == MessageBoxResult::kNo ? MessageBoxResult::kNo : MessageBoxResult::kYes;
    }
    return answer;
}

DialogResult DesktopModel::RunDialog(WindowId owner, const DialogDescription& desc,
                                     CommandHandler handler) {
    WindowDescription w;
    w.kind = WindowKind::kDialog;
    w.title = desc.title;
    // Centre the dialog on the work area.
    w.rect = Rect::FromSize(workArea_.left + (workArea_.Width() - desc.width) / 2,
                            workArea_.top + (workArea_.Height() - desc.height) / 2, desc.width,
                            desc.height);
    w.owner = owner;
    w.visible = true;
    w.controls = desc.controls;
    const WindowId id = Create(w, true);
    Find(id)->handler = std::move(handler);
    DeliverUserCommand(Command{id, CommandKind::kInit, 0, {}, -1, false, {}});
    if (!DialogEnded(id)) WaitForDialog(id);
    DialogResult result;
    if (const Entry* e = Find(id)) {
        result.code = e->code;
        result.controls = e->state.controls;
    }
    DestroyWindow(id);
    return result;
}

void DesktopModel::EndDialog(WindowId dialog, int code) {
    Entry* e = Find(dialog);
    if (e == nullptr || e->ended) return;
    e->ended = true;
    e->code = code;
    if (loop_ != nullptr) loop_->Post(nullptr);  // wakes a nested loop waiting for this
}

bool DesktopModel::DialogEnded(WindowId dialog) const {
    const Entry* e = Find(dialog);
    return e == nullptr || e->ended;
}

void DesktopModel::DeliverUserCommand(Command command) {
    Entry* e = Find(command.window);
    if (e == nullptr) return;
    const auto controlAt = [&](int id) -> Control* {
        for (Control& c : e->state.controls) {
            if (c.id == id) return &c;
        }
        return nullptr;
    };
    switch (command.kind) {
        case CommandKind::kClick: {
            Control* c = controlAt(command.id);
            if (c == nullptr || !c->enabled) return;
            if (c->kind == ControlKind::kCheckBox) {
                c->checked = !c->checked;
                command.checked = c->checked;
                Emit(DeskEvent{"control", command.window, nlohmann::json{{"control", ToJson(*c)}}});
            } else if (c->kind == ControlKind::kRadio) {
                // Radio buttons next to each other in the list form a group.
                auto& list = e->state.controls;
                auto self = list.begin() + (c - list.data());
                auto first = self;
                while (first != list.begin() && (first - 1)->kind == ControlKind::kRadio) --first;
                for (auto it = first; it != list.end() && it->kind == ControlKind::kRadio; ++it) {
                    const bool on = it == self;
                    if (it->checked != on) {
                        it->checked = on;
                        Emit(DeskEvent{"control", command.window,
                                       nlohmann::json{{"control", ToJson(*it)}}});
                    }
                }
                command.checked = true;
            }
            break;
        }
        case CommandKind::kChange: {
            Control* c = controlAt(command.id);
            if (c == nullptr || !c->enabled) return;
            c->text = command.text;
            break;
        }
        case CommandKind::kSelect: {
            Control* c = controlAt(command.id);
            if (c == nullptr || !c->enabled || command.selection < -1 ||
                command.selection >= static_cast<int>(c->items.size())) {
                return;
            }
            c->selection = command.selection;
            if (command.selection >= 0)
                c->text = c->items[static_cast<std::size_t>(command.selection)];
            command.text = c->text;
            break;
        }
        case CommandKind::kMoved:
            if (command.rect.Width() < 0 || command.rect.Height() < 0) return;
            e->state.rect = command.rect;
            EmitRect(*e);
            break;
        default:
            break;
    }
    // The handler may destroy windows, so nothing found above is used after.
    const CommandHandler handler = e->handler;
    const bool modal = e->state.modal;
    const bool handled = handler ? handler(command) : false;
    if (handled) return;
    if (modal && ((command.kind == CommandKind::kClick &&
                   (command.id == kIdOk || command.id == kIdCancel)))) {
        EndDialog(command.window, command.id);
    } else if (command.kind == CommandKind::kClose) {
        if (modal) {
            EndDialog(command.window, kIdCancel);
        } else {
            Show(command.window, ShowMode::kHide);
        }
    }
}

}  // namespace platform
