#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "calc/card_index.h"
#include "calc/dlg_calculator.h"
#include "calc/dlg_manual_calculator.h"
#include "platform/recording_desktop.h"

namespace {

namespace fs = std::filesystem;
using platform::RecordingDesktop;
using testing::HasSubstr;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int Card(const char* code) { return calc::ParseCardCode(code).value(); }

class WindowsTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::path(testing::TempDir()) / ("calc_windows_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    void Click(platform::WindowId window, int id) {
        platform::Command command;
        command.window = window;
        command.kind = platform::CommandKind::kClick;
        command.id = id;
        desktop_.DeliverUserCommand(command);
    }

    RecordingDesktop desktop_;
    fs::path folder_;
};

// ----- Manual calculator -----

class ManualCalculatorTest : public WindowsTest {
  protected:
    void SetUp() override {
        WindowsTest::SetUp();
        dialog_ = std::make_unique<CDlgManualCalculator>(
            desktop_, platform::kNoWindow, folder_.string(), [this](std::string_view pocket) {
                lookups_.emplace_back(pocket);
                return StartingHandRank{1, 1};
            });
    }
    void ClickCards(std::string_view codes) {
        std::istringstream in{std::string(codes)};
        std::string code;
        while (in >> code)
            Click(dialog_->Window(), CDlgManualCalculator::CardButtonId(Card(code.c_str())));
    }
    platform::Control Control(int id) { return desktop_.GetControl(dialog_->Window(), id).value(); }

    std::unique_ptr<CDlgManualCalculator> dialog_;
    std::vector<std::string> lookups_;
};

TEST_F(ManualCalculatorTest, SlotsAndTexts) {
    struct Case {
        const char* clicks;
        const char* pocket;
        const char* flop;
        const char* turn;
        const char* river;
        bool complete;
    };
    const Case cases[] = {
        {"", "", "", "", "", false},
        {"As", "[As]", "", "", "", false},
        {"As Kd Qs 7c", "[As][Kd]", "[Qs][7c]", "", "", false},
        {"As Kd Qs 7c 2d", "[As][Kd]", "[Qs][7c][2d]", "", "", true},
        {"As Kd Qs 7c 2d 5h 9s", "[As][Kd]", "[Qs][7c][2d]", "[5h]", "[9s]", true},
        // Taking a card out leaves a gap that later cards make visible.
        {"As Kd Qs 7c 2d 5h 9s Kd", "[As][??]", "[Qs][7c][2d]", "[5h]", "[9s]", false},
        {"As Kd Qs 7c 2d 5h 9s 5h", "[As][Kd]", "[Qs][7c][2d]", "[??]", "[9s]", false},
        {"As Kd Qs", "[As][Kd]", "[Qs]", "", "", false},
        {"As Kd Qs Qs", "[As][Kd]", "", "", "", false},
        // The gap is filled by the next card clicked.
        {"As Kd Qs 7c 2d Kd 3c", "[As][3c]", "[Qs][7c][2d]", "", "", true},
        // With all seven slots full another card changes nothing.
        {"As Kd Qs 7c 2d 5h 9s 8h", "[As][Kd]", "[Qs][7c][2d]", "[5h]", "[9s]", true},
    };
    EXPECT_EQ(CDlgManualCalculator::CardButtonId(Card("2s")), 1090);
    EXPECT_EQ(CDlgManualCalculator::CardButtonId(Card("Ah")), 1128);
    EXPECT_EQ(CDlgManualCalculator::CardButtonId(Card("Ad")), 1167);
    EXPECT_EQ(CDlgManualCalculator::OpponentButtonId(2), 1168);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clicks);
        dialog_->OnClear();
        ClickCards(c.clicks);
        EXPECT_EQ(dialog_->PocketText(), c.pocket);
        EXPECT_EQ(dialog_->FlopText(), c.flop);
        EXPECT_EQ(dialog_->TurnText(), c.turn);
        EXPECT_EQ(dialog_->RiverText(), c.river);
        EXPECT_EQ(dialog_->Complete(), c.complete);
        for (int n = 1; n <= 9; ++n) {
            const platform::Control button = Control(CDlgManualCalculator::OpponentButtonId(n));
            EXPECT_EQ(button.enabled, c.complete);
            EXPECT_EQ(button.image,
                      CDlgManualCalculator::OpponentButtonImage(
                          n, c.complete ? CDlgManualCalculator::OpponentImage::kNormal
                                        : CDlgManualCalculator::OpponentImage::kDisabled));
        }
        // A card in a slot has no image on its button; every other card has its own.
        for (int card = 0; card < 52; ++card) {
            bool inSlot = false;
            for (const CCard& slot : dialog_->Slots()) inSlot = inSlot || slot.index == card;
            EXPECT_EQ(Control(CDlgManualCalculator::CardButtonId(card)).image,
                      inSlot ? "" : CDlgManualCalculator::CardImage(card))
                << "card " << card;
        }
    }
}

TEST_F(ManualCalculatorTest, HeadsUpFiguresAreMarkedExact) {
    ClickCards("Ah Kd Qs 7c 2d");
    Click(dialog_->Window(), CDlgManualCalculator::OpponentButtonId(3));
    EXPECT_THAT(ReadFile(dialog_->PagePath()), testing::Not(HasSubstr("Exact figures")));
    Click(dialog_->Window(), CDlgManualCalculator::OpponentButtonId(1));
    EXPECT_THAT(ReadFile(dialog_->PagePath()), HasSubstr("Exact figures: every deal counted"));
}

TEST_F(ManualCalculatorTest, OpponentButtonRunsTheOddsAndShowsThePage) {
    ClickCards("Ah Kd Qs 7c");
    dialog_->OnOpponentButton(2);  // ignored while the flop is incomplete
    ClickCards("2d");
    EXPECT_EQ(dialog_->Calculations(), 0);
    Click(dialog_->Window(), CDlgManualCalculator::OpponentButtonId(3));
    EXPECT_EQ(dialog_->SelectedOpponents(), 3);
    EXPECT_EQ(dialog_->Calculations(), 1);
    EXPECT_EQ(Control(CDlgManualCalculator::OpponentButtonId(3)).image,
              CDlgManualCalculator::OpponentButtonImage(
                  3, CDlgManualCalculator::OpponentImage::kSelected));
    EXPECT_EQ(
        Control(CDlgManualCalculator::OpponentButtonId(4)).image,
        CDlgManualCalculator::OpponentButtonImage(4, CDlgManualCalculator::OpponentImage::kNormal));
    EXPECT_EQ(dialog_->PagePath(),
              (folder_ / "Calculator_Seatwatch Manual Calculator.htm").string());
    EXPECT_EQ(Control(CDlgManualCalculator::kBrowser).page, dialog_->PagePath());
    const std::string page = ReadFile(dialog_->PagePath());
    EXPECT_THAT(page, testing::Not(HasSubstr("Win: n/a")));
    EXPECT_THAT(page, HasSubstr("<B>Outs</B>"));
    EXPECT_THAT(page, HasSubstr("<B>1/169</B>"));
    ASSERT_FALSE(lookups_.empty());
    EXPECT_EQ(lookups_.back(), "[Ah,Kd]");

    // Another card deselects the count and shows the cards without odds.
    ClickCards("5h");
    EXPECT_EQ(dialog_->SelectedOpponents(), -1);
    EXPECT_EQ(dialog_->Calculations(), 1);
    EXPECT_THAT(ReadFile(dialog_->PagePath()), HasSubstr("Win: n/a"));
}

TEST_F(ManualCalculatorTest, ClearEmptiesEverything) {
    ClickCards("Ah Kd Qs 7c 2d");
    Click(dialog_->Window(), CDlgManualCalculator::OpponentButtonId(2));
    Click(dialog_->Window(), CDlgManualCalculator::kClearButton);
    for (const CCard& slot : dialog_->Slots()) EXPECT_EQ(slot.index, -1);
    EXPECT_EQ(dialog_->PocketText(), "");
    EXPECT_FALSE(dialog_->Complete());
    EXPECT_EQ(Control(CDlgManualCalculator::CardButtonId(Card("Ah"))).image,
              CDlgManualCalculator::CardImage(Card("Ah")));
    EXPECT_FALSE(Control(CDlgManualCalculator::OpponentButtonId(2)).enabled);
    const std::string page = ReadFile(dialog_->PagePath());
    EXPECT_THAT(page, HasSubstr("Win: n/a"));
    EXPECT_THAT(page, HasSubstr("Pocket Rank&nbsp</FONT></TD><TD ALIGN='CENTER' VALIGN='MIDDLE'    "
                                " colspan='1'><font face='verdana' size='-4'> &nbsp</TD>"));
}

// ----- Table calculator -----

class FakeTable : public CalculatorTable {
  public:
    std::string TableName() const override { return name; }
    int RoomId() const override { return room; }
    std::array<std::string, 4> CardTexts() const override { return texts; }
    std::array<int, 7> ScreenCards() const override { return screen; }
    int Street() const override { return street; }
    int OpponentCount() const override { return opponents; }
    void LinkCalculator(CDlgCalculator* c) override { linked = c; }

    std::string name = "Altair II";
    int room = 113;
    std::array<std::string, 4> texts = {"[Ah,Kd]", "[Qs,7c,2d]", "", ""};
    std::array<int, 7> screen = {-1, -1, -1, -1, -1, -1, -1};
    int street = 1;
    int opponents = 2;
    CDlgCalculator* linked = nullptr;
};

class TableCalculatorTest : public WindowsTest {
  protected:
    CDlgCalculator& Make(COddsCalculator::TimeSource time = {}) {
        calculator_ = std::make_unique<CDlgCalculator>(
            desktop_, platform::kNoWindow,
            [](std::string_view) {
                return StartingHandRank{5, 1};
            },
            std::move(time));
        return *calculator_;
    }
    std::string Page() { return ReadFile(calculator_->PagePath()); }

    FakeTable table_;
    std::unique_ptr<CDlgCalculator> calculator_;
};

TEST_F(TableCalculatorTest, AttachShowsSupportedRoomsOnly) {
    struct Case {
        int room;
        bool shown;
    };
    for (const Case c : {Case{101, true}, Case{107, false}, Case{112, false}, Case{113, true},
                         Case{120, false}, Case{121, true}}) {
        SCOPED_TRACE(c.room);
        table_.room = c.room;
        CDlgCalculator& calculator = Make();
        calculator.AttachToTable(folder_.string(), table_);
        const auto window = desktop_.GetWindow(calculator.Window()).value();
        EXPECT_EQ(window.title, "Calculator - Altair II");
        EXPECT_EQ(window.visible, c.shown);
        EXPECT_EQ(table_.linked, &calculator);
        EXPECT_EQ(window.address, c.shown ? (folder_ / "Calculator_Altair II.htm").string() : "");
        calculator.ShowForRoom(true);
        EXPECT_EQ(desktop_.GetWindow(calculator.Window())->visible, c.shown);
        calculator.ShowForRoom(false);
        EXPECT_FALSE(desktop_.GetWindow(calculator.Window())->visible);
    }
}

TEST_F(TableCalculatorTest, StreetDecidesSimulationAndOuts) {
    struct Case {
        int street;
        std::array<std::string, 4> texts;
        bool simulated;
        bool outs;
    };
    const Case cases[] = {
        {0, {"[Ah,Kd]", "", "", ""}, false, false},
        {1, {"[Ah,Kd]", "[Qs,7c,2d]", "", ""}, true, true},
        {2, {"[Ah,Kd]", "[Qs,7c,2d]", "[5h]", ""}, true, true},
        {3, {"[Ah,Kd]", "[Qs,7c,2d]", "[5h]", "[9s]"}, true, false},
        // The same card twice is not calculated.
        {1, {"[Ah,Ah]", "[Qs,7c,2d]", "", ""}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.texts[0] + c.texts[1] + c.texts[2] + c.texts[3]);
        table_.street = c.street;
        table_.texts = c.texts;
        CDlgCalculator& calculator = Make();
        calculator.AttachToTable(folder_.string(), table_);
        EXPECT_EQ(calculator.LastTrials(), c.simulated ? CDlgCalculator::kTrials : 0);
        EXPECT_EQ(calculator.Win() >= 0, c.simulated);
        int outs = 0;
        for (const int o : calculator.Outs()) outs += o;
        EXPECT_EQ(outs > 0, c.outs);
        const std::string page = Page();
        EXPECT_THAT(page, HasSubstr(c.simulated ? "Split: " : "Win: n/a"));
        EXPECT_THAT(page, HasSubstr("<B>5/169</B>"));
    }
}

TEST_F(TableCalculatorTest, HeadsUpFiguresAreCountedExactlyAndMarked) {
    struct Case {
        int opponents;
        int street;
        std::array<std::string, 4> texts;
        std::int32_t trials;
    };
    const Case cases[] = {
        {1, 1, {"[Ah,Kd]", "[Qs,7c,2d]", "", ""}, 1081 * 990},
        {1, 3, {"[Ah,Kd]", "[Qs,7c,2d]", "[5h]", "[9s]"}, 990},
        {2, 1, {"[Ah,Kd]", "[Qs,7c,2d]", "", ""}, CDlgCalculator::kTrials},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.opponents << " opponents, street " << c.street);
        table_.opponents = c.opponents;
        table_.street = c.street;
        table_.texts = c.texts;
        CDlgCalculator& calculator = Make();
        calculator.AttachToTable(folder_.string(), table_);
        EXPECT_EQ(calculator.LastTrials(), c.trials);
        const bool exact = c.opponents == 1;
        EXPECT_EQ(Page().find("Exact figures: every deal counted") != std::string::npos, exact);
    }
}

TEST_F(TableCalculatorTest, ScreenCardsWithOnePocketCardLeaveThePage) {
    CDlgCalculator& calculator = Make();
    calculator.AttachToTable(folder_.string(), table_);
    const int calculations = calculator.Calculations();
    table_.screen = {Card("9s"), -1, Card("2c"), Card("3c"), Card("4c"), -1, -1};
    calculator.Refresh(table_, true, false);
    EXPECT_EQ(calculator.Calculations(), calculations);
    EXPECT_EQ(calculator.PocketText(), "[Ah,Kd]");

    table_.screen = {Card("9s"), Card("9d"), Card("2c"), Card("3c"), Card("4c"), 77, -5};
    calculator.Refresh(table_, true, false);
    EXPECT_EQ(calculator.PocketText(), "[9s][9d]");
    EXPECT_EQ(calculator.FlopText(), "[2c][3c][4c]");
    EXPECT_EQ(calculator.TurnText(), "");
    EXPECT_EQ(calculator.RiverText(), "");
    EXPECT_EQ(calculator.LastTrials(), CDlgCalculator::kTrials);
}

TEST_F(TableCalculatorTest, WarningReplacesThePageUntilCleared) {
    CDlgCalculator& calculator = Make();
    calculator.AttachToTable(folder_.string(), table_);
    calculator.Refresh(table_, true, true);  // no pocket card on the screen yet
    EXPECT_THAT(Page(), HasSubstr("Poker Table must be set to DEFAULT size"));
    EXPECT_THAT(Page(), testing::Not(HasSubstr("Win:")));
    table_.screen = {Card("9s"), Card("9d"), Card("2c"), Card("3c"), Card("4c"), -1, -1};
    calculator.Refresh(table_, true, false);
    EXPECT_THAT(Page(), HasSubstr("Win: "));
    EXPECT_THAT(Page(), testing::Not(HasSubstr("DEFAULT size")));
}

TEST_F(TableCalculatorTest, RecalculateWhileBusyIsIgnored) {
    CDlgCalculator* self = nullptr;
    int nested = 0;
    CDlgCalculator& calculator = Make([&] {
        // The time source runs inside Simulate: ask for another calculation there.
        if (self != nullptr && nested++ == 0) self->Recalculate();
        return std::chrono::steady_clock::time_point{};
    });
    self = &calculator;
    calculator.AttachToTable(folder_.string(), table_);
    EXPECT_GT(nested, 0);
    EXPECT_EQ(calculator.Calculations(), 1);
    // The fixed clock never runs out, so the full run completes.
    EXPECT_EQ(calculator.LastTrials(), CDlgCalculator::kTrials);
}

}  // namespace
