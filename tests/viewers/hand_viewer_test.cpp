#include "viewers/dlg_hand_viewer.h"

#include <gtest/gtest.h>

#include "platform/memory_profile.h"
#include "platform/recording_desktop.h"
#include "tests/viewers/viewers_test_util.h"

namespace {

using viewers::testing::UserCommand;

using platform::Rect;

class HandViewerTest : public ::testing::Test {
  protected:
    HandViewerTest() { desk_.SetWorkArea(Rect{0, 0, 1024, 768}); }

    platform::RecordingDesktop desk_;
    platform::MemoryProfile settings_;
};

TEST_F(HandViewerTest, SavedPlaceOrTheDefaultsWhenItCannotBeUsed) {
    struct Case {
        const char* ini;
        Rect place;
    };
    const Rect fallback = Rect::FromSize(100, 100, 896, 356);
    const Case cases[] = {
        {"", fallback},
        {"[Positions]\nHandReview-Top=20\nHandReview-Left=30\nHandReview-Height=300\n"
         "HandReview-Width=500\n",
         Rect::FromSize(30, 20, 500, 300)},
        {"[Positions]\nHandReview-Top=2000\nHandReview-Left=30\n", fallback},
        {"[Positions]\nHandReview-Top=20\nHandReview-Left=-1\nHandReview-Width=400\n", fallback},
        {"[Positions]\nHandReview-Width=975\n", fallback},  // wider than 1024 - 50
        {"[Positions]\nHandReview-Width=974\nHandReview-Height=718\n",
         Rect::FromSize(100, 100, 974, 718)},
    };
    for (const Case& c : cases) {
        const platform::MemoryProfile settings(c.ini);
        EXPECT_EQ(CDlgHandViewer::SavedPlace(settings, desk_.WorkArea()), c.place) << c.ini;
    }
}

TEST_F(HandViewerTest, ShowsTheHandOnTopTitledWithItsNumber) {
    CDlgHandViewer viewer(desk_, platform::kNoWindow, settings_);
    platform::WindowDescription otherWindow;
    otherWindow.title = "Other";
    otherWindow.visible = true;
    const platform::WindowId other = desk_.CreateWindow(otherWindow);
    EXPECT_FALSE(desk_.GetWindow(viewer.Window())->visible) << "created hidden";
    settings_.WriteInt("Positions", "HandReview-Top", 2000);
    viewer.ShowHand(12345, "/home/u/Temp/Hand 12345.htm");
    auto state = desk_.GetWindow(viewer.Window());
    EXPECT_EQ(state->title, "Hand 12345");
    EXPECT_EQ(state->address, "/home/u/Temp/Hand 12345.htm");
    EXPECT_EQ(state->rect, Rect::FromSize(100, 100, 896, 356));
    EXPECT_TRUE(state->visible);
    EXPECT_EQ(desk_.ZOrder().front(), viewer.Window());
    // Numbers beyond 32 bits are shown whole.
    desk_.BringToTop(other);
    viewer.ShowHand(98'765'432'101ull, "/home/u/Temp/Hand 98765432101.htm");
    EXPECT_EQ(desk_.GetWindow(viewer.Window())->title, "Hand 98765432101");
    EXPECT_EQ(desk_.ZOrder().front(), viewer.Window());
    // Getting the focus puts it on top (moving it is the desk's sign of that).
    desk_.BringToTop(other);
    desk_.DeliverUserCommand(UserCommand(viewer.Window(), platform::CommandKind::kMoved, 0, Rect::FromSize(140, 120, 896, 356)));
    EXPECT_EQ(desk_.ZOrder().front(), viewer.Window());
}

TEST_F(HandViewerTest, ClosingKeepsThePlaceForTheNextHandAndTheNextRun) {
    {
        CDlgHandViewer viewer(desk_, platform::kNoWindow, settings_);
        viewer.ShowHand(1, "/t/Hand 1.htm");
        desk_.DeliverUserCommand(UserCommand(viewer.Window(), platform::CommandKind::kMoved, 0, Rect::FromSize(40, 60, 700, 300)));
        desk_.DeliverUserCommand(UserCommand(viewer.Window(), platform::CommandKind::kClose));
        EXPECT_FALSE(desk_.GetWindow(viewer.Window())->visible);
        EXPECT_EQ(settings_.GetInt("Positions", "HandReview-Top", 0), 60);
        EXPECT_EQ(settings_.GetInt("Positions", "HandReview-Left", 0), 40);
        EXPECT_EQ(settings_.GetInt("Positions", "HandReview-Width", 0), 700);
        EXPECT_EQ(settings_.GetInt("Positions", "HandReview-Height", 0), 300);
        // The settings are read once a run: the next hand opens where it was.
        settings_.WriteInt("Positions", "HandReview-Top", 5);
        viewer.ShowHand(2, "/t/Hand 2.htm");
        EXPECT_EQ(desk_.GetWindow(viewer.Window())->rect, Rect::FromSize(40, 60, 700, 300));
        desk_.DeliverUserCommand(UserCommand(viewer.Window(), platform::CommandKind::kClose));
    }
    CDlgHandViewer next(desk_, platform::kNoWindow, settings_);
    next.ShowHand(3, "/t/Hand 3.htm");
    EXPECT_EQ(desk_.GetWindow(next.Window())->rect, Rect::FromSize(40, 60, 700, 300));
}

}  // namespace
