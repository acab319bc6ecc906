#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "platform/recording_canvas.h"
#include "platform/recording_desktop.h"
#include "tests/viewers/viewers_test_util.h"
#include "viewers/chart_scale.h"
#include "viewers/dlg_chart_viewer.h"

namespace {

using viewers::testing::UserCommand;

using platform::RecordingCanvas;
using platform::RecordingDesktop;
using viewers::ChartScale;
using viewers::PickChartScale;

TEST(ChartScale, BottomSpanStepAndLabelsFollowTheRange) {
    struct Case {
        std::int64_t low, high, bottom, span, step;
        bool cents;
    };
    const Case cases[] = {
        {0, 0, -10, 100, 20, true},    // no hands: one zero point
        {0, 150, -20, 200, 50, true},  // small pots: -25 cut toward zero
        {-300, 1'200, -500, 2'000, 500, true},
        {-40'000, 80'000, -50'000, 200'000, 50'000, false},
        {0, 99'000'000, -10'000'000, 200'000'000, 50'000'000, false},  // beyond the table
    };
    for (const Case& c : cases) {
        const ChartScale s = PickChartScale(c.low, c.high);
        EXPECT_EQ((std::vector<std::int64_t>{s.bottom, s.span, s.step, s.showCents}),
                  (std::vector<std::int64_t>{c.bottom, c.span, c.step, c.cents}))
            << c.low << ".." << c.high;
    }
    EXPECT_EQ(viewers::ChartLabel(-20, PickChartScale(0, 150)), "-0.20");
    EXPECT_EQ(viewers::ChartLabel(-150'050, PickChartScale(-100'000, 0)), "-1500");
    EXPECT_EQ(viewers::DecimalDigits(INT64_MIN), 19);
}

class ChartViewerTest : public ::testing::Test {
  protected:
    CDlgChartViewer& Make(std::string name,
                          CDlgChartViewer::Buttons buttons = CDlgChartViewer::Buttons::kShown) {
        viewer_ =
            std::make_unique<CDlgChartViewer>(desk_, platform::kNoWindow, std::move(name), buttons,
                                              CDlgChartViewer::Reuse::kOwnWindow, "/home/u");
        return *viewer_;
    }
    std::string Drawing(const CDlgChartViewer& viewer) const {
        const auto state = desk_.GetWindow(viewer.Window());
        RecordingCanvas canvas(state->rect.Width(), state->rect.Height());
        viewer.Paint(canvas);
        return canvas.Describe();
    }
    // Per scale button: enabled ('e', else '-'), or pressed when `pressed`.
    std::string Buttons(const CDlgChartViewer& viewer, bool pressed = false) const {
        std::string marks;
        for (int i = 0; i < 6; ++i) {
            const auto c =
                desk_.GetControl(viewer.Window(), CDlgChartViewer::kFirstScaleButton + i);
            marks += (pressed ? c->checked : c->enabled) ? 'e' : '-';
        }
        return marks;
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
    // the origin and is green. The label column is as wide as "-0.20", sign
    // and point included, so that no label is cut at the left edge.
    EXPECT_EQ(Drawing(viewer), R"(fill -5,-5-369,211 #e4cbb1
fill 57,10-354,178 #ffffff
line 1 #000000 57,10 353,10 353,177 57,177 57,10
text 42,181 right/bottom transparent Arial 14 bold #003366 '-0.20'
line 1 #c0c0c0 50,136 351,136
text 42,129 right/top transparent Arial 14 bold #003366 '0.30'
line 1 #c0c0c0 50,94 351,94
text 42,87 right/top transparent Arial 14 bold #003366 '0.80'
line 1 #c0c0c0 50,52 351,52
text 42,45 right/top transparent Arial 14 bold #003366 '1.30'
line 2 #00c000 50,162 150,78 250,36
)");
}

TEST_F(ChartViewerTest, LosingSessionDrawnInRedAfterTheEarlierHands) {
    CDlgChartViewer& viewer = Make("Ann (NL)", CDlgChartViewer::Buttons::kHidden);
    const std::vector<std::int32_t> earlier{20'000, 30'000};
    const std::vector<std::int32_t> session{-10'000, -25'000};
    viewer.SetData(earlier, session, -1, "Ann (NL)");
    EXPECT_FALSE(desk_.GetControl(viewer.Window(), CDlgChartViewer::kFirstScaleButton)->visible);
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
    EXPECT_FALSE(desk_.GetWindow(viewer.Window())->visible) << "created hidden";
    // No hands: one zero point, the first scale only.
    viewer.SetData({}, {}, -1, "Bob");
    EXPECT_EQ(viewer.NewerPoints(), std::vector<std::int32_t>{0});
    EXPECT_EQ(Title(viewer), "Bob - Last 0 Hands");
    EXPECT_EQ(Buttons(viewer), "e-----");
    // 600 session hands at scale 500: the 1000 button shows all of them.
    std::vector<std::int32_t> session(600);
    std::iota(session.begin(), session.end(), 1);
    viewer.SetData({}, session, -1, "Bob");
    EXPECT_EQ(Title(viewer), "Bob - Last 500 Hands");
    EXPECT_EQ(viewer.NewerPoints().front(), 101) << "the newest 500";
    EXPECT_EQ(Buttons(viewer), "eeee--");
    // Earlier hands fill what the session leaves of the count; options out
    // of range keep the scale.
    const std::vector<std::int32_t> earlier(800, -7);
    viewer.SetData(earlier, std::span(session).first(300), 3, "Bob");
    viewer.SetData(earlier, std::span(session).first(300), 6, "Bob");
    EXPECT_EQ(viewer.OlderPoints().size(), 700u);
    EXPECT_EQ(Title(viewer), "Bob - Last 1000 Hands");
    EXPECT_EQ(Buttons(viewer), "eeeee-");
}

TEST_F(ChartViewerTest, ScaleButtonAsksTheOwnerThenCloseHides) {
    CDlgChartViewer& viewer = Make("Bob");
    const std::vector<std::int32_t> session(3'000, 5);
    std::vector<int> asked;
    viewer.SetScaleHandler([&](int scale) {
        asked.push_back(scale);
        viewer.SetData({}, session, scale, "");
    });
    viewer.SetData({}, std::span(session).first(50), -1, "Bob");
    const platform::WindowId w = viewer.Window();
    const int first = CDlgChartViewer::kFirstScaleButton;
    desk_.DeliverUserCommand(UserCommand(w, platform::CommandKind::kClick, first + 5));
    EXPECT_TRUE(asked.empty()) << "a disabled button does nothing";
    viewer.SetData({}, session, -1, "Bob");
    desk_.DeliverUserCommand(UserCommand(w, platform::CommandKind::kClick, first + 4));
    EXPECT_EQ(asked, std::vector<int>{4});
    EXPECT_EQ(Title(viewer), "Bob - Last 2500 Hands") << "an empty name keeps the player";
    EXPECT_EQ(Buttons(viewer, true), "----e-");
    // A new size lays the buttons out again and redraws.
    desk_.DeliverUserCommand(
        UserCommand(w, platform::CommandKind::kMoved, 0, platform::Rect::FromSize(5, 6, 400, 250)));
    EXPECT_EQ(desk_.GetControl(w, first)->rect.top, 250 - 28 + 5);
    EXPECT_EQ(desk_.Drawing(w).substr(0, 18), "fill -5,-5-405,255");
    viewer.ShowOnTop();
    desk_.DeliverUserCommand(UserCommand(w, platform::CommandKind::kClose));
    EXPECT_FALSE(viewer.IsVisible());
    EXPECT_FALSE(desk_.GetWindow(w)->visible);
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
    for (const auto& p : normal.Ops().back().points) {
        EXPECT_TRUE(p.y >= 10 && p.y <= CDlgChartViewer::kClientHeight - 28) << p.y;
    }
}

}  // namespace
