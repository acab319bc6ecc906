#include "tablereader/dlg_table_info.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "analysis/table_record.h"
#include "hands/hand.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/memory_profile.h"
#include "platform/recording_desktop.h"
#include "platform/screen_source.h"
#include "reader_fixture.h"
#include "tablereader/dlg_overlay_config.h"
#include "tablereader/table_titles.h"

namespace {

using tablereader_test::ArtFolder;
using tablereader_test::ShippedLayouts;
using Cards = std::array<int, 7>;

// A hand of the history, enough for the record to count it.
struct CountedHand : CHand {
    CountedHand() : CHand("Hero") {}
    int Parse(CStdioFileCustom&) override { return kParseOk; }
    std::string_view RoomName() const override { return "Test"; }
};

constexpr platform::ScreenWindowId kTable = 40;

class TableInfoTest : public ::testing::Test {
  protected:
    TableInfoTest() : loop_(clock_), desktop_(&loop_), record_("Aurora", 113, true, 0) {
        desktop_.SetWorkArea(platform::Rect{0, 0, 1280, 1024});
        layout_ = *ShippedLayouts().Find(113);
        layout_.installFolder = ArtFolder() + "/client";
        env_.desktop = &desktop_;
        env_.loop = &loop_;
        env_.screen = &screen_;
        env_.settings = &settings_;
        env_.roomCode = 113;
        env_.layout = &layout_;
        env_.programFolder = ArtFolder() + "/program";
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "seatwatch-info-XXXXXX").string();
        pageFolder_ = ::mkdtemp(tmpl.data());
        env_.pageFolder = pageFolder_;
        env_.updateFromScreen = [this](CTableRecord&, const Cards& cards, int street, int opponents,
                                       TableSizeWarning warning) {
            reads_.push_back({cards, street, opponents, warning});
        };
        // A drawing reader, to paint the fake table with its own images.
        ReaderContext context;
        context.programFolder = env_.programFolder;
        painter_ = MakeAutoReader(113, layout_, context);
        painter_->LoadCardImages(layout_.installFolder);
    }

    ~TableInfoTest() override {
        std::error_code ec;
        std::filesystem::remove_all(pageFolder_, ec);
    }

    // Puts the client's table window on the fake screen showing cards.
    void ShowTable(std::string_view cards, int width = 0, int height = 0) {
        TableScene scene;
        std::string error;
        ASSERT_TRUE(ParseSceneCards(cards, scene.cards, error));
        platform::Bitmap32 picture = DrawTableScene(113, *painter_, scene);
        if (width > 0) picture = Stretch(picture, width, height);
        screen_.Windows().clear();
        platform::FakeScreenSource::Window w;
        w.info.id = kTable;
        w.info.title = ClientTableTitle(113, "Aurora");
        w.info.visible = true;
        w.info.windowRect =
            platform::Rect::FromSize(100, 50, picture.Width() + 6, picture.Height() + 32);
        w.info.clientRect = platform::Rect::FromSize(103, 79, picture.Width(), picture.Height());
        w.client = picture;
        screen_.Windows().push_back(w);
        screen_.SetForeground(kTable);
    }
    void Run(std::int64_t ms) {
        for (std::int64_t t = 0; t < ms; t += 50) {
            clock_.Advance(50);
            loop_.PumpPending();
        }
    }
    bool Visible(platform::WindowId w) const {
        const auto state = desktop_.GetWindow(w);
        return state && state->visible;
    }
    void NewHand() {
        CountedHand hand;
        record_.UpdateFromHand(hand, 0);
    }

    struct Read {
        Cards cards;
        int street, opponents;
        TableSizeWarning warning;
    };
    std::string pageFolder_;
    platform::ManualClock clock_;
    platform::EventLoop loop_;
    platform::RecordingDesktop desktop_;
    platform::FakeScreenSource screen_;
    platform::MemoryProfile settings_{"[Advanced]\nDetach Table View=2\n"};
    CTableRecord record_;
    TableLayout layout_;
    TableInfoEnvironment env_;
    std::unique_ptr<CAutoReaderBase> painter_;
    std::vector<Read> reads_;
};

TEST_F(TableInfoTest, FollowsTheTableAndReadsEverySecondTick) {
    CDlgTableInfo info(env_, "Aurora", record_, "/Temp/Aurora.htm");
    ASSERT_NE(info.Window(), platform::kNoWindow);
    EXPECT_EQ(desktop_.GetWindow(info.Window())->title, "Reefscan - xA*urora Table Info");
    EXPECT_FALSE(Visible(info.Window()));
    ShowTable("Ah Kd 7c 8c 9c");
    Run(800);
    // Shown, attached below the table at its width.
    EXPECT_TRUE(Visible(info.Window()));
    EXPECT_TRUE(info.Attached());
    EXPECT_EQ(desktop_.GetWindow(info.Window())->rect,
              platform::Rect::FromSize(100, 50 + 580, 800, 310));
    EXPECT_TRUE(reads_.empty());
    Run(750);
    ASSERT_EQ(reads_.size(), 1u);
    // The first read starts the hand: nothing is trusted yet.
    EXPECT_EQ(reads_[0].street, -1);
    Run(1500);
    ASSERT_EQ(reads_.size(), 2u);
    EXPECT_EQ(reads_[1].cards, (Cards{26, 51, 19, 20, 21, -1, -1}));
    EXPECT_EQ(reads_[1].street, 1);
    EXPECT_EQ(reads_[1].warning, TableSizeWarning::kNone);

    // The pocket cards covered for a moment are the ones remembered.
    ShowTable("-- -- 7c 8c 9c Tc");
    Run(1500);
    EXPECT_EQ(reads_.back().cards, (Cards{26, 51, 19, 20, 21, 22, -1}));
    EXPECT_EQ(reads_.back().street, 2);

    // A new hand in the history forgets them, whatever the screen shows.
    NewHand();
    Run(1500);
    EXPECT_EQ(reads_.back().street, -1);
    EXPECT_EQ(info.RememberedPocket(), (std::array<int, 2>{-1, -1}));
    Run(1500);
    EXPECT_EQ(reads_.back().cards[0], -1);
    EXPECT_EQ(reads_.back().street, -1);
}

TEST_F(TableInfoTest, ClosedTableHidesTheWindowSetUntilItIsBack) {
    CDlgTableInfo info(env_, "Aurora", record_, "");
    ShowTable("Ah Kd");
    Run(800);
    ASSERT_TRUE(Visible(info.Window()));
    // The table's own alerts window, owned by the information window.
    EXPECT_FALSE(Visible(info.AlertsWindow()));
    info.ShowAlerts("Bob (NL)", true, "/Temp/Aurora_Bob.htm");
    const auto alerts = desktop_.GetWindow(info.AlertsWindow());
    ASSERT_TRUE(alerts && alerts->visible);
    EXPECT_EQ(alerts->title, "Alerts: Bob (NL)");
    EXPECT_EQ(alerts->address, "/Temp/Aurora_Bob.htm");
    EXPECT_EQ(alerts->owner, info.Window());
    screen_.Windows().clear();
    Run(750);
    EXPECT_FALSE(Visible(info.Window()));
    EXPECT_FALSE(Visible(info.Calculator()->Window()));
    EXPECT_FALSE(Visible(info.AlertsWindow()));
    EXPECT_TRUE(loop_.IsTimerArmed(info.Window(), CDlgTableInfo::kTimerSearch));
    EXPECT_FALSE(loop_.IsTimerArmed(info.Window(), CDlgTableInfo::kTimerFollow));
    // Alerts asked for meanwhile wait for the table.
    info.ShowAlerts("Ann (NL)", true, "/Temp/Aurora_Ann.htm");
    EXPECT_FALSE(Visible(info.AlertsWindow()));
    ShowTable("Ah Kd");
    Run(5000 + 750);
    EXPECT_TRUE(Visible(info.Window()));
    EXPECT_TRUE(Visible(info.Calculator()->Window()));
    EXPECT_TRUE(Visible(info.AlertsWindow()));
    EXPECT_EQ(desktop_.GetWindow(info.AlertsWindow())->address, "/Temp/Aurora_Ann.htm");
}

TEST_F(TableInfoTest, PlacementRulesAndTheSizeWarning) {
    {
        // Never attached: placed once over the table's bottom, then left alone.
        settings_.WriteInt("Advanced", "Detach Table View", 1);
        CDlgTableInfo info(env_, "Aurora", record_, "");
        ShowTable("Ah Kd");
        Run(800);
        EXPECT_FALSE(info.Attached());
        EXPECT_EQ(desktop_.GetWindow(info.Window())->rect,
                  platform::Rect::FromSize(100, 430, 800, 310));
        screen_.MoveWindow(kTable, platform::Rect::FromSize(300, 50, 800, 580));
        Run(750);
        EXPECT_EQ(desktop_.GetWindow(info.Window())->rect.left, 100);
    }
    {
        // Attached: follows while the table is the foreground window, and
        // stops 10 pixels above the work area's bottom.
        settings_.WriteInt("Advanced", "Detach Table View", 2);
        desktop_.SetWorkArea(platform::Rect{0, 0, 1280, 800});
        CDlgTableInfo info(env_, "Aurora", record_, "");
        ShowTable("Ah Kd");
        Run(800);
        EXPECT_EQ(desktop_.GetWindow(info.Window())->rect,
                  platform::Rect::FromSize(100, 630, 800, 160));
        screen_.MoveWindow(kTable, platform::Rect::FromSize(300, 60, 800, 580));
        Run(750);
        EXPECT_EQ(desktop_.GetWindow(info.Window())->rect.left, 300);
        // A table partly off the desk keeps its window on it.
        screen_.MoveWindow(kTable, platform::Rect::FromSize(900, 60, 800, 580));
        Run(750);
        EXPECT_EQ(desktop_.GetWindow(info.Window())->rect.left, 1280 - 800);
        screen_.MoveWindow(kTable, platform::Rect::FromSize(300, 60, 800, 580));
        Run(750);
        screen_.SetForeground(std::nullopt);
        screen_.MoveWindow(kTable, platform::Rect::FromSize(10, 60, 800, 580));
        Run(750);
        EXPECT_EQ(desktop_.GetWindow(info.Window())->rect.left, 300);
    }
    {
        // A table away from its default size warns, and is restored to it
        // while its calculator shows.
        CDlgTableInfo info(env_, "Aurora", record_, "");
        ShowTable("Ah Kd", 900, 600);
        Run(800);
        EXPECT_EQ(info.Warning(), TableSizeWarning::kWrongSize);
        ASSERT_FALSE(screen_.Moves().empty());
        EXPECT_EQ(screen_.Moves().back().second, platform::Rect::FromSize(100, 50, 800, 580));
    }
}

// The reader gets the layout of the theme the client's User.ini names (with
// the client's folder), unless the settings choose the theme.
TEST_F(TableInfoTest, ReaderTakesTheLayoutOfTheClientsTheme) {
    const std::filesystem::path client = std::filesystem::path(pageFolder_) / "client";
    std::filesystem::create_directories(client);
    std::ofstream(client / "User.ini") << "[themes]\r\n0=shiny\r\n";
    layout_.installFolder = client.string();
    std::vector<std::pair<int, std::string>> made;
    env_.makeReader = [&](int, const TableLayout& l, ReaderContext) {
        made.emplace_back(l.key, l.installFolder);
        return std::unique_ptr<CAutoReaderBase>();
    };
    ShowTable("Ah Kd");
    for (int rule : {0, 1}) {
        settings_.WriteInt("Advanced", "Table Theme", rule);
        made.clear();
        CDlgTableInfo info(env_, "Aurora", record_, "");
        Run(1600);
        ASSERT_FALSE(made.empty());
        EXPECT_EQ(made.front(), std::make_pair(rule == 0 ? 122 : 113, client.string()));
    }
}

TEST_F(TableInfoTest, WithoutAScreenOrTableWindowThePageStillShows) {
    for (bool withScreen : {false, true}) {
        env_.screen = withScreen ? &screen_ : nullptr;
        CDlgTableInfo info(env_, "Aurora", record_, "/Temp/Aurora.htm");
        Run(800);
        EXPECT_TRUE(Visible(info.Window())) << withScreen;
        EXPECT_EQ(desktop_.GetWindow(info.Window())->rect,
                  platform::Rect::FromSize(0, 0, 796, 310));
        EXPECT_EQ(desktop_.GetWindow(info.Window())->address, "/Temp/Aurora.htm");
        // Its calculator beside it, not over it.
        const auto calculator = desktop_.GetWindow(info.Calculator()->Window());
        ASSERT_TRUE(calculator && calculator->visible) << withScreen;
        EXPECT_GT(calculator->rect.left, 796) << withScreen;
        Run(5000);
        EXPECT_TRUE(reads_.empty());
        EXPECT_EQ(info.Reader(), nullptr);
    }
    // The table window turning up later takes the window below it.
    CDlgTableInfo info(env_, "Aurora", record_, "");
    Run(800);
    ShowTable("Ah Kd");
    Run(5000 + 800);
    EXPECT_TRUE(info.Attached());
    EXPECT_EQ(desktop_.GetWindow(info.Window())->rect.top, 50 + 580);
}

// The PartyPoker family's table is made 794 and then, 100 ms later, 796
// wide when first found; a table of another width warns.
TEST_F(TableInfoTest, PartyTablesAreResizedOnceWhenFirstFound) {
    TableLayout party = *ShippedLayouts().Find(101);
    env_.layout = &party;
    env_.roomCode = 101;
    env_.makeReader = [](int, const TableLayout&, ReaderContext) { return nullptr; };
    CDlgTableInfo info(env_, "Aurora", record_, "");
    platform::FakeScreenSource::Window w;
    w.info.id = kTable;
    w.info.title = ClientTableTitle(101, "Aurora");
    w.info.visible = true;
    w.info.windowRect = platform::Rect::FromSize(0, 0, 700, 500);
    w.info.clientRect = platform::Rect::FromSize(3, 26, 694, 471);
    screen_.Windows().push_back(w);
    Run(900);
    EXPECT_EQ(info.Warning(), TableSizeWarning::kWrongSize);
    ASSERT_EQ(screen_.Moves().size(), 2u);
    EXPECT_EQ(screen_.Moves()[0].second, platform::Rect::FromSize(0, 0, 794, 500));
    EXPECT_EQ(screen_.Moves()[1].second, platform::Rect::FromSize(0, 0, 796, 500));
    Run(1500);
    EXPECT_EQ(screen_.Moves().size(), 2u);
    EXPECT_EQ(info.Warning(), TableSizeWarning::kNone);
}

TEST(OverlayConfigTest, OkCopiesTheSwitchesBackAndCancelKeepsThem) {
    platform::RecordingDesktop desktop;
    CDlgOverlayConfig dialog(desktop);
    CDlgOverlayConfig::Switches switches{true, false, true, false, true, false, true, false};
    const auto description = CDlgOverlayConfig::Describe(switches);
    EXPECT_EQ(description.title, "Screen Overlay Configuration");
    platform::Command flip;
    flip.kind = platform::CommandKind::kClick;
    flip.id = 1118;  // Possible Hands
    desktop.ScriptDialog({{flip}, platform::kIdCancel});
    EXPECT_FALSE(dialog.DoModal(platform::kNoWindow, switches));
    EXPECT_FALSE(switches[7]);
    desktop.ScriptDialog({{flip}, platform::kIdOk});
    EXPECT_TRUE(dialog.DoModal(platform::kNoWindow, switches));
    EXPECT_EQ(switches,
              (CDlgOverlayConfig::Switches{true, false, true, false, true, false, true, true}));
}

}  // namespace
