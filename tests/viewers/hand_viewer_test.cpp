#include <gtest/gtest.h>

#include "platform/memory_profile.h"
#include "platform/recording_desktop.h"
#include "tests/viewers/viewers_test_util.h"
#include "viewers/dlg_hand_viewer.h"

namespace {

using platform::CommandKind;
using platform::Rect;
using viewers::testing::UserCommand;

const Rect kDefaultPlace = Rect::FromSize(100, 100, 896, 356);

TEST(HandViewer, SavedPlaceOrTheDefaultsWhenItCannotBeUsed) {
    const Rect screen{0, 0, 1024, 768};
    const std::pair<const char*, Rect> cases[] = {
        {"", kDefaultPlace},
        {"HandReview-Top=20\nHandReview-Left=30\nHandReview-Height=300\nHandReview-Width=500",
         Rect::FromSize(30, 20, 500, 300)},
        {"HandReview-Top=2000", kDefaultPlace},
        {"HandReview-Left=-1\nHandReview-Width=400", kDefaultPlace},
        {"HandReview-Width=975", kDefaultPlace},  // wider than 1024 - 50
        {"HandReview-Width=974\nHandReview-Height=718", Rect::FromSize(100, 100, 974, 718)},
    };
    for (const auto& [entries, place] : cases) {
        const platform::MemoryProfile settings(std::string("[Positions]\n") + entries + "\n");
        EXPECT_EQ(CDlgHandViewer::SavedPlace(settings, screen), place) << entries;
    }
}

TEST(HandViewer, ShowsOnTopTitledWithTheNumberAndKeepsItsPlaceAcrossRuns) {
    platform::RecordingDesktop desk;
    desk.SetWorkArea(Rect{0, 0, 1024, 768});
    platform::MemoryProfile settings("[Positions]\nHandReview-Top=2000\n");
    platform::WindowDescription otherWindow;
    otherWindow.visible = true;
    const platform::WindowId other = desk.CreateWindow(otherWindow);
    {
        CDlgHandViewer viewer(desk, platform::kNoWindow, settings);
        const platform::WindowId w = viewer.Window();
        EXPECT_FALSE(desk.GetWindow(w)->visible) << "created hidden";
        viewer.ShowHand(12345, "/t/Hand 12345.htm");
        EXPECT_EQ(desk.GetWindow(w)->title, "Hand 12345");
        EXPECT_EQ(desk.GetWindow(w)->address, "/t/Hand 12345.htm");
        EXPECT_EQ(desk.GetWindow(w)->rect, kDefaultPlace);
        EXPECT_EQ(desk.ZOrder().front(), w);
        // Numbers beyond 32 bits are shown whole.
        desk.BringToTop(other);
        viewer.ShowHand(98'765'432'101ull, "/t/Hand 98765432101.htm");
        EXPECT_EQ(desk.GetWindow(w)->title, "Hand 98765432101");
        EXPECT_EQ(desk.ZOrder().front(), w);
        // The user moves it (it has the focus, so it goes on top) and closes it.
        desk.BringToTop(other);
        desk.DeliverUserCommand(
            UserCommand(w, CommandKind::kMoved, 0, Rect::FromSize(40, 60, 700, 300)));
        EXPECT_EQ(desk.ZOrder().front(), w);
        desk.DeliverUserCommand(UserCommand(w, CommandKind::kClose));
        EXPECT_FALSE(desk.GetWindow(w)->visible);
        EXPECT_EQ(settings.GetInt("Positions", "HandReview-Left", 0), 40);
        EXPECT_EQ(settings.GetInt("Positions", "HandReview-Height", 0), 300);
        // The settings are read once a run: the next hand opens where it was.
        settings.WriteInt("Positions", "HandReview-Top", 5);
        viewer.ShowHand(2, "/t/Hand 2.htm");
        EXPECT_EQ(desk.GetWindow(w)->rect, Rect::FromSize(40, 60, 700, 300));
        desk.DeliverUserCommand(UserCommand(w, CommandKind::kClose));
    }
    CDlgHandViewer next(desk, platform::kNoWindow, settings);
    next.ShowHand(3, "/t/Hand 3.htm");
    EXPECT_EQ(desk.GetWindow(next.Window())->rect, Rect::FromSize(40, 60, 700, 300));
}

}  // namespace
