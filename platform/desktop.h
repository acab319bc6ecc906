#pragma once
// The program's windows as the rest of the code sees them. Every window (the
// console, table information, calculators, alerts, reports, hand viewer,
// graphs, dialogs and message boxes) is described as data: a kind, a title, a
// rectangle, its place in the Z order, visibility, minimised state, an icon,
// and per kind a page address, a drawing, or controls. User input comes back
// as Command values through the window's command handler, the way dialog and
// menu commands arrive on Windows.
//
// Every call is for the user-interface thread only: a desktop is not
// thread-safe, and other threads reach it by posting to the EventLoop. The
// state changes are described as DeskEvent values (platform/desk_event.h) by
// the desktop model that implements this interface.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/canvas.h"
#include "platform/geometry.h"
#include "platform/window_id.h"

namespace platform {

enum class WindowKind { kHtml, kPainted, kDialog, kTool };

enum class ControlKind {
    kButton,
    kCheckBox,
    kRadio,
    kEdit,
    kComboBox,
    kDropDownList,
    kStatic,
    kGroupBox,
    kImageButton,
    kPage
};

// The ids of the usual dialog buttons; a click on either ends a modal dialog
// with that id unless the handler says it handled the click.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

struct Control {
    int id = 0;
    ControlKind kind = ControlKind::kStatic;
    std::string text;      // caption, or the edit's / combo box's text
    Rect rect;             // in dialog client pixels
    bool checked = false;  // check boxes and radio buttons
    bool enabled = true;
    bool visible = true;
    std::vector<std::string> items;  // combo boxes and drop-down lists
    int selection = -1;              // selected item, -1 for none
    std::string image;               // image buttons: image address
    std::string page;                // embedded pages: page address
    bool operator==(const Control&) const = default;
};

// A control of `kind` at `rect` with its caption or text; the rest as a new
// control has it.
inline Control MakeControl(int id, ControlKind kind, std::string text, Rect rect) {
    Control control;
    control.id = id;
    control.kind = kind;
    control.text = std::move(text);
    control.rect = rect;
    return control;
}

struct MenuItem {
    std::string text;  // with "&" before the access key
    int command = 0;
    bool separator = false;
    bool checked = false;
    bool enabled = true;
    std::vector<MenuItem> children;
    bool operator==(const MenuItem&) const = default;
};

struct WindowDescription {
    WindowKind kind = WindowKind::kHtml;
    std::string title;
    Rect rect;
    WindowId owner = kNoWindow;
    bool visible = false;
    std::string icon;               // image address
    std::vector<Control> controls;  // dialogs and tool windows
};

struct WindowState {
    WindowId id = kNoWindow;
    WindowKind kind = WindowKind::kHtml;
    std::string title;
    Rect rect;
    WindowId owner = kNoWindow;
    bool visible = false;
    bool minimized = false;
    bool modal = false;
    std::string icon;
    std::string address;  // HTML windows: the page shown
    // Windows that show pages (an HTML window, or one with an embedded
    // page): the page zoom level fixed at the window's first page, from 0
    // (smallest) through 2 (normal) to 4 (largest); -1 before its first page.
    int zoom = -1;
    std::string drawing;  // painted windows: the last drawing, as SVG
    std::vector<Control> controls;
    std::vector<MenuItem> menu;
    std::vector<MenuItem> systemMenu;  // items added to the system menu
};

enum class CommandKind {
    kInit,    // a dialog was created (sent before the user can act)
    kClick,   // a button, check box, radio button or image button was clicked
    kChange,  // an edit's or combo box's text changed (text holds it)
    kSelect,  // a list's selection changed (selection holds it)
    kMenu,    // a menu or system-menu command (id holds the command)
    kClose,   // the user asked to close the window
    kMoved,   // the user moved or resized the window (rect holds it)
    kPage,    // an embedded page sent a command (text holds it)
};

struct Command {
    WindowId window = kNoWindow;
    CommandKind kind = CommandKind::kClick;
    int id = 0;  // control id or menu command
    std::string text;
    int selection = -1;
    bool checked = false;
    Rect rect;
};

// Receives the window's commands; returns true when it handled the command
// (false lets the desktop apply the default: OK and Cancel end a modal
// dialog, a close request hides a window).
using CommandHandler = std::function<bool(const Command&)>;

enum class MessageBoxButtons { kOk, kOkCancel, kYesNo };
enum class MessageBoxResult { kOk, kCancel, kYes, kNo };

struct DialogDescription {
    std::string title;
    int width = 300;
    int height = 200;
    std::vector<Control> controls;
};

struct DialogResult {
    int code = kIdCancel;           // the id passed to EndDialog
    std::vector<Control> controls;  // their state when the dialog ended
    // The control with the id, or nullptr.
    const Control* Find(int id) const;
};

enum class ShowMode { kHide, kShow, kShowNoActivate, kMinimize, kRestore };

// SetWindowPos flags.
enum SetPosFlag : unsigned {
    kNoMove = 1u << 0,
    kNoSize = 1u << 1,
    kNoZOrder = 1u << 2,
    kShowWindow = 1u << 3,
    kHideWindow = 1u << 4,
};
// SetWindowPos places: on top of all, below all, or below a given window.
inline constexpr WindowId kInsertTop = kNoWindow;
inline constexpr WindowId kInsertBottom = 0xFFFFFFFFu;

enum class SystemMetric {
    kScreenWidth,
    kScreenHeight,
    kCaptionHeight,
    kBorderWidth,
    kBorderHeight,
    kFrameWidth,
    kFrameHeight,
    kCaptionButtonHeight,
};

class Desktop {
  public:
    virtual ~Desktop() = default;

    // Creates a window; it starts on top of the Z order. Returns its id.
    virtual WindowId CreateWindow(const WindowDescription& desc) = 0;
    // Destroys the window and the windows it owns; unknown ids are ignored.
    virtual void DestroyWindow(WindowId window) = 0;
    virtual bool IsWindow(WindowId window) const = 0;
    // The window's state, or nothing for an unknown id.
    virtual std::optional<WindowState> GetWindow(WindowId window) const = 0;

    virtual void SetTitle(WindowId window, std::string_view title) = 0;
    virtual void SetIcon(WindowId window, std::string_view icon) = 0;
    // Moves, sizes and re-stacks the window as the flags allow (rect gives
    // the position and size; insertAfter a place in the Z order).
    virtual void SetWindowPos(WindowId window, WindowId insertAfter, const Rect& rect,
                              unsigned flags) = 0;
    virtual void Show(WindowId window, ShowMode mode) = 0;
    // Puts the window on top of the Z order without moving or sizing it.
    virtual void BringToTop(WindowId window) = 0;
    // All windows, top first.
    virtual std::vector<WindowId> ZOrder() const = 0;

    // HTML windows: shows the page at address.
    virtual void Navigate(WindowId window, std::string_view address) = 0;
    // Painted windows: painter draws the window's client area on a canvas.
    virtual void Paint(WindowId window, const std::function<void(Canvas&)>& painter) = 0;
    virtual void SetMenu(WindowId window, std::vector<MenuItem> menu) = 0;
    // Items appended to the window's system menu (replacing earlier ones).
    virtual void SetSystemMenuItems(WindowId window, std::vector<MenuItem> items) = 0;
    // Replaces the control with the same id (or adds it).
    virtual void SetControl(WindowId window, const Control& control) = 0;
    virtual std::optional<Control> GetControl(WindowId window, int id) const = 0;
    virtual void SetCommandHandler(WindowId window, CommandHandler handler) = 0;

    // The full-screen client area (the screen less panels and task bars).
    virtual Rect WorkArea() const = 0;
    virtual int GetSystemMetric(SystemMetric metric) const = 0;

    // Shows a message box and returns the user's answer, running a nested
    // event loop meanwhile.
    virtual MessageBoxResult MessageBox(WindowId owner, std::string_view text,
                                        std::string_view caption, MessageBoxButtons buttons) = 0;
    // Shows a modal dialog, sends handler kInit and then the user's commands,
    // and returns when EndDialog() is called (or OK / Cancel is clicked and
    // not handled).
    virtual DialogResult RunDialog(WindowId owner, const DialogDescription& desc,
                                   CommandHandler handler) = 0;
    // Ends the modal dialog with code.
    virtual void EndDialog(WindowId dialog, int code) = 0;
};

}  // namespace platform
