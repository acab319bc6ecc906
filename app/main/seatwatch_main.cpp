// The seatwatch program: parses the command line, lays out the program
// folder, puts the desk up (or runs headless), and runs the application
// object on the user-interface thread.
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <iostream>
#include <memory>
#include <thread>

#include "app/browser_launcher.h"
#include "app/command_line.h"
#include "app/demo_mode.h"
#include "app/headless_desktop.h"
#include "app/instance_beacon.h"
#include "app/main_app.h"
#include "app/program_folder.h"
#include "platform/event_loop.h"
#include "platform/log.h"
#include "platform/win_paths.h"
#include "platform/wine_registry.h"
#include "web/pagelink_bridge.h"
#include "web/web_desktop.h"

namespace {

constexpr const char* kRegistryStoreName = "registry.reg";
// The status a second Ctrl-C ends the process with when the first did not
// stop it (128 + SIGINT, as a shell reports it).
constexpr int kForcedExit = 130;

sigset_t StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    return signals;
}

// Ctrl-C, SIGTERM and a closed terminal stop the program at once, without
// the close question (nobody may be there to answer it), on the UI thread.
// The signals are blocked in every thread and taken by this one with
// sigwait, so no handler runs at an arbitrary point of the program. A second
// signal while the first is being handled ends the process there and then.
void WatchSignals(platform::EventLoop& loop, CDlgMain& console) {
    const sigset_t signals = StopSignals();
    std::thread([&loop, &console, signals] {
        bool asked = false;
        for (;;) {
            int received = 0;
            if (sigwait(&signals, &received) != 0) return;
            if (asked) ::_exit(kForcedExit);
            asked = true;
            loop.Post([&console] { console.CloseNow(); });
        }
    }).detach();
}

}  // namespace

int main(int argc, char** argv) {
    CommandLineOptions options;
    const CommandLineResult parsed = ParseCommandLine(argc, argv, options, std::cout, std::cerr);
    if (!parsed.run) return parsed.exitCode;

    const sigset_t signals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    // The demo lays out its prefix, starts the simulator and fills in the
    // options; it stops the simulator when the program ends.
    CDemoSession demo;
    if (options.demo) {
        std::string why;
        if (!demo.Start(DemoFolder(options), options, why)) {
            std::cerr << "seatwatch: " << why << "\n";
            return 1;
        }
        std::cout << "Demo: the simulator plays a hand every " << DemoRate(options)
                  << " s at three tables as " << kDemoNickname << "\n";
    }

    const std::filesystem::path folder = ResolveProgramFolder(options.home);
    const std::filesystem::path assets = ResolveAssetsFolder();
    std::string error;
    if (!PrepareProgramFolder(folder, assets, error)) {
        std::cerr << "seatwatch: the program folder " << folder << " " << error
                  << "; choose another with --home\n";
        return static_cast<int>(ShutdownReason::kProgramFolder);
    }

    platform::EventLoop loop;
    const platform::WinPaths paths(platform::WinPaths::FindPrefix(options.winePrefix));
    const std::string prefix = paths.Prefix().value_or(std::filesystem::path()).string();
    platform::WineRegistry registry(prefix, folder / kRegistryStoreName);

    // The desk: the web desktop on 127.0.0.1, or with --headless windows kept
    // as data while every message takes its default answer and goes to
    // standard error and the log.
    std::unique_ptr<web::WebDesktop> desk;
    std::unique_ptr<platform::Desktop> headless;
    if (options.headless) {
        headless = std::make_unique<CHeadlessDesktop>(&loop, std::cerr);
    } else {
        web::WebDesktopOptions deskOptions;
        deskOptions.home = folder;
        deskOptions.assets = assets;
        deskOptions.port = options.port;
        deskOptions.mode = web::DeskMode::kInteractive;
        deskOptions.log = [](std::string_view line) { platform::Log::Write(line); };
        desk = std::make_unique<web::WebDesktop>(loop, deskOptions);
    }
    const long pid = static_cast<long>(::getpid());
    bool beaconWritten = false;

    ConsoleEnvironment env;
    env.desktop = desk ? static_cast<platform::Desktop*>(desk.get()) : headless.get();
    env.loop = &loop;
    env.registry = &registry;
    env.paths = &paths;
    env.programFolder = folder;
    env.assetsFolder = assets;
    env.options = options;
    env.activateRunningCopy = [&folder] { return AskRunningCopyToActivate(folder); };
    env.openInBrowser = [&options, prefix](const std::string& browser, const std::string& address) {
        if (options.noBrowser || options.headless) {
            std::cout << "Open: " << address << std::endl;
            return;
        }
        if (!LaunchDetached(BrowserCommand(browser, address), prefix)) {
            std::cerr << "seatwatch: could not start the browser " << browser
                      << "; open the address by hand: " << address << "\n";
        }
    };
    env.openDeskAtStart = desk != nullptr && !options.noBrowser;
    if (desk) {
        env.startDesk = [&](std::string& why) {
            if (!desk->Start(&why)) return false;
            std::cout << "Seatwatch desk: " << desk->Address() << std::endl;
            std::string beaconError;
            beaconWritten = WriteInstanceBeacon(
                folder, InstanceBeacon{desk->Port(), desk->Token(), pid}, beaconError);
            if (!beaconWritten) {
                platform::Log::Write("A second copy will not find this one: " + beaconError);
            }
            return true;
        };
        env.deskConnected = [&desk] { return desk->ConnectedPages() > 0; };
        env.deskAddress = [&desk](const std::string& path) {
            return "http://127.0.0.1:" + std::to_string(desk->Port()) + path +
                   "?token=" + desk->Token();
        };
    }
    CMainApp app(std::move(env));
    CDlgMain& console = app.Console();

    // Page commands go to the plug-in's BrowserSink object the way a script
    // engine calls it, and from there to the console's callback. The object
    // is made on the first call, after start-up has registered the callback.
    std::unique_ptr<web::PageLinkBridge> bridge;
    if (desk) {
        desk->SetPageCallHandler([&](const web::PageCall& call) {
            if (!bridge && !console.IsFinished()) {
                std::string why;
                bridge = web::PageLinkBridge::Create(console.PageCallback(), &why);
                if (!bridge) platform::Log::Write("Page commands unavailable: " + why);
            }
            if (bridge) bridge->Call(call.method, call.args);
        });
        // Every page window shows its pages at the size "Explorer"/"FontSize"
        // gives (0 the smallest, anything else the normal size). The console
        // makes its settings before its first window, so they exist when a
        // window shows its first page.
        desk->SetPageZoomSource([&console] {
            return console.Settings().GetInt("Explorer", "FontSize", 2) == 0 ? 0 : 2;
        });
        desk->SetProgramPostHandler("activate",
                                    [&console](const std::string&) { console.BringToFront(); });
    }
    WatchSignals(loop, console);
    app.InitInstance();
    const int status = console.ProcessExitStatus();
    bridge.reset();
    if (desk) desk->Stop();
    if (beaconWritten) RemoveInstanceBeacon(folder, pid);
    return status;
}
