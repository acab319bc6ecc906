// A real Wine program's window as a poker table: under a private Xvfb, Wine's
// notepad opens a file named like a table, so that its top-level window is
// titled "Aurora - Notepad", the way one room's client titles the table
// "Aurora" ("Aurora - " and the game). The X11 screen source and the table
// search of the information window must find that window by its title,
// place the information window below it and capture its client area.
//
// Skipped where Wine is not installed or cannot make a prefix; everything it
// starts (Xvfb, the Wine program, the prefix's wineserver) is ended and the
// prefix removed at the end.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "analysis/table_record.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/memory_profile.h"
#include "platform/recording_desktop.h"
#include "platform/x11_screen_source.h"
#include "tests/private_xvfb.h"
#include "tablereader/dlg_table_info.h"
#include "tablereader/table_titles.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRoom = 114;  // titles its tables "<table> - <game>"
constexpr const char* kTable = "Aurora";

// The program's full path from PATH, or empty.
std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const fs::path candidate = fs::path(dirs.substr(start, end - start)) / name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
        start = end + 1;
    }
    return {};
}

// Runs argv and waits for it, up to limit; the exit status, or -1 when it had
// to be killed or could not start.
int RunProgram(const std::vector<std::string>& argv, std::chrono::seconds limit) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 1);
        dup2(null, 2);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    if (pid < 0) return -1;
    const auto until = Clock::now() + limit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > until) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class WineTableWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wine_ = FindProgram("wine");
        const std::string wineboot = FindProgram("wineboot");
        wineserver_ = FindProgram("wineserver");
        if (wine_.empty() || wineboot.empty() || wineserver_.empty())
            GTEST_SKIP() << "wine is not installed (scripts/install-deps installs it)";
        if (access("/usr/bin/Xvfb", X_OK) != 0) GTEST_SKIP() << "Xvfb is not installed";

        std::string tmpl = (fs::temp_directory_path() / "seatwatch-wine-XXXXXX").string();
        if (::mkdtemp(tmpl.data()) == nullptr) GTEST_SKIP() << "no temporary folder";
        work_ = tmpl;
        prefix_ = work_ / "prefix";
        // A bare prefix of our own: no Mono or Gecko installers, no messages,
        // and no display while it is made.
        setenv("WINEPREFIX", prefix_.c_str(), 1);
        setenv("WINEDEBUG", "-all", 1);
        setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        if (RunProgram({wineboot, "-i"}, std::chrono::seconds(180)) != 0)
            GTEST_SKIP() << "wineboot could not make a Wine prefix on this machine";
        RunProgram({wineserver_, "-w"}, std::chrono::seconds(60));

        StartXvfb();
        if (display_.empty()) GTEST_FAIL() << "Xvfb did not start";
    }

    void TearDown() override {
        if (program_ > 0) {
            kill(program_, SIGTERM);
            waitpid(program_, nullptr, 0);
        }
        if (!wineserver_.empty() && !prefix_.empty())
            RunProgram({wineserver_, "-k"}, std::chrono::seconds(30));
        if (xvfb_ > 0) {
            kill(xvfb_, SIGTERM);
            waitpid(xvfb_, nullptr, 0);
        }
        std::error_code ec;
        if (!work_.empty()) fs::remove_all(work_, ec);
    }

    void StartXvfb() { display_ = seatwatch_test::StartPrivateXvfb("1280x800x24", xvfb_); }

    // Starts the Wine program with args on our display.
    void StartProgram(const std::vector<std::string>& args) {
        program_ = fork();
        if (program_ == 0) {
            const int null = open("/dev/null", O_RDWR);
            dup2(null, 1);
            dup2(null, 2);
            setenv("DISPLAY", display_.c_str(), 1);
            std::vector<char*> argv{const_cast<char*>(wine_.c_str())};
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(wine_.c_str(), argv.data());
            _exit(127);
        }
    }

    // The first visible top-level window the room's title rule takes for the
    // table, waiting up to limit for the program to open it.
    static std::optional<platform::ScreenWindow> WaitForTable(platform::ScreenSource& screen,
                                                              std::chrono::seconds limit) {
        const auto until = Clock::now() + limit;
        while (Clock::now() < until) {
            for (const auto& w : screen.TopLevelWindows())
                if (w.visible && !w.clientRect.Empty() && TableTitleMatches(kRoom, kTable, w.title))
                    return w;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        return std::nullopt;
    }

    std::string wine_, wineserver_, display_;
    fs::path work_, prefix_;
    pid_t xvfb_ = -1, program_ = -1;
};

TEST_F(WineTableWindowTest, InformationWindowFindsAndCapturesTheWineWindowByTitle) {
    // Notepad titles its window "<file> - Notepad".
    {
        std::ofstream file(prefix_ / "drive_c" / kTable, std::ios::binary);
        file << "Seat 1: Kim Ba ($10 in chips)\r\n";
    }
    StartProgram({"notepad", std::string("C:\\") + kTable});

    platform::X11ScreenSource screen(display_);
    ASSERT_TRUE(screen.Available());
    std::string titles;
    const auto table = WaitForTable(screen, std::chrono::seconds(40));
    if (!table) {
        for (const auto& w : screen.TopLevelWindows()) titles += " \"" + w.title + "\"";
    }
    ASSERT_TRUE(table) << "no Wine window titled for the table; windows:" << titles;
    EXPECT_EQ(table->title, "Aurora - Notepad");
    // The information window's own title never passes for the table.
    EXPECT_FALSE(TableTitleMatches(kRoom, kTable, TableInfoTitle(kTable)));

    // The information window finds the same window through its search and
    // sits below it.
    platform::ManualClock clock;
    platform::EventLoop loop(clock);
    platform::RecordingDesktop desktop(&loop);
    desktop.SetWorkArea(platform::Rect{0, 0, 1280, 1024});
    platform::MemoryProfile settings("[Advanced]\nDetach Table View=2\n");
    CTableRecord record(kTable, kRoom, true, 0);
    TableInfoEnvironment env;
    env.desktop = &desktop;
    env.loop = &loop;
    env.screen = &screen;
    env.settings = &settings;
    env.roomCode = kRoom;
    env.pageFolder = (work_ / "pages").string();
    fs::create_directories(env.pageFolder);
    {
        CDlgTableInfo info(env, kTable, record, "");
        for (int t = 0; t < 750 * 2; t += 50) {
            clock.Advance(50);
            loop.PumpPending();
        }
        EXPECT_EQ(info.TableWindow(), table->id);
        const auto shown = desktop.GetWindow(info.Window());
        ASSERT_TRUE(shown);
        EXPECT_TRUE(shown->visible);
        EXPECT_EQ(shown->rect.top, table->windowRect.bottom);
        EXPECT_EQ(shown->rect.left, table->windowRect.left);
    }

    // Its client area comes off the screen whole, and it is the program's
    // drawing (menu bar and edit area), not an empty or single-colour block.
    const platform::Rect client{0, 0, table->clientRect.Width(), table->clientRect.Height()};
    const platform::Bitmap32 pixels = screen.CaptureClient(table->id, client);
    ASSERT_FALSE(pixels.Empty());
    EXPECT_EQ(pixels.Width(), client.Width());
    EXPECT_EQ(pixels.Height(), client.Height());
    std::set<std::uint32_t> colours;
    for (int y = 0; y < pixels.Height(); y += 3)
        for (int x = 0; x < pixels.Width(); x += 3) colours.insert(pixels.Pixel(x, y) & 0xFFFFFFu);
    EXPECT_GE(colours.size(), 2u);
}

}  // namespace
