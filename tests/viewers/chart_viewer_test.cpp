#include "viewers/dlg_chart_viewer.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "platform/recording_canvas.h"
#include "platform/recording_desktop.h"
#include "tests/viewers/viewers_test_util.h"
#include "viewers/chart_scale.h"

namespace {

using viewers::testing::UserCommand;

using platform::RecordingCanvas;
using platform::RecordingDesktop;
using viewers::ChartScale;
using viewers::PickChartScale;

TEST(ChartScale, BottomSpanStepAndLabelsFollowTheRange) {
    struct Case {
        std::int64_t low, high;
        std::int64_t bottom, span, step;
        bool cents;
    };
    const Case cases[] = {
        {0, 0, -10, 100, 20, true},           // no hands: one zero point
        {0, 150, -20, 200, 50, true},         // small pots: -25 cut toward zero
        {-90, 0, -100, 100, 20, true},        // r 90: trunc 10 of -100
        {-300, 1'200, -500, 2'000, 500, true},         // r 1500: trunc 500 of -800
        {-40'000, 80'000, -50'000, 200'000, 50'000, false},
        {0, 99'000'000, -10'000'000, 200'000'000, 50'000'000, false},  // beyond the table
    };
    for (const Case& c : cases) {
        const ChartScale s = PickChartScale(c.low, c.high);
        EXPECT_EQ(s.bottom, c.bottom) << c.low << ".." << c.high;
        EXPECT_EQ(s.span, c.span) << c.low << ".." << c.high;
        EXPECT_EQ(s.step, c.step) << c.low << ".." << c.high;
        EXPECT_EQ(s.showCents, c.cents) << c.low << ".." << c.high;
        EXPECT_LT(s.bottom, c.low) << "the bottom lies below every total";
        EXPECT_LE(c.high - s.bottom, s.span) << "the top lies inside the plot";
    }
    EXPECT_EQ(viewers::TruncateTo(-25, 10), -20);
    EXPECT_EQ(viewers::ChartLabel(-20, PickChartScale(0, 150)), "-0.20");
    EXPECT_EQ(viewers::ChartLabel(-150'050, PickChartScale(-100'000, 0)), "-1500");
    EXPECT_EQ(viewers::DecimalDigits(0), 1);
    EXPECT_EQ(viewers::DecimalDigits(-1'000), 4);
    EXPECT_EQ(viewers::DecimalDigits(INT64_MIN), 19);
}

class ChartViewerTest : public ::testing::Test {
  protected:
    CDlgChartViewer& Make(std::string name,
                          CDlgChartViewer::Buttons buttons = CDlgChartViewer::Buttons::kShown) {
        viewer_ = std::make_unique<CDlgChartViewer>(desk_, platform::kNoWindow, std::move(name),
                                                    buttons, CDlgChartViewer::Reuse::kOwnWindow,
                                                    "/home/u");
        return *viewer_;
    }
    std::string Drawing(const CDlgChartViewer& viewer) const {
        const auto state = desk_.GetWindow(viewer.Window());
        RecordingCanvas canvas(state->rect.Width(), state->rect.Height());
        viewer.Paint(canvas);
        return canvas.Describe();
    }
    std::vector<bool> Enabled(const CDlgChartViewer& viewer) const {
        std::vector<bool> enabled;
        for (int i = 0; i < 6; ++i) {
            enabled.push_back(
                desk_.GetControl(viewer.Window(), CDlgChartViewer::kFirstScaleButton + i)->enabled);
        }
        return enabled;
    }
    std::string Title(const CDlgChartViewer& viewer) const {
        return desk_.GetWindow(viewer.Window())->title;
    }

    RecordingDesktop desk_;
    std::unique_ptr<CDlgChartViewer> viewer_;
};

TEST_F(ChartViewerTest, SmallPotsDrawnWithCentLabels) {
    CDlgChartViewer& viewer = Make("Bob");
    const std::vector<std::int32_t> session{100, 50};
    viewer.SetData({}, session, -1, "Bob");
    EXPECT_EQ(desk_.Drawing(viewer.Window()), Drawing(viewer)) << "the desk shows what Paint draws";
    // Totals 100 and 150 cents: E = -20, C = 200, D = 50; the line starts at
    // the origin and is green.
    EXPECT_EQ(Drawing(viewer), R"(fill -5,-5-369,211 #e4cbb1
fill 48,10-354,178 #ffffff
line 1 #000000 48,10 353,10 353,177 48,177 48,10
text 33,181 right/bottom transparent Arial 14 bold #003366 '-0.20'
line 1 #c0c0c0 41,136 351,136
text 33,129 right/top transparent Arial 14 bold #003366 '0.30'
line 1 #c0c0c0 41,94 351,94
text 33,87 right/top transparent Arial 14 bold #003366 '0.80'
line 1 #c0c0c0 41,52 351,52
text 33,45 right/top transparent Arial 14 bold #003366 '1.30'
line 2 #00c000 41,162 144,78 247,36
)");
}

TEST_F(ChartViewerTest, LosingSessionDrawnInRedAfterTheEarlierHands) {
    CDlgChartViewer& viewer = Make("Ann (NL)", CDlgChartViewer::Buttons::kHidden);
    const std::vector<std::int32_t> earlier{20'000, 30'000};
    const std::vector<std::int32_t> session{-10'000, -25'000};
    viewer.SetData(earlier, session, -1, "Ann (NL)");
    // Totals up to $500: E = -$50, C = $1000, D = $200, whole units; no
    // buttons, so the plot ends 10 pixels above the bottom.
    EXPECT_EQ(Drawing(viewer), R"(fill -5,-5-369,193 #e4cbb1
fill 64,10-354,178 #ffffff
line 1 #000000 64,10 353,10 353,177 64,177 64,10
text 49,181 right/bottom transparent Arial 14 bold #003366 '-50'
line 1 #c0c0c0 57,145 351,145
text 49,138 right/top transparent Arial 14 bold #003366 '150'
line 1 #c0c0c0 57,112 351,112
text 49,105 right/top transparent Arial 14 bold #003366 '350'
line 1 #c0c0c0 57,79 351,79
text 49,72 right/top transparent Arial 14 bold #003366 '550'
line 1 #c0c0c0 57,46 351,46
text 49,39 right/top transparent Arial 14 bold #003366 '750'
line 2 #003366 57,170 115,137 174,87
line 2 #ff0000 174,87 233,104 292,145
)");
}

TEST_F(ChartViewerTest, ScaleCountsTitleAndButtons) {
    CDlgChartViewer& viewer = Make("Bob");
    EXPECT_FALSE(viewer.IsVisible());
    EXPECT_FALSE(desk_.GetWindow(viewer.Window())->visible) << "created hidden";
    EXPECT_EQ(viewer.MenuPagePath(), std::filesystem::path("/home/u/ChartMenu.htm"));

    // No hands: one zero point, the first scale only.
    viewer.SetData({}, {}, -1, "Bob");
    EXPECT_EQ(viewer.NewerPoints(), std::vector<std::int32_t>{0});
    EXPECT_TRUE(viewer.OlderPoints().empty());
    EXPECT_EQ(Title(viewer), "Bob - Last 0 Hands");
    EXPECT_EQ(Enabled(viewer), (std::vector<bool>{true, false, false, false, false, false}));

    // 600 session hands at scale 500: the 1000 button shows all of them.
    std::vector<std::int32_t> session(600);
    std::iota(session.begin(), session.end(), 1);
    viewer.SetData({}, session, -1, "Bob");
    EXPECT_EQ(viewer.ScaleIndex(), 2);
    EXPECT_EQ(Title(viewer), "Bob - Last 500 Hands");
    EXPECT_EQ(viewer.NewerPoints().front(), 101) << "the newest 500";
    EXPECT_EQ(Enabled(viewer), (std::vector<bool>{true, true, true, true, false, false}));

    // Earlier hands fill what the session leaves of the count.
    const std::vector<std::int32_t> earlier(800, -7);
    viewer.SetData(earlier, std::span(session).first(300), 3, "Bob");
    EXPECT_EQ(viewer.NewerPoints().size(), 300u);
    EXPECT_EQ(viewer.OlderPoints().size(), 700u);
    EXPECT_EQ(Title(viewer), "Bob - Last 1000 Hands");
    EXPECT_EQ(Enabled(viewer), (std::vector<bool>{true, true, true, true, true, false}));
    // Out-of-range options keep the scale.
    viewer.SetData(earlier, session, 6, "Bob");
    viewer.SetData(earlier, session, -7, "Bob");
    EXPECT_EQ(viewer.ScaleIndex(), 3);
}

TEST_F(ChartViewerTest, ScaleButtonAsksTheOwnerAndPressesOnlyItself) {
    CDlgChartViewer& viewer = Make("Bob");
    const std::vector<std::int32_t> session(3'000, 5);
    std::vector<int> asked;
    viewer.SetScaleHandler([&](int scale) {
        asked.push_back(scale);
        viewer.SetData({}, session, scale, "");
    });
    viewer.SetData({}, session, -1, "Bob");
    viewer.ShowOnTop();
    desk_.DeliverUserCommand(UserCommand(viewer.Window(), platform::CommandKind::kClick, CDlgChartViewer::kFirstScaleButton + 4));
    EXPECT_EQ(asked, std::vector<int>{4});
    EXPECT_EQ(Title(viewer), "Bob - Last 2500 Hands") << "an empty name keeps the player";
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(desk_.GetControl(viewer.Window(), CDlgChartViewer::kFirstScaleButton + i)->checked,
                  i == 4)
            << i;
    }
    // A disabled button does nothing.
    viewer.SetData({}, std::span(session).first(50), -1, "Bob");
    desk_.DeliverUserCommand(UserCommand(viewer.Window(), platform::CommandKind::kClick, CDlgChartViewer::kFirstScaleButton + 5));
    EXPECT_EQ(asked.size(), 1u);
    // Closing only hides.
    desk_.DeliverUserCommand(UserCommand(viewer.Window(), platform::CommandKind::kClose));
    EXPECT_FALSE(viewer.IsVisible());
    EXPECT_TRUE(desk_.IsWindow(viewer.Window()));
    EXPECT_FALSE(desk_.GetWindow(viewer.Window())->visible);
}

TEST_F(ChartViewerTest, WithoutButtonsTheWindowIsShorterAndTheButtonsHidden) {
    CDlgChartViewer& viewer = Make("Ann (T-NL)", CDlgChartViewer::Buttons::kHidden);
    const auto state = desk_.GetWindow(viewer.Window());
    EXPECT_EQ(state->rect.Height(), CDlgChartViewer::kClientHeight - 18);
    EXPECT_FALSE(desk_.GetControl(viewer.Window(), CDlgChartViewer::kFirstScaleButton)->visible);
    EXPECT_FALSE(desk_.GetControl(viewer.Window(), CDlgChartViewer::kFocusHolder)->visible);
}

TEST_F(ChartViewerTest, ResizingMovesTheButtonsAndRedraws) {
    CDlgChartViewer& viewer = Make("Bob");
    viewer.SetData({}, {}, -1, "Bob");
    desk_.DeliverUserCommand(UserCommand(viewer.Window(), platform::CommandKind::kMoved, 0,
                                         platform::Rect::FromSize(50, 60, 400, 250)));
    EXPECT_EQ(desk_.GetControl(viewer.Window(), CDlgChartViewer::kFirstScaleButton)->rect.top,
              250 - 28 + 5);
    EXPECT_EQ(desk_.Drawing(viewer.Window()).substr(0, 24), "fill -5,-5-405,255 #e4cb");
}

TEST_F(ChartViewerTest, TinyOrHugeDrawingsStayFinite) {
    CDlgChartViewer& viewer = Make("Bob");
    const std::vector<std::int32_t> session{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN, INT32_MIN};
    viewer.SetData({}, session, -1, "Bob");
    // A plot too small for a grid line a pixel draws no grid, and ends.
    RecordingCanvas tiny(60, 40);
    viewer.Paint(tiny);
    RecordingCanvas normal(CDlgChartViewer::kClientWidth, CDlgChartViewer::kClientHeight);
    viewer.Paint(normal);
    for (const auto& op : normal.Ops()) {
        for (const auto& p : op.points) {
            EXPECT_GE(p.y, 10) << "every point inside the plot";
            EXPECT_LE(p.y, CDlgChartViewer::kClientHeight - 28);
        }
    }
}

}  // namespace
