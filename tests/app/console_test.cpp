// Start-up, shutdown and every start-up failure path of the console, run on
// the recording desktop with a manual clock, the real plug-in and a scratch
// program folder; each case checks the messages, the log lines, the crash
// marker and the exit code.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/dlg_main.h"
#include "app/main_app.h"
#include "com/runtime.h"
#include "platform/memory_registry.h"
#include "platform/recording_desktop.h"
#include "tests/rooms/rooms_test_support.h"
#include "tests/rooms/stars_history.h"

namespace {

using rooms_test::ScratchFolder;

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The log header every start writes, at the manual clock's time.
const char* const kHeader =
    "==============================================\n"
    "Seatwatch: Starting on Tuesday, November 14, 2023 22:13:20\n"
    "Version: 2.11.03\n"
    "Internet Explorer Test: passed\n"
    "LocalTime: Tuesday, November 14, 2023 22:13:20\n"
    "GMT: Tuesday, November 14, 2023 22:13:20\n"
    "DST is Disabled\n";

enum class Plugin { kRegistered, kUnregistered };

class ConsoleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        ASSERT_FALSE(home_.Path().empty());
        std::filesystem::create_directories(logFolder_);
        env_.desktop = &desktop_;
        env_.loop = &loop_;
        env_.registry = &registry_;
        env_.paths = &paths_;
        env_.programFolder = home_.Path();
        env_.shutdownPauseMs = 0;
        env_.options.room = "PokerStars";
        env_.options.nickname = "SeatwatchUser";
        env_.options.logFolder = logFolder_;
    }

    void TearDown() override {
        if (library_ != nullptr) {
            com::SetRegistry(&registry_);
            com::CoFreeUnusedLibraries();
            dlclose(library_);
        }
        com::SetRegistry(nullptr);
    }

    void Register(Plugin plugin) {
        if (plugin == Plugin::kUnregistered) return;
        com::SetRegistry(&registry_);
        library_ = dlopen(SEATWATCH_PAGELINK_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << dlerror();
        auto registerServer =
            reinterpret_cast<com::DllRegisterServerFn>(dlsym(library_, "DllRegisterServer"));
        ASSERT_NE(registerServer, nullptr);
        ASSERT_EQ(registerServer(), com::S_OK);
    }

    std::string Log() const { return ReadText(home_.Path() + "/Seatwatch_log.log"); }
    std::string Ini() const { return ReadText(home_.Path() + "/Seatwatch.ini"); }
    std::string StatusPage() const { return ReadText(home_.Path() + "/Temp/SeatwatchStatus.htm"); }

    // Advances the manual clock and runs what became due.
    void Advance(std::int64_t ms) {
        clock_.Advance(ms);
        loop_.PumpPending();
    }

    ScratchFolder home_;
    std::string logFolder_ = home_ / "histories";
    platform::ManualClock clock_{1'700'000'000};
    platform::EventLoop loop_{clock_};
    platform::RecordingDesktop desktop_{&loop_};
    platform::MemoryRegistry registry_;
    platform::WinPaths paths_{std::nullopt};
    ConsoleEnvironment env_;
    void* library_ = nullptr;
};

TEST_F(ConsoleTest, StartsLoadsAndClosesInOrder) {
    Register(Plugin::kRegistered);
    CDlgMain console(env_);
    ASSERT_TRUE(console.Construct());
    console.OnInitDialog();
    ASSERT_FALSE(console.IsFinished());
    EXPECT_TRUE(desktop_.MessageBoxes().empty());
    EXPECT_EQ(Log(), std::string(kHeader) +
                         "Install: OK\n"
                         "Temp Folder: OK\n"
                         "Clients Detected: OK\n"
                         "Clients Selected: 113\n"
                         "Log Folder: " +
                         logFolder_ +
                         "\n"
                         "Log Folder PT: \n"
                         "Nickname: SeatwatchUser\n"
                         "Startup: OK\n");
    const auto window = desktop_.GetWindow(console.Window());
    ASSERT_TRUE(window);
    EXPECT_EQ(window->title, "Seatwatch Console (v 2.11.03)");
    EXPECT_EQ(window->rect.left, 100);
    EXPECT_EQ(window->rect.top, 100);
    EXPECT_TRUE(loop_.IsTimerArmed(console.Window(), kTimerFirstLoading));
    EXPECT_NE(Ini().find("Start=1"), std::string::npos);
    EXPECT_NE(Ini().find("Version=2.11.03"), std::string::npos);
    EXPECT_NE(Ini().find("Date=23/11/14 22:13:20"), std::string::npos);
    EXPECT_EQ(console.BrowserPath(), "xdg-open");

    Advance(kFirstLoadingDelayMs);
    EXPECT_FALSE(loop_.IsTimerArmed(console.Window(), kTimerFirstLoading));
    EXPECT_TRUE(loop_.IsTimerArmed(console.Window(), kTimerLivePass));
    EXPECT_NE(StatusPage().find("New Hands:&nbsp"), std::string::npos);

    // The user moves the console, then closes it: the position is kept, the
    // generated pages go, and the marker says the run ended in order.
    desktop_.SetWindowPos(console.Window(), platform::kInsertTop, {240, 50, 0, 0},
                          platform::kNoSize | platform::kNoZOrder);
    desktop_.ScriptMessageBox(platform::MessageBoxResult::kNo);
    console.OnCancel();
    EXPECT_FALSE(console.IsFinished());
    console.OnCancel();
    ASSERT_TRUE(console.IsFinished());
    EXPECT_EQ(desktop_.MessageBoxes().back().text, "Do you want to close Seatwatch?");
    EXPECT_EQ(console.GetShutdownReason(), ShutdownReason::kUserClosed);
    EXPECT_EQ(console.ExitCode(), kExitShutdown);
    EXPECT_TRUE(std::filesystem::is_empty(home_.Path() + "/Temp"));
    EXPECT_NE(Ini().find("Start=0"), std::string::npos);
    EXPECT_NE(Ini().find("Console-Top=50"), std::string::npos);
    EXPECT_NE(Ini().find("Console-Left=240"), std::string::npos);
    EXPECT_FALSE(console.PreviousRunCrashed());
}

TEST_F(ConsoleTest, ReopensWhereItWasClosedAndSeesAnEarlierCrash) {
    Register(Plugin::kRegistered);
    rooms_test::WriteFile(home_ / "Seatwatch.ini",
                          "[ph]\nStart=1\n[Positions]\nConsole-Top=70\nConsole-Left=300\n");
    CDlgMain console(env_);
    ASSERT_TRUE(console.Construct());
    console.OnInitDialog();
    EXPECT_TRUE(console.PreviousRunCrashed());
    const auto window = desktop_.GetWindow(console.Window());
    ASSERT_TRUE(window);
    EXPECT_EQ(window->rect.left, 300);
    EXPECT_EQ(window->rect.top, 70);
}

// Saved places the console could not be reached at, and values that are not
// numbers, give the default place; the other settings are kept.
TEST_F(ConsoleTest, AnUnreachableSavedPlaceGivesTheDefault) {
    Register(Plugin::kRegistered);
    for (const char* place :
         {"Console-Top=70\nConsole-Left=99999\n", "Console-Top=-5000\nConsole-Left=300\n",
          "Console-Top=99999\nConsole-Left=-99999\n", "Console-Top=70\nConsole-Left=abc\n",
          "Console-Top=\nConsole-Left=300\n", "Console-Top=7O\nConsole-Left=300\n"}) {
        SCOPED_TRACE(place);
        rooms_test::WriteFile(home_ / "Seatwatch.ini",
                              std::string("[Advanced]\nPokerTracker=1\n[Positions]\n") + place);
        CDlgMain console(env_);
        ASSERT_TRUE(console.Construct());
        console.OnInitDialog();
        const auto window = desktop_.GetWindow(console.Window());
        ASSERT_TRUE(window);
        EXPECT_EQ(window->rect.left, 100);
        EXPECT_EQ(window->rect.top, 100);
        EXPECT_EQ(console.Settings().GetInt("Advanced", "PokerTracker", 0), 1);
        console.Shutdown(ShutdownReason::kUserClosed);
    }
}

TEST_F(ConsoleTest, PlayMoneyWithoutFolderOrNicknameUsesTheDefaults) {
    Register(Plugin::kRegistered);
    std::filesystem::create_directories(home_ / "Temp2");
    CDlgMain console(env_);
    console.SetRoomSelection([](const std::vector<std::string>&) {
        RoomSelectionResult result;
        result.choice = RoomChoice{113, MoneyMode::kPlay, "", "", ""};
        return result;
    });
    ASSERT_TRUE(console.Construct());
    console.OnInitDialog();
    ASSERT_FALSE(console.IsFinished());
    // The log shows the folder as chosen; the session reads the default.
    EXPECT_NE(Log().find("Log Folder: \n"), std::string::npos);
    ASSERT_NE(console.Session(), nullptr);
    EXPECT_EQ(console.Session()->Settings().loggingFolder, home_.Path() + "/Temp2");
    EXPECT_NE(Log().find("Nickname: PlayMoneyPlayer\n"), std::string::npos);
}

// Each way start-up can fail: the message shown, the reason, the last log
// line, and the process's exit code through the application object.
struct FailureCase {
    const char* name;
    Plugin plugin;
    std::function<void(ConsoleTest&, ConsoleEnvironment&)> arrange;
    const char* messageStart;  // empty: no message
    ShutdownReason reason;
    const char* logTail;  // the log after the header
};

class StartupFailureTest : public ConsoleTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(StartupFailureTest, EndsWithItsReason) {
    const FailureCase& c = GetParam();
    SCOPED_TRACE(c.name);
    Register(c.plugin);
    c.arrange(*this, env_);
    CMainApp app(env_);
    EXPECT_EQ(app.InitInstance(), kExitShutdown);
    EXPECT_EQ(app.Console().GetShutdownReason(), c.reason);
    if (*c.messageStart == '\0') {
        EXPECT_TRUE(desktop_.MessageBoxes().empty());
    } else {
        ASSERT_EQ(desktop_.MessageBoxes().size(), 1u);
        EXPECT_EQ(desktop_.MessageBoxes()[0].text.rfind(c.messageStart, 0), 0u)
            << desktop_.MessageBoxes()[0].text;
    }
    EXPECT_EQ(Log(), std::string(kHeader) + c.logTail);
    EXPECT_NE(Ini().find("Start=0"), std::string::npos);
    EXPECT_FALSE(loop_.IsTimerArmed(app.Console().Window(), kTimerFirstLoading));
}

const FailureCase kFailures[] = {
    {"unregistered plug-in", Plugin::kUnregistered, [](ConsoleTest&, ConsoleEnvironment&) {},
     "A problem has been detected with the installation.", ShutdownReason::kBrowserBridgeMissing,
     ""},
    {"temp folder blocked by a file", Plugin::kRegistered,
     [](ConsoleTest&, ConsoleEnvironment& env) {
         rooms_test::WriteFile((env.programFolder / "Temp").string(), "x");
     },
     "The folder '", ShutdownReason::kTempFolder, "Install: OK\n"},
    {"second temp folder blocked by a file", Plugin::kRegistered,
     [](ConsoleTest&, ConsoleEnvironment& env) {
         rooms_test::WriteFile((env.programFolder / "Temp2").string(), "x");
     },
     "The folder '", ShutdownReason::kTempFolder2, "Install: OK\n"},
    {"no clients in the prefix", Plugin::kRegistered,
     [](ConsoleTest&, ConsoleEnvironment& env) { env.options = CommandLineOptions{}; },
     "No supported clients were detected on your computer.", ShutdownReason::kNoClients,
     "Install: OK\nTemp Folder: OK\n"},
    {"unknown room on the command line", Plugin::kRegistered,
     [](ConsoleTest&, ConsoleEnvironment& env) { env.options.room = "NoSuchRoom"; },
     "The room 'NoSuchRoom' is not a supported poker room.",
     ShutdownReason::kRoomSelectionCancelled,
     "Install: OK\nTemp Folder: OK\nClients Detected: OK\n"},
    {"history folder missing", Plugin::kRegistered,
     [](ConsoleTest&, ConsoleEnvironment& env) { env.options.logFolder += "/gone"; },
     "The folder '", ShutdownReason::kRoomSelectionCancelled,
     "Install: OK\nTemp Folder: OK\nClients Detected: OK\n"},
};

INSTANTIATE_TEST_SUITE_P(Paths, StartupFailureTest, ::testing::ValuesIn(kFailures),
                         [](const auto& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p) {
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             }
                             return name;
                         });

TEST_F(ConsoleTest, SecondCopyLeavesSettingsAndLogAlone) {
    Register(Plugin::kRegistered);
    CInstanceLock running(home_.Path());
    ASSERT_EQ(running.GetState(), CInstanceLock::State::kHeld);
    int asked = 0;
    env_.activateRunningCopy = [&asked] {
        ++asked;
        return true;
    };
    bool deskStarted = false;
    env_.startDesk = [&deskStarted](std::string&) { return deskStarted = true; };
    CMainApp app(env_);
    EXPECT_EQ(app.InitInstance(), kExitAlreadyRunning);
    EXPECT_EQ(app.Console().ProcessExitStatus(), kProcessAlreadyRunning);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(deskStarted);
    ASSERT_EQ(desktop_.MessageBoxes().size(), 1u);
    EXPECT_EQ(desktop_.MessageBoxes()[0].text, "A copy of Seatwatch is already running.");
    EXPECT_FALSE(std::filesystem::exists(home_ / "Seatwatch.ini"));
    EXPECT_FALSE(std::filesystem::exists(home_ / "Seatwatch_log.log"));
}

// The intake cycle on the manual clock: timer 2 once, then a live pass two
// seconds after the end of the previous one, never overlapping itself.
class IntakeCycleTest : public ConsoleTest {
  protected:
    void Start() {
        Register(Plugin::kRegistered);
        rooms_test::WriteFile(logFolder_ + "/HH.txt", rooms_test::StarsHandWithGap(1));
        console_ = std::make_unique<CDlgMain>(env_);
        ASSERT_TRUE(console_->Construct());
        console_->OnInitDialog();
        ASSERT_FALSE(console_->IsFinished());
    }
    // The console lets go of the plug-in before the fixture unloads it.
    void TearDown() override {
        console_.reset();
        ConsoleTest::TearDown();
    }
    std::unique_ptr<CDlgMain> console_;
};

TEST_F(IntakeCycleTest, FirstLoadingThenPassesEveryTwoSecondsFromTheEnd) {
    Start();
    // Before timer 2 the console shows no page.
    EXPECT_FALSE(std::filesystem::exists(home_ / "Temp/SeatwatchStatus.htm"));
    Advance(kFirstLoadingDelayMs - 1);
    EXPECT_FALSE(console_->Session()->IsLive());
    Advance(1);
    ASSERT_TRUE(console_->Session()->IsLive());
    // The one-hand notice was shown (and cancelled, so it stays on).
    EXPECT_EQ(console_->Settings().GetInt("Config", "WaitForHandDialog", 1), 1);
    EXPECT_EQ(console_->Settings().GetInt("Reports", "Current", 0), 2);
    EXPECT_EQ(console_->Settings().GetString("Hand Review Report", "Player"), "SeatwatchUser");

    const std::string page = StatusPage();
    EXPECT_NE(page.find("<B>New Hands:&nbsp</B>"), std::string::npos) << page;
    EXPECT_NE(
        page.find(
            "0 <a href=\"../help/TroubleShooting.htm\" target=\"Seatwatch Secondary\">Help</a>"),
        std::string::npos)
        << page;
    EXPECT_NE(page.find("SeatwatchUser (Real Money)"), std::string::npos);
    EXPECT_NE(page.find("11/14/23 22:13:20"), std::string::npos);
    const auto window = desktop_.GetWindow(console_->Window());
    ASSERT_TRUE(window);
    EXPECT_EQ(window->address, home_.Path() + "/Temp/SeatwatchStatus.htm");

    struct Step {
        std::int64_t advanceMs;
        int passesAfter;
    };
    const Step steps[] = {{1999, 0}, {1, 1}, {1999, 1}, {1, 2}, {500, 2}, {1500, 3}};
    for (const Step& step : steps) {
        Advance(step.advanceMs);
        EXPECT_EQ(console_->LivePasses(), step.passesAfter) << "after +" << step.advanceMs << " ms";
    }
}

TEST_F(IntakeCycleTest, NewHandReachesTheStatusPageAndIdlePassesLeaveIt) {
    Start();
    Advance(kFirstLoadingDelayMs);
    Advance(2000);
    ASSERT_EQ(console_->LivePasses(), 1);
    // An idle pass does not rewrite the page.
    std::filesystem::remove(home_ / "Temp/SeatwatchStatus.htm");
    Advance(2000);
    ASSERT_EQ(console_->LivePasses(), 2);
    EXPECT_FALSE(std::filesystem::exists(home_ / "Temp/SeatwatchStatus.htm"));

    rooms_test::AppendFile(logFolder_ + "/HH.txt", rooms_test::StarsHandWithGap(2));
    Advance(2000);
    ASSERT_EQ(console_->LivePasses(), 3);
    EXPECT_EQ(console_->Session()->NewHands(), 1);
    const std::string page = StatusPage();
    EXPECT_NE(page.find("<B>New Hands:&nbsp</B>"), std::string::npos) << page;
    EXPECT_EQ(page.find("Help</a>"), std::string::npos) << page;
}

TEST_F(IntakeCycleTest, APassThatPumpsIsNotOverlapped) {
    Start();
    Advance(kFirstLoadingDelayMs);
    int inside = 0;
    // While the pass reads the new hand, time runs on and timer messages
    // arrive through the pump: they must return at once.
    console_->Session()->SetHandAdded([&](const CHand&) {
        ++inside;
        clock_.Advance(5000);
        console_->OnTimer(kTimerLivePass);
        loop_.PumpPending();
        EXPECT_TRUE(console_->IsTimerBusy());
    });
    rooms_test::AppendFile(logFolder_ + "/HH.txt", rooms_test::StarsHandWithGap(2));
    Advance(2000);
    EXPECT_EQ(inside, 1);
    EXPECT_EQ(console_->LivePasses(), 1);
    EXPECT_FALSE(console_->IsTimerBusy());
    // The next pass comes two seconds after the end of the slow one.
    Advance(1999);
    EXPECT_EQ(console_->LivePasses(), 1);
    Advance(1);
    EXPECT_EQ(console_->LivePasses(), 2);
}

TEST_F(IntakeCycleTest, ShrinkAndExpand) {
    Start();
    desktop_.SetSystemMetric(platform::SystemMetric::kCaptionButtonHeight, 18);
    const auto full = desktop_.GetWindow(console_->Window())->rect;
    console_->ToggleConsoleSize();
    auto state = desktop_.GetWindow(console_->Window());
    EXPECT_EQ(state->rect.Height(), 22);
    EXPECT_EQ(state->rect.Width(), full.Width());
    ASSERT_EQ(state->systemMenu.size(), 2u);
    EXPECT_EQ(state->systemMenu[1].text, "&Expand Seatwatch Console");
    console_->ToggleConsoleSize();
    state = desktop_.GetWindow(console_->Window());
    EXPECT_EQ(state->rect, full);
    EXPECT_EQ(state->systemMenu[1].text, "&Shrink Seatwatch Console");
}

}  // namespace
