#pragma once
// The desktop of the program on the desk page: a DesktopModel whose every
// change goes out on the Server-Sent Events stream of each open desk page,
// and an HTTP server on 127.0.0.1 that serves the desk, the program folder
// (then the assets folder, then the assets' images/) and takes the user's commands, message-box
// answers and page commands. Server threads only post to the event loop;
// everything else runs on the user-interface thread. The wire format is
// described in web/PROTOCOL.md.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/desktop_model.h"
#include "platform/event_loop.h"
#include "web/call_sequencer.h"
#include "web/event_hub.h"

namespace httplib {
class Server;
}

namespace web {

enum class DeskMode {
    kInteractive,  // message boxes and dialogs wait for the user once a desk page has connected
    kHeadless,     // they always take their default answer
};

struct WebDesktopOptions {
    std::filesystem::path home;    // the program folder, served first
    std::filesystem::path assets;  // the assets folder; the desk's files are in its desk/
    int port = 0;                  // 0: any free port
    DeskMode mode = DeskMode::kInteractive;
    // Receives one line per notable event (never the token).
    std::function<void(std::string_view)> log;
};

class WebDesktop final : public platform::DesktopModel {
  public:
    WebDesktop(platform::EventLoop& loop, WebDesktopOptions options);
    ~WebDesktop() override;
    WebDesktop(const WebDesktop&) = delete;
    WebDesktop& operator=(const WebDesktop&) = delete;

    // Binds 127.0.0.1 and starts serving; false (with error set) when the
    // port cannot be bound.
    bool Start(std::string* error);
    // Sends every stream "bye", wakes and closes them, and stops the server;
    // returns at once even with desk pages open. Open message boxes and
    // dialogs end with their default answer.
    void Stop();

    int Port() const { return port_; }
    // The address to open: http://127.0.0.1:PORT/?token=...
    std::string Address() const;
    const std::string& Token() const { return token_; }
    // The number of open event streams.
    std::size_t ConnectedPages() const { return hub_.Count(); }
    // The served URL path for a page address (see PROTOCOL.md).
    std::string UrlFor(std::string_view address) const;

    // Receives every page command, in each page's order, on the UI thread.
    void SetPageCallHandler(std::function<void(const PageCall&)> handler) {
        pageCallHandler_ = std::move(handler);
    }
    // Sees every user command on the UI thread before it is applied.
    void SetCommandObserver(std::function<void(const platform::Command&)> observer) {
        commandObserver_ = std::move(observer);
    }

    // A program-defined request: POST /_/program/NAME, admitted like every
    // request (token, Host, Origin), runs handler with the request body on
    // the UI thread. The server answers 202 once the call is queued, 404 for
    // a name without a handler. Names are 1 to 32 of [a-z0-9-]; any thread.
    using ProgramPostHandler = std::function<void(const std::string& body)>;
    void SetProgramPostHandler(const std::string& name, ProgramPostHandler handler);

  protected:
    void Emit(platform::DeskEvent event) override;
    platform::MessageBoxResult AskMessageBox(platform::WindowId owner, std::string_view text,
                                             std::string_view caption,
                                             platform::MessageBoxButtons buttons) override;
    void WaitForDialog(platform::WindowId dialog) override;

  private:
    struct OpenBox {
        platform::WindowId owner = platform::kNoWindow;
        nlohmann::json event;
        bool answered = false;
        platform::MessageBoxResult result = platform::MessageBoxResult::kOk;
    };
    struct PendingStream;

    void InstallRoutes();
    // The reset frame: the whole desk as events. UI thread.
    std::string ResetFrame() const;
    nlohmann::json WithUrl(nlohmann::json event) const;
    // Server thread: subscribes through the UI thread; null when the loop
    // does not answer or the server stops.
    EventHub::Handle SubscribeThroughLoop();
    // Runs task on the UI thread while this desktop exists.
    void PostToUi(std::function<void()> task);
    void ApplyCommand(const platform::Command& command);
    void Answer(platform::WindowId window, platform::MessageBoxResult result);
    void AcceptCall(PageCall call);
    void DeliverCalls(std::vector<PageCall> calls);
    bool UserPresent() const;
    void Log(const std::string& line) const;

    platform::EventLoop& loop_;
    WebDesktopOptions options_;
    std::string token_;
    int port_ = 0;
    std::unique_ptr<httplib::Server> server_;
    std::thread listener_;
    EventHub hub_;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);

    // UI thread only.
    std::uint64_t seq_ = 0;
    std::vector<std::shared_ptr<OpenBox>> openBoxes_;
    nlohmann::json lastBox_;
    CallSequencer sequencer_;
    bool stopping_ = false;
    std::function<void(const PageCall&)> pageCallHandler_;
    std::function<void(const platform::Command&)> commandObserver_;

    // Any thread, under programMutex_.
    std::mutex programMutex_;
    std::map<std::string, ProgramPostHandler> programHandlers_;
};

}  // namespace web
