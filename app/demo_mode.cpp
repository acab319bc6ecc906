#include "app/demo_mode.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <exception>
#include <sstream>
#include <system_error>
#include <thread>
#include <vector>

#include "app/program_folder.h"
#include "platform/file_profile.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

// Where the demo's parts are: beside an installed program (bin/ with
// share/seatwatch/), or in the build tree the program was built in.
struct DemoTools {
    fs::path layoutScript;
    fs::path layoutBuild;  // the folder the layout script is given
    fs::path simulator;
    fs::path regsvr;
    fs::path plugin;
};

DemoTools FindTools() {
    std::error_code ec;
    const fs::path bin = fs::read_symlink("/proc/self/exe", ec).parent_path();
    DemoTools tools;
    if (fs::exists(bin / "seatwatch-sim", ec)) {
        tools.layoutScript = bin.parent_path() / "share" / "seatwatch" / "scripts" / "demo-layout";
        tools.layoutBuild = bin;
        tools.simulator = bin / "seatwatch-sim";
        tools.regsvr = bin / "seatwatch-regsvr";
        tools.plugin = bin.parent_path() / "lib" / "seatwatch" / "libpagelink.so";
    } else {
        const fs::path build = bin.parent_path();
        tools.layoutScript =
            fs::path(SEATWATCH_SOURCE_ASSETS).parent_path() / "scripts" / "demo-layout";
        tools.layoutBuild = build;
        tools.simulator = build / "tools" / "seatwatch-sim";
        tools.regsvr = build / "tools" / "seatwatch-regsvr";
        tools.plugin = build / "pagelink" / "libpagelink.so";
    }
    return tools;
}

// The demo's own setup: the layout plays `kEarlierHands` hands earlier
// today with `kSeed` at `kTables` tables of `kPlayers`, and the simulator
// goes on where they stopped, a hand every `kDefaultRate` seconds.
constexpr int kSeed = 2026;
constexpr int kEarlierHands = 90;
constexpr int kTables = 3;
constexpr int kPlayers = 6;
constexpr double kDefaultRate = 4.0;

// "4", "0.3": seconds as a command line takes them.
std::string SecondsText(double seconds) {
    std::ostringstream text;
    text << seconds;
    return text.str();
}

// The process environment with `extra` ("NAME=value") in place of any
// entry of the same names.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& extra) {
    std::vector<std::string> entries;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string text = *entry;
        bool replaced = false;
        for (const std::string& e : extra) {
            if (text.compare(0, e.find('=') + 1, e, 0, e.find('=') + 1) == 0) replaced = true;
        }
        if (!replaced) entries.push_back(text);
    }
    entries.insert(entries.end(), extra.begin(), extra.end());
    return entries;
}

// Starts `args` with standard output (and, when `quiet`, standard error)
// sent to /dev/null, in the environment `env` (empty: the program's own);
// -1 when it cannot start.
pid_t Spawn(const std::vector<std::string>& args, bool quiet,
            const std::vector<std::string>& env = {}) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (quiet) posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // The program blocks the stop signals in every thread and takes them
    // with sigwait; a child must get them as usual.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(),
                                   env.empty() ? environ : envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return failed == 0 ? pid : -1;
}

// Starts the simulator, quiet, as a child that the kernel stops when the
// program ends in any way (a crash included), so none is left playing.
pid_t SpawnTiedToParent(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0) return pid;  // the parent, or -1
    // The child: only calls that are safe between fork and exec.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);  // the program already ended
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
    }
    execve(argv[0], argv.data(), environ);
    _exit(127);
}

// Runs `args` to its end in the environment `env`; whether it succeeded.
bool Run(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
    const pid_t pid = Spawn(args, false, env);
    if (pid < 0) return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

fs::path DemoFolder(const CommandLineOptions& options) {
    if (!options.demoFolder.empty()) return options.demoFolder;
    return ResolveProgramFolder(options.home) / "demo";
}

double DemoRate(const CommandLineOptions& options) {
    return options.demoRate.value_or(kDefaultRate);
}

namespace {

// The demo's tables play no-limit hold'em: unless the user chose a game type
// for the reports, they open on that one instead of the limit games, which
// would show a new user empty reports.
void SeedReportGameType(const fs::path& settingsFile) {
    try {
        platform::FileProfile settings(settingsFile.string(), platform::ProfileAccess::kReadWrite);
        if (settings.GetString("Reports", "Type", "").empty())
            settings.WriteInt("Reports", "Type", 2);
    } catch (const std::exception&) {
        // The program reports a settings file it cannot use when it starts.
    }
}

}  // namespace

CDemoSession::~CDemoSession() { Stop(); }

bool CDemoSession::Start(const fs::path& folder, CommandLineOptions& options, std::string& error) {
    const DemoTools tools = FindTools();
    std::error_code ec;
    for (const fs::path& part : {tools.layoutScript, tools.simulator, tools.regsvr, tools.plugin}) {
        if (!fs::exists(part, ec)) {
            error = "the demo needs " + part.string() + ", which is missing";
            return false;
        }
    }
    // The layout writes the earlier hands with the simulator: it is told
    // the seed, the count and the nickname the live run goes on with.
    const std::vector<std::string> layoutEnv =
        EnvironmentWith({"SEATWATCH_DEMO_SEED=" + std::to_string(kSeed),
                         "SEATWATCH_DEMO_EARLIER=" + std::to_string(kEarlierHands),
                         "SEATWATCH_DEMO_TABLES=" + std::to_string(kTables),
                         "SEATWATCH_DEMO_PLAYERS=" + std::to_string(kPlayers),
                         std::string("SEATWATCH_DEMO_NICKNAME=") + kDemoNickname});
    if (!Run({tools.layoutScript.string(), tools.layoutBuild.string(), folder.string()},
             layoutEnv)) {
        error = "the demo's Wine prefix could not be laid out in " + folder.string();
        return false;
    }
    if (options.home.empty()) options.home = (folder / "home").string();
    if (!Run({tools.regsvr.string(), "--home", options.home, tools.plugin.string()})) {
        error = "the browser plug-in could not be registered for the demo";
        return false;
    }
    SeedReportGameType(fs::path(options.home) / "Seatwatch.ini");
    const fs::path prefix = folder / "prefix";
    const fs::path history =
        prefix / "drive_c" / "Program Files" / "PokerStars" / "HandHistory" / kDemoNickname;
    // The simulator goes on at the tables where the layout's hands stopped.
    simulator_ = SpawnTiedToParent(
        {tools.simulator.string(), "--folder", history.string(), "--hero", kDemoNickname,
         "--tables", std::to_string(kTables), "--players", std::to_string(kPlayers), "--seed",
         std::to_string(kSeed), "--resume", std::to_string(kEarlierHands), "--rate",
         SecondsText(DemoRate(options)), "--quiet"});
    if (simulator_ < 0) {
        error = "the history simulator could not be started";
        return false;
    }
    options.winePrefix = prefix.string();
    options.room = "PokerStars";
    options.nickname = kDemoNickname;
    options.money = MoneyMode::kReal;
    options.logFolder.clear();
    return true;
}

void CDemoSession::Stop() {
    if (simulator_ <= 0) return;
    kill(simulator_, SIGTERM);
    // It ends between two hands; after a second it is made to.
    for (int i = 0; i < 100; ++i) {
        if (waitpid(simulator_, nullptr, WNOHANG) == simulator_) {
            simulator_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(simulator_, SIGKILL);
    waitpid(simulator_, nullptr, 0);
    simulator_ = -1;
}
