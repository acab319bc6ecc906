// The desk server over real loopback connections: admission, files, the page
// shim, the event stream's reset and changes, commands and answers, page
// commands in order and through the plug-in, and shutdown.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "desk_client.h"
#include "tests/pagelink/pagelink_fixture.h"
#include "web/pagelink_bridge.h"
#include "web/web_desktop.h"

namespace web::testing {
namespace {

namespace fs = std::filesystem;
using namespace platform;

class WebServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        base_ = fs::temp_directory_path() / ("seatwatch-web-" + std::to_string(getpid()));
        fs::remove_all(base_);
        fs::create_directories(base_ / "home" / "Temp");
        fs::create_directories(base_ / "assets" / "desk");
        fs::create_directories(base_ / "assets" / "images");
        fs::create_directories(base_ / "outside");
        Write(base_ / "home" / "Temp" / "page.htm",
              "<HTML><HEAD><TITLE>p</TITLE></HEAD>\n<object classid=\"clsid:A0DC81A6-A79E-4BC8-"
              "98C5-7F11E897D85D\" ID=\"BrowserSink\"></object>\n<BODY>Zo\xEB</BODY></HTML>");
        Write(base_ / "assets" / "s_hearts.gif", "GIF89a");
        Write(base_ / "assets" / "images" / "square_red.PNG", "\x89PNG");
        Write(base_ / "assets" / "desk" / "desk.html", "<!doctype html><title>desk</title>");
        Write(base_ / "outside" / "secret.txt", "secret");
        fs::create_symlink(base_ / "outside" / "secret.txt", base_ / "home" / "link_out.txt");
        WebDesktopOptions options;
        options.home = base_ / "home";
        options.assets = base_ / "assets";
        desk_ = std::make_unique<WebDesktop>(loop_, options);
        std::string error;
        ASSERT_TRUE(desk_->Start(&error)) << error;
        port_ = desk_->Port();
        cookie_ = "Cookie: seatwatch_token=" + desk_->Token() + "\r\n";
    }
    void TearDown() override {
        desk_.reset();
        fs::remove_all(base_);
    }
    static void Write(const fs::path& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    }
    // Opens a stream and runs the loop until its reset arrived.
    std::unique_ptr<EventStream> Connect() {
        auto stream = std::make_unique<EventStream>(port_, desk_->Token());
        EXPECT_TRUE(PumpUntil(loop_, [&] { return stream->Count() > 0; }));
        return stream;
    }
    std::string Origin() const {
        return "Origin: http://127.0.0.1:" + std::to_string(port_) + "\r\n";
    }

    fs::path base_;
    EventLoop loop_;
    std::unique_ptr<WebDesktop> desk_;
    int port_ = 0;
    std::string cookie_;
};

TEST_F(WebServerTest, AdmitsOnlyTheTokenTheLoopbackHostAndTheDesksOrigin) {
    const std::string token = desk_->Token();
    const std::string command =
        R"({"window":0,"kind":"moved","rect":{"x":0,"y":0,"width":800,"height":600}})";
    const std::string host = "Host: 127.0.0.1:" + std::to_string(port_);
    struct Case {
        const char* label;
        std::string request;
        int status;
    };
    const Case cases[] = {
        {"token in the address", Get(port_, "/?token=" + token), 303},
        {"wrong token in the address", Get(port_, "/?token=" + token.substr(1) + "x"), 401},
        {"page without token", Get(port_, "/Temp/page.htm"), 401},
        {"page with cookie", Get(port_, "/Temp/page.htm", cookie_), 200},
        {"page with query token", Get(port_, "/Temp/page.htm?token=" + token), 200},
        {"events without token", Get(port_, "/_/events"), 401},
        {"rebinding host",
         "GET /Temp/page.htm HTTP/1.1\r\nHost: evil.example:" + std::to_string(port_) +
             "\r\nConnection: close\r\n" + cookie_ + "\r\n",
         403},
        {"localhost host",
         "GET /Temp/page.htm HTTP/1.1\r\nHost: localhost:" + std::to_string(port_) +
             "\r\nConnection: close\r\n" + cookie_ + "\r\n",
         200},
        {"post from the desk", Post(port_, "/_/command", command, cookie_ + Origin()), 204},
        {"post from a tool", Post(port_, "/_/command", command, cookie_), 204},
        {"post from elsewhere",
         Post(port_, "/_/command", command, cookie_ + "Origin: http://evil.example\r\n"), 403},
        {"post without token", Post(port_, "/_/command", command, Origin()), 401},
        {"bad command", Post(port_, "/_/command", R"({"window":"x"})", cookie_), 400},
        {"bad answer", Post(port_, "/_/answer", R"({"window":1,"result":"maybe"})", cookie_), 400},
        {"bad page command", Post(port_, "/_/sink", R"({"seq":0,"method":"X"})", cookie_), 400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const RawResponse r = RawHttp(port_, c.request);
        EXPECT_EQ(r.status, c.status) << r.head;
        if (c.status != 303) {
            EXPECT_EQ(r.head.find(token), std::string::npos);
        }
        EXPECT_EQ(r.body.find(token), std::string::npos);
    }
    const RawResponse login = RawHttp(port_, Get(port_, "/?token=" + token));
    EXPECT_NE(login.head.find("Set-Cookie: seatwatch_token=" + token +
                              "; HttpOnly; SameSite=Strict; Path=/"),
              std::string::npos)
        << login.head;
    EXPECT_NE(login.head.find("Location: /_/desk/"), std::string::npos) << login.head;
    EXPECT_EQ(desk_->Address(), "http://127.0.0.1:" + std::to_string(port_) + "/?token=" + token);
}

TEST_F(WebServerTest, ServesFilesWithoutLeavingTheFolders) {
    struct Case {
        std::string path;
        int status;
        const char* type;  // when 200
    };
    const Case cases[] = {
        {"/Temp/page.htm", 200, "text/html; charset=windows-1252"},
        {"/TEMP/PAGE.HTM", 200, "text/html; charset=windows-1252"},
        {"/temp%5cpage.htm", 200, "text/html; charset=windows-1252"},
        {"/S_Hearts.GIF", 200, "image/gif"},
        {"/Temp/..%5cs_hearts.gif", 200, "image/gif"},
        {"/SQUARE_RED.png", 200, "image/png"},
        {"/_/desk/", 200, "text/html; charset=utf-8"},
        {"/../outside/secret.txt", 403, nullptr},
        {"/%2e%2e/outside/secret.txt", 403, nullptr},
        {"/Temp/%2E%2E/%2e%2e/outside/secret.txt", 403, nullptr},
        {"/%2e%2e%2foutside%2fsecret.txt", 403, nullptr},
        {"/%5c..%5coutside%5csecret.txt", 403, nullptr},
        {"/..%5c..%5coutside/secret.txt", 403, nullptr},
        {"/_/desk/../../outside/secret.txt", 403, nullptr},
        {"/link_out.txt", 403, nullptr},
        {"/" + (base_ / "outside" / "secret.txt").string(), 404, nullptr},
        {"/etc/passwd", 404, nullptr},
        {"/_/unknown", 404, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const RawResponse r = RawHttp(port_, Get(port_, c.path, cookie_));
        EXPECT_EQ(r.status, c.status) << r.head;
        EXPECT_EQ(r.body.find("secret"), std::string::npos);
        if (c.type != nullptr) {
            EXPECT_NE(r.head.find(std::string("Content-Type: ") + c.type), std::string::npos)
                << r.head;
        }
    }
}

TEST_F(WebServerTest, SendsPagesWithTheShimInPlaceOfTheSinkObject) {
    const RawResponse r = RawHttp(port_, Get(port_, "/Temp/page.htm", cookie_));
    EXPECT_EQ(r.body,
              "<HTML><HEAD><script src=\"/_/desk/pagelink.js\"></script><TITLE>p</TITLE></HEAD>\n\n"
              "<BODY>Zo\xEB</BODY></HTML>");
    // The desk's own page is sent as it is.
    const RawResponse desk = RawHttp(port_, Get(port_, "/_/desk/desk.html", cookie_));
    EXPECT_EQ(desk.body, "<!doctype html><title>desk</title>");
}

// A browser asks for compressed bodies; on loopback they are sent as they
// are, since compressing every reload of every page only costs CPU.
TEST_F(WebServerTest, SendsBodiesUncompressedToABrowserThatAcceptsCompression) {
    for (const char* path : {"/Temp/page.htm", "/_/desk/desk.html"}) {
        SCOPED_TRACE(path);
        const RawResponse r =
            RawHttp(port_, Get(port_, path, cookie_ + "Accept-Encoding: gzip, deflate, br\r\n"));
        EXPECT_EQ(r.status, 200);
        EXPECT_EQ(r.head.find("Content-Encoding"), std::string::npos) << r.head;
        std::string body = r.body;
        for (char& c : body) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_NE(body.find("<title>"), std::string::npos) << r.body;
    }
}

TEST_F(WebServerTest, StreamStartsWithTheWholeDeskThenEveryChange) {
    WindowDescription d;
    d.kind = WindowKind::kHtml;
    d.title = "Console";
    d.rect = Rect{0, 0, 300, 200};
    d.visible = true;
    const WindowId console = desk_->CreateWindow(d);
    d.title = "Viewer";
    const WindowId viewer = desk_->CreateWindow(d);
    desk_->Navigate(console, (base_ / "home" / "Temp" / "page.htm").string());
    desk_->Show(viewer, ShowMode::kMinimize);
    desk_->SetMenu(console, {MenuItem{"&File", 131, false, false, true, {}}});
    desk_->BringToTop(console);

    for (int tab = 0; tab < 2; ++tab) {
        SCOPED_TRACE(tab);
        auto stream = Connect();
        const auto events = stream->Events();
        ASSERT_EQ(events[0].name, "reset");
        const nlohmann::json& reset = events[0].data;
        std::vector<std::string> types;
        for (const auto& e : reset)
            types.push_back(e["type"].get<std::string>() + " " +
                            std::to_string(e["window"].get<int>()));
        const std::string v = std::to_string(viewer), c = std::to_string(console);
        EXPECT_EQ(types, (std::vector<std::string>{"create " + v, "show " + v, "create " + c,
                                                   "menu " + c, "navigate " + c, "zorder 0"}));
        EXPECT_EQ(reset[4]["url"], "/Temp/page.htm");
        EXPECT_EQ(reset[5]["order"], (nlohmann::json{console, viewer}));
        const std::uint64_t seq = reset[0]["seq"].get<std::uint64_t>();
        desk_->SetTitle(viewer, "Hand viewer " + std::to_string(tab));
        ASSERT_TRUE(PumpUntil(loop_, [&] { return stream->Count() > 1; }));
        const auto change = stream->Events()[1];
        EXPECT_EQ(change.name, "desk");
        EXPECT_EQ(change.data["type"], "title");
        EXPECT_EQ(change.data["seq"], seq + 1);
    }
    EXPECT_EQ(desk_->UrlFor("http://example.org/x"), "http://example.org/x");
    EXPECT_EQ(desk_->UrlFor("/Temp/a b.htm"), "/Temp/a b.htm");
    EXPECT_EQ(desk_->UrlFor((base_ / "home" / "Temp" / "Zoë #1.htm").string()),
              "/Temp/Zo%C3%AB%20%231.htm");
    EXPECT_EQ(desk_->UrlFor((base_ / "assets" / "help.htm").string()), "/help.htm");
}

TEST_F(WebServerTest, CommandsReachTheWindowAndAnswersTheMessageBox) {
    WindowDescription d;
    d.kind = WindowKind::kTool;
    d.visible = true;
    Control box;
    box.id = 7;
    box.kind = ControlKind::kCheckBox;
    d.controls = {box};
    const WindowId tool = desk_->CreateWindow(d);
    std::vector<Command> seen;
    desk_->SetCommandHandler(tool, [&](const Command& c) {
        seen.push_back(c);
        return true;
    });
    auto stream = Connect();
    EXPECT_EQ(
        RawHttp(port_, Post(port_, "/_/command",
                            R"({"window":)" + std::to_string(tool) + R"(,"kind":"click","id":7})",
                            cookie_))
            .status,
        204);
    EXPECT_EQ(
        RawHttp(
            port_,
            Post(port_, "/_/command",
                 R"({"window":0,"kind":"moved","rect":{"x":0,"y":0,"width":1500,"height":900}})",
                 cookie_))
            .status,
        204);
    ASSERT_TRUE(PumpUntil(loop_, [&] { return desk_->WorkArea().Width() == 1500; }));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(desk_->GetControl(tool, 7)->checked);

    std::thread user([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            for (const auto& e : stream->Events()) {
                if (e.name == "desk" && e.data["type"] == "messagebox") {
                    RawHttp(port_,
                            Post(port_, "/_/answer",
                                 R"({"window":)" + std::to_string(tool) + R"(,"result":"cancel"})",
                                 cookie_ + Origin()));
                    return;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    EXPECT_EQ(desk_->MessageBox(tool, "Go on?", "Seatwatch", MessageBoxButtons::kOkCancel),
              MessageBoxResult::kCancel);
    user.join();
}

TEST_F(WebServerTest, AThousandCallsFromTenClientsArriveInEachPagesOrder) {
    std::map<std::string, std::vector<std::uint64_t>> received;
    std::size_t total = 0;
    desk_->SetPageCallHandler([&](const PageCall& call) {
        received[call.page].push_back(call.seq);
        ++total;
    });
    constexpr int kClients = 10, kCalls = 100;
    std::atomic<int> accepted{0};
    std::vector<std::thread> clients;
    for (int client = 0; client < kClients; ++client) {
        clients.emplace_back([&, client] {
            // Each client sends its page's calls in a scrambled order, as
            // separate connections may deliver them.
            std::vector<int> order(kCalls);
            for (int i = 0; i < kCalls; ++i) order[static_cast<std::size_t>(i)] = i + 1;
            std::mt19937 random(static_cast<unsigned>(client));
            for (std::size_t i = 0; i + 8 <= order.size(); i += 8)
                std::shuffle(order.begin() + static_cast<long>(i),
                             order.begin() + static_cast<long>(i) + 8, random);
            for (int seq : order) {
                const std::string body = R"({"seq":)" + std::to_string(seq) + R"(,"page":"p)" +
                                         std::to_string(client) +
                                         R"(","method":"DisplayHand","args":["1"]})";
                if (RawHttp(port_, Post(port_, "/_/sink", body, cookie_ + Origin())).status == 204)
                    ++accepted;
            }
        });
    }
    const bool done = PumpUntil(
        loop_, [&] { return total == kClients * kCalls; }, 60000);
    for (std::thread& t : clients) t.join();
    EXPECT_TRUE(done) << total;
    EXPECT_EQ(accepted.load(), kClients * kCalls);
    for (int client = 0; client < kClients; ++client) {
        std::vector<std::uint64_t> expected(kCalls);
        for (int i = 0; i < kCalls; ++i)
            expected[static_cast<std::size_t>(i)] = static_cast<std::uint64_t>(i + 1);
        EXPECT_EQ(received["p" + std::to_string(client)], expected) << client;
    }
}

class WebSinkTest : public pagelink::testing::PagelinkTest {};

TEST_F(WebSinkTest, PageCommandsReachTheCallbackThroughThePlugin) {
    pagelink::testing::CRecordingCallback callback;
    std::string error;
    auto bridge = PageLinkBridge::Create(&callback, &error);
    ASSERT_TRUE(bridge) << error;
    EventLoop loop;
    WebDesktopOptions options;
    options.home = fs::temp_directory_path();
    WebDesktop desk(loop, options);
    ASSERT_TRUE(desk.Start(&error)) << error;
    desk.SetPageCallHandler([&](const PageCall& c) { bridge->Call(c.method, c.args); });
    const std::string cookie = "Cookie: seatwatch_token=" + desk.Token() + "\r\n";
    const char* bodies[] = {
        R"({"seq":2,"page":"x","method":"displayGRAPH","args":["Zo\u00eb",-1]})",
        R"({"seq":1,"page":"x","method":"DisplayHand","args":["123456789012"]})",
        R"({"seq":3,"page":"x","method":"NoSuchMethod","args":[]})",
        R"({"seq":4,"page":"x","method":"ChangeReportProperties","args":[1,"GT",3]})",
    };
    for (const char* body : bodies)
        EXPECT_EQ(RawHttp(desk.Port(), Post(desk.Port(), "/_/sink", body, cookie)).status, 204);
    ASSERT_TRUE(PumpUntil(loop, [&] { return callback.calls.size() >= 3; }));
    EXPECT_EQ(callback.calls,
              (std::vector<std::string>{"DisplayHand(123456789012)", "DisplayGraph(Zo\xC3\xAB,-1)",
                                        "ChangeReportProperties(1,GT,3)"}));
    desk.Stop();
    bridge.reset();
}

TEST_F(WebServerTest, StopsAtOnceWithStreamsOpen) {
    std::vector<std::unique_ptr<EventStream>> streams;
    for (int i = 0; i < 3; ++i) streams.push_back(Connect());
    EXPECT_EQ(desk_->ConnectedPages(), 3u);
    const auto start = std::chrono::steady_clock::now();
    desk_->Stop();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    EXPECT_LT(ms, 1500);
    for (auto& s : streams) {
        ASSERT_TRUE(PumpUntil(
            loop_, [&] { return s->Ended(); }, 3000));
        EXPECT_EQ(s->Events().back().name, "bye");
    }
    // Nobody can answer any more: boxes take their default.
    EXPECT_EQ(desk_->MessageBox(kNoWindow, "Bye", "Seatwatch", MessageBoxButtons::kYesNo),
              MessageBoxResult::kYes);
}

}  // namespace
}  // namespace web::testing
