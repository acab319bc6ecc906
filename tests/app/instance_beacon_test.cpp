// The second copy's road to the running one: the beacon file (its mode, and
// the files it refuses), the activate request against a real desk server,
// the browser command line, and the statuses the process really ends with.
#include "app/instance_beacon.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <sys/stat.h>

#include <atomic>
#include <fstream>
#include <future>

#include "app/browser_launcher.h"
#include "app/dlg_main.h"
#include "platform/event_loop.h"
#include "tests/rooms/rooms_test_support.h"
#include "web/web_desktop.h"

namespace {

using rooms_test::ScratchFolder;

void WriteText(const std::string& path, const std::string& text, mode_t mode) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
    }
    ::chmod(path.c_str(), mode);
}

TEST(InstanceBeacon, IsWrittenForTheUserAloneAndReadBack) {
    ScratchFolder home;
    std::string error;
    ASSERT_TRUE(WriteInstanceBeacon(home.Path(), {4242, "ab12CD", 77}, error)) << error;
    struct stat info {};
    ASSERT_EQ(::stat((home / "Seatwatch.desk").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    const auto beacon = ReadInstanceBeacon(home.Path());
    ASSERT_TRUE(beacon.has_value());
    EXPECT_EQ(beacon->port, 4242);
    EXPECT_EQ(beacon->token, "ab12CD");
    EXPECT_EQ(beacon->pid, 77);

    // Only its own writer removes it.
    RemoveInstanceBeacon(home.Path(), 78);
    EXPECT_TRUE(ReadInstanceBeacon(home.Path()).has_value());
    RemoveInstanceBeacon(home.Path(), 77);
    EXPECT_FALSE(std::filesystem::exists(home / "Seatwatch.desk"));
}

TEST(InstanceBeacon, RefusesFilesItCannotTrust) {
    struct Case {
        const char* what;
        const char* text;
        mode_t mode;
    };
    const Case cases[] = {
        {"readable by others", "port=4242\ntoken=ab\npid=1\n", 0644},
        {"no port", "token=ab\npid=1\n", 0600},
        {"port out of range", "port=70000\ntoken=ab\npid=1\n", 0600},
        {"port not a number", "port=x\ntoken=ab\npid=1\n", 0600},
        {"token with header characters", "port=4242\ntoken=ab\r\nX: y\npid=1\n", 0600},
        {"empty token", "port=4242\ntoken=\npid=1\n", 0600},
        {"empty file", "", 0600},
    };
    for (const Case& c : cases) {
        ScratchFolder home;
        WriteText(home / "Seatwatch.desk", c.text, c.mode);
        EXPECT_FALSE(ReadInstanceBeacon(home.Path()).has_value()) << c.what;
    }
    ScratchFolder none;
    EXPECT_FALSE(ReadInstanceBeacon(none.Path()).has_value());
}

// A real desk server on its own loop; the second copy's request must reach
// the program's handler on the UI thread, and only with the right token.
TEST(InstanceBeacon, TheRunningCopyIsAskedOverLoopback) {
    ScratchFolder home;
    platform::EventLoop loop;
    web::WebDesktopOptions options;
    options.home = home.Path();
    web::WebDesktop desk(loop, options);
    std::atomic<int> activations{0};
    desk.SetProgramPostHandler("activate", [&](const std::string&) { ++activations; });
    std::string error;
    ASSERT_TRUE(desk.Start(&error)) << error;

    const auto ask = [&](const std::string& token) {
        std::string why;
        EXPECT_TRUE(WriteInstanceBeacon(home.Path(), {desk.Port(), token, 1}, why)) << why;
        auto answer = std::async(std::launch::async,
                                 [&] { return AskRunningCopyToActivate(home.Path(), 0); });
        // A timer keeps the loop waking while the answer is awaited.
        loop.SetTimer(platform::kNoWindow, 1, 5, [] {});
        loop.RunUntil([&] {
            return answer.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready;
        });
        const bool accepted = answer.get();
        loop.KillTimer(platform::kNoWindow, 1);
        loop.PumpPending();
        return accepted;
    };
    EXPECT_FALSE(ask("0123456789abcdef"));
    EXPECT_EQ(activations.load(), 0);
    EXPECT_TRUE(ask(desk.Token()));
    EXPECT_EQ(activations.load(), 1);

    // Other names are not the program's, and a page of another origin is
    // refused even with the token.
    httplib::Client client("127.0.0.1", desk.Port());
    const httplib::Headers cookie{{"Cookie", "seatwatch_token=" + desk.Token()}};
    auto unknown = client.Post("/_/program/quit", cookie, "{}", "application/json");
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->status, 404);
    httplib::Headers foreign = cookie;
    foreign.emplace("Origin", "http://evil.example");
    auto refused = client.Post("/_/program/activate", foreign, "{}", "application/json");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 403);
    loop.PumpPending();
    EXPECT_EQ(activations.load(), 1);
    desk.Stop();

    // Nobody listening: the request fails instead of hanging.
    EXPECT_FALSE(AskRunningCopyToActivate(home.Path(), 0));
}

TEST(BrowserCommand, RunsWindowsBrowsersThroughWine) {
    const std::string address = "http://127.0.0.1:1/?token=t";
    EXPECT_EQ(BrowserCommand("xdg-open", address), (std::vector<std::string>{"xdg-open", address}));
    EXPECT_EQ(BrowserCommand("", address), (std::vector<std::string>{"xdg-open", address}));
    EXPECT_EQ(BrowserCommand("/usr/bin/firefox", address),
              (std::vector<std::string>{"/usr/bin/firefox", address}));
    const std::string ie = "C:\\Program Files\\Internet Explorer\\iexplore.exe";
    EXPECT_EQ(BrowserCommand(ie, address), (std::vector<std::string>{"wine", ie, address}));
}

TEST(BrowserCommand, ADetachedLaunchSaysWhetherTheProgramStarted) {
    EXPECT_TRUE(LaunchDetached({"true"}, ""));
    EXPECT_FALSE(LaunchDetached({"/nonexistent/seatwatch-browser"}, ""));
    EXPECT_FALSE(LaunchDetached({}, ""));
}

TEST(ProcessExitStatus, DesignedCodesBecomeStatusesThatSurviveEightBits) {
    struct Case {
        int exitCode;
        ShutdownReason reason;
        int status;
    };
    const Case cases[] = {
        {kExitShutdown, ShutdownReason::kUserClosed, 0},
        {kExitShutdown, ShutdownReason::kBrowserBridgeMissing, 104},
        {kExitShutdown, ShutdownReason::kTempFolder, 105},
        {kExitShutdown, ShutdownReason::kTempFolder2, 106},
        {kExitShutdown, ShutdownReason::kNoClients, 109},
        {kExitShutdown, ShutdownReason::kRoomSelectionCancelled, 110},
        {kExitShutdown, ShutdownReason::kStartupException, 200},
        {kExitShutdown, ShutdownReason::kConstructionException, 201},
        {kExitAlreadyRunning, ShutdownReason::kUserClosed, 10},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProcessExitStatus(c.exitCode, static_cast<int>(c.reason)), c.status)
            << c.exitCode << " reason " << static_cast<int>(c.reason);
    }
    EXPECT_EQ(kProcessAlreadyRunning, 4874 % 256);
}

}  // namespace
