#include "platform/recording_desktop.h"

#include "platform/recording_canvas.h"

namespace platform {

void RecordingDesktop::Paint(WindowId window, const std::function<void(Canvas&)>& painter) {
    const auto state = GetWindow(window);
    if (!state || !painter) return;
    RecordingCanvas canvas(state->rect.Width(), state->rect.Height());
    painter(canvas);
    drawings_[window] = canvas.Describe();
    DesktopModel::Paint(window, painter);
}

std::string RecordingDesktop::EventLog() const {
    std::string out;
    for (const DeskEvent& e : events_) out += e.ToJson() + "\n";
    return out;
}

std::string RecordingDesktop::Drawing(WindowId window) const {
    auto it = drawings_.find(window);
    return it == drawings_.end() ? std::string() : it->second;
}

std::vector<std::string> RecordingDesktop::TitlesInZOrder() const {
    std::vector<std::string> titles;
    for (WindowId id : ZOrder()) titles.push_back(GetWindow(id)->title);
    return titles;
}

MessageBoxResult RecordingDesktop::AskMessageBox(WindowId owner, std::string_view text,
                                                 std::string_view caption,
                                                 MessageBoxButtons buttons) {
    if (Loop() != nullptr) Loop()->PumpPending();
    MessageBoxResult answer =
        buttons == MessageBoxButtons::kYesNo ? MessageBoxResult::kYes : MessageBoxResult::kOk;
    if (!messageBoxAnswers_.empty()) {
        answer = messageBoxAnswers_.front();
        messageBoxAnswers_.pop_front();
    }
    messageBoxes_.push_back(
        MessageBoxCall{owner, std::string(text), std::string(caption), buttons, answer});
    return answer;
}

void RecordingDesktop::WaitForDialog(WindowId dialog) {
    DialogScript script;
    if (!dialogScripts_.empty()) {
        script = std::move(dialogScripts_.front());
        dialogScripts_.pop_front();
    }
    for (Command action : script.actions) {
        if (DialogEnded(dialog)) return;
        if (Loop() != nullptr) Loop()->PumpPending();
        action.window = dialog;
        DeliverUserCommand(std::move(action));
    }
    if (!DialogEnded(dialog)) EndDialog(dialog, script.endCode);
}

}  // namespace platform
