// The report window on a recording desktop, and the report settings it
// reads.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "pages/dlg_reports.h"
#include "pages/report_settings.h"
#include "platform/memory_profile.h"
#include "platform/recording_desktop.h"

namespace {

using platform::Rect;

class ReportWindowTest : public ::testing::Test {
  protected:
    ReportWindowTest() {
        desktop_.SetWorkArea(Rect{0, 0, 1280, 994});
        console_ = desktop_.CreateWindow({});
        CDlgReports::Callbacks callbacks;
        callbacks.showReport = [this](int report) { asked_.push_back(report); };
        callbacks.consoleCommand = [this](int command) { forwarded_.push_back(command); };
        window_ = std::make_unique<CDlgReports>(desktop_, settings_, console_, callbacks);
    }
    platform::WindowState State() const { return *desktop_.GetWindow(window_->Window()); }

    platform::RecordingDesktop desktop_;
    platform::MemoryProfile settings_;
    platform::WindowId console_ = platform::kNoWindow;
    std::vector<int> asked_;
    std::vector<int> forwarded_;
    std::unique_ptr<CDlgReports> window_;
};

TEST(ReportPlaceTest, SavedPlaceFallsBackToTheDefaultsOffTheScreen) {
    struct Case {
        int top, left, height, width;
        Rect expected;
    };
    const Rect def = CDlgReports::kDefaultPlace;
    const Case cases[] = {
        {20, 30, 500, 700, Rect::FromSize(30, 20, 700, 500)},
        {20, 30, 500, 3000, def},  // wider than the screen
        {-1, 30, 500, 700, def},   // negative
        {945, 30, 500, 700, def},  // top below the screen less 50
        {944, 1230, 944, 1230, Rect::FromSize(1230, 944, 1230, 944)},  // at the limits
        {20, 1231, 500, 700, def},
    };
    for (const Case& c : cases) {
        platform::MemoryProfile settings;
        settings.WriteInt("Positions", "Reports-Top", c.top);
        settings.WriteInt("Positions", "Reports-Left", c.left);
        settings.WriteInt("Positions", "Reports-Height", c.height);
        settings.WriteInt("Positions", "Reports-Width", c.width);
        EXPECT_EQ(CDlgReports::SavedPlace(settings, Rect{0, 0, 1280, 994}), c.expected)
            << c.top << " " << c.left << " " << c.height << " " << c.width;
    }
    platform::MemoryProfile empty;
    EXPECT_EQ(CDlgReports::SavedPlace(empty, Rect{0, 0, 1280, 994}), def);
}

TEST_F(ReportWindowTest, ComesForwardAtItsSavedPlaceOnceAndKeepsItsPlaceWhenClosed) {
    EXPECT_FALSE(window_->IsVisible());
    EXPECT_EQ(State().title, "Report Window");
    // A page made ready without coming forward leaves the window hidden.
    window_->Show("/tmp/Report_Player.htm", false, "Hero");
    EXPECT_FALSE(window_->IsVisible());
    EXPECT_EQ(State().address, "/tmp/Report_Player.htm");
    EXPECT_EQ(State().title, "Report: Hero");

    settings_.WriteInt("Positions", "Reports-Top", 40);
    settings_.WriteInt("Positions", "Reports-Left", 50);
    settings_.WriteInt("Positions", "Reports-Height", 400);
    settings_.WriteInt("Positions", "Reports-Width", 600);
    window_->Show("", true, "");
    EXPECT_TRUE(window_->IsVisible());
    EXPECT_EQ(State().rect, Rect::FromSize(50, 40, 600, 400));
    EXPECT_EQ(desktop_.ZOrder().front(), window_->Window());
    EXPECT_EQ(State().address, "/tmp/Report_Player.htm");

    // Moved by the user, minimised, then asked for again: restored where it
    // is, not put back at the saved place.
    platform::Command moved;
    moved.window = window_->Window();
    moved.kind = platform::CommandKind::kMoved;
    moved.rect = Rect::FromSize(70, 80, 500, 300);
    desktop_.DeliverUserCommand(moved);
    desktop_.Show(window_->Window(), platform::ShowMode::kMinimize);
    desktop_.BringToTop(console_);
    window_->Show("/tmp/Report_Players.htm", true, "Ring Games - Limit");
    EXPECT_FALSE(State().minimized);
    EXPECT_EQ(State().rect, Rect::FromSize(70, 80, 500, 300));
    EXPECT_EQ(desktop_.ZOrder().front(), window_->Window());
    EXPECT_EQ(State().title, "Report: Ring Games - Limit");

    // The close box keeps the place and hides the window.
    platform::Command close;
    close.window = window_->Window();
    close.kind = platform::CommandKind::kClose;
    desktop_.DeliverUserCommand(close);
    EXPECT_FALSE(window_->IsVisible());
    EXPECT_EQ(settings_.GetInt("Positions", "Reports-Top", 0), 80);
    EXPECT_EQ(settings_.GetInt("Positions", "Reports-Left", 0), 70);
    EXPECT_EQ(settings_.GetInt("Positions", "Reports-Height", 0), 300);
    EXPECT_EQ(settings_.GetInt("Positions", "Reports-Width", 0), 500);
}

TEST_F(ReportWindowTest, FirstPageFixesThePageZoomOfTheWindowOnce) {
    int asked = 0;
    int level = 0;
    desktop_.SetPageZoomSource([&] {
        ++asked;
        return level;
    });
    window_->Show("/tmp/a.htm", false, "");
    level = 2;
    window_->Show("/tmp/b.htm", false, "");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(State().zoom, 0);
    // The level comes before the window's first page.
    std::vector<std::string> types;
    for (const platform::DeskEvent& e : desktop_.Events()) {
        if (e.window == window_->Window()) types.push_back(e.type);
    }
    ASSERT_GE(types.size(), 3u);
    EXPECT_EQ(std::find(types.begin(), types.end(), "zoom") + 1,
              std::find(types.begin(), types.end(), "navigate"));

    // An embedded page fixes the zoom of a window without a page of its own.
    platform::WindowDescription toolWindow;
    toolWindow.kind = platform::WindowKind::kTool;
    const platform::WindowId tool = desktop_.CreateWindow(toolWindow);
    EXPECT_EQ(desktop_.GetWindow(tool)->zoom, -1);
    platform::Control page = platform::MakeControl(1067, platform::ControlKind::kPage, "", {});
    page.page = "/tmp/c.htm";
    desktop_.SetControl(tool, page);
    EXPECT_EQ(desktop_.GetWindow(tool)->zoom, 2);
}

TEST(ReportSettingsTest, OptionsComeFromTheSettingsAndBadValuesGiveTheDefaults) {
    constexpr std::int64_t kNow = 1'300'000'000;
    constexpr std::int64_t kSession = kNow - 500;
    platform::MemoryProfile s;
    CReportOptions o = pages::ReadReportOptions(s, 1, kNow, kSession);
    EXPECT_EQ(o.report, 1);
    EXPECT_EQ(o.gameType, 1);
    EXPECT_EQ(o.sortColumn, 4);
    EXPECT_TRUE(o.ascending);
    EXPECT_FALSE(o.displayPotSize);

    s.WriteInt("Reports", "Type", 9);
    s.WriteInt("Players Reports", "Sort", 16);
    s.WriteInt("Players Reports", "SortO", 0);
    s.WriteInt("Players Report", "Hands", 25);
    s.WriteInt("Reports", "Display Pot Size", 1);
    o = pages::ReadReportOptions(s, 1, kNow, kSession);
    EXPECT_EQ(o.gameType, 1);
    EXPECT_EQ(o.sortColumn, 4);
    EXPECT_FALSE(o.ascending);
    EXPECT_EQ(o.minimumHands, 25);
    EXPECT_TRUE(o.displayPotSize);

    // The stored period is the link's value less one.
    const std::pair<int, std::int64_t> periods[] = {
        {0, kSession}, {1, kNow - 86'400},    {2, kNow - 7 * 86'400}, {3, kNow - 30 * 86'400},
        {4, 0},        {7, kNow - 7 * 86'400}};
    for (const auto& [stored, start] : periods) {
        s.WriteInt("Hand Review Report", "Period", stored);
        o = pages::ReadReportOptions(s, 0, kNow, kSession);
        EXPECT_EQ(o.periodStart, start) << stored;
        EXPECT_EQ(o.period, stored > 4 ? 3 : stored + 1) << stored;
    }
    s.WriteInt("Hand Review Report", "Sort", -1);
    s.WriteInt("Hand Review Report", "Filter", 3);
    s.WriteInt("Reports", "Type", 2);
    s.WriteString("Hand Review Report", "Player", "Bob");
    o = pages::ReadReportOptions(s, 5, kNow, kSession);
    EXPECT_EQ(o.report, 2);
    EXPECT_EQ(o.sortColumn, 0);
    EXPECT_EQ(o.filter, 0);
    EXPECT_EQ(pages::ReportPlayerKey(s, o.gameType), "Bob (NL)");
}

}  // namespace
