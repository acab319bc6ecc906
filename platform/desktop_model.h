#pragma once
// The state keeping shared by every Desktop: windows, Z order, controls and
// menus, the handling of user input, and a DeskEvent for every change. A
// concrete desktop supplies where events go and how a message box or a modal
// dialog gets its answer.

#include <functional>
#include <map>

#include "platform/desk_event.h"
#include "platform/desktop.h"
#include "platform/event_loop.h"

namespace platform {

class DesktopModel : public Desktop {
  public:
    // loop (may be null) has the timers of destroyed windows killed and runs
    // the nested loops of modal dialogs.
    explicit DesktopModel(EventLoop* loop);

    WindowId CreateWindow(const WindowDescription& desc) override;
    void DestroyWindow(WindowId window) override;
    bool IsWindow(WindowId window) const override;
    std::optional<WindowState> GetWindow(WindowId window) const override;
    void SetTitle(WindowId window, std::string_view title) override;
    void SetIcon(WindowId window, std::string_view icon) override;
    void SetWindowPos(WindowId window, WindowId insertAfter, const Rect& rect,
                      unsigned flags) override;
    void Show(WindowId window, ShowMode mode) override;
    void BringToTop(WindowId window) override;
    std::vector<WindowId> ZOrder() const override;
    void Navigate(WindowId window, std::string_view address) override;
    void Paint(WindowId window, const std::function<void(Canvas&)>& painter) override;
    void SetMenu(WindowId window, std::vector<MenuItem> menu) override;
    void SetSystemMenuItems(WindowId window, std::vector<MenuItem> items) override;
    void SetControl(WindowId window, const Control& control) override;
    std::optional<Control> GetControl(WindowId window, int id) const override;
    void SetCommandHandler(WindowId window, CommandHandler handler) override;
    Rect WorkArea() const override { return workArea_; }
    int GetSystemMetric(SystemMetric metric) const override;
    MessageBoxResult MessageBox(WindowId owner, std::string_view text, std::string_view caption,
                                MessageBoxButtons buttons) override;
    DialogResult RunDialog(WindowId owner, const DialogDescription& desc,
                           CommandHandler handler) override;
    void EndDialog(WindowId dialog, int code) override;

    // Applies one user action (from the browser, or from a test's script):
    // updates the control or window it concerns (a check box toggles, a
    // radio button clears its group, an edit takes the text, a list takes
    // the selection, a move sets the rectangle), then passes it to the
    // window's handler and applies the default when the handler declines.
    // Commands for unknown windows or controls are ignored.
    void DeliverUserCommand(Command command);

    // Where page windows take their zoom level (0 to 4, 2 normal) from: it
    // is asked once per window, when the window shows its first page (its
    // first Navigate, or its first embedded page), and the level stays with
    // the window. Without a source pages keep the browser's own size.
    void SetPageZoomSource(std::function<int()> source) { zoomSource_ = std::move(source); }

    // Screen geometry answered by WorkArea() and GetSystemMetric().
    void SetWorkArea(const Rect& area) { workArea_ = area; }
    void SetSystemMetric(SystemMetric metric, int value) { metrics_[metric] = value; }

  protected:
    // Receives every state change.
    virtual void Emit(DeskEvent event) = 0;
    // Gets the user's answer to a message box (the event is already out).
    virtual MessageBoxResult AskMessageBox(WindowId owner, std::string_view text,
                                           std::string_view caption, MessageBoxButtons buttons) = 0;
    // Runs until the modal dialog has ended (DialogEnded() is true).
    virtual void WaitForDialog(WindowId dialog) = 0;
    bool DialogEnded(WindowId dialog) const;
    EventLoop* Loop() const { return loop_; }

  private:
    struct Entry {
        WindowState state;
        CommandHandler handler;
        bool ended = false;
        int code = kIdCancel;
    };
    Entry* Find(WindowId window);
    const Entry* Find(WindowId window) const;
    void Raise(WindowId window);
    void EmitZOrder();
    void EmitRect(const Entry& entry);
    void EmitShow(const Entry& entry);
    WindowId Create(const WindowDescription& desc, bool modal);
    // Fixes the zoom of the window (id) at its first page; the source may
    // change the desktop, so the window is looked up again afterwards.
    void FixPageZoom(WindowId window);

    EventLoop* loop_;
    std::map<WindowId, Entry> windows_;
    std::vector<WindowId> zorder_;  // top first
    WindowId nextId_ = 1;
    Rect workArea_{0, 0, 1280, 994};
    std::map<SystemMetric, int> metrics_;
    std::function<int()> zoomSource_;
};

}  // namespace platform
