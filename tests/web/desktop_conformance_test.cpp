// One suite of Desktop behaviour run against the recording desktop and the
// web desktop, so that the two cannot drift. On the web desktop the user is
// a real HTTP client that reads the event stream and posts commands and
// answers, as the desk page does.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "desk_client.h"
#include "platform/recording_desktop.h"
#include "web/web_desktop.h"

namespace web::testing {
namespace {

using namespace platform;

class RecordingSide {
  public:
    DesktopModel& Desk() { return desk_; }
    void ConnectUser() {}
    // The next modal dialog gets actions (the last should end it).
    void PlayDialog(std::vector<Command> actions) {
        desk_.ScriptDialog({std::move(actions), kIdCancel});
    }
    void AnswerBox(MessageBoxResult answer) { desk_.ScriptMessageBox(answer); }
    void Finish() {}

  private:
    EventLoop loop_;
    RecordingDesktop desk_{&loop_};
};

class WebSide {
  public:
    WebSide() {
        WebDesktopOptions options;
        options.home = std::filesystem::temp_directory_path();
        desk_ = std::make_unique<WebDesktop>(loop_, options);
        std::string error;
        EXPECT_TRUE(desk_->Start(&error)) << error;
        port_ = desk_->Port();
        cookie_ = "Cookie: seatwatch_token=" + desk_->Token() + "\r\n";
    }
    ~WebSide() { Finish(); }
    DesktopModel& Desk() { return *desk_; }
    void ConnectUser() {
        stream_ = std::make_unique<EventStream>(port_, desk_->Token());
        EXPECT_TRUE(PumpUntil(loop_, [&] { return stream_->Count() > 0; }));
    }
    void PlayDialog(std::vector<Command> actions) {
        Act([this, actions](std::size_t from) {
            const auto dialog = WaitFor(from, [](const EventStream::Event& e) {
                return e.data["type"] == "create" && e.data["modal"] == true;
            });
            if (!dialog) return;
            for (const Command& c : actions) {
                nlohmann::json j{{"window", dialog->data["window"]},
                                 {"kind", KindName(c.kind)},
                                 {"id", c.id},
                                 {"text", c.text},
                                 {"selection", c.selection}};
                RawHttp(port_, Post(port_, "/_/command", j.dump(), cookie_));
            }
        });
    }
    void AnswerBox(MessageBoxResult answer) {
        static constexpr const char* kNames[] = {"ok", "cancel", "yes", "no"};
        Act([this, answer](std::size_t from) {
            const auto box = WaitFor(
                from, [](const EventStream::Event& e) { return e.data["type"] == "messagebox"; });
            if (!box) return;
            nlohmann::json j{{"window", box->data["window"]},
                             {"result", kNames[static_cast<int>(answer)]}};
            RawHttp(port_, Post(port_, "/_/answer", j.dump(), cookie_));
        });
    }
    void Finish() {
        if (user_.joinable()) user_.join();
        stream_.reset();
        if (desk_) desk_->Stop();
    }

  private:
    static const char* KindName(CommandKind kind) {
        static constexpr const char* kNames[] = {"init", "click", "change", "select",
                                                 "menu", "close", "moved",  "page"};
        return kNames[static_cast<int>(kind)];
    }
    // Runs the user's part on its own thread, from the events after now.
    void Act(std::function<void(std::size_t)> part) {
        if (user_.joinable()) user_.join();
        const std::size_t from = stream_ ? stream_->Count() : 0;
        user_ = std::thread([part, from] { part(from); });
    }
    std::optional<EventStream::Event> WaitFor(
        std::size_t from, const std::function<bool(const EventStream::Event&)>& match) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            const auto events = stream_->Events();
            for (std::size_t i = from; i < events.size(); ++i) {
                if (events[i].name == "desk" && match(events[i])) return events[i];
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return std::nullopt;
    }

    EventLoop loop_;
    std::unique_ptr<WebDesktop> desk_;
    std::unique_ptr<EventStream> stream_;
    std::thread user_;
    int port_ = 0;
    std::string cookie_;
};

template <class Side>
class DesktopConformance : public ::testing::Test {
  protected:
    void TearDown() override { side_.Finish(); }
    Side side_;
};

using Sides = ::testing::Types<RecordingSide, WebSide>;
TYPED_TEST_SUITE(DesktopConformance, Sides);

WindowDescription Win(std::string title, Rect rect, WindowId owner = kNoWindow) {
    WindowDescription d;
    d.kind = WindowKind::kHtml;
    d.title = std::move(title);
    d.rect = rect;
    d.owner = owner;
    return d;
}

Control Ctl(int id, ControlKind kind, bool checked = false) {
    Control c;
    c.id = id;
    c.kind = kind;
    c.checked = checked;
    return c;
}

Command Act(CommandKind kind, int id, std::string text = {}, int selection = -1) {
    Command c;
    c.kind = kind;
    c.id = id;
    c.text = std::move(text);
    c.selection = selection;
    return c;
}

TYPED_TEST(DesktopConformance, CreateOwnerAndZOrder) {
    DesktopModel& d = this->side_.Desk();
    const WindowId a = d.CreateWindow(Win("a", Rect{0, 0, 10, 10}));
    const WindowId b = d.CreateWindow(Win("b", Rect{0, 0, 10, 10}, a));
    const WindowId c = d.CreateWindow(Win("c", Rect{0, 0, 10, 10}));
    EXPECT_EQ(d.ZOrder(), (std::vector<WindowId>{c, b, a})) << "new windows go on top";
    d.BringToTop(a);
    EXPECT_EQ(d.ZOrder(), (std::vector<WindowId>{a, c, b}));
    d.DestroyWindow(a);
    EXPECT_FALSE(d.IsWindow(b)) << "owned windows go with their owner";
    EXPECT_EQ(d.ZOrder(), (std::vector<WindowId>{c}));
    EXPECT_FALSE(d.GetWindow(a).has_value());
    d.SetTitle(a, "ignored");  // unknown ids are ignored
}

TYPED_TEST(DesktopConformance, SetWindowPosFlagsAndShowModes) {
    DesktopModel& d = this->side_.Desk();
    const WindowId a = d.CreateWindow(Win("a", Rect{10, 10, 110, 60}));
    const WindowId b = d.CreateWindow(Win("b", Rect{0, 0, 50, 50}));
    struct Case {
        const char* label;
        WindowId after;
        Rect rect;
        unsigned flags;
        Rect expected;
        std::vector<WindowId> order;
        bool visible;
    };
    const Case cases[] = {
        {"move only",
         kInsertTop,
         Rect{20, 30, 0, 0},
         kNoSize | kNoZOrder,
         Rect{20, 30, 120, 80},
         {b, a},
         false},
        {"size only, raises",
         kInsertTop,
         Rect{0, 0, 40, 20},
         kNoMove,
         Rect{20, 30, 60, 50},
         {a, b},
         false},
        {"to the bottom",
         kInsertBottom,
         Rect{},
         kNoMove | kNoSize,
         Rect{20, 30, 60, 50},
         {b, a},
         false},
        {"below b, shown",
         b,
         Rect{},
         kNoMove | kNoSize | kShowWindow,
         Rect{20, 30, 60, 50},
         {b, a},
         true},
        {"negative size clamps",
         kInsertTop,
         Rect{0, 0, -5, -5},
         kNoMove | kNoZOrder,
         Rect{20, 30, 20, 30},
         {b, a},
         true},
        {"hidden",
         kInsertTop,
         Rect{},
         kNoMove | kNoSize | kNoZOrder | kHideWindow,
         Rect{20, 30, 20, 30},
         {b, a},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        d.SetWindowPos(a, c.after, c.rect, c.flags);
        EXPECT_EQ(d.GetWindow(a)->rect, c.expected);
        EXPECT_EQ(d.ZOrder(), c.order);
        EXPECT_EQ(d.GetWindow(a)->visible, c.visible);
    }
    struct ShowCase {
        ShowMode mode;
        bool visible, minimized;
        WindowId top;
    };
    const ShowCase shows[] = {
        {ShowMode::kShowNoActivate, true, false, b}, {ShowMode::kMinimize, true, true, b},
        {ShowMode::kRestore, true, false, a},        {ShowMode::kHide, false, false, a},
        {ShowMode::kShow, true, false, a},
    };
    for (const ShowCase& s : shows) {
        SCOPED_TRACE(static_cast<int>(s.mode));
        d.Show(a, s.mode);
        EXPECT_EQ(d.GetWindow(a)->visible, s.visible);
        EXPECT_EQ(d.GetWindow(a)->minimized, s.minimized);
        EXPECT_EQ(d.ZOrder().front(), s.top);
    }
}

TYPED_TEST(DesktopConformance, ModalDialogTakesTheUsersActions) {
    this->side_.ConnectUser();
    DesktopModel& d = this->side_.Desk();
    DialogDescription desc;
    desc.title = "Options";
    Control combo = Ctl(40, ControlKind::kDropDownList);
    combo.items = {"Real", "Play"};
    desc.controls = {Ctl(10, ControlKind::kCheckBox),
                     Ctl(20, ControlKind::kRadio, true),
                     Ctl(21, ControlKind::kRadio),
                     Ctl(30, ControlKind::kEdit),
                     combo,
                     Ctl(kIdOk, ControlKind::kButton),
                     Ctl(kIdCancel, ControlKind::kButton)};
    this->side_.PlayDialog({Act(CommandKind::kClick, 10), Act(CommandKind::kClick, 21),
                            Act(CommandKind::kChange, 30, "Hero"),
                            Act(CommandKind::kSelect, 40, "", 1), Act(CommandKind::kClick, kIdOk)});
    std::vector<CommandKind> kinds;
    const DialogResult r = d.RunDialog(kNoWindow, desc, [&](const Command& c) {
        kinds.push_back(c.kind);
        return false;
    });
    EXPECT_EQ(r.code, kIdOk);
    EXPECT_EQ(kinds, (std::vector<CommandKind>{CommandKind::kInit, CommandKind::kClick,
                                               CommandKind::kClick, CommandKind::kChange,
                                               CommandKind::kSelect, CommandKind::kClick}));
    EXPECT_TRUE(r.Find(10)->checked);
    EXPECT_FALSE(r.Find(20)->checked) << "radio buttons form a group";
    EXPECT_TRUE(r.Find(21)->checked);
    EXPECT_EQ(r.Find(30)->text, "Hero");
    EXPECT_EQ(r.Find(40)->selection, 1);
    EXPECT_EQ(r.Find(40)->text, "Play");
    EXPECT_TRUE(d.ZOrder().empty()) << "the dialog is gone";
}

TYPED_TEST(DesktopConformance, MessageBoxTakesOnlyOfferedAnswers) {
    this->side_.ConnectUser();
    DesktopModel& d = this->side_.Desk();
    struct Case {
        MessageBoxButtons buttons;
        MessageBoxResult answer;
        MessageBoxResult result;
    };
    const Case cases[] = {
        {MessageBoxButtons::kOkCancel, MessageBoxResult::kCancel, MessageBoxResult::kCancel},
        {MessageBoxButtons::kOkCancel, MessageBoxResult::kNo, MessageBoxResult::kOk},
        {MessageBoxButtons::kYesNo, MessageBoxResult::kNo, MessageBoxResult::kNo},
        {MessageBoxButtons::kYesNo, MessageBoxResult::kCancel, MessageBoxResult::kYes},
        {MessageBoxButtons::kOk, MessageBoxResult::kCancel, MessageBoxResult::kOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.buttons) * 10 + static_cast<int>(c.answer));
        this->side_.AnswerBox(c.answer);
        EXPECT_EQ(d.MessageBox(kNoWindow, "Text", "Caption", c.buttons), c.result);
    }
}

TYPED_TEST(DesktopConformance, WithoutAUserBoxesAndDialogsTakeTheirDefaults) {
    DesktopModel& d = this->side_.Desk();
    EXPECT_EQ(d.MessageBox(kNoWindow, "Cannot start", "Seatwatch", MessageBoxButtons::kOkCancel),
              MessageBoxResult::kOk);
    EXPECT_EQ(d.MessageBox(kNoWindow, "Cannot start", "Seatwatch", MessageBoxButtons::kYesNo),
              MessageBoxResult::kYes);
    DialogDescription desc;
    desc.title = "Room";
    desc.controls = {Ctl(kIdOk, ControlKind::kButton)};
    EXPECT_EQ(d.RunDialog(kNoWindow, desc, nullptr).code, kIdCancel);
}

TYPED_TEST(DesktopConformance, CloseHidesUnlessHandled) {
    DesktopModel& d = this->side_.Desk();
    WindowDescription w = Win("a", Rect{0, 0, 10, 10});
    w.visible = true;
    const WindowId a = d.CreateWindow(w);
    Command close = Act(CommandKind::kClose, 0);
    close.window = a;
    d.DeliverUserCommand(close);
    EXPECT_FALSE(d.GetWindow(a)->visible);
    d.Show(a, ShowMode::kShow);
    d.SetCommandHandler(a, [](const Command&) { return true; });
    d.DeliverUserCommand(close);
    EXPECT_TRUE(d.GetWindow(a)->visible);
}

}  // namespace
}  // namespace web::testing
