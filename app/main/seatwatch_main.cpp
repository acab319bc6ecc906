// The seatwatch program: parses the command line, lays out the program
// folder, and runs the application object on the user-interface thread.
#include <pthread.h>
#include <signal.h>

#include <iostream>
#include <memory>
#include <thread>

#include "app/command_line.h"
#include "app/headless_desktop.h"
#include "app/main_app.h"
#include "app/program_folder.h"
#include "platform/event_loop.h"
#include "platform/win_paths.h"
#include "platform/wine_registry.h"

namespace {

constexpr const char* kRegistryStoreName = "registry.reg";

// Ctrl-C and SIGTERM become the console's close request on the UI thread. The
// signals are blocked in every thread and taken by this one with sigwait, so
// no handler runs at an arbitrary point of the program.
void WatchSignals(platform::EventLoop& loop, CDlgMain& console) {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    std::thread([&loop, &console, signals] {
        for (;;) {
            int received = 0;
            if (sigwait(&signals, &received) != 0) return;
            loop.Post([&console] { console.OnCancel(); });
        }
    }).detach();
}

}  // namespace

int main(int argc, char** argv) {
    CommandLineOptions options;
    const CommandLineResult parsed = ParseCommandLine(argc, argv, options, std::cout, std::cerr);
    if (!parsed.run) return parsed.exitCode;

    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    const std::filesystem::path folder = ResolveProgramFolder(options.home);
    const std::filesystem::path assets = ResolveAssetsFolder();
    std::string error;
    if (!PrepareProgramFolder(folder, assets, error)) {
        std::cerr << "seatwatch: cannot create the program folder " << folder << ": " << error
                  << "\n";
        return 1;
    }

    platform::EventLoop loop;
    const platform::WinPaths paths(platform::WinPaths::FindPrefix(options.winePrefix));
    platform::WineRegistry registry(paths.Prefix().value_or(std::filesystem::path()),
                                    folder / kRegistryStoreName);

    // The desk. The web desktop takes this place once it exists; until then
    // the program runs headless: windows are kept as data, and every message
    // takes its default answer and goes to standard error and the log.
    std::unique_ptr<platform::Desktop> desktop =
        std::make_unique<CHeadlessDesktop>(&loop, std::cerr);

    ConsoleEnvironment env;
    env.desktop = desktop.get();
    env.loop = &loop;
    env.registry = &registry;
    env.paths = &paths;
    env.programFolder = folder;
    env.assetsFolder = assets;
    env.options = options;
    CMainApp app(std::move(env));
    WatchSignals(loop, app.Console());
    return app.InitInstance();
}
