#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "analysis/table_record.h"
#include "calc/card_index.h"
#include "calc/dlg_calculator.h"
#include "calc/dlg_manual_calculator.h"
#include "platform/recording_desktop.h"
#include "tests/analysis/stars_text.h"

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

// A PokerStars hand at "Altair II": Hero holds `pocket` and plays Bb heads-up
// to the street of `board` (flop, turn and river cards in one list).
std::unique_ptr<CHand> HeroHand(std::uint64_t number, const std::string& pocket,
                                const std::vector<std::string>& board) {
    testing_hands::Table table;
    table.name = "Altair II";
    table.seats = {"Btn", "Sb", "Bb", "Hero"};
    std::string body =
        "Sb: posts small blind $0.50\nBb: posts big blind $1\n*** HOLE CARDS ***\n"
        "Dealt to Hero [" +
        pocket +
        "]\nHero: raises $1 to $2\nBtn: folds\n"
        "Sb: folds\nBb: calls $1\n";
    std::string cards;
    for (std::size_t i = 0; i < board.size(); ++i) {
        if (i == 0) {
            cards = board[0] + " " + board[1] + " " + board[2];
            body += "*** FLOP *** [" + cards + "]\n";
            i = 2;
        } else {
            body += std::string(i == 3 ? "*** TURN *** [" : "*** RIVER *** [") + cards + "] [" +
                    board[i] + "]\n";
            cards += " " + board[i];
        }
        body += "Bb: checks\nHero: checks\n";
    }
    std::string error;
    auto hand = testing_hands::Parse(
        testing_hands::HandText(number, table, body, {{"Hero", "collected ($4.50)"}}), "Hero",
        &error);
    EXPECT_TRUE(hand) << error;
    return hand;
}

// Seven card numbers from card codes, -1 where the text has "-".
std::vector<int> ScreenCards(std::string_view codes) {
    std::istringstream in{std::string(codes)};
    std::vector<int> cards;
    std::string code;
    while (in >> code) cards.push_back(code == "-" ? -1 : Card(code.c_str()));
    cards.resize(CTableRecord::kCardSlots, -1);
    return cards;
}

class TableCalculatorTest : public WindowsTest {
  protected:
    static constexpr std::int64_t kNow = 1'700'000'000;

    // A calculator whose fixed clock never runs out, so every run is whole
    // and, with the engine's fixed seed, gives the same figures each time.
    CDlgCalculator& Make() {
        calculator_ = std::make_unique<CDlgCalculator>(
            desktop_, platform::kNoWindow,
            [this](std::string_view pocket) {
                lookups_.emplace_back(pocket);
                return StartingHandRank{5, 1};
            },
            [this] {
                if (onTime_) onTime_();
                return std::chrono::steady_clock::time_point{};
            });
        return *calculator_;
    }
    // A new record; the calculator of the old one goes first, as it must
    // never outlive its record.
    CTableRecord& Record(int room = 113) {
        calculator_.reset();
        record_ = std::make_unique<CTableRecord>("Altair II", room, false, kNow);
        return *record_;
    }
    std::string Page() { return ReadFile(calculator_->PagePath()); }
    // Compares the page with its golden file under tests/calc/golden; run with
    // SEATWATCH_UPDATE_GOLDEN=1 to rewrite it after a reviewed change.
    void ExpectGoldenPage(const std::string& name) {
        const fs::path golden = fs::path(SEATWATCH_SOURCE_DIR) / "tests/calc/golden" / name;
        if (std::getenv("SEATWATCH_UPDATE_GOLDEN") != nullptr)
            std::ofstream(golden, std::ios::binary) << Page();
        EXPECT_EQ(Page(), ReadFile(golden.string())) << "golden file " << golden;
    }

    std::unique_ptr<CTableRecord> record_;
    std::unique_ptr<CDlgCalculator> calculator_;
    std::vector<std::string> lookups_;
    std::function<void()> onTime_;
};

TEST_F(TableCalculatorTest, AttachShowsSupportedRoomsOnly) {
    struct Case {
        int room;
        bool shown;
    };
    for (const Case c : {Case{101, true}, Case{107, false}, Case{112, false}, Case{113, true},
                         Case{120, false}, Case{121, true}}) {
        SCOPED_TRACE(c.room);
        CTableRecord& record = Record(c.room);
        CDlgCalculator& calculator = Make();
        calculator.AttachToTable(folder_.string(), record);
        const auto window = desktop_.GetWindow(calculator.Window()).value();
        EXPECT_EQ(window.title, "Calculator - Altair II");
        EXPECT_EQ(window.visible, c.shown);
        EXPECT_EQ(record.Calculator(), &calculator);
        EXPECT_EQ(window.address, c.shown ? (folder_ / "Calculator_Altair II.htm").string() : "");
        calculator.ShowForRoom(true);
        EXPECT_EQ(desktop_.GetWindow(calculator.Window())->visible, c.shown);
        calculator.ShowForRoom(false);
        EXPECT_FALSE(desktop_.GetWindow(calculator.Window())->visible);
        // A calculator that goes away unlinks itself from the record.
        calculator_.reset();
        EXPECT_EQ(record.Calculator(), nullptr);
    }
}

// The record refreshes its calculator from each hand of the history and each
// screen reading; every page is compared whole.
TEST_F(TableCalculatorTest, RecordDrivesThePageFromHistoryAndScreen) {
    CTableRecord& record = Record();
    CDlgCalculator& calculator = Make();
    calculator.AttachToTable(folder_.string(), record);
    EXPECT_THAT(Page(), HasSubstr("Win: n/a"));

    // A flop from the history: the record counts two players, Hero and one
    // opponent, so the heads-up figures are exact.
    record.UpdateFromHand(*HeroHand(501, "Ah Kd", {"Qs", "7c", "2d"}), kNow);
    EXPECT_EQ(record.PlayerCount(), 2);
    EXPECT_EQ(calculator.PocketText(), "[Ah,Kd]");
    EXPECT_GT(calculator.LastTrials(), CDlgCalculator::kTrials);
    EXPECT_THAT(Page(), HasSubstr("Exact figures"));
    EXPECT_EQ(lookups_.back(), "[Ah,Kd]");
    ExpectGoldenPage("table_history_flop.htm");

    // The turn read off the screen, against three players.
    EXPECT_TRUE(record.UpdateFromScreen(ScreenCards("9s 9d 2c 3c 4c 5h"), 2, 3,
                                        TableSizeWarning::kNone, kNow));
    EXPECT_EQ(calculator.PocketText(), "[9s][9d]");
    EXPECT_EQ(calculator.TurnText(), "[5h]");
    ExpectGoldenPage("table_screen_turn.htm");

    // The reader's warning replaces the odds until a reading comes without it.
    EXPECT_TRUE(record.UpdateFromScreen(ScreenCards("9s 9d 2c 3c 4c 5h"), 2, 3,
                                        TableSizeWarning::kWrongSize, kNow));
    ExpectGoldenPage("calculator_warning.htm");
    EXPECT_TRUE(record.UpdateFromScreen(ScreenCards("9s 9d 2c 3c 4c 5h"), 3, 3,
                                        TableSizeWarning::kNone, kNow));
    EXPECT_THAT(Page(), HasSubstr("Win: "));
    EXPECT_THAT(Page(), testing::Not(HasSubstr("DEFAULT size")));
}

TEST_F(TableCalculatorTest, StreetDecidesSimulationAndOuts) {
    struct Case {
        const char* cards;
        int street;
        bool simulated;
        bool outs;
    };
    const Case cases[] = {
        {"Ah Kd", 0, false, false},
        {"Ah Kd Qs 7c 2d", 1, true, true},
        {"Ah Kd Qs 7c 2d 5h", 2, true, true},
        {"Ah Kd Qs 7c 2d 5h 9s", 3, true, false},
        // The same card twice is not calculated.
        {"Ah Ah Qs 7c 2d", 1, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cards);
        CTableRecord& record = Record();
        CDlgCalculator& calculator = Make();
        calculator.AttachToTable(folder_.string(), record);
        record.UpdateFromScreen(ScreenCards(c.cards), c.street, 2, TableSizeWarning::kNone, kNow);
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
        const char* cards;
        std::int32_t trials;
    };
    const Case cases[] = {
        {1, 1, "Ah Kd Qs 7c 2d", 1081 * 990},
        {1, 3, "Ah Kd Qs 7c 2d 5h 9s", 990},
        {2, 1, "Ah Kd Qs 7c 2d", CDlgCalculator::kTrials},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.opponents << " opponents, street " << c.street);
        CTableRecord& record = Record();
        CDlgCalculator& calculator = Make();
        calculator.AttachToTable(folder_.string(), record);
        record.UpdateFromScreen(ScreenCards(c.cards), c.street, c.opponents,
                                TableSizeWarning::kNone, kNow);
        EXPECT_EQ(calculator.LastTrials(), c.trials);
        const bool exact = c.opponents == 1;
        EXPECT_EQ(Page().find("Exact figures: every deal counted") != std::string::npos, exact);
    }
}

TEST_F(TableCalculatorTest, ScreenCardsWithOnePocketCardLeaveThePage) {
    CTableRecord& record = Record();
    record.UpdateFromHand(*HeroHand(502, "Ah Kd", {"Qs", "7c", "2d"}), kNow);
    CDlgCalculator& calculator = Make();
    calculator.AttachToTable(folder_.string(), record);
    const int calculations = calculator.Calculations();
    EXPECT_TRUE(
        record.UpdateFromScreen(ScreenCards("9s - 2c 3c 4c"), 1, 2, TableSizeWarning::kNone, kNow));
    EXPECT_EQ(calculator.Calculations(), calculations);
    EXPECT_EQ(calculator.PocketText(), "[Ah,Kd]");

    // Numbers outside the deck are cards not recognised.
    std::vector<int> cards = ScreenCards("9s 9d 2c 3c 4c");
    cards[5] = 77;
    cards[6] = -5;
    EXPECT_TRUE(record.UpdateFromScreen(cards, 1, 2, TableSizeWarning::kNone, kNow));
    EXPECT_EQ(calculator.PocketText(), "[9s][9d]");
    EXPECT_EQ(calculator.FlopText(), "[2c][3c][4c]");
    EXPECT_EQ(calculator.TurnText(), "");
    EXPECT_EQ(calculator.RiverText(), "");
    EXPECT_EQ(calculator.LastTrials(), CDlgCalculator::kTrials);
}

TEST_F(TableCalculatorTest, RecalculateWhileBusyIsIgnored) {
    CTableRecord& record = Record();
    CDlgCalculator& calculator = Make();
    calculator.AttachToTable(folder_.string(), record);
    const int before = calculator.Calculations();
    int nested = 0;
    // The time source runs inside Simulate: ask for another calculation there.
    onTime_ = [&] {
        if (nested++ == 0) calculator.Recalculate();
    };
    // Two opponents read off the screen: the figures are simulated.
    EXPECT_TRUE(record.UpdateFromScreen(ScreenCards("Ah Kd Qs 7c 2d - -"), 1, 2,
                                        TableSizeWarning::kNone, kNow));
    EXPECT_GT(nested, 0);
    EXPECT_EQ(calculator.Calculations(), before + 1);
    EXPECT_EQ(calculator.LastTrials(), CDlgCalculator::kTrials);
}

}  // namespace
