#pragma once
// A Desktop for tests: it keeps every event, answers message boxes and modal
// dialogs from a script, and records every painted window's drawing call by
// call, so that each window's logic runs headless.

#include <deque>
#include <string>
#include <vector>

#include "platform/desktop_model.h"

namespace platform {

class RecordingDesktop : public DesktopModel {
  public:
    struct MessageBoxCall {
        WindowId owner;
        std::string text;
        std::string caption;
        MessageBoxButtons buttons;
        MessageBoxResult answer;
    };
    // What the user does in one modal dialog: the actions in order (their
    // window field is filled in), then, when the dialog is still open,
    // EndDialog(endCode).
    struct DialogScript {
        std::vector<Command> actions;
        int endCode = kIdCancel;
    };

    // loop, when given, is pumped while a message box or dialog is "open",
    // so that timers fire during modal loops as they would for real.
    explicit RecordingDesktop(EventLoop* loop = nullptr) : DesktopModel(loop) {}

    void Paint(WindowId window, const std::function<void(Canvas&)>& painter) override;

    // The next message box gets answer; without one, the first button.
    void ScriptMessageBox(MessageBoxResult answer) { messageBoxAnswers_.push_back(answer); }
    // The next modal dialog plays script; without one, it is cancelled.
    void ScriptDialog(DialogScript script) { dialogScripts_.push_back(std::move(script)); }

    const std::vector<DeskEvent>& Events() const { return events_; }
    // Events as JSON, one per line.
    std::string EventLog() const;
    void ClearEvents() { events_.clear(); }
    const std::vector<MessageBoxCall>& MessageBoxes() const { return messageBoxes_; }
    // The last drawing of a painted window as RecordingCanvas::Describe() text.
    std::string Drawing(WindowId window) const;
    // Titles of all windows, top of the Z order first.
    std::vector<std::string> TitlesInZOrder() const;

  protected:
    void Emit(DeskEvent event) override { events_.push_back(std::move(event)); }
    MessageBoxResult AskMessageBox(WindowId owner, std::string_view text, std::string_view caption,
                                   MessageBoxButtons buttons) override;
    void WaitForDialog(WindowId dialog) override;

  private:
    std::vector<DeskEvent> events_;
    std::vector<MessageBoxCall> messageBoxes_;
    std::deque<MessageBoxResult> messageBoxAnswers_;
    std::deque<DialogScript> dialogScripts_;
    std::map<WindowId, std::string> drawings_;
};

}  // namespace platform
