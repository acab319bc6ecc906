#pragma once
// CDlgMain: the console. It owns everything long-lived for the life of the
// program: the settings file, the program log, the browser bridge, the intake
// session (room profile and hand analyzer) and the console window. It runs
// the start-up sequence (Construct, then OnInitDialog), the intake cycle on
// its window timers (timer 2 once for the first loading, then timer 1 every
// two seconds counted from the end of the previous pass), the status page,
// the close request and Shutdown.
//
// Shutdown never returns to the start-up step that called it: every step
// checks IsFinished(). The process ends when main() sees the event loop stop;
// ExitCode() is then the code to end it with.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/hand_reference.h"
#include "app/command_line.h"
#include "app/console_views.h"
#include "app/program_folder.h"
#include "app/program_log.h"
#include "app/room_selection.h"
#include "calc/dlg_manual_calculator.h"
#include "com/com_ptr.h"
#include "pagelink/interfaces.h"
#include "pages/analysis_pages.h"
#include "platform/desktop.h"
#include "platform/event_loop.h"
#include "platform/file_profile.h"
#include "platform/registry.h"
#include "platform/win_paths.h"
#include "rooms/intake_session.h"

// Reason codes passed to Shutdown; they select the path, the user has seen
// the message before.
enum class ShutdownReason : int {
    kUserClosed = 1,
    kBrowserBridgeMissing = 104,
    kTempFolder = 105,
    kTempFolder2 = 106,
    kProgramFolder = 107,  // the program folder cannot be created, written or locked
    kNoClients = 109,
    kRoomSelectionCancelled = 110,
    kStartupException = 200,
    kConstructionException = 201,
};

// Exit codes of the process.
inline constexpr int kExitShutdown = 39744;
inline constexpr int kExitAlreadyRunning = 4874;

// The console's timers and its command ids.
inline constexpr int kTimerLivePass = 1;
inline constexpr int kTimerFirstLoading = 2;
// Waits for a desk page before the notices after the first loading.
inline constexpr int kTimerNotices = 3;
inline constexpr std::int64_t kNoticeWaitMs = 500;
inline constexpr std::int64_t kFirstLoadingDelayMs = 10;
inline constexpr std::int64_t kLivePassIntervalMs = 2000;

// What the console is started with; everything borrowed outlives the console.
struct ConsoleEnvironment {
    platform::Desktop* desktop = nullptr;
    platform::EventLoop* loop = nullptr;
    // The Wine prefix's registry with the program's own store: client
    // detection, the browser path, the installation date and the plug-in's
    // registration.
    platform::Registry* registry = nullptr;
    const platform::WinPaths* paths = nullptr;
    std::filesystem::path programFolder;
    std::filesystem::path assetsFolder;
    CommandLineOptions options;
    // The pause before the process ends (tests set 0).
    std::int64_t shutdownPauseMs = 1000;

    // The windows of the later parts (reports, hand viewer, graphs, table
    // windows, overlay options); null: none yet, their commands do nothing.
    IConsoleViews* views = nullptr;

    // The desk beyond its windows; every hook may be empty (tests,
    // --headless). startDesk starts serving once this copy holds the
    // instance lock and its console exists; false, with a reason, ends the
    // program.
    std::function<bool(std::string& error)> startDesk;
    // The browser address of a served path ("/" is the desk itself) with the
    // run's token; empty when there is no desk.
    std::function<std::string(const std::string& path)> deskAddress;
    // Opens an address with the browser found at start-up.
    std::function<void(const std::string& browser, const std::string& address)> openInBrowser;
    // Whether the desk is opened in the browser once the browser is found.
    bool openDeskAtStart = false;
    // Whether someone can see the desk (a desk page is connected); empty:
    // always (the recording desktop, --headless).
    std::function<bool()> deskConnected;
    // A second copy's request to the running one: bring your console to the
    // front. True when the running copy accepted it.
    std::function<bool()> activateRunningCopy;
};

// What the process really returns: exit statuses are 8 bits on Linux, so the
// designed codes (kept by ExitCode()) are mapped to ones that survive: 0 when
// the user closed the program, the shutdown reason code (104 to 201) when
// start-up failed, and kProcessAlreadyRunning (4874's low byte) for a second
// copy.
inline constexpr int kProcessAlreadyRunning = kExitAlreadyRunning & 0xFF;
int ProcessExitStatus(int exitCode, int shutdownReason);

// A folder as the system information page shows it: one longer than 35
// characters gets a blank after the first "\\" (or "/") at or after position
// 35, at the very start when there is none, so that the browser can wrap it.
std::string WrapLongFolder(const std::string& folder);

class CDlgMain {
  public:
    // The room selection step: given the detected room names, the chosen
    // room, or a cancel. The default uses the command line's room options.
    using RoomSelection = std::function<RoomSelectionResult(const std::vector<std::string>&)>;

    explicit CDlgMain(ConsoleEnvironment env);
    ~CDlgMain();
    CDlgMain(const CDlgMain&) = delete;
    CDlgMain& operator=(const CDlgMain&) = delete;

    // Construction of the console: the single-instance lock, the crash
    // marker, the program log and its header, the console window. False when
    // the program must end at once (IsFinished() and ExitCode() say how).
    bool Construct();
    // The start-up sequence; on success timer 2 is armed, on failure
    // Shutdown has run.
    void OnInitDialog();
    // The window timer handler.
    void OnTimer(int timerId);
    // The close request: asks, and on yes saves the position, empties the
    // temp folder and shuts down.
    void OnCancel();
    // Marks the orderly end in the settings, pauses, and stops the event loop
    // with ExitCode() = 39744.
    void Shutdown(ShutdownReason reason);

    // Closes without asking (a signal, or the terminal going away): saves the
    // position, empties the temp folder and shuts down at once.
    void CloseNow();
    // Runs the event loop until a desk page is connected (at once without a
    // desk); false when the program was closed meanwhile. Start-up waits so
    // before the room dialog, which nobody could answer before.
    bool WaitForDesk();
    // Shows the console and puts it on top of the desk (a second copy asked).
    void BringToFront();
    // The exit status the process ends with (see ProcessExitStatus).
    int ProcessExitStatus() const;
    // The page-command callback this console hands to the browser bridge.
    pagelink::IBrowserSinkNoDispatch* PageCallback();

    // A menu command of the console (the ids of app/console_menu.h, and
    // 32805 for the overlay options); false for an id it does not know.
    bool OnMenuCommand(int command);
    // Opens a help page ("FAQ.htm") of the assets' help/ folder in the
    // browser, in a page of its own.
    void OpenHelpPage(std::string_view page);
    // Writes "PokerStatusInformation.htm" in the temp folder; its path, or
    // empty when it could not be written.
    std::string WriteSystemInformationPage();
    // Resets the session statistics (once the first loading has finished).
    void ResetSessionStatistics();

    // The page commands, as the callback receives them (strings in UTF-8).
    void DisplayGraph(std::string_view name, int number);
    void DisplayHand(std::string_view handNumber);
    void DisplayCalc(std::string_view name);
    void ChangeReportProperties(int report, std::string_view property, int value);
    void ChangeReportProperties2(int report, std::string_view property, std::string_view text);
    void DisplayAlerts(std::string_view name, std::string_view key, int number,
                       std::string_view page);
    // Shows "Reports"/"Current" in the report window: 0 or 2 the hand review
    // report, 1 the players report, anything else nothing.
    void ShowCurrentReport();

    // Writes "SeatwatchStatus.htm" in the temp folder and shows it.
    void WriteStatusPage();
    // Shrinks or expands the console.
    void ToggleConsoleSize();

    void SetRoomSelection(RoomSelection selection) { roomSelection_ = std::move(selection); }

    bool IsFinished() const { return finished_; }
    int ExitCode() const { return exitCode_; }
    ShutdownReason GetShutdownReason() const { return reason_; }
    // True when the crash marker showed that the previous run did not end in order.
    bool PreviousRunCrashed() const { return previousRunCrashed_; }
    platform::WindowId Window() const { return window_; }
    bool IsTimerBusy() const { return timerBusy_; }
    bool IsExpanded() const { return expanded_; }
    const std::filesystem::path& TempFolder() const { return tempFolder_; }
    const std::string& BrowserPath() const { return browserPath_; }
    CIntakeSession* Session() { return session_.get(); }
    platform::Profile& Settings() { return *settings_; }
    // Live passes that ran since start-up (for tests and the status page).
    int LivePasses() const { return livePasses_; }
    std::int64_t InstallationDate() const { return installDate_; }
    // The manual calculator (made once the temp folders exist), or null.
    CDlgManualCalculator* ManualCalculator() { return manualCalculator_.get(); }
    platform::WindowId SystemInformationWindow() const { return systemInfoWindow_; }
    const IConsoleViews::OverlaySwitches& OverlaySwitches() const { return overlay_; }
    // The last player graphed while graphs share one window.
    const std::string& LastGraphPlayer() const { return lastGraphPlayer_; }

  private:
    // Shows why the program folder cannot be used (`why` follows the
    // folder's name) and shuts down with kProgramFolder; false.
    bool RefuseProgramFolder(const std::string& why);
    class XBrowserSink;
    // Thrown out of the message pump to leave a first loading that the
    // user's close has made useless.
    struct LoadingAbandoned {};

    std::int64_t Now() const;
    std::int64_t NowMs() const;
    // Start-up steps; each returns false after calling Shutdown.
    void FindBrowser();
    bool CreateBrowserBridge();
    bool PrepareTempFolders();
    bool DetectAndSelectRoom();
    void StartSession(const RoomChoice& choice);
    std::int64_t ReadInstallationDate();
    // The host path of the session's client's installation folder, or empty.
    std::string ClientFolder() const;
    // Timer branches.
    void FirstLoading();
    void LivePass();
    void ShowNoticeOnce(const char* key, const char* text);
    // The one-hand notice, then the small-screen notice when it applies.
    void ShowNotices();
    void ShowMessage(const std::string& text);
    bool IsLive() const;
    void ShowOnTop(platform::WindowId window);
    // Writes the page of each table with recent hands and shows or refreshes
    // its table information window.
    void RefreshTableWindows();
    // The close request after the user said yes (or was not asked).
    void Close(std::int64_t pauseMs);

    ConsoleEnvironment env_;
    RoomSelection roomSelection_;
    std::unique_ptr<CInstanceLock> lock_;
    std::unique_ptr<platform::FileProfile> settings_;
    CProgramLog log_;
    std::unique_ptr<XBrowserSink> callback_;
    com::ComPtr<pagelink::IBrowserSink> bridge_;
    CHandReference reference_;
    // The writers of the pages the analyzer is asked for; outlives session_.
    std::unique_ptr<CAnalysisPages> pages_;
    std::unique_ptr<CIntakeSession> session_;
    platform::WindowId window_ = platform::kNoWindow;
    platform::WindowId systemInfoWindow_ = platform::kNoWindow;
    std::unique_ptr<CDlgManualCalculator> manualCalculator_;
    IConsoleViews defaultViews_;
    std::unique_ptr<CConsoleViews> ownViews_;
    IConsoleViews* views_ = &defaultViews_;
    IConsoleViews::OverlaySwitches overlay_{true, true, true, true, true, true, true, true};
    std::string lastGraphPlayer_;

    std::filesystem::path tempFolder_;
    std::string browserPath_;
    std::string nickname_;
    std::string loggingFolder_;
    std::string historicalFolder_;
    int roomId_ = 0;
    MoneyMode money_ = MoneyMode::kReal;
    int internetPort_ = 80;
    int startupProgress_ = 0;

    std::int64_t installDate_ = 0;
    std::int64_t sessionStart_ = 0;
    std::int64_t loadStart_ = 0;
    std::int64_t loadDurationMs_ = 0;
    std::int64_t lastTimerPassMs_ = 0;  // monotonic end of the last pass
    std::int64_t lastStatusRefresh_ = 0;
    bool timerBusy_ = false;
    bool inFirstLoading_ = false;
    bool expanded_ = true;
    platform::Rect fullRect_;
    platform::Rect shrunkRect_;
    int livePasses_ = 0;

    bool previousRunCrashed_ = false;
    bool finished_ = false;
    int exitCode_ = 0;
    ShutdownReason reason_ = ShutdownReason::kUserClosed;
};
