#include "app/dlg_main.h"

#include <dlfcn.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "app/console_menu.h"
#include "app/dlg_poker_tracker.h"
#include "app/dlg_select_client.h"
#include "app/program_info.h"
#include "app/setting_values.h"
#include "com/bstr.h"
#include "com/runtime.h"
#include "html/escape.h"
#include "html/html_file.h"
#include "platform/local_time.h"
#include "platform/log.h"
#include "platform/text_util.h"
#include "rooms/client_detector.h"
#include "rooms/room_catalogue.h"

namespace fs = std::filesystem;

namespace {

// The plug-in of an installed program: lib/seatwatch/libpagelink.so beside
// its bin/ folder. Registers it in `registry` (the program folder's store)
// when it is there; whether that succeeded.
bool RegisterInstalledPlugin(platform::Registry& registry) {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return false;
    const fs::path library =
        self.parent_path().parent_path() / "lib" / "seatwatch" / "libpagelink.so";
    if (!fs::is_regular_file(library, ec)) return false;
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return false;
    auto function = reinterpret_cast<com::DllRegisterServerFn>(dlsym(handle, "DllRegisterServer"));
    const bool registered = function != nullptr && !com::Failed(function()) && registry.Flush();
    dlclose(handle);
    return registered;
}

constexpr const char* kSettingsFileName = "Seatwatch.ini";
constexpr const char* kLogFileName = "Seatwatch_log.log";
constexpr const char* kStatusPageName = "SeatwatchStatus.htm";
constexpr const char* kSystemInformationPageName = "PokerStatusInformation.htm";
constexpr const char* kAlertsFileName = "Alerts.ini";
// The help page linked from the status page while no hand has come in.
constexpr const char* kConsoleHelpPage = "../help/TroubleShooting.htm";
constexpr const char* kInitialisingMessage =
    "This feature will be available once the software initialization is complete.";
// The name a page passes for the user's own graph, and for the manual
// calculator.
constexpr const char* kOwnGraphName = "#Seatwatch#";
constexpr const char* kManualCalculatorName = "Seatwatch Manual Calculator";
// The lower time bound for the tables refreshed after a pass: 1 January 1990.
constexpr std::int64_t kTablesSince = 631152000;
constexpr const char* kInstallKey = "Software\\Seatwatch";
constexpr const char* kInstallDateValue = "InstallDate";
constexpr const char* kBrowserKey = "Applications\\iexplore.exe\\shell\\open\\command";
constexpr const char* kPlayMoneyPlayer = "PlayMoneyPlayer";
constexpr const char* kOneHandNotice =
    "Detailed information will be displayed once you have completed the play of 1 hand.";
constexpr const char* kSmallScreenNotice =
    "We detected your screen resolution is 800x600 and recommend you change it to 1024x768 or "
    "greater.";
// The console's size when it is first shown (the desk keeps it afterwards).
constexpr int kConsoleWidth = 330;
constexpr int kConsoleHeight = 190;

// Controls of the one-hand notice dialog.
constexpr int kNoticeText = 1107;
constexpr int kNoticeCheck = 1060;
// The system-menu command that shrinks or expands the console.
constexpr int kToggleCommand = 32;

std::string Format(const char* format, const std::string& value) {
    const int size = std::snprintf(nullptr, 0, format, value.c_str());
    std::string out(static_cast<std::size_t>(size < 0 ? 0 : size), '\0');
    std::snprintf(out.data(), out.size() + 1, format, value.c_str());
    return out;
}

std::string Format(const char* format, long long value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// 1 January 2000, 01:01:01 local time: the installation date when none is
// recorded.
std::int64_t DefaultInstallationDate() {
    const auto t = platform::FromLocal(platform::LocalDateTime{2000, 1, 1, 1, 1, 1});
    return t.value_or(946688461);
}

std::string Utf8(com::BSTR text) { return com::Utf8FromBstr(text); }

std::string Trimmed(std::string_view text) { return std::string(platform::TrimSpace(text)); }

// The items the console adds to its system menu: a separator and the
// shrink or expand command.
std::vector<platform::MenuItem> ConsoleSystemMenu(bool expanded) {
    platform::MenuItem separator;
    separator.separator = true;
    platform::MenuItem toggle;
    toggle.text = expanded ? "&Shrink Seatwatch Console" : "&Expand Seatwatch Console";
    toggle.command = kToggleCommand;
    return {separator, toggle};
}

}  // namespace

// The console's page-command callback, handed to the browser bridge. Its
// lifetime is the console's, so reference counting is a formality.
class CDlgMain::XBrowserSink final : public pagelink::IBrowserSinkNoDispatch {
  public:
    explicit XBrowserSink(CDlgMain& owner) : owner_(owner) {}

    com::HRESULT QueryInterface(com::REFIID riid, void** object) override {
        if (object == nullptr) return com::E_POINTER;
        if (riid == com::IID_IUnknown || riid == pagelink::IID_IBrowserSinkNoDispatch) {
            *object = static_cast<pagelink::IBrowserSinkNoDispatch*>(this);
            return com::S_OK;
        }
        *object = nullptr;
        return com::E_NOINTERFACE;
    }
    com::ULONG AddRef() override { return 2; }
    com::ULONG Release() override { return 1; }

    // Every command returns success whatever happens inside: a page never
    // sees a failure.
    com::HRESULT ToggleWindowSize() override {
        owner_.ToggleConsoleSize();
        return com::S_OK;
    }
    com::HRESULT DisplayGraph(com::BSTR name, com::INT number) override {
        owner_.DisplayGraph(Utf8(name), number);
        return com::S_OK;
    }
    com::HRESULT DisplayHand(com::BSTR handNumber) override {
        owner_.DisplayHand(Utf8(handNumber));
        return com::S_OK;
    }
    com::HRESULT DisplayCalc(com::BSTR name) override {
        owner_.DisplayCalc(Utf8(name));
        return com::S_OK;
    }
    com::HRESULT ChangeReportProperties(com::LONG report, com::BSTR property,
                                        com::LONG value) override {
        owner_.ChangeReportProperties(report, Utf8(property), value);
        return com::S_OK;
    }
    com::HRESULT ChangeReportProperties2(com::LONG report, com::BSTR property,
                                         com::BSTR text) override {
        owner_.ChangeReportProperties2(report, Utf8(property), Utf8(text));
        return com::S_OK;
    }
    com::HRESULT DisplayAlerts(com::BSTR name, com::BSTR key, com::LONG number,
                               com::BSTR page) override {
        owner_.DisplayAlerts(Utf8(name), Utf8(key), number, Utf8(page));
        return com::S_OK;
    }

  private:
    CDlgMain& owner_;
};

CDlgMain::CDlgMain(ConsoleEnvironment env)
    : env_(std::move(env)), callback_(std::make_unique<XBrowserSink>(*this)) {
    if (env_.views != nullptr) views_ = env_.views;
    roomSelection_ = [this](const std::vector<std::string>& detected) {
        const rooms::CClientDetector detector(*env_.registry, *env_.paths, settings_.get());
        return SelectRoomAtStart(
            {env_.desktop, settings_.get(), &detector, env_.registry, env_.paths, window_},
            env_.options, detected);
    };
}

CDlgMain::~CDlgMain() {
    if (window_ != platform::kNoWindow) {
        env_.loop->KillWindowTimers(window_);
        env_.desktop->DestroyWindow(window_);
    }
    if (bridge_) {
        // The bridge is a process-wide singleton: it must not keep a pointer
        // to a callback that is about to go away.
        bridge_->SetCallback(nullptr);
        bridge_.Reset();
    }
    platform::Log::SetSink(nullptr);
}

std::int64_t CDlgMain::Now() const { return env_.loop->GetClock().UnixSeconds(); }
std::int64_t CDlgMain::NowMs() const { return env_.loop->GetClock().MonotonicMs(); }

void CDlgMain::ShowMessage(const std::string& text) {
    env_.desktop->MessageBox(window_, text, kProgramName, platform::MessageBoxButtons::kOk);
}

bool CDlgMain::RefuseProgramFolder(const std::string& why) {
    ShowMessage("The program folder '" + env_.programFolder.string() + "' cannot be used: " + why +
                ".\n\nMake the folder writable, or choose another with --home.");
    Shutdown(ShutdownReason::kProgramFolder);
    return false;
}

bool CDlgMain::Construct() {
    // The lock comes first: a second copy must leave the settings and the
    // log exactly as the running copy has them.
    lock_ = std::make_unique<CInstanceLock>(env_.programFolder);
    if (lock_->GetState() == CInstanceLock::State::kHeldByOther) {
        ShowMessage("A copy of Seatwatch is already running.");
        if (env_.activateRunningCopy && !env_.activateRunningCopy()) {
            std::fprintf(stderr, "seatwatch: the running copy did not answer\n");
        }
        finished_ = true;
        exitCode_ = kExitAlreadyRunning;
        return false;
    }
    if (lock_->GetState() == CInstanceLock::State::kFailed) {
        // Without the lock a second copy could write the same settings and
        // log: the program does not start.
        return RefuseProgramFolder("its lock file cannot be opened (" + lock_->Error() + ")");
    }
    try {
        settings_ = std::make_unique<platform::FileProfile>(
            (env_.programFolder / kSettingsFileName).string(), platform::ProfileAccess::kReadWrite);
        previousRunCrashed_ = ReadSetting(*settings_, setting::kRunning) == 1;
        // Settings and a log that cannot be kept would each fail quietly
        // from here on: the program does not start without them.
        if (!settings_->WriteInt("ph", "Start", 1)) {
            return RefuseProgramFolder("its settings file '" + std::string(kSettingsFileName) +
                                       "' cannot be written");
        }
        internetPort_ = ReadSetting(*settings_, setting::kInternetPort);

        if (!log_.Open((env_.programFolder / kLogFileName).string())) {
            const std::string reason = std::strerror(errno);
            return RefuseProgramFolder("its log '" + std::string(kLogFileName) +
                                       "' cannot be written (" + reason + ")");
        }
        // Platform code reports bad input (a corrupt settings or registry
        // file, a missing prefix) to the same log.
        platform::Log::SetSink([this](std::string_view line) { log_.WriteLine(line); });
        log_.WriteLine("==============================================");
        log_.WriteLine("Seatwatch: Starting on " + platform::FormatLongLocal(Now()));
        log_.WriteLine(std::string("Version: ") + kProgramVersion);
        log_.Flush();

        platform::WindowDescription console;
        console.kind = platform::WindowKind::kHtml;
        console.title = kProgramName;
        console.rect = platform::Rect{100, 100, 100 + kConsoleWidth, 100 + kConsoleHeight};
        console.visible = true;
        window_ = env_.desktop->CreateWindow(console);
        env_.desktop->SetCommandHandler(window_, [this](const platform::Command& command) {
            if (command.kind == platform::CommandKind::kClose) {
                OnCancel();
                return true;
            }
            if (command.kind == platform::CommandKind::kMenu && command.id >= 32 &&
                command.id <= 47) {
                ToggleConsoleSize();
                return true;
            }
            if (command.kind == platform::CommandKind::kMenu) return OnMenuCommand(command.id);
            return false;
        });
        platform::WindowDescription information;
        information.kind = platform::WindowKind::kHtml;
        information.title = "Seatwatch System Information";
        information.rect = platform::Rect::FromSize(460, 100, 420, 300);
        information.owner = window_;
        information.visible = false;
        systemInfoWindow_ = env_.desktop->CreateWindow(information);
        log_.WriteLine("Internet Explorer Test: passed");
    } catch (const std::exception&) {
        ShowMessage(
            "Abnormal Termination. Error: F015.\nPlease contact Seatwatch support if the problem "
            "persists.");
        Shutdown(ShutdownReason::kConstructionException);
        return false;
    }
    std::string deskError;
    if (env_.startDesk && !env_.startDesk(deskError)) {
        ShowMessage("The desk could not be started: " + deskError);
        Shutdown(ShutdownReason::kConstructionException);
        return false;
    }
    return true;
}

void CDlgMain::OnInitDialog() {
    try {
        startupProgress_ = 1;
        env_.desktop->SetSystemMenuItems(window_, ConsoleSystemMenu(true));
        env_.desktop->SetTitle(window_,
                               std::string("Seatwatch Console (v ") + kProgramVersion + ")");
        FindBrowser();
        if (env_.openDeskAtStart && env_.openInBrowser && env_.deskAddress) {
            const std::string desk = env_.deskAddress("/");
            if (!desk.empty()) env_.openInBrowser(browserPath_, desk);
        }
        startupProgress_ = 4;
        log_.Open((env_.programFolder / kLogFileName).string());
        const std::int64_t now = Now();
        settings_->WriteString("Settings", "Date", platform::FormatLocal(now, "%y/%m/%d %H:%M:%S"));
        log_.WriteLine("LocalTime: " + platform::FormatLongLocal(now));
        log_.WriteLine("GMT: " + platform::FormatLongUtc(now));
        log_.WriteLine(
            Format("DST is %s", platform::IsDaylightSaving(now) ? "Enabled" : "Disabled"));
        startupProgress_ = 6;
        if (settings_->GetString("Settings", "Version") != kProgramVersion) {
            settings_->WriteString("Settings", "Version", kProgramVersion);
        }
        installDate_ = ReadInstallationDate();
        startupProgress_ = 7;
        if (!CreateBrowserBridge()) return;
        startupProgress_ = 9;
        if (!PrepareTempFolders()) return;
        startupProgress_ = 10;
        if (!DetectAndSelectRoom()) return;
        startupProgress_ = 16;
        log_.WriteLine("Startup: OK");
        env_.desktop->SetMenu(window_, console_menu::ConsoleMenu());
        env_.loop->SetTimer(window_, kTimerFirstLoading, kFirstLoadingDelayMs,
                            [this] { OnTimer(kTimerFirstLoading); });
    } catch (const std::exception&) {
        ShowMessage(Format("Abnormal Termination. Error: F001.%lld", startupProgress_) +
                    "\nPlease contact Seatwatch support if the problem persists.");
        Shutdown(ShutdownReason::kStartupException);
        return;
    }
    // A coordinate that is not a number, or far off any screen, gives the
    // default place.
    constexpr int kBad = std::numeric_limits<int>::min();
    int left = ReadSetting(*settings_, setting::kConsoleLeft, kBad);
    int top = ReadSetting(*settings_, setting::kConsoleTop, kBad);
    if (left == kBad || top == kBad) {
        left = setting::kConsoleLeft.def;
        top = setting::kConsoleTop.def;
    }
    // A saved place from which the title bar could never be reached (a
    // value edited by hand, a damaged file) gives the default. Places right
    // of or below the work area are kept: the desk may not have reported
    // the browser's size yet, and a larger screen shows them.
    const platform::Rect area = env_.desktop->WorkArea();
    const auto state = env_.desktop->GetWindow(window_);
    const int width = state ? state->rect.Width() : 0;
    constexpr int kReachable = 40;
    constexpr int kLargestScreen = setting::kFarthestPlace;
    if (left + width < area.left + kReachable || top < area.top ||
        left > kLargestScreen - kReachable || top > kLargestScreen - kReachable) {
        left = 100;
        top = 100;
    }
    env_.desktop->SetWindowPos(window_, platform::kInsertTop, platform::Rect{left, top, left, top},
                               platform::kNoSize | platform::kNoZOrder);
}

void CDlgMain::FindBrowser() {
    // The prefix's registered browser, when it names one; the command line
    // is "\"C:\...\browser.exe\" -nohome": the text inside the quotes.
    browserPath_.clear();
    const auto value = env_.registry->QueryValue(platform::RegRoot::kClassesRoot, kBrowserKey, "");
    if (value && value->text.size() > 1) {
        std::string path = value->text.substr(1);
        const std::size_t quote = path.rfind('"');
        if (quote != std::string::npos) path.erase(quote);
        browserPath_ = path;
    }
    if (browserPath_.empty()) browserPath_ = "xdg-open";
}

std::string CDlgMain::ClientFolder() const {
    if (env_.registry == nullptr || env_.paths == nullptr || !session_) return {};
    const rooms::RoomInfo* room = rooms::FindRoom(session_->Settings().roomId);
    if (room == nullptr) return {};
    const rooms::CClientDetector detector(*env_.registry, *env_.paths, settings_.get());
    std::string folder;
    if (!detector.GetInstallFolder(room->name, folder)) return {};
    const auto host = env_.paths->ToHost(folder);
    return host ? host->string() : std::string{};
}

std::int64_t CDlgMain::ReadInstallationDate() {
    const auto value =
        env_.registry->QueryValue(platform::RegRoot::kCurrentUser, kInstallKey, kInstallDateValue);
    if (value && value->type == platform::RegType::kString && !value->text.empty()) {
        try {
            return std::stoll(value->text);
        } catch (const std::exception&) {
            platform::Log::Write("Install date unreadable: " + value->text);
        }
    }
    return DefaultInstallationDate();
}

bool CDlgMain::CreateBrowserBridge() {
    com::SetRegistry(env_.registry);
    com::HRESULT hr =
        com::CoCreateInstance(pagelink::CLSID_BrowserSink, nullptr, com::CLSCTX_INPROC_SERVER,
                              pagelink::IID_IBrowserSink, bridge_.PutVoid());
    // The first start of an installed program registers the plug-in that
    // was installed with it, so that a user never has to.
    if ((com::Failed(hr) || !bridge_) && RegisterInstalledPlugin(*env_.registry)) {
        hr = com::CoCreateInstance(pagelink::CLSID_BrowserSink, nullptr, com::CLSCTX_INPROC_SERVER,
                                   pagelink::IID_IBrowserSink, bridge_.PutVoid());
    }
    if (com::Failed(hr) || !bridge_) {
        char code[32];
        std::snprintf(code, sizeof code, "E001:0x%0x", static_cast<unsigned>(hr));
        ShowMessage(std::string("A problem has been detected with the installation.\n\nPlease "
                                "re-install Seatwatch, or contact Seatwatch support quoting "
                                "the code ") +
                    code + ".");
        Shutdown(ShutdownReason::kBrowserBridgeMissing);
        return false;
    }
    log_.WriteLine("Install: OK");
    log_.Flush();
    bridge_->SetCallback(callback_.get());
    return true;
}

bool CDlgMain::PrepareTempFolders() {
    tempFolder_ = env_.programFolder / "Temp";
    const fs::path temp2 = env_.programFolder / "Temp2";
    const std::pair<fs::path, ShutdownReason> folders[] = {
        {tempFolder_, ShutdownReason::kTempFolder}, {temp2, ShutdownReason::kTempFolder2}};
    for (const auto& [folder, reason] : folders) {
        std::error_code ec;
        fs::create_directory(folder, ec);
        if (!fs::is_directory(folder, ec)) {
            ShowMessage(
                Format("The folder '%s' could not be created.\n\nTo work around this "
                       "problem, you can manually create the folder and restart the "
                       "application.",
                       folder.string()));
            Shutdown(reason);
            return false;
        }
    }
    log_.WriteLine("Temp Folder: OK");
    manualCalculator_ =
        std::make_unique<CDlgManualCalculator>(*env_.desktop, window_, tempFolder_.string());
    return true;
}

bool CDlgMain::DetectAndSelectRoom() {
    std::vector<std::string> detected;
    // A room and a logging folder on the command line stand in for
    // detection: the player watches a folder of histories whatever is
    // installed in the prefix.
    if (!RoomOptionsReplaceDetection(env_.options)) {
        const rooms::CClientDetector detector(*env_.registry, *env_.paths, settings_.get());
        if (detector.DetectClients(detected) == 0) {
            ShowMessage(
                "No supported clients were detected on your computer.\n\nClick OK to view the "
                "current list of supported Poker Rooms.");
            Shutdown(ShutdownReason::kNoClients);
            return false;
        }
    }
    log_.WriteLine("Clients Detected: OK");
    startupProgress_ = 11;
    // Without room options the user answers the room dialog on the desk, so
    // start-up waits for the desk to be opened: a dialog shown before any
    // desk page is connected would be taken as cancelled at once.
    if (!env_.options.HasRoomOptions() && !WaitForDesk()) return false;
    const RoomSelectionResult selected = roomSelection_(detected);
    if (!selected.choice) {
        if (!selected.error.empty()) ShowMessage(selected.error);
        Shutdown(ShutdownReason::kRoomSelectionCancelled);
        return false;
    }
    StartSession(*selected.choice);
    return true;
}

bool CDlgMain::WaitForDesk() {
    if (!env_.deskConnected || env_.deskConnected()) return true;
    std::fprintf(stderr, "seatwatch: open the desk address to choose the poker room\n");
    // The desk's connection arrives as a posted task, which wakes the loop;
    // so does a close request.
    env_.loop->RunUntil([this] { return finished_ || env_.deskConnected(); });
    return !finished_;
}

void CDlgMain::StartSession(const RoomChoice& choice) {
    roomId_ = choice.roomId;
    log_.WriteLine(Format("Clients Selected: %lld", roomId_));
    money_ = choice.money;
    startupProgress_ = 13;
    loggingFolder_ = choice.loggingFolder;
    historicalFolder_ = choice.historicalFolder;
    log_.WriteLine(Format("Log Folder: %s", loggingFolder_));
    log_.WriteLine(Format("Log Folder PT: %s", historicalFolder_));
    nickname_ = choice.nickname;
    if (money_ == MoneyMode::kPlay) {
        if (nickname_.empty()) nickname_ = kPlayMoneyPlayer;
        if (loggingFolder_.empty()) loggingFolder_ = (env_.programFolder / "Temp2").string();
    }
    log_.WriteLine(Format("Nickname: %s", nickname_));

    // The ranges of "Alerts.ini"; a missing file leaves the built-in ones.
    reference_.LoadRanges((env_.programFolder / kAlertsFileName).string());
    IntakeSessionSettings start;
    start.roomId = roomId_;
    start.nickname = nickname_;
    start.money = money_;
    start.loggingFolder = loggingFolder_;
    if (!historicalFolder_.empty()) start.historicalFolders.push_back(historicalFolder_);
    start.outputFolder = tempFolder_.string();
    start.installDate = installDate_;
    startupProgress_ = 12;
    session_ =
        std::make_unique<CIntakeSession>(*settings_, reference_, env_.loop->GetClock(), start);
    session_->SetMessagePump([this] {
        env_.loop->PumpPending();
        // Closed while the first loading pumped: the rest of the loading
        // would only delay the end, so it is left at once.
        if (finished_ && inFirstLoading_) throw LoadingAbandoned{};
    });
    // The analyzer tells the user of a hand it cannot find.
    session_->Analyzer().SetDesktop(env_.desktop);
    // Hand pages, player reports and table pages.
    if (!pages_) pages_ = std::make_unique<CAnalysisPages>();
    session_->Analyzer().SetPages(pages_.get());
    // The console's windows, unless the caller brought its own.
    if (env_.views == nullptr) {
        ConsoleViewContext context;
        context.desktop = env_.desktop;
        context.loop = env_.loop;
        context.clientFolder = ClientFolder();
        context.paths = env_.paths;
        context.console = window_;
        context.settings = settings_.get();
        context.pages = pages_.get();
        context.session = session_.get();
        context.tempFolder = tempFolder_;
        context.programFolder = env_.programFolder;
        context.assetsFolder = env_.assetsFolder;
        context.log = [this](const std::string& line) { log_.WriteLine(line); };
        context.consoleCommand = [this](int command) { OnMenuCommand(command); };
        context.sessionStart = [this] { return sessionStart_; };
        ownViews_ = std::make_unique<CConsoleViews>(context);
        views_ = ownViews_.get();
    }
    session_->SetLoadProgress([this](const LogLoadProgress&) { WriteStatusPage(); });

    startupProgress_ = 14;
    sessionStart_ = Now();
    lastTimerPassMs_ = NowMs();
    startupProgress_ = 15;
    if (const auto state = env_.desktop->GetWindow(window_)) fullRect_ = state->rect;
    shrunkRect_ = fullRect_;
    shrunkRect_.bottom =
        fullRect_.top + 2 * env_.desktop->GetSystemMetric(platform::SystemMetric::kBorderHeight) +
        env_.desktop->GetSystemMetric(platform::SystemMetric::kCaptionButtonHeight);
}

void CDlgMain::OnTimer(int timerId) {
    if (finished_) return;
    if (timerId == kTimerFirstLoading) {
        FirstLoading();
    } else if (timerId == kTimerLivePass) {
        LivePass();
    }
}

void CDlgMain::FirstLoading() {
    loadStart_ = NowMs();
    WriteStatusPage();
    env_.loop->KillTimer(window_, kTimerFirstLoading);
    inFirstLoading_ = true;
    try {
        session_->FirstLoading();
    } catch (const LoadingAbandoned&) {
    }
    inFirstLoading_ = false;
    // A close request answered while the loading pumped messages has ended
    // the run; nothing more is shown.
    if (finished_) return;
    loadDurationMs_ = NowMs() - loadStart_;
    WriteStatusPage();

    // The report window opens on the player's own hand review.
    settings_->WriteInt("Reports", "Current", 2);
    settings_->WriteInt("Hand Review Report", "Type", 1);
    settings_->WriteInt("Hand Review Report", "Period", 2);
    settings_->WriteString("Hand Review Report", "Player", nickname_);
    settings_->WriteInt("Players Report", "Hands", 25);
    views_->ShowReport(IConsoleViews::kHandReviewReport, nickname_);

    // The notices are for someone to read: on a desk no browser has opened
    // yet they wait (without holding up the intake) until one has.
    const bool seen = !env_.deskConnected || env_.deskConnected();
    if (seen) ShowNotices();
    if (finished_) return;
    lastTimerPassMs_ = NowMs();
    env_.loop->SetTimer(window_, kTimerLivePass, kLivePassIntervalMs,
                        [this] { OnTimer(kTimerLivePass); });
    if (!seen) {
        env_.loop->SetTimer(window_, kTimerNotices, kNoticeWaitMs, [this] {
            if (finished_ || !env_.deskConnected()) return;
            env_.loop->KillTimer(window_, kTimerNotices);
            ShowNotices();
        });
    }
}

void CDlgMain::ShowNotices() {
    ShowNoticeOnce("WaitForHandDialog", kOneHandNotice);
    if (finished_) return;
    if (env_.desktop->WorkArea().Width() <= 800) {
        ShowNoticeOnce("ScreenResolution", kSmallScreenNotice);
    }
}

void CDlgMain::ShowNoticeOnce(const char* key, const char* text) {
    const IntSetting shown{"Config", key, 1, 0, 1};
    if (ReadSetting(*settings_, shown) == 0) return;
    platform::DialogDescription notice;
    notice.title = kProgramName;
    notice.width = 320;
    notice.height = 130;
    notice.controls = {
        MakeControl(kNoticeText, platform::ControlKind::kStatic, text, {10, 10, 310, 50}),
        MakeControl(kNoticeCheck, platform::ControlKind::kCheckBox,
                    "Do not show this message in the future.", {10, 60, 310, 80}),
        MakeControl(platform::kIdOk, platform::ControlKind::kButton, "OK", {125, 90, 195, 115}),
    };
    const platform::DialogResult result =
        env_.desktop->RunDialog(window_, notice, [](const platform::Command&) { return false; });
    const platform::Control* box = result.Find(kNoticeCheck);
    if (box != nullptr && box->checked) {
        // The one-hand key keeps its historical spelling; keys match without
        // regard to case.
        const std::string written =
            std::string(key) == "WaitForHandDialog" ? "WaitForhandDialog" : key;
        settings_->WriteInt("Config", written, 0);
    }
}

void CDlgMain::LivePass() {
    if (session_ == nullptr || !session_->IsLive()) return;
    if (NowMs() - lastTimerPassMs_ < kLivePassIntervalMs || timerBusy_) return;
    timerBusy_ = true;
    env_.loop->KillTimer(window_, kTimerLivePass);
    const IntakeStepResult result = session_->LivePass();
    ++livePasses_;
    if (result.outcome == IntakeOutcome::kRan && result.handsAdded > 0 && !finished_) {
        // The status page was rewritten by the session's progress callback;
        // the table windows and the graph windows follow.
        RefreshTableWindows();
        views_->RefreshGraphs();
    }
    timerBusy_ = false;
    if (finished_) return;
    env_.loop->SetTimer(window_, kTimerLivePass, kLivePassIntervalMs,
                        [this] { OnTimer(kTimerLivePass); });
    lastTimerPassMs_ = NowMs();
}

void CDlgMain::WriteStatusPage() {
    if (tempFolder_.empty()) return;
    const bool live = session_ != nullptr && session_->IsLive();
    CHtmlFile page;
    page.Open((tempFolder_ / kStatusPageName).string());
    page.BeginDocument();
    page.BeginBody();
    page.BeginTable(2, 100, "CENTER");
    page.BeginRow(-1);
    page.HeaderCell("Description");
    page.HeaderCell("Status");
    page.EndRow();
    auto row = [&page](int index, const std::string& label, const std::string& value) {
        page.BeginRow(index);
        page.DataCell("<B>" + label + "</B>", -1, 0);
        page.DataCell(value, -1, 0);
        page.EndRow();
    };
    if (live) {
        const int newHands = session_->NewHands();
        std::string value = Format("%lld", newHands);
        if (newHands == 0) {
            value += Format(" <a href=\"%s\" target=\"Seatwatch Secondary\">Help</a>",
                            std::string(kConsoleHelpPage));
        }
        row(0, "New Hands:&nbsp", value);
    } else {
        const int files = session_ != nullptr ? session_->FileCount() : 0;
        row(0, "Initializing:&nbsp", Format("Loading: %lld files", files));
    }
    // The nickname is the user's own text: it is page text, escaped.
    row(1, "Nickname:&nbsp",
        html::EscapeText(nickname_) +
            (money_ == MoneyMode::kReal ? " (Real Money)" : " (Play Money)"));
    row(2, "Session started:&nbsp", platform::FormatLocal(sessionStart_, "%m/%d/%y %H:%M:%S"));
    page.EndTable();
    page.EndBody();
    page.EndDocument();
    // A page that cannot be written leaves the previous one on the console.
    if (page.Close()) env_.desktop->Navigate(window_, page.Path());
    lastStatusRefresh_ = Now();
}

void CDlgMain::ToggleConsoleSize() {
    expanded_ = !expanded_;
    env_.desktop->SetSystemMenuItems(window_, ConsoleSystemMenu(expanded_));
    const auto state = env_.desktop->GetWindow(window_);
    const platform::Rect at = state ? state->rect : fullRect_;
    int height = fullRect_.Height();
    if (!expanded_) {
        shrunkRect_ = fullRect_;
        shrunkRect_.bottom =
            fullRect_.top +
            env_.desktop->GetSystemMetric(platform::SystemMetric::kCaptionButtonHeight) + 4;
        height = shrunkRect_.Height();
    }
    env_.desktop->SetWindowPos(
        window_, platform::kInsertTop,
        platform::Rect{at.left, at.top, at.left + fullRect_.Width(), at.top + height},
        platform::kNoMove | platform::kNoZOrder);
    WriteStatusPage();
}

void CDlgMain::OnCancel() {
    if (finished_) return;
    if (env_.desktop->MessageBox(window_, "Do you want to close Seatwatch?", kProgramName,
                                 platform::MessageBoxButtons::kYesNo) !=
        platform::MessageBoxResult::kYes) {
        return;
    }
    Close(env_.shutdownPauseMs);
}

void CDlgMain::CloseNow() {
    if (finished_) return;
    Close(0);
}

void CDlgMain::Close(std::int64_t pauseMs) {
    if (finished_) return;
    if (const auto state = env_.desktop->GetWindow(window_)) {
        settings_->WriteInt("Positions", "Console-Top", state->rect.top);
        settings_->WriteInt("Positions", "Console-Left", state->rect.left);
    }
    // The generated pages go; errors are ignored, a page in use stays.
    std::error_code ec;
    for (fs::directory_iterator it(tempFolder_, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code removeError;
        if (it->is_regular_file(removeError)) fs::remove(it->path(), removeError);
    }
    const std::int64_t designedPause = env_.shutdownPauseMs;
    env_.shutdownPauseMs = pauseMs;
    Shutdown(ShutdownReason::kUserClosed);
    env_.shutdownPauseMs = designedPause;
}

void CDlgMain::BringToFront() {
    if (window_ == platform::kNoWindow || finished_) return;
    // The desk minimises panels and raises them on the user's clicks by
    // itself, without telling the program: the console may be restored and
    // on top here while minimised or under another panel there. So its state
    // is sent again whole: minimised then restored, lowered then raised.
    env_.desktop->Show(window_, platform::ShowMode::kMinimize);
    env_.desktop->Show(window_, platform::ShowMode::kRestore);
    env_.desktop->SetWindowPos(window_, platform::kInsertBottom, platform::Rect{},
                               platform::kNoMove | platform::kNoSize);
    env_.desktop->BringToTop(window_);
}

pagelink::IBrowserSinkNoDispatch* CDlgMain::PageCallback() { return callback_.get(); }

int CDlgMain::ProcessExitStatus() const {
    return ::ProcessExitStatus(exitCode_, static_cast<int>(reason_));
}

std::string WrapLongFolder(const std::string& folder) {
    // Host paths separate with "/", Windows paths with "\\": either counts.
    constexpr std::size_t kWrapAt = 35;
    if (folder.size() <= kWrapAt) return folder;
    const std::size_t at = folder.find_first_of("\\/", kWrapAt);
    if (at == std::string::npos) return " " + folder;
    return folder.substr(0, at + 1) + " " + folder.substr(at + 1);
}

int ProcessExitStatus(int exitCode, int shutdownReason) {
    if (exitCode == kExitAlreadyRunning) return kProcessAlreadyRunning;
    if (exitCode != kExitShutdown) return exitCode & 0xFF;
    if (shutdownReason == static_cast<int>(ShutdownReason::kUserClosed)) return 0;
    return shutdownReason & 0xFF;
}

void CDlgMain::Shutdown(ShutdownReason reason) {
    if (finished_) return;
    finished_ = true;
    if (views_->IsReportWindowVisible()) views_->HideReportWindow();
    views_->HideHandViewer();
    reason_ = reason;
    if (window_ != platform::kNoWindow) env_.loop->KillWindowTimers(window_);
    if (settings_) settings_->WriteInt("ph", "Start", 0);
    log_.Flush();
    if (env_.shutdownPauseMs > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(env_.shutdownPauseMs));
    }
    exitCode_ = kExitShutdown;
    env_.loop->Quit(exitCode_);
}

bool CDlgMain::IsLive() const { return session_ != nullptr && session_->IsLive(); }

void CDlgMain::ShowOnTop(platform::WindowId window) {
    if (window == platform::kNoWindow) return;
    env_.desktop->Show(window, platform::ShowMode::kShow);
    env_.desktop->BringToTop(window);
}

void CDlgMain::RefreshTableWindows() {
    if (session_ == nullptr) return;
    CHandAnalyzer& analyzer = session_->Analyzer();
    for (const std::string& table : analyzer.TablesSince(kTablesSince)) {
        const std::string page = analyzer.WriteTablePage(table);
        if (!page.empty()) views_->ShowTableWindow(table, page);
    }
}

bool CDlgMain::OnMenuCommand(int command) {
    namespace menu = console_menu;
    if (finished_) return true;
    if (const std::string_view help = menu::HelpPageFor(command); !help.empty()) {
        OpenHelpPage(help);
        return true;
    }
    switch (command) {
        case menu::kExit:
            OnCancel();
            return true;
        case menu::kManualCalculator:
            if (manualCalculator_) ShowOnTop(manualCalculator_->Window());
            return true;
        case menu::kReportWindow:
            if (money_ == MoneyMode::kPlay) {
                ShowMessage("This feature is only available to Real Money Players.");
            } else if (!IsLive()) {
                ShowMessage(
                    "Reports will be available once the software initialization is "
                    "complete.");
            } else {
                views_->ShowReport(ReadSetting(*settings_, setting::kCurrentReport), std::string());
            }
            return true;
        case menu::kSystemInformation: {
            const std::string page = WriteSystemInformationPage();
            if (!page.empty()) env_.desktop->Navigate(systemInfoWindow_, page);
            ShowOnTop(systemInfoWindow_);
            return true;
        }
        case menu::kOptions:
            if (!IsLive()) {
                ShowMessage(kInitialisingMessage);
            } else {
                CDlgPokerTracker(*env_.desktop, *settings_).DoModal(window_);
            }
            return true;
        case menu::kResetStatistics:
            ResetSessionStatistics();
            return true;
        case menu::kOverlayConfig: {
            IConsoleViews::OverlaySwitches switches = overlay_;
            if (views_->RunOverlayConfig(switches)) overlay_ = switches;
            return true;
        }
        default:
            return false;
    }
}

void CDlgMain::OpenHelpPage(std::string_view page) {
    const std::string path = "/help/" + std::string(page);
    std::string address = env_.deskAddress ? env_.deskAddress(path) : std::string();
    if (address.empty()) address = (env_.assetsFolder / "help" / std::string(page)).string();
    if (env_.openInBrowser) env_.openInBrowser(browserPath_, address);
}

void CDlgMain::ResetSessionStatistics() {
    if (!IsLive()) {
        ShowMessage(kInitialisingMessage);
        return;
    }
    session_->Analyzer().EndSession();
    RefreshTableWindows();
    sessionStart_ = Now();
    session_->ResetNewHands();
    views_->RefreshGraphs();
    if (views_->IsReportWindowVisible()) views_->ShowReport(-1, std::string());
    WriteStatusPage();
}

std::string CDlgMain::WriteSystemInformationPage() {
    if (tempFolder_.empty()) return {};
    CHtmlFile page;
    page.Open((tempFolder_ / kSystemInformationPageName).string());
    page.BeginDocument();
    page.BeginBody();
    page.BeginTable(2, 100, "CENTER");
    page.BeginRow(-1);
    page.DataCell(
        "<font size='+1'><FONT COLOR='#CC0000'>Seatwatch System Information</FONT></font>", 0, 0);
    page.EndRow();
    page.EndTable();
    page.BeginTable(2, 100, "CENTER");
    page.BeginRow(-1);
    page.HeaderCell("Description");
    page.HeaderCell("Status");
    page.EndRow();
    int index = 0;
    auto row = [&page, &index](const std::string& label, const std::string& value) {
        page.BeginRow(index++);
        page.DataCell("<B>" + label + "</B>", -1, 0);
        page.DataCell(value, -1, 0);
        page.EndRow();
    };
    // Names and folders are the user's and the client's text: escaped.
    row("Poker Room:&nbsp", html::EscapeText(settings_->GetString("Poker Rooms", "Active Room")));
    row("Nickname:&nbsp", html::EscapeText(nickname_));
    row("Game Type:&nbsp", money_ == MoneyMode::kReal ? "Real Money" : "Play Money");
    row("Logging Folder:&nbsp", html::EscapeText(WrapLongFolder(loggingFolder_)));
    if (ReadSetting(*settings_, setting::kPokerTracker) != 0) {
        row("Historical File Folder:&nbsp", html::EscapeText(historicalFolder_));
    }
    const unsigned files = session_ ? static_cast<unsigned>(session_->FileCount()) : 0u;
    const std::uint64_t bytes = session_ ? session_->TotalFileBytes() : 0u;
    row("Log File Count:&nbsp", Format("%llu files", static_cast<long long>(files)));
    row("Size of Log Files:&nbsp", Format("%llu KB", static_cast<long long>(bytes / 1024)));
    row("Installed:&nbsp", platform::FormatLocal(installDate_, "%m/%d/%y %H:%M:%S"));
    page.EndTable();
    page.EndBody();
    page.EndDocument();
    if (!page.Close()) return {};
    return page.Path();
}

void CDlgMain::DisplayGraph(std::string_view name, int number) {
    // The page escaped the key for its script string.
    std::string player = html::UnescapeNameFromScript(Trimmed(name));
    if (player == kOwnGraphName) player = nickname_;
    std::string key = player;
    if (settings_ && ReadSetting(*settings_, setting::kReuseGraphWindow) != 0) {
        // One shared window: an empty name shows the last player graphed.
        key = nickname_;
        if (!player.empty()) {
            lastGraphPlayer_ = player;
        } else {
            player = lastGraphPlayer_;
        }
    }
    views_->ShowGraph(key, player, number);
}

void CDlgMain::DisplayHand(std::string_view handNumber) {
    // An unsigned decimal number at the start of the text; anything else is
    // hand 0, which no analyzer holds.
    std::uint64_t number = 0;
    std::string_view text = platform::TrimSpace(handNumber);
    for (const char c : text) {
        if (c < '0' || c > '9') break;
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (number > (UINT64_MAX - digit) / 10) {
            number = 0;
            break;
        }
        number = number * 10 + digit;
    }
    if (session_ == nullptr) return;
    const std::string page = session_->Analyzer().ShowHand(number);
    if (!page.empty()) views_->ShowHand(page);
}

void CDlgMain::DisplayCalc(std::string_view name) {
    if (name == kManualCalculatorName) {
        if (manualCalculator_) ShowOnTop(manualCalculator_->Window());
        return;
    }
    views_->ShowTableCalculator(std::string(name));
}

void CDlgMain::ChangeReportProperties(int report, std::string_view property, int value) {
    if (!settings_) return;
    platform::Profile& s = *settings_;
    if (report == -1) report = ReadSetting(s, setting::kCurrentReport, 0);
    s.WriteInt("Reports", "Current", report);
    // A sort column chosen again flips the direction; a new one keeps it.
    const auto sortColumn = [&s, value](const char* section) {
        const int old = s.GetInt(section, "Sort", -1);
        const IntSetting order{section, "SortO", 1, 0, 1};
        int direction = ReadSetting(s, order);
        if (old == value) direction = ReadSetting(s, order, 0) == 0 ? 1 : 0;
        s.WriteInt(section, "Sort", value);
        s.WriteInt(section, "SortO", direction);
    };
    if (!property.empty()) {
        if (report == 0 || report == 2) {
            if (property == "GT") {
                if (value >= 1 && value <= 4) s.WriteInt("Reports", "Type", value);
            } else if (property == "TP") {
                if (value >= 1 && value <= 5) s.WriteInt("Hand Review Report", "Period", value - 1);
            } else if (property == "SC") {
                sortColumn("Hand Review Report");
            } else if (property == "FT") {
                if (value >= 0 && value <= 2) s.WriteInt("Hand Review Report", "Filter", value);
            }
        } else if (report == 1) {
            if (property == "GT") {
                if (value >= 1 && value <= 4) s.WriteInt("Reports", "Type", value);
            } else if (property == "HC") {
                s.WriteInt("Players Report", "Hands", value);
            } else if (property == "SC") {
                sortColumn("Players Reports");
            }
        }
    }
    ShowCurrentReport();
}

void CDlgMain::ChangeReportProperties2(int report, std::string_view property,
                                       std::string_view text) {
    if (!settings_) return;
    settings_->WriteInt("Reports", "Current", report);
    if (!property.empty() && (report == 0 || report == 2) && property == "PN") {
        // The page escaped the name for its script string.
        settings_->WriteString("Hand Review Report", "Player",
                               html::UnescapeNameFromScript(Trimmed(text)));
    }
    ShowCurrentReport();
}

void CDlgMain::DisplayAlerts(std::string_view name, std::string_view key, int number,
                             std::string_view page) {
    views_->ShowAlerts(Trimmed(name), Trimmed(key), number, std::string(page));
}

void CDlgMain::ShowCurrentReport() {
    // A number no report has (a page may have passed it) shows nothing.
    const int current = settings_ ? settings_->GetInt("Reports", "Current", 2) : 2;
    if (current == 0 || current == 1 || current == 2) views_->ShowReport(current, std::string());
}
