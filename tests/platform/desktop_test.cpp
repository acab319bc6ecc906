#include "platform/recording_desktop.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

WindowDescription Win(WindowKind kind, std::string title, Rect rect, WindowId owner = kNoWindow, bool visible = false) {
    WindowDescription desc;
    desc.kind = kind;
    desc.title = std::move(title);
    desc.rect = rect;
    desc.owner = owner;
    desc.visible = visible;
    return desc;
}

Control Ctl(int id, ControlKind kind, std::string text, bool checked = false, std::vector<std::string> items = {}) {
    Control c;
    c.id = id;
    c.kind = kind;
    c.text = std::move(text);
    c.checked = checked;
    c.items = std::move(items);
    return c;
}

Command Cmd(WindowId window, CommandKind kind, int id = 0, std::string text = {}, int selection = -1, Rect rect = {}) {
    Command c;
    c.window = window;
    c.kind = kind;
    c.id = id;
    c.text = std::move(text);
    c.selection = selection;
    c.rect = rect;
    return c;
}

TEST(RecordingDesktop, PlacementZOrderAndVisibility) {
    RecordingDesktop desk;
    const WindowId console = desk.CreateWindow(Win(WindowKind::kHtml, "Console", Rect{0, 0, 300, 200}));
    const WindowId viewer = desk.CreateWindow(Win(WindowKind::kHtml, "Viewer", Rect{10, 10, 110, 60}));
    EXPECT_EQ(desk.TitlesInZOrder(), (std::vector<std::string>{"Viewer", "Console"}));
    desk.SetWindowPos(console, kInsertTop, Rect{100, 100, 0, 0}, kNoSize | kNoZOrder);
    EXPECT_EQ(desk.GetWindow(console)->rect, (Rect{100, 100, 400, 300})) << "moved without resizing";
    EXPECT_EQ(desk.TitlesInZOrder(), (std::vector<std::string>{"Viewer", "Console"}));
    desk.SetWindowPos(console, kInsertTop, Rect{0, 0, 50, 20}, kNoMove);
    EXPECT_EQ(desk.GetWindow(console)->rect, (Rect{100, 100, 150, 120}));
    EXPECT_EQ(desk.TitlesInZOrder(), (std::vector<std::string>{"Console", "Viewer"}));
    desk.SetWindowPos(console, kInsertBottom, {}, kNoMove | kNoSize);
    EXPECT_EQ(desk.TitlesInZOrder(), (std::vector<std::string>{"Viewer", "Console"}));
    desk.Show(console, ShowMode::kMinimize);
    EXPECT_TRUE(desk.GetWindow(console)->minimized);
    desk.Show(console, ShowMode::kRestore);
    EXPECT_FALSE(desk.GetWindow(console)->minimized);
    EXPECT_EQ(desk.TitlesInZOrder().front(), "Console") << "restoring activates";
    // Destroying an owner destroys what it owns.
    const WindowId calc = desk.CreateWindow(Win(WindowKind::kHtml, "Calc", Rect{}, viewer));
    desk.DestroyWindow(viewer);
    EXPECT_FALSE(desk.IsWindow(calc));
    EXPECT_EQ(desk.TitlesInZOrder(), (std::vector<std::string>{"Console"}));
}

TEST(RecordingDesktop, EveryChangeIsAJsonEvent) {
    RecordingDesktop desk;
    const WindowId w = desk.CreateWindow(Win(WindowKind::kHtml, "T", Rect{0, 0, 10, 10}));
    desk.ClearEvents();
    desk.SetTitle(w, "Table \"<x>\"");
    desk.Navigate(w, "Temp/SeatwatchStatus.htm");
    desk.Show(w, ShowMode::kShowNoActivate);
    EXPECT_EQ(desk.EventLog(),
              "{\"title\":\"Table \\\"<x>\\\"\",\"type\":\"title\",\"window\":1}\n"
              "{\"address\":\"Temp/SeatwatchStatus.htm\",\"type\":\"navigate\",\"window\":1}\n"
              "{\"minimized\":false,\"type\":\"show\",\"visible\":true,\"window\":1}\n");
    desk.SetTitle(w, std::string("bad \xFF utf8"));
    EXPECT_NO_THROW(desk.EventLog());
}

TEST(RecordingDesktop, MessageBoxesAnswerFromScriptThenDefault) {
    RecordingDesktop desk;
    desk.ScriptMessageBox(MessageBoxResult::kNo);
    desk.ScriptMessageBox(MessageBoxResult::kYes);  // not offered by an OK/Cancel box
    EXPECT_EQ(desk.MessageBox(kNoWindow, "Do you want to close Seatwatch?", "Seatwatch", MessageBoxButtons::kYesNo),
              MessageBoxResult::kNo);
    EXPECT_EQ(desk.MessageBox(kNoWindow, "q", "c", MessageBoxButtons::kOkCancel), MessageBoxResult::kOk);
    EXPECT_EQ(desk.MessageBox(kNoWindow, "q", "c", MessageBoxButtons::kYesNo), MessageBoxResult::kYes);
    ASSERT_EQ(desk.MessageBoxes().size(), 3u);
    EXPECT_EQ(desk.MessageBoxes()[0].text, "Do you want to close Seatwatch?");
}

TEST(RecordingDesktop, ModalDialogRunsScriptAndReturnsControlStates) {
    ManualClock clock;
    EventLoop loop(clock);
    RecordingDesktop desk(&loop);
    int ticks = 0;
    loop.SetTimer(1, 1, 10, [&] { ++ticks; });
    DialogDescription desc;
    desc.title = "General Options";
    desc.controls = {Ctl(1060, ControlKind::kCheckBox, "Do not show this message in the future."),
                     Ctl(10, ControlKind::kRadio, "Real", true), Ctl(11, ControlKind::kRadio, "Play"),
                     Ctl(20, ControlKind::kDropDownList, "", false, {"Stars", "Party"}),
                     Ctl(30, ControlKind::kEdit, "old"), Ctl(kIdOk, ControlKind::kButton, "OK")};
    RecordingDesktop::DialogScript script;
    script.actions = {Cmd(0, CommandKind::kClick, 1060), Cmd(0, CommandKind::kClick, 11),
                      Cmd(0, CommandKind::kSelect, 20, {}, 1), Cmd(0, CommandKind::kSelect, 20, {}, 7),
                      Cmd(0, CommandKind::kChange, 30, "C:\\Hands"), Cmd(0, CommandKind::kClick, 999),
                      Cmd(0, CommandKind::kClick, kIdOk), Cmd(0, CommandKind::kClick, 1060)};
    desk.ScriptDialog(script);
    std::vector<CommandKind> seen;
    const DialogResult r = desk.RunDialog(kNoWindow, desc, [&](const Command& c) {
        seen.push_back(c.kind);
        clock.Advance(10);
        return false;
    });
    EXPECT_EQ(r.code, kIdOk);
    EXPECT_TRUE(r.Find(1060)->checked) << "the click after OK never happened";
    EXPECT_FALSE(r.Find(10)->checked);
    EXPECT_TRUE(r.Find(11)->checked);
    EXPECT_EQ(r.Find(20)->selection, 1) << "an out-of-range selection is ignored";
    EXPECT_EQ(r.Find(20)->text, "Party");
    EXPECT_EQ(r.Find(30)->text, "C:\\Hands");
    EXPECT_EQ(seen.size(), 6u) << "init and five commands; the unknown control is dropped";
    EXPECT_GT(ticks, 0) << "timers fire while the dialog is open";
    EXPECT_TRUE(desk.ZOrder().empty());
    // Without a script the dialog is cancelled.
    EXPECT_EQ(desk.RunDialog(kNoWindow, desc, nullptr).code, kIdCancel);
}

TEST(RecordingDesktop, PaintRecordsCallsAndSvg) {
    RecordingDesktop desk;
    const WindowId g = desk.CreateWindow(Win(WindowKind::kPainted, "Graph", Rect{0, 0, 40, 30}));
    desk.Paint(g, [](Canvas& c) {
        c.FillRect(Rect{-5, -5, c.Width() + 5, c.Height() + 5}, Rgb(0xE4, 0xCB, 0xB1));
        TextStyle s;
        s.color = Rgb(0, 0x33, 0x66);
        c.Text(1, 2, "a&b", s);
    });
    EXPECT_EQ(desk.Drawing(g), "fill -5,-5-45,35 #e4cbb1\ntext 1,2 left/top transparent Arial 14 #003366 'a&b'\n");
    EXPECT_NE(desk.GetWindow(g)->drawing.find("a&amp;b"), std::string::npos);
}

TEST(RecordingDesktop, CloseRequestHidesUnlessHandled) {
    RecordingDesktop desk;
    const WindowId w = desk.CreateWindow(Win(WindowKind::kHtml, "W", Rect{}, kNoWindow, true));
    desk.DeliverUserCommand(Cmd(w, CommandKind::kClose));
    EXPECT_FALSE(desk.GetWindow(w)->visible);
    desk.Show(w, ShowMode::kShow);
    desk.SetCommandHandler(w, [&](const Command& c) { return c.kind == CommandKind::kClose; });
    desk.DeliverUserCommand(Cmd(w, CommandKind::kClose));
    EXPECT_TRUE(desk.GetWindow(w)->visible);
    desk.DeliverUserCommand(Cmd(w, CommandKind::kMoved, 0, {}, -1, Rect{5, 6, 7, 8}));
    EXPECT_EQ(desk.GetWindow(w)->rect, (Rect{5, 6, 7, 8}));
}

}  // namespace
}  // namespace platform
