#include "viewers/graph_windows.h"

#include <gtest/gtest.h>

#include "platform/memory_profile.h"
#include "platform/recording_desktop.h"
#include "tests/viewers/viewers_test_util.h"

namespace {

using viewers::testing::UserCommand;

class GraphWindowsTest : public ::testing::Test {
  protected:
    std::string Title(std::string_view key) const {
        return desk_.GetWindow(graphs_.Find(key)->Window())->title;
    }

    platform::RecordingDesktop desk_;
    platform::MemoryProfile settings_;
    std::map<std::string, CGraphWindows::PlayerSeries> data_{{"Bob", {{10, 20}, {30}}},
                                                             {"Ann (NL)", {{}, {-5, -5}}}};
    std::vector<std::string> asked_;
    CGraphWindows graphs_{desk_, platform::kNoWindow, settings_, "/home/u",
                          [this](std::string_view key) {
                              asked_.emplace_back(key);
                              return data_[std::string(key)];
                          }};
};

TEST_F(GraphWindowsTest, OneWindowPerPlayerRefreshedUntilClosed) {
    graphs_.ShowGraph("", "", -1);
    EXPECT_EQ(graphs_.Count(), 0u) << "no name, no graph";
    graphs_.ShowGraph("Bob", "Bob", -1);
    graphs_.ShowGraph("Ann (NL)", "Ann (NL)", -1);
    graphs_.ShowGraph("Bob", "Bob", 0);
    EXPECT_EQ(graphs_.Count(), 2u);
    EXPECT_EQ(Title("Bob"), "Bob - Last 3 Hands");
    EXPECT_TRUE(graphs_.Find("Bob")->ButtonsShown());
    EXPECT_FALSE(graphs_.Find("Ann (NL)")->ButtonsShown()) << "no scales for no-limit keys";
    EXPECT_EQ(desk_.ZOrder().front(), graphs_.Find("Bob")->Window()) << "shown on top";
    EXPECT_NE(desk_.GetWindow(graphs_.Find("Bob")->Window())->rect,
              desk_.GetWindow(graphs_.Find("Ann (NL)")->Window())->rect);

    asked_.clear();
    desk_.DeliverUserCommand(UserCommand(graphs_.Find("Bob")->Window(),
                                         platform::CommandKind::kClick,
                                         CDlgChartViewer::kFirstScaleButton));
    desk_.DeliverUserCommand(
        UserCommand(graphs_.Find("Ann (NL)")->Window(), platform::CommandKind::kClose));
    data_["Bob"].session.push_back(40);
    graphs_.Refresh();
    EXPECT_EQ(asked_, (std::vector<std::string>{"Bob", "Bob"})) << "the scale button, the refresh";
    EXPECT_EQ(graphs_.Count(), 1u) << "the closed window is dropped";
    EXPECT_EQ(Title("Bob"), "Bob - Last 4 Hands");
}

TEST_F(GraphWindowsTest, SharedWindowShowsEachPlayerAndKeepsTheLastOnRefresh) {
    settings_.WriteInt("Advanced", "Reuse Graph Window", 1);
    graphs_.ShowGraph("Me", "Bob", -1);
    graphs_.ShowGraph("Me", "Ann (NL)", -1);
    EXPECT_EQ(graphs_.Count(), 1u);
    EXPECT_TRUE(graphs_.Find("Me")->ButtonsShown()) << "the shared window has its buttons";
    EXPECT_EQ(Title("Me"), "Ann (NL) - Last 2 Hands");
    asked_.clear();
    graphs_.Refresh();
    EXPECT_EQ(asked_, std::vector<std::string>{"Ann (NL)"});
}

}  // namespace
