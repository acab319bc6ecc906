// seatwatch-desk-harness --scene NAME [--port N] [--home DIR] [--assets DIR]
//                        [--pagelink LIBRARY] [--headless]
//
// The program the browser tests drive: a web desktop showing one scene. The
// first line on standard output is the desk's address (with its token); then
// every command the desk sends, and every result of a dialog, message box or
// page command, is one JSON line. Scenes: console, dialog, messagebox, sink,
// hostile, many. Stops on SIGINT or SIGTERM.

#include <dlfcn.h>
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <thread>

#include "com/bstr.h"
#include "com/runtime.h"
#include "pagelink/interfaces.h"
#include "platform/desk_event.h"
#include "platform/event_loop.h"
#include "platform/wine_registry.h"
#include "web/pagelink_bridge.h"
#include "web/web_desktop.h"

namespace {

namespace fs = std::filesystem;
using namespace platform;

constexpr const char* kUsage =
    "usage: seatwatch-desk-harness --scene console|dialog|messagebox|sink|hostile|many "
    "[--port N] [--home DIR] [--assets DIR] [--pagelink LIBRARY] [--headless]\n";
constexpr const char* kHostile = "<img src=x onerror=alert(1)><script>alert(2)</script>";
constexpr const char* kSinkObject =
    "<object classid=\"clsid:A0DC81A6-A79E-4BC8-98C5-7F11E897D85D\" ID=\"BrowserSink\" "
    "HEIGHT=0 WIDTH=0></object>\n";

struct Options {
    std::string scene;
    int port = 0;
    fs::path home;
    fs::path assets = SEATWATCH_ASSETS_DIR;
    fs::path pagelink = SEATWATCH_PAGELINK_PATH;
    bool headless = false;
};

void PrintLine(const nlohmann::json& j) {
    const std::string line = j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    std::fprintf(stdout, "%s\n", line.c_str());
    std::fflush(stdout);
}

const char* KindName(CommandKind kind) {
    switch (kind) {
        case CommandKind::kInit:
            return "init";
        case CommandKind::kClick:
            return "click";
        case CommandKind::kChange:
            return "change";
        case CommandKind::kSelect:
            return "select";
        case CommandKind::kMenu:
            return "menu";
        case CommandKind::kClose:
            return "close";
        case CommandKind::kMoved:
            return "moved";
        case CommandKind::kPage:
            return "page";
    }
    return "click";
}

nlohmann::json CommandJson(const Command& c) {
    return nlohmann::json{{"command",
                           {{"window", c.window},
                            {"kind", KindName(c.kind)},
                            {"id", c.id},
                            {"text", c.text},
                            {"selection", c.selection},
                            {"checked", c.checked},
                            {"rect", ToJson(c.rect)}}}};
}

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// The console's page commands, printed as the console would receive them.
class CPrintingCallback final : public pagelink::IBrowserSinkNoDispatch {
  public:
    com::HRESULT QueryInterface(const com::IID& riid, void** object) override {
        if (!object) return com::E_POINTER;
        if (riid == com::IID_IUnknown || riid == pagelink::IID_IBrowserSinkNoDispatch) {
            *object = static_cast<IBrowserSinkNoDispatch*>(this);
            return com::S_OK;
        }
        *object = nullptr;
        return com::E_NOINTERFACE;
    }
    com::ULONG AddRef() override { return 2; }
    com::ULONG Release() override { return 1; }
    com::HRESULT DisplayGraph(com::BSTR name, com::INT options) override {
        return Print("DisplayGraph", {S(name), options});
    }
    com::HRESULT DisplayHand(com::BSTR number) override {
        return Print("DisplayHand", {S(number)});
    }
    com::HRESULT ToggleWindowSize() override {
        return Print("ToggleWindowSize", nlohmann::json::array());
    }
    com::HRESULT DisplayCalc(com::BSTR name) override { return Print("DisplayCalc", {S(name)}); }
    com::HRESULT ChangeReportProperties(com::LONG report, com::BSTR property,
                                        com::LONG value) override {
        return Print("ChangeReportProperties", {report, S(property), value});
    }
    com::HRESULT ChangeReportProperties2(com::LONG report, com::BSTR property,
                                         com::BSTR value) override {
        return Print("ChangeReportProperties2", {report, S(property), S(value)});
    }
    com::HRESULT DisplayAlerts(com::BSTR table, com::BSTR hints, com::LONG type,
                               com::BSTR file) override {
        return Print("DisplayAlerts", {S(table), S(hints), type, S(file)});
    }

  private:
    static std::string S(com::BSTR s) { return s ? com::Utf8FromBstr(s) : std::string(); }
    static com::HRESULT Print(const char* method, nlohmann::json args) {
        PrintLine({{"sink", {{"method", method}, {"args", std::move(args)}}}});
        return com::S_OK;
    }
};

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--headless") {
            o.headless = true;
            continue;
        }
        const char* v = value();
        if (v == nullptr) return false;
        if (arg == "--scene") {
            o.scene = v;
        } else if (arg == "--port") {
            o.port = std::atoi(v);
        } else if (arg == "--home") {
            o.home = v;
        } else if (arg == "--assets") {
            o.assets = v;
        } else if (arg == "--pagelink") {
            o.pagelink = v;
        } else {
            return false;
        }
    }
    return !o.scene.empty();
}

// Registers the plug-in in the program folder's store, as seatwatch-regsvr
// does, so that CoCreateInstance finds it there.
bool RegisterPagelink(const fs::path& library, com::HRESULT* hr) {
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return false;
    auto reg = reinterpret_cast<com::DllRegisterServerFn>(dlsym(handle, "DllRegisterServer"));
    *hr = reg ? reg() : com::E_FAIL;
    dlclose(handle);
    return reg != nullptr && !com::Failed(*hr);
}

WindowDescription Panel(WindowKind kind, std::string title, Rect rect) {
    WindowDescription d;
    d.kind = kind;
    d.title = std::move(title);
    d.rect = rect;
    d.visible = true;
    return d;
}

MenuItem Item(std::string text, int command, std::vector<MenuItem> children = {}) {
    MenuItem m;
    m.text = std::move(text);
    m.command = command;
    m.children = std::move(children);
    return m;
}

MenuItem Separator() {
    MenuItem m;
    m.separator = true;
    return m;
}

std::string SimplePage(std::string_view title, std::string_view body) {
    return "<HTML><HEAD><TITLE>" + std::string(title) + "</TITLE></HEAD>\n<BODY>\n" +
           std::string(body) + "\n</BODY></HTML>\n";
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (options.home.empty()) {
        options.home = fs::temp_directory_path() / ("seatwatch-desk-" + std::to_string(getpid()));
    }
    fs::create_directories(options.home / "Temp");

    // SIGINT and SIGTERM are taken by one thread, which ends the loop.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    EventLoop loop;
    web::WebDesktopOptions deskOptions;
    deskOptions.home = options.home;
    deskOptions.assets = options.assets;
    deskOptions.port = options.port;
    deskOptions.mode = options.headless ? web::DeskMode::kHeadless : web::DeskMode::kInteractive;
    web::WebDesktop desk(loop, deskOptions);
    std::string error;
    if (!desk.Start(&error)) {
        std::fprintf(stderr, "seatwatch-desk-harness: %s\n", error.c_str());
        return 3;
    }
    std::fprintf(stdout, "%s\n", desk.Address().c_str());
    std::fflush(stdout);

    std::thread signalThread([&] {
        int signal = 0;
        sigwait(&signals, &signal);
        loop.Quit(0);
    });
    signalThread.detach();

    desk.SetCommandObserver([](const Command& c) { PrintLine(CommandJson(c)); });

    platform::WineRegistry registry("", options.home / "registry.reg");
    CPrintingCallback callback;
    std::unique_ptr<web::PageLinkBridge> bridge;
    const fs::path temp = options.home / "Temp";

    // Work that needs a user waits until a desk page has connected.
    std::function<void()> whenConnected;
    const auto afterConnect = [&](std::function<void()> work) {
        whenConnected = std::move(work);
        loop.SetTimer(kNoWindow, 1, 50, [&] {
            if (desk.ConnectedPages() == 0) return;
            loop.KillTimer(kNoWindow, 1);
            auto work = std::move(whenConnected);
            if (work) work();
        });
    };

    const std::string& scene = options.scene;
    if (scene == "console") {
        WriteFile(temp / "console.htm",
                  SimplePage("Console", "<p id='status'>Seatwatch is running.</p>"));
        const WindowId console = desk.CreateWindow(
            Panel(WindowKind::kHtml, "Seatwatch Console", Rect{20, 20, 520, 420}));
        desk.Navigate(console, (temp / "console.htm").string());
        WindowDescription tools = Panel(WindowKind::kTool, "Tools", Rect{560, 20, 860, 220});
        tools.controls.push_back(
            MakeControl(100, ControlKind::kButton, "Refresh", Rect{10, 10, 90, 34}));
        const WindowId tool = desk.CreateWindow(tools);
        desk.SetMenu(console, {Item("&File", 0, {Item("&Exit", 131)}),
                               Item("&View", 0,
                                    {Item("&Manual Calculator", 32777), Separator(),
                                     Item("&Report Window", 32799)})});
        desk.SetMenu(tool, {Item("&Tools", 0, {Item("&Options", 32822)})});
    } else if (scene == "dialog") {
        afterConnect([&] {
            DialogDescription d;
            d.title = "General Options";
            d.width = 420;
            d.height = 300;
            d.controls = {
                MakeControl(1000, ControlKind::kStatic,
                            "Changes will take effect once you restart the software.",
                            Rect{10, 10, 400, 30}),
                MakeControl(1111, ControlKind::kCheckBox,
                            "Reuse the same window when displaying graphs", Rect{10, 40, 400, 60}),
                MakeControl(1127, ControlKind::kRadio, "Attach automatically",
                            Rect{10, 70, 400, 90}),
                MakeControl(1128, ControlKind::kRadio, "Never attach", Rect{10, 95, 400, 115}),
                MakeControl(1129, ControlKind::kRadio, "Always attach", Rect{10, 120, 400, 140}),
                MakeControl(1200, ControlKind::kEdit, "Hero", Rect{10, 150, 200, 172}),
                MakeControl(1300, ControlKind::kComboBox, "", Rect{10, 180, 200, 202}),
                MakeControl(kIdOk, ControlKind::kButton, "OK", Rect{220, 250, 300, 280}),
                MakeControl(kIdCancel, ControlKind::kButton, "Cancel", Rect{310, 250, 400, 280}),
            };
            d.controls[2].checked = true;
            d.controls[6].items = {"Real money", "Play money"};
            const DialogResult result = desk.RunDialog(kNoWindow, d, [](const Command& c) {
                if (c.kind == CommandKind::kInit) PrintLine({{"dialog", "init"}});
                return false;
            });
            nlohmann::json controls = nlohmann::json::array();
            for (const Control& c : result.controls) controls.push_back(ToJson(c));
            PrintLine({{"dialog", {{"code", result.code}, {"controls", controls}}}});
        });
    } else if (scene == "messagebox") {
        afterConnect([&] {
            const MessageBoxResult r = desk.MessageBox(kNoWindow, "Do you want to continue?",
                                                       "Seatwatch", MessageBoxButtons::kOkCancel);
            PrintLine({{"messagebox", r == MessageBoxResult::kCancel ? "cancel" : "ok"}});
        });
    } else if (scene == "sink") {
        com::HRESULT hr = com::S_OK;
        com::SetRegistry(&registry);
        if (!RegisterPagelink(options.pagelink, &hr)) {
            std::fprintf(stderr, "seatwatch-desk-harness: cannot register %s\n",
                         options.pagelink.c_str());
            return 4;
        }
        bridge = web::PageLinkBridge::Create(&callback, &error);
        if (!bridge) {
            std::fprintf(stderr, "seatwatch-desk-harness: %s\n", error.c_str());
            return 4;
        }
        desk.SetPageCallHandler(
            [&](const web::PageCall& call) { bridge->Call(call.method, call.args); });
        WriteFile(
            temp / "sink.htm",
            "<HTML>\n<HEAD><TITLE>Links</TITLE></HEAD>\n<BODY>\n" + std::string(kSinkObject) +
                "<a id='hand' href=\"javascript:BrowserSink.DisplayHand('4021')\">hand</a>\n"
                "<a id='graph' href=\"javascript:BrowserSink.DisplayGraph('Bob',-1)\">graph</a>\n"
                "<a id='calc' href=\"javascript:browsersink.displaycalc('Seatwatch Manual "
                "Calculator')\">calc</a>\n"
                "<a id='report' "
                "href=\"javascript:BrowserSink.ChangeReportProperties(1,'GT',3)\">report</a>\n"
                "<a id='toggle' href=\"javascript:BrowserSink.ToggleWindowSize()\">toggle</a>\n"
                "<a id='alerts' "
                "href=\"javascript:BrowserSink.DisplayAlerts('T\\u00e9ble','Zo\\u00eb',1,'a.htm')"
                "\">alerts</a>\n"
                "</BODY></HTML>\n");
        const WindowId page =
            desk.CreateWindow(Panel(WindowKind::kHtml, "Links", Rect{20, 20, 620, 420}));
        desk.Navigate(page, (temp / "sink.htm").string());
    } else if (scene == "hostile") {
        WriteFile(temp / "hostile.htm",
                  SimplePage("&lt;img src=x onerror=alert(1)&gt;",
                             "<p id='name'>&lt;img src=x onerror=alert(1)&gt; &amp; "
                             "&lt;script&gt;alert(2)&lt;/script&gt;</p>"));
        const WindowId html =
            desk.CreateWindow(Panel(WindowKind::kHtml, kHostile, Rect{20, 20, 520, 320}));
        desk.Navigate(html, (temp / "hostile.htm").string());
        WindowDescription tool =
            Panel(WindowKind::kTool, std::string("Tool ") + kHostile, Rect{540, 20, 900, 320});
        tool.controls.push_back(
            MakeControl(10, ControlKind::kStatic, kHostile, Rect{10, 10, 340, 40}));
        tool.controls.push_back(
            MakeControl(11, ControlKind::kButton, kHostile, Rect{10, 50, 340, 80}));
        desk.CreateWindow(tool);
        afterConnect([&] {
            const MessageBoxResult r =
                desk.MessageBox(kNoWindow, kHostile, kHostile, MessageBoxButtons::kOk);
            PrintLine({{"messagebox", r == MessageBoxResult::kCancel ? "cancel" : "ok"}});
            DialogDescription d;
            d.title = kHostile;
            d.controls = {
                MakeControl(10, ControlKind::kStatic, kHostile, Rect{10, 10, 280, 40}),
                MakeControl(kIdOk, ControlKind::kButton, kHostile, Rect{10, 150, 100, 180})};
            const DialogResult result = desk.RunDialog(kNoWindow, d, nullptr);
            PrintLine({{"dialog", {{"code", result.code}}}});
        });
    } else if (scene == "many") {
        // 20 tables, each with its information, calculator and alerts panel.
        static constexpr const char* kKinds[] = {"Table", "Calculator", "Alerts"};
        std::vector<WindowId> panels;
        for (int table = 0; table < 20; ++table) {
            for (int k = 0; k < 3; ++k) {
                const int n = table * 3 + k;
                const Rect r = Rect::FromSize(10 + (n % 10) * 120, 10 + (n / 10) * 110, 115, 100);
                panels.push_back(desk.CreateWindow(
                    Panel(WindowKind::kHtml,
                          std::string(kKinds[k]) + " " + std::to_string(table + 1), r)));
            }
        }
        static int updateRound = 0;
        const auto update = [&desk, &temp, panels] {
            ++updateRound;
            for (std::size_t i = 0; i < panels.size(); ++i) {
                const fs::path page = temp / ("panel_" + std::to_string(i) + ".htm");
                WriteFile(page, SimplePage("Panel", "<p class='round'>" +
                                                        std::to_string(updateRound) + "</p>"));
                desk.Navigate(panels[i], page.string());
            }
        };
        update();
        loop.SetTimer(kNoWindow, 2, 2000, update);
    } else {
        std::fputs(kUsage, stderr);
        return 2;
    }

    const int code = loop.Run();
    desk.Stop();
    bridge.reset();
    com::CoFreeUnusedLibraries();
    com::SetRegistry(nullptr);
    PrintLine({{"exit", code}});
    return code;
}
