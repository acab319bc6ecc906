// The console's menus, the General Options dialog, the page commands and the
// system information page, on the recording desktop with the real plug-in:
// what each command shows, asks, writes to the settings and hands on to the
// windows of later work (a recording IConsoleViews).
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

#include "app/console_menu.h"
#include "app/dlg_main.h"
#include "app/dlg_poker_tracker.h"
#include "com/bstr.h"
#include "com/runtime.h"
#include "platform/memory_registry.h"
#include "platform/recording_desktop.h"
#include "tests/rooms/rooms_test_support.h"
#include "tests/rooms/stars_history.h"

namespace {

using platform::Command;
using platform::CommandKind;
using rooms_test::ScratchFolder;

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every call the console makes to the windows of later work, as text.
class RecordingViews : public IConsoleViews {
  public:
    std::vector<std::string> calls;
    bool reportVisible = false;
    bool overlayAnswer = false;

    void ShowReport(int report, const std::string& player) override {
        calls.push_back("report " + std::to_string(report) + " [" + player + "]");
    }
    bool IsReportWindowVisible() const override { return reportVisible; }
    void HideReportWindow() override { calls.push_back("hide report"); }
    void ShowHand(const std::string& page) override { calls.push_back("hand " + page); }
    void ShowGraph(const std::string& key, const std::string& player, int number) override {
        calls.push_back("graph " + key + " [" + player + "] " + std::to_string(number));
    }
    void ShowTableCalculator(const std::string& table) override {
        calls.push_back("calculator " + table);
    }
    void ShowAlerts(const std::string& name, const std::string& key, int number,
                    const std::string& page) override {
        calls.push_back("alerts [" + name + "] [" + key + "] " + std::to_string(number) + " " +
                        page);
    }
    bool RunOverlayConfig(OverlaySwitches& switches) override {
        calls.push_back("overlay");
        switches[3] = false;
        return overlayAnswer;
    }
};

class ConsoleCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        std::filesystem::create_directories(logFolder_);
        env_.desktop = &desktop_;
        env_.loop = &loop_;
        env_.registry = &registry_;
        env_.paths = &paths_;
        env_.programFolder = home_.Path();
        env_.assetsFolder = std::string(SEATWATCH_SOURCE_DIR) + "/assets";
        env_.shutdownPauseMs = 0;
        env_.options.room = "PokerStars";
        env_.options.nickname = "SeatwatchUser";
        env_.options.logFolder = logFolder_;
        env_.views = &views_;
        env_.deskAddress = [](const std::string& path) {
            return "http://127.0.0.1:9/" + path.substr(1) + "?token=t";
        };
        env_.openInBrowser = [this](const std::string& browser, const std::string& address) {
            opened_.push_back(browser + " " + address);
        };
        com::SetRegistry(&registry_);
        library_ = dlopen(SEATWATCH_PAGELINK_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << dlerror();
        auto registerServer =
            reinterpret_cast<com::DllRegisterServerFn>(dlsym(library_, "DllRegisterServer"));
        ASSERT_NE(registerServer, nullptr);
        ASSERT_EQ(registerServer(), com::S_OK);
    }

    void TearDown() override {
        console_.reset();
        com::SetRegistry(&registry_);
        com::CoFreeUnusedLibraries();
        if (library_ != nullptr) dlclose(library_);
        com::SetRegistry(nullptr);
    }

    // Starts the console; with `load`, runs the first loading as well.
    void Start(bool load) {
        rooms_test::WriteFile(logFolder_ + "/HH.txt", rooms_test::StarsHandWithGap(1));
        console_ = std::make_unique<CDlgMain>(env_);
        ASSERT_TRUE(console_->Construct());
        console_->OnInitDialog();
        ASSERT_FALSE(console_->IsFinished());
        if (load) {
            clock_.Advance(10);
            loop_.PumpPending();
            ASSERT_TRUE(console_->Session()->IsLive());
        }
    }

    void Menu(int command) {
        Command c;
        c.window = console_->Window();
        c.kind = CommandKind::kMenu;
        c.id = command;
        desktop_.DeliverUserCommand(c);
    }

    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& box : desktop_.MessageBoxes()) texts.push_back(box.text);
        return texts;
    }

    int Setting(const char* section, const char* key) {
        return console_->Settings().GetInt(section, key, -99);
    }

    ScratchFolder home_;
    std::string logFolder_ = home_ / "histories";
    platform::ManualClock clock_{1'700'000'000};
    platform::EventLoop loop_{clock_};
    platform::RecordingDesktop desktop_{&loop_};
    platform::MemoryRegistry registry_;
    platform::WinPaths paths_{std::nullopt};
    RecordingViews views_;
    std::vector<std::string> opened_;
    ConsoleEnvironment env_;
    std::unique_ptr<CDlgMain> console_;
    void* library_ = nullptr;
};

// The menu bar, flattened: "Menu/Item=command".
std::vector<std::string> Flatten(const std::vector<platform::MenuItem>& menu) {
    std::vector<std::string> out;
    for (const auto& top : menu) {
        for (const auto& item : top.children) {
            out.push_back(top.text + "/" + item.text + "=" + std::to_string(item.command));
        }
    }
    return out;
}

TEST_F(ConsoleCommandsTest, TheMenuBarIsSetAtTheEndOfStartUp) {
    Start(false);
    const auto state = desktop_.GetWindow(console_->Window());
    ASSERT_TRUE(state.has_value());
    const std::vector<std::string> expected = {
        "&File/&Exit=131",
        "&View/&Manual Calculator=32777",
        "&View/&Report Window=32799",
        "&View/&System Information=32784",
        "&Tools/&Options=32822",
        "&Tools/&Reset statistics for current session=32826",
        "&Help/&FAQ=32786",
        "&Help/&Alerts Window=32804",
        "&Help/&Calculator Window=32790",
        "&Help/Conso&le Window=32791",
        "&Help/&Graph Window=32789",
        "&Help/&Hand Review Window=32788",
        "&Help/&Reports Window=32802",
        "&Help/Game &Tracker=32787",
        "&Help/Trou&bleshooting=32792",
    };
    EXPECT_EQ(Flatten(state->menu), expected);
}

TEST_F(ConsoleCommandsTest, CommandsThatNeedTheLoadedHandsSayWhyBeforeTheFirstLoading) {
    Start(false);
    Menu(console_menu::kOptions);
    Menu(console_menu::kResetStatistics);
    Menu(console_menu::kReportWindow);
    const std::vector<std::string> expected = {
        "This feature will be available once the software initialization is complete.",
        "This feature will be available once the software initialization is complete.",
        "Reports will be available once the software initialization is complete.",
    };
    EXPECT_EQ(Messages(), expected);
    EXPECT_TRUE(views_.calls.empty());
}

TEST_F(ConsoleCommandsTest, ThePlayMoneyReportWindowIsRefused) {
    env_.options.money = MoneyMode::kPlay;
    Start(true);
    views_.calls.clear();
    const std::size_t before = desktop_.MessageBoxes().size();
    Menu(console_menu::kReportWindow);
    ASSERT_EQ(desktop_.MessageBoxes().size(), before + 1);
    EXPECT_EQ(desktop_.MessageBoxes().back().text,
              "This feature is only available to Real Money Players.");
    EXPECT_TRUE(views_.calls.empty());
}

TEST_F(ConsoleCommandsTest, GeneralOptionsLoadTheSettingsAndWriteThemOnlyOnOk) {
    Start(true);
    // The first loading opened the player's own hand review report.
    EXPECT_EQ(views_.calls, (std::vector<std::string>{"report 2 [SeatwatchUser]"}));
    console_->Settings().WriteInt("Advanced", "Detach Table View", 1);
    const platform::DialogDescription opened =
        CDlgPokerTracker(desktop_, console_->Settings()).Describe();
    EXPECT_EQ(opened.title, "General Options");
    const auto find = [&opened](int id) {
        for (const auto& c : opened.controls) {
            if (c.id == id) return c;
        }
        return platform::Control{};
    };
    EXPECT_FALSE(find(CDlgPokerTracker::kAttachAuto).checked);
    EXPECT_TRUE(find(CDlgPokerTracker::kAttachNever).checked);
    EXPECT_EQ(find(CDlgPokerTracker::kUseHistoricalFolder).text, "Use Historical File Folder");

    const auto click = [](int id) {
        Command c;
        c.kind = CommandKind::kClick;
        c.id = id;
        return c;
    };
    // Changed, then cancelled: nothing is written.
    desktop_.ScriptDialog(
        {{click(CDlgPokerTracker::kAttachAlways), click(CDlgPokerTracker::kReuseGraphWindow)},
         platform::kIdCancel});
    Menu(console_menu::kOptions);
    EXPECT_EQ(Setting("Advanced", "Detach Table View"), 1);
    EXPECT_EQ(Setting("Advanced", "Reuse Graph Window"), -99);
    // Changed and confirmed.
    desktop_.ScriptDialog(
        {{click(CDlgPokerTracker::kAttachAlways), click(CDlgPokerTracker::kReuseGraphWindow),
          click(CDlgPokerTracker::kUseHistoricalFolder)},
         platform::kIdOk});
    Menu(console_menu::kOptions);
    EXPECT_EQ(Setting("Advanced", "Detach Table View"), 2);
    EXPECT_EQ(Setting("Advanced", "Reuse Graph Window"), 1);
    EXPECT_EQ(Setting("Advanced", "PokerTracker"), 1);
}

TEST_F(ConsoleCommandsTest, ReportPropertiesFollowTheirRules) {
    Start(true);
    platform::Profile& s = console_->Settings();
    const auto call = [this](int report, const char* property, int value) {
        com::BSTR p = com::BstrFromUtf8(property);
        EXPECT_EQ(console_->PageCallback()->ChangeReportProperties(report, p, value), com::S_OK);
        com::SysFreeString(p);
    };
    views_.calls.clear();

    // The same sort column twice flips the direction; a new one keeps it.
    s.WriteInt("Hand Review Report", "Sort", 3);
    s.WriteInt("Hand Review Report", "SortO", 1);
    call(2, "SC", 3);
    EXPECT_EQ(Setting("Hand Review Report", "SortO"), 0);
    call(2, "SC", 3);
    EXPECT_EQ(Setting("Hand Review Report", "SortO"), 1);
    call(2, "SC", 5);
    EXPECT_EQ(Setting("Hand Review Report", "Sort"), 5);
    EXPECT_EQ(Setting("Hand Review Report", "SortO"), 1);

    // A period out of range changes nothing but the report is still shown.
    s.WriteInt("Hand Review Report", "Period", 2);
    views_.calls.clear();
    call(0, "TP", 6);
    EXPECT_EQ(Setting("Hand Review Report", "Period"), 2);
    EXPECT_EQ(views_.calls, (std::vector<std::string>{"report 0 []"}));
    call(0, "TP", 1);
    EXPECT_EQ(Setting("Hand Review Report", "Period"), 0);

    // Report -1 takes the current report: the players report's type.
    s.WriteInt("Reports", "Current", 1);
    call(-1, "GT", 3);
    EXPECT_EQ(Setting("Reports", "Type"), 3);
    EXPECT_EQ(Setting("Reports", "Current"), 1);
    call(1, "HC", 40);
    EXPECT_EQ(Setting("Players Report", "Hands"), 40);
    // Codes are compared exactly.
    call(1, "hc", 50);
    EXPECT_EQ(Setting("Players Report", "Hands"), 40);

    // The second form sets the hand review report's player.
    com::BSTR pn = com::BstrFromUtf8("PN");
    com::BSTR name = com::BstrFromUtf8("  Zo\xc3\xab <b> ");
    console_->PageCallback()->ChangeReportProperties2(2, pn, name);
    EXPECT_EQ(console_->Settings().GetString("Hand Review Report", "Player"), "Zo\xc3\xab <b>");
    EXPECT_EQ(views_.calls.back(), "report 2 []");
    // The page escaped the name for its script string.
    com::BSTR escaped = com::BstrFromUtf8("O/1Brien ///4b/5");
    console_->PageCallback()->ChangeReportProperties2(0, pn, escaped);
    EXPECT_EQ(console_->Settings().GetString("Hand Review Report", "Player"), "O'Brien /<b>");
    com::SysFreeString(escaped);
    com::SysFreeString(pn);
    com::SysFreeString(name);

    // A current report of another number shows nothing.
    s.WriteInt("Reports", "Current", 7);
    views_.calls.clear();
    console_->ShowCurrentReport();
    EXPECT_TRUE(views_.calls.empty());
}

TEST_F(ConsoleCommandsTest, PageCommandsReachTheirWindows) {
    Start(true);
    pagelink::IBrowserSinkNoDispatch* sink = console_->PageCallback();
    const auto bstr = [](const char* text) { return com::BstrFromUtf8(text); };
    views_.calls.clear();

    com::BSTR own = bstr(" #Seatwatch# ");
    sink->DisplayGraph(own, -1);
    com::BSTR bob = bstr("Bob (NL)");
    sink->DisplayGraph(bob, 2);
    com::BSTR oneil = bstr("O/1Neil");
    sink->DisplayGraph(oneil, 1);
    com::SysFreeString(oneil);
    EXPECT_EQ(views_.calls,
              (std::vector<std::string>{"graph SeatwatchUser [SeatwatchUser] -1",
                                        "graph Bob (NL) [Bob (NL)] 2", "graph O'Neil [O'Neil] 1"}));

    // One shared window: the key is the nickname, and an empty name shows
    // the last player graphed.
    console_->Settings().WriteInt("Advanced", "Reuse Graph Window", 1);
    views_.calls.clear();
    sink->DisplayGraph(bob, 2);
    com::BSTR empty = bstr("");
    sink->DisplayGraph(empty, 0);
    EXPECT_EQ(views_.calls, (std::vector<std::string>{"graph SeatwatchUser [Bob (NL)] 2",
                                                      "graph SeatwatchUser [Bob (NL)] 0"}));

    // The manual calculator comes to the top; any other name is a table's.
    views_.calls.clear();
    com::BSTR manual = bstr("Seatwatch Manual Calculator");
    ASSERT_NE(console_->ManualCalculator(), nullptr);
    sink->DisplayCalc(manual);
    EXPECT_EQ(desktop_.ZOrder().front(), console_->ManualCalculator()->Window());
    EXPECT_TRUE(desktop_.GetWindow(console_->ManualCalculator()->Window())->visible);
    com::BSTR table = bstr("Alcyone III");
    sink->DisplayCalc(table);
    com::BSTR alertName = bstr(
        " T\xc3\xa9"
        "ble ");
    com::BSTR alertKey = bstr(" Zo\xc3\xab ");
    com::BSTR alertPage = bstr("a.htm");
    sink->DisplayAlerts(alertName, alertKey, 1, alertPage);
    EXPECT_EQ(views_.calls, (std::vector<std::string>{"calculator Alcyone III",
                                                      "alerts [T\xc3\xa9"
                                                      "ble] [Zo\xc3\xab] 1 a.htm"}));

    // A known hand is found and its page written in the temp folder; text
    // that is not a number is hand 0, which is not found.
    views_.calls.clear();
    const std::size_t boxes = desktop_.MessageBoxes().size();
    com::BSTR hand = bstr("1");
    sink->DisplayHand(hand);
    EXPECT_EQ(desktop_.MessageBoxes().size(), boxes);
    EXPECT_TRUE(std::filesystem::exists(console_->TempFolder() / "Hand 1.htm"));
    com::BSTR junk = bstr("x12");
    sink->DisplayHand(junk);
    ASSERT_EQ(desktop_.MessageBoxes().size(), boxes + 1);
    EXPECT_EQ(desktop_.MessageBoxes().back().text, "Hand Not Found");

    // The page's size toggle is the console's shrink and expand.
    EXPECT_TRUE(console_->IsExpanded());
    sink->ToggleWindowSize();
    EXPECT_FALSE(console_->IsExpanded());

    for (com::BSTR b : {own, bob, empty, manual, table, alertName, alertKey, alertPage, hand, junk})
        com::SysFreeString(b);
}

TEST_F(ConsoleCommandsTest, OverlayOptionsAreKeptOnlyOnOk) {
    Start(true);
    Menu(console_menu::kOverlayConfig);
    EXPECT_TRUE(console_->OverlaySwitches()[3]);
    views_.overlayAnswer = true;
    Menu(console_menu::kOverlayConfig);
    EXPECT_FALSE(console_->OverlaySwitches()[3]);
    EXPECT_TRUE(console_->OverlaySwitches()[0]);
}

TEST_F(ConsoleCommandsTest, HelpPagesOpenFromTheDeskAndEachOneExists) {
    Start(false);
    const int commands[] = {
        console_menu::kHelpFaq,
        console_menu::kHelpAlerts,
        console_menu::kHelpCalculator,
        console_menu::kHelpConsole,
        console_menu::kHelpGraph,
        console_menu::kHelpHandReview,
        console_menu::kHelpReports,
        console_menu::kHelpGameTracker,
        console_menu::kHelpTroubleshooting,
    };
    for (const int command : commands) {
        const std::string page(console_menu::HelpPageFor(command));
        ASSERT_FALSE(page.empty()) << command;
        EXPECT_TRUE(std::filesystem::exists(env_.assetsFolder / "help" / page)) << page;
        opened_.clear();
        Menu(command);
        EXPECT_EQ(opened_, (std::vector<std::string>{"xdg-open http://127.0.0.1:9/help/" + page +
                                                     "?token=t"}))
            << page;
    }
    EXPECT_TRUE(console_menu::HelpPageFor(console_menu::kExit).empty());
}

TEST_F(ConsoleCommandsTest, SystemInformationShowsTheSessionInItsWindow) {
    Start(true);
    console_->Settings().WriteString("Poker Rooms", "Active Room", "Poker<Stars>");
    Menu(console_menu::kSystemInformation);
    const auto window = desktop_.GetWindow(console_->SystemInformationWindow());
    ASSERT_TRUE(window.has_value());
    EXPECT_TRUE(window->visible);
    EXPECT_EQ(desktop_.ZOrder().front(), console_->SystemInformationWindow());
    const std::string page = ReadText(home_ / "Temp/PokerStatusInformation.htm");
    EXPECT_EQ(window->address, home_ / "Temp/PokerStatusInformation.htm");
    EXPECT_NE(page.find("<FONT COLOR='#CC0000'>Seatwatch System Information</FONT>"),
              std::string::npos);
    EXPECT_NE(page.find("Poker&lt;Stars&gt;"), std::string::npos);
    EXPECT_NE(page.find("<B>Game Type:&nbsp</B>"), std::string::npos);
    EXPECT_NE(page.find("Real Money"), std::string::npos);
    EXPECT_NE(page.find("1 files"), std::string::npos);
    EXPECT_NE(page.find("0 KB"), std::string::npos);
    EXPECT_NE(page.find("01/01/00 01:01:01"), std::string::npos);
    EXPECT_EQ(page.find("Historical File Folder"), std::string::npos);
}

TEST(WrapLongFolder, PutsOneBlankAfterTheFirstSeparatorFromPosition35) {
    struct Case {
        const char* folder;
        const char* shown;
    };
    const Case cases[] = {
        {"C:\\Poker\\HandHistory\\SeatwatchUser", "C:\\Poker\\HandHistory\\SeatwatchUser"},
        {"C:\\Program Files\\PokerStars\\HandHistory\\SeatwatchUser",
         "C:\\Program Files\\PokerStars\\HandHistory\\ SeatwatchUser"},
        {"C:\\Program Files\\PokerStars\\Hand\\History\\SeatwatchUser",
         "C:\\Program Files\\PokerStars\\Hand\\History\\ SeatwatchUser"},
        {"/home/player/.wine/drive_c/Program Files/PokerStars/HandHistory",
         "/home/player/.wine/drive_c/Program Files/ PokerStars/HandHistory"},
        {"C:\\Poker\\AVeryLongFolderNameWithoutAnyMoreSeparators",
         " C:\\Poker\\AVeryLongFolderNameWithoutAnyMoreSeparators"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(WrapLongFolder(c.folder), c.shown) << c.folder;
    // Exactly 35 characters stay as they are; 36 with a separator at 35 get
    // the blank after it.
    const std::string at35(35, 'a');
    EXPECT_EQ(WrapLongFolder(at35), at35);
    EXPECT_EQ(WrapLongFolder(at35 + "\\"), at35 + "\\ ");
}

TEST_F(ConsoleCommandsTest, ASecondCopyBringsTheConsoleBackOverAnotherPanel) {
    Start(true);
    ASSERT_NE(console_->ManualCalculator(), nullptr);
    desktop_.Show(console_->ManualCalculator()->Window(), platform::ShowMode::kShow);
    ASSERT_NE(desktop_.ZOrder().front(), console_->Window());
    desktop_.ClearEvents();
    console_->BringToFront();
    EXPECT_EQ(desktop_.ZOrder().front(), console_->Window());
    // Even when the program already had it on top, the desk is sent the
    // order again (a click there may have raised another panel).
    desktop_.ClearEvents();
    console_->BringToFront();
    bool zorderSent = false;
    for (const auto& e : desktop_.Events()) zorderSent = zorderSent || e.type == "zorder";
    EXPECT_TRUE(zorderSent);
}

TEST_F(ConsoleCommandsTest, ClosingHidesAVisibleReportWindow) {
    Start(true);
    views_.reportVisible = true;
    desktop_.ScriptMessageBox(platform::MessageBoxResult::kYes);
    Menu(console_menu::kExit);
    EXPECT_TRUE(console_->IsFinished());
    EXPECT_EQ(console_->ProcessExitStatus(), 0);
    EXPECT_NE(std::find(views_.calls.begin(), views_.calls.end(), "hide report"),
              views_.calls.end());
}

}  // namespace

namespace {

// The notices after the first loading wait for a desk page, and the live
// passes do not wait for them.
TEST_F(ConsoleCommandsTest, NoticesWaitUntilADeskPageIsConnected) {
    bool connected = false;
    env_.deskConnected = [&connected] { return connected; };
    Start(true);
    EXPECT_TRUE(loop_.IsTimerArmed(console_->Window(), kTimerLivePass));
    EXPECT_EQ(Setting("Config", "WaitForHandDialog"), -99);
    clock_.Advance(kNoticeWaitMs);
    loop_.PumpPending();
    EXPECT_EQ(Setting("Config", "WaitForHandDialog"), -99);

    Command tick;
    tick.kind = CommandKind::kClick;
    tick.id = 1060;
    desktop_.ScriptDialog({{tick}, platform::kIdOk});
    connected = true;
    clock_.Advance(kNoticeWaitMs);
    loop_.PumpPending();
    EXPECT_EQ(Setting("Config", "WaitForHandDialog"), 0);
    EXPECT_FALSE(loop_.IsTimerArmed(console_->Window(), kTimerNotices));
}

}  // namespace

namespace {

// The desk opens in the browser the prefix names, else with xdg-open, and
// only when asked to.
TEST_F(ConsoleCommandsTest, TheDeskOpensInThePrefixsBrowserWhenItNamesOne) {
    registry_.SetValue(platform::RegRoot::kClassesRoot,
                       "Applications\\iexplore.exe\\shell\\open\\command", "",
                       platform::RegValue::String(
                           "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" -nohome"));
    env_.openDeskAtStart = true;
    Start(false);
    EXPECT_EQ(console_->BrowserPath(), "C:\\Program Files\\Internet Explorer\\iexplore.exe");
    EXPECT_EQ(opened_,
              (std::vector<std::string>{"C:\\Program Files\\Internet Explorer\\iexplore.exe "
                                        "http://127.0.0.1:9/?token=t"}));
}

TEST_F(ConsoleCommandsTest, WithoutBeingAskedTheDeskIsNotOpened) {
    Start(false);
    EXPECT_EQ(console_->BrowserPath(), "xdg-open");
    EXPECT_TRUE(opened_.empty());
}

}  // namespace

namespace {

// A desk that cannot listen (its port taken) ends the start with a message
// instead of a program nobody can reach.
TEST_F(ConsoleCommandsTest, ADeskThatCannotStartEndsTheProgram) {
    env_.startDesk = [](std::string& error) {
        error = "cannot listen on 127.0.0.1:8080";
        return false;
    };
    console_ = std::make_unique<CDlgMain>(env_);
    EXPECT_FALSE(console_->Construct());
    EXPECT_TRUE(console_->IsFinished());
    EXPECT_EQ(console_->GetShutdownReason(), ShutdownReason::kConstructionException);
    EXPECT_EQ(console_->ProcessExitStatus(), 201);
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "The desk could not be started: cannot listen on 127.0.0.1:8080"}));
    EXPECT_EQ(console_->Settings().GetInt("ph", "Start", -1), 0);
}

}  // namespace

namespace {

// Ctrl-C while the first loading reads a long history: the loading is left
// at the next pump instead of running to its end.
TEST_F(ConsoleCommandsTest, ClosingDuringTheFirstLoadingLeavesItAtOnce) {
    std::string history;
    for (int n = 1; n <= 20; ++n) history += rooms_test::StarsHandWithGap(100 + n);
    rooms_test::WriteFile(logFolder_ + "/HH.txt", history);
    console_ = std::make_unique<CDlgMain>(env_);
    ASSERT_TRUE(console_->Construct());
    console_->OnInitDialog();
    ASSERT_FALSE(console_->IsFinished());
    int read = 0;
    console_->Session()->SetHandAdded([&](const CHand&) {
        if (++read == 3) console_->CloseNow();
    });
    clock_.Advance(kFirstLoadingDelayMs);
    loop_.PumpPending();
    EXPECT_EQ(read, 3);
    EXPECT_TRUE(console_->IsFinished());
    EXPECT_EQ(console_->ProcessExitStatus(), 0);
    EXPECT_EQ(Setting("ph", "Start"), 0);
    EXPECT_FALSE(loop_.IsTimerArmed(console_->Window(), kTimerLivePass));
}

}  // namespace

namespace {

// The room dialog needs someone at the desk: start-up waits for a desk page,
// and a close meanwhile ends the wait.
TEST_F(ConsoleCommandsTest, TheRoomDialogWaitsForTheDeskToBeOpened) {
    bool connected = false;
    env_.deskConnected = [&connected] { return connected; };
    console_ = std::make_unique<CDlgMain>(env_);
    ASSERT_TRUE(console_->Construct());
    // The desk's connection comes in as a posted task.
    loop_.Post([&connected] { connected = true; });
    EXPECT_TRUE(console_->WaitForDesk());
    EXPECT_TRUE(connected);
    EXPECT_TRUE(console_->WaitForDesk());

    connected = false;
    loop_.Post([this] { console_->CloseNow(); });
    EXPECT_FALSE(console_->WaitForDesk());
    EXPECT_TRUE(console_->IsFinished());
}

}  // namespace

// The console's own report part: the report is made ready at the end of the
// first loading, and the alerts window shows only pages of the temp folder.
TEST_F(ConsoleCommandsTest, ReportAndAlertsWindowsShowWhatThePagesAsk) {
    env_.views = nullptr;
    Start(true);
    const auto windowTitled = [this](std::string_view prefix) {
        for (platform::WindowId id : desktop_.ZOrder()) {
            const auto state = desktop_.GetWindow(id);
            if (state->title.starts_with(prefix)) return *state;
        }
        return platform::WindowState{};
    };
    // The first loading made the user's report ready without showing it.
    platform::WindowState report = windowTitled("Report: ");
    ASSERT_NE(report.id, platform::kNoWindow);
    EXPECT_EQ(report.title, "Report: SeatwatchUser");
    EXPECT_FALSE(report.visible);

    // Alerts: the arguments arrive escaped as the page wrote them; a page
    // outside the temp folder is not shown.
    const std::string page = (console_->TempFolder() / "Table_x_Bob.htm").string();
    std::string escaped;
    for (char c : page) escaped += c == '/' ? std::string("//") : std::string(1, c);
    com::BSTR name = com::BstrFromUtf8("O/1Neil");
    com::BSTR key = com::BstrFromUtf8("O/1Neil (NL)");
    com::BSTR inside = com::BstrFromUtf8(escaped);
    pagelink::IBrowserSinkNoDispatch* sink = console_->PageCallback();
    sink->DisplayAlerts(name, key, 1, inside);
    platform::WindowState alerts = windowTitled("Alerts: ");
    EXPECT_EQ(alerts.title, "Alerts: O'Neil (NL)");
    EXPECT_EQ(alerts.address, page);
    EXPECT_TRUE(alerts.visible);
    com::BSTR outside = com::BstrFromUtf8("//etc//passwd.htm");
    com::BSTR climbing = com::BstrFromUtf8(escaped + "//..//..//x.htm");
    sink->DisplayAlerts(name, key, 1, outside);
    sink->DisplayAlerts(name, key, 1, climbing);
    EXPECT_EQ(desktop_.GetWindow(alerts.id)->address, page);
    for (com::BSTR s : {name, key, inside, outside, climbing}) com::SysFreeString(s);
}
