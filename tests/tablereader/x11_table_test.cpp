#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "analysis/table_record.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/memory_profile.h"
#include "platform/recording_desktop.h"
#include "platform/x11_screen_source.h"
#include "reader_fixture.h"
#include "tests/private_xvfb.h"
#include "tablereader/dlg_table_info.h"
#include "tablereader/table_titles.h"

// X11 last: its macros clash with GoogleTest.
#include <X11/Xlib.h>

namespace {

using tablereader_test::ArtFolder;
using tablereader_test::LoadedReader;
using Cards = CAutoReaderBase::Cards;
constexpr Cards kNone{-1, -1, -1, -1, -1, -1, -1};

// A private Xvfb for the suite (it picks a free display number itself).
class X11TableTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (access("/usr/bin/Xvfb", X_OK) != 0) return;
        display_ = seatwatch_test::StartPrivateXvfb("1280x800x24", xvfb_);
        if (display_.empty()) return;
        for (int i = 0; i < 100 && keepAlive_ == nullptr; ++i) {
            keepAlive_ = XOpenDisplay(display_.c_str());
            if (keepAlive_ == nullptr) usleep(50000);
        }
        if (keepAlive_ == nullptr) display_.clear();
    }
    static void TearDownTestSuite() {
        if (keepAlive_ != nullptr) XCloseDisplay(keepAlive_);
        keepAlive_ = nullptr;
        if (xvfb_ > 0) {
            kill(xvfb_, SIGTERM);
            waitpid(xvfb_, nullptr, 0);
        }
        xvfb_ = -1;
    }
    void SetUp() override {
        if (display_.empty()) GTEST_SKIP() << "no Xvfb";
    }
    void TearDown() override { StopTool(); }

    // Starts the test table tool for room with the given arguments; returns
    // its window's id line.
    std::string StartTool(int room, const std::string& cards, const std::string& state) {
        // Written before the fork, so that the child never makes its own.
        const std::string art = ArtFolder();
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) return {};
        tool_ = fork();
        if (tool_ == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            close(in[1]);
            close(out[0]);
            setenv("DISPLAY", display_.c_str(), 1);
            const std::string roomText = std::to_string(room);
            execl(SEATWATCH_TABLE_TOOL, "seatwatch-table", "--room", roomText.c_str(), "--art",
                  art.c_str(), "--cards", cards.c_str(), "--state", state.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        toIn_ = in[1];
        fromOut_ = out[0];
        return ReadLine();
    }
    // One line of the tool's output, waiting up to five seconds.
    std::string ReadLine() {
        std::string line;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < until) {
            pollfd p{fromOut_, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            char c = 0;
            if (read(fromOut_, &c, 1) != 1) break;
            if (c == '\n') return line;
            line += c;
        }
        return line;
    }
    // Sends a command and waits for its answer.
    std::string Command(const std::string& text) {
        const std::string line = text + "\n";
        if (write(toIn_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return {};
        return ReadLine();
    }
    void StopTool() {
        if (tool_ <= 0) return;
        close(toIn_);
        close(fromOut_);
        int status = 0;
        for (int i = 0; i < 50 && waitpid(tool_, &status, WNOHANG) == 0; ++i) usleep(20000);
        if (waitpid(tool_, &status, WNOHANG) == 0) {
            kill(tool_, SIGKILL);
            waitpid(tool_, &status, 0);
        }
        tool_ = -1;
    }
    // The table window of "Aurora" for room, as the information window finds it.
    std::optional<platform::ScreenWindow> FindTable(platform::ScreenSource& screen, int room) {
        for (const auto& w : screen.TopLevelWindows())
            if (w.visible && TableTitleMatches(room, "Aurora", w.title)) return w;
        return std::nullopt;
    }

    static inline std::string display_;
    static inline pid_t xvfb_ = -1;
    static inline Display* keepAlive_ = nullptr;
    pid_t tool_ = -1;
    int toIn_ = -1, fromOut_ = -1;
};

TEST_F(X11TableTest, ReaderFindsTheToolsWindowAndReadsEachNewHand) {
    for (int room : {113, 101, 114, 108, 121}) {
        const std::string id = StartTool(room, "Ah Kd 7c 8c 9c", "seat=1,opponents=2");
        ASSERT_EQ(id.rfind("window 0x", 0), 0u) << room << ": " << id;
        platform::X11ScreenSource screen(display_);
        const auto table = FindTable(screen, room);
        ASSERT_TRUE(table) << room;
        EXPECT_EQ(std::to_string(table->id), std::to_string(std::stoul(id.substr(7), nullptr, 16)));
        auto reader = LoadedReader(room, &screen);
        Cards cards{};
        int street = -1, opponents = 0;
        reader->ReadTable(table->id, cards, street, opponents);
        if (room == 121)
            reader->ReadTable(table->id, cards, street,
                              opponents);  // stores its status region first
        EXPECT_EQ(cards, (Cards{26, 51, 19, 20, 21, -1, -1})) << room;
        EXPECT_EQ(opponents, 2) << room;
        // A new hand is dealt: the reader follows the new cards.
        ASSERT_EQ(Command("cards Qs Qh"), "ok");
        street = -1;
        reader->ReadTable(table->id, cards, street, opponents);
        EXPECT_EQ(cards, (Cards{11, 37, -1, -1, -1, -1, -1})) << room;
        // The Full Tilt client has no status image to look for.
        if (room != 114) {
            ASSERT_EQ(Command("state status"), "ok");
            reader->ReadTable(table->id, cards, street, opponents);
            EXPECT_EQ(street, CAutoReaderBase::kResetStreet) << room;
        }
        Command("quit");
        StopTool();
    }
}

TEST_F(X11TableTest, CoveredMinimisedResizedOrClosedTableReadsNothing) {
    const std::string id = StartTool(113, "Ah Kd 7c 8c 9c", "dealt");
    ASSERT_EQ(id.rfind("window 0x", 0), 0u) << id;
    platform::X11ScreenSource screen(display_);
    const auto table = FindTable(screen, 113);
    ASSERT_TRUE(table);
    auto reader = LoadedReader(113, &screen);
    Cards cards{};
    int street = -1, opponents = 0;
    const auto read = [&] {
        reader->ResetReader();
        reader->ReadTable(table->id, cards, street, opponents);
        return cards;
    };
    ASSERT_EQ(read()[0], 26);

    // Covered by another window.
    Display* d = XOpenDisplay(display_.c_str());
    ASSERT_NE(d, nullptr);
    const Window cover =
        XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1000, 700, 0, 0, 0xFFFFFF);
    XMapRaised(d, cover);
    XSync(d, False);
    usleep(100000);
    EXPECT_EQ(read(), kNone);
    XDestroyWindow(d, cover);
    XSync(d, False);
    ASSERT_EQ(Command("show"), "ok");  // redraws what the cover hid
    EXPECT_EQ(read()[0], 26);
    XCloseDisplay(d);

    ASSERT_EQ(Command("hide"), "ok");
    EXPECT_EQ(read(), kNone);
    ASSERT_EQ(Command("show"), "ok");
    EXPECT_EQ(read()[1], 51);

    ASSERT_EQ(Command("resize 900 650"), "ok");
    usleep(100000);
    EXPECT_EQ(read(), kNone);
    EXPECT_EQ(opponents, 1);

    Command("quit");
    StopTool();
    EXPECT_EQ(read(), kNone);
    EXPECT_FALSE(FindTable(screen, 113));
}

// The whole window set on a real display: the information window finds the
// tool's table by its title, sits below it and hands its cards on.
TEST_F(X11TableTest, InformationWindowFollowsAndReadsTheToolsTable) {
    ASSERT_EQ(StartTool(113, "Ah Kd 7c 8c 9c", "seat=4,opponents=3").rfind("window 0x", 0), 0u);
    platform::X11ScreenSource screen(display_);
    platform::ManualClock clock;
    platform::EventLoop loop(clock);
    platform::RecordingDesktop desktop(&loop);
    desktop.SetWorkArea(platform::Rect{0, 0, 1280, 1024});
    platform::MemoryProfile settings("[Advanced]\nDetach Table View=2\n");
    CTableRecord record("Aurora", 113, true, 0);
    TableLayout layout = *tablereader_test::ShippedLayouts().Find(113);
    layout.installFolder = ArtFolder() + "/client";
    std::string tmpl = (std::filesystem::temp_directory_path() / "seatwatch-info-XXXXXX").string();
    const std::string pages = ::mkdtemp(tmpl.data());
    TableInfoEnvironment env;
    env.desktop = &desktop;
    env.loop = &loop;
    env.screen = &screen;
    env.settings = &settings;
    env.roomCode = 113;
    env.layout = &layout;
    env.pageFolder = pages;
    env.programFolder = ArtFolder() + "/program";
    std::vector<std::pair<Cards, int>> reads;
    env.updateFromScreen = [&](CTableRecord&, const Cards& cards, int, int opponents,
                               TableSizeWarning) {
        reads.push_back({cards, opponents});
    };
    {
        CDlgTableInfo info(env, "Aurora", record, "");
        const auto run = [&](int ms) {
            for (int t = 0; t < ms; t += 50) {
                clock.Advance(50);
                loop.PumpPending();
            }
        };
        run(750 * 4);
        ASSERT_EQ(reads.size(), 2u);
        EXPECT_EQ(reads[1].first, (Cards{26, 51, 19, 20, 21, -1, -1}));
        EXPECT_EQ(reads[1].second, 3);
        const auto table = screen.Describe(info.TableWindow());
        ASSERT_TRUE(table);
        EXPECT_EQ(desktop.GetWindow(info.Window())->rect.top, table->windowRect.bottom);
        EXPECT_EQ(info.Warning(), TableSizeWarning::kNone);
        Command("quit");
        StopTool();
        run(800);
        EXPECT_FALSE(desktop.GetWindow(info.Window())->visible);
    }
    std::filesystem::remove_all(pages);
}

}  // namespace
