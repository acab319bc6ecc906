#include "web/web_desktop.h"

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <mutex>
#include <optional>
#include <sstream>

#include "web/file_resolver.h"
#include "web/page_shim.h"
#include "web/request_guard.h"

namespace web {

namespace fs = std::filesystem;
using platform::Command;
using platform::CommandKind;
using platform::DeskEvent;
using platform::MessageBoxResult;
using platform::WindowId;

namespace {

constexpr const char* kLocalHost = "127.0.0.1";
constexpr int kServerThreads = 16;
constexpr std::size_t kMaxStreams = 8;
constexpr std::size_t kMaxBody = 1u << 20;
constexpr std::uintmax_t kMaxFileBytes = 64u << 20;
constexpr auto kStreamPoll = std::chrono::milliseconds(1000);
constexpr auto kKeepAliveEvery = std::chrono::seconds(15);
constexpr auto kSubscribeWait = std::chrono::seconds(10);
constexpr int kSinkTimerId = 0x5EA7;
constexpr std::int64_t kSinkTimerMs = 100;

std::string Frame(std::string_view event, std::string_view data) {
    std::string frame;
    frame.reserve(data.size() + event.size() + 16);
    frame += "event: ";
    frame += event;
    frame += "\ndata: ";
    frame += data;
    frame += "\n\n";
    return frame;
}

std::string Dump(const nlohmann::json& j) {
    // Replacement keeps malformed UTF-8 from hostile text from throwing.
    return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void Refuse(httplib::Response& res, int status, const char* text) {
    res.status = status;
    res.set_content(text, "text/plain; charset=utf-8");
}

std::optional<CommandKind> KindFromName(std::string_view name) {
    struct Entry {
        const char* name;
        CommandKind kind;
    };
    static constexpr Entry kKinds[] = {
        {"click", CommandKind::kClick},   {"change", CommandKind::kChange},
        {"select", CommandKind::kSelect}, {"menu", CommandKind::kMenu},
        {"close", CommandKind::kClose},   {"moved", CommandKind::kMoved},
        {"page", CommandKind::kPage},
    };
    for (const Entry& e : kKinds) {
        if (name == e.name) return e.kind;
    }
    return std::nullopt;
}

std::optional<int> IntField(const nlohmann::json& j, const char* key, int fallback) {
    const auto it = j.find(key);
    if (it == j.end() || it->is_null()) return fallback;
    if (!it->is_number_integer()) return std::nullopt;
    const auto n = it->get<std::int64_t>();
    if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(n);
}

std::optional<WindowId> WindowField(const nlohmann::json& j) {
    const auto it = j.find("window");
    if (it == j.end() || !it->is_number_integer()) return std::nullopt;
    const auto n = it->get<std::int64_t>();
    if (n < 0 || n > std::numeric_limits<WindowId>::max()) return std::nullopt;
    return static_cast<WindowId>(n);
}

// A rectangle written either as {x, y, width, height} or as DeskEvent's
// {left, top, right, bottom}.
std::optional<platform::Rect> RectField(const nlohmann::json& j) {
    const auto it = j.find("rect");
    if (it == j.end() || it->is_null()) return platform::Rect{};
    if (!it->is_object()) return std::nullopt;
    if (it->contains("left")) {
        const auto l = IntField(*it, "left", 0), t = IntField(*it, "top", 0);
        const auto r = IntField(*it, "right", 0), b = IntField(*it, "bottom", 0);
        if (!l || !t || !r || !b) return std::nullopt;
        return platform::Rect{*l, *t, *r, *b};
    }
    const auto x = IntField(*it, "x", 0), y = IntField(*it, "y", 0);
    const auto w = IntField(*it, "width", 0), h = IntField(*it, "height", 0);
    if (!x || !y || !w || !h) return std::nullopt;
    return platform::Rect::FromSize(*x, *y, *w, *h);
}

std::optional<Command> ParseCommand(const std::string& body) {
    const nlohmann::json j = nlohmann::json::parse(body, nullptr, false);
    if (j.is_discarded() || !j.is_object()) return std::nullopt;
    Command c;
    const auto window = WindowField(j);
    const auto kind = j.find("kind");
    if (!window || kind == j.end() || !kind->is_string()) return std::nullopt;
    const auto k = KindFromName(kind->get_ref<const std::string&>());
    const auto id = IntField(j, "id", 0);
    const auto selection = IntField(j, "selection", -1);
    const auto rect = RectField(j);
    if (!k || !id || !selection || !rect) return std::nullopt;
    c.window = *window;
    c.kind = *k;
    c.id = *id;
    c.selection = *selection;
    c.rect = *rect;
    if (const auto t = j.find("text"); t != j.end() && !t->is_null()) {
        if (!t->is_string()) return std::nullopt;
        c.text = t->get<std::string>();
    }
    if (const auto ch = j.find("checked"); ch != j.end() && !ch->is_null()) {
        if (!ch->is_boolean()) return std::nullopt;
        c.checked = ch->get<bool>();
    }
    return c;
}

std::optional<PageCall> ParseCall(const std::string& body) {
    const nlohmann::json j = nlohmann::json::parse(body, nullptr, false);
    if (j.is_discarded() || !j.is_object()) return std::nullopt;
    const auto seq = j.find("seq");
    const auto method = j.find("method");
    if (seq == j.end() || !seq->is_number_unsigned() || method == j.end() || !method->is_string() ||
        method->get_ref<const std::string&>().empty()) {
        return std::nullopt;
    }
    PageCall call;
    call.seq = seq->get<std::uint64_t>();
    if (call.seq == 0) return std::nullopt;
    call.method = method->get<std::string>();
    if (const auto page = j.find("page"); page != j.end()) {
        if (!page->is_string()) return std::nullopt;
        call.page = page->get<std::string>();
    }
    if (const auto args = j.find("args"); args != j.end() && !args->is_null()) {
        if (!args->is_array()) return std::nullopt;
        call.args = *args;
    }
    return call;
}

std::optional<MessageBoxResult> ResultFromName(std::string_view name) {
    if (name == "ok") return MessageBoxResult::kOk;
    if (name == "cancel") return MessageBoxResult::kCancel;
    if (name == "yes") return MessageBoxResult::kYes;
    if (name == "no") return MessageBoxResult::kNo;
    return std::nullopt;
}

const char* ResultName(MessageBoxResult result) {
    switch (result) {
        case MessageBoxResult::kOk:
            return "OK";
        case MessageBoxResult::kCancel:
            return "Cancel";
        case MessageBoxResult::kYes:
            return "Yes";
        case MessageBoxResult::kNo:
            return "No";
    }
    return "OK";
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

fs::path Absolute(const fs::path& p) {
    if (p.empty()) return p;
    std::error_code error;
    fs::path a = fs::weakly_canonical(fs::absolute(p, error), error);
    return error ? p.lexically_normal() : a;
}

// The text of a file of at most kMaxFileBytes, or nothing.
std::optional<std::string> ReadWhole(const fs::path& path) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    if (error || size > kMaxFileBytes) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text;
    text.resize(static_cast<std::size_t>(size));
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

}  // namespace

struct WebDesktop::PendingStream {
    std::mutex mutex;
    std::condition_variable ready;
    EventHub::Handle handle;
    bool done = false;
    bool abandoned = false;
};

WebDesktop::WebDesktop(platform::EventLoop& loop, WebDesktopOptions options)
    : platform::DesktopModel(&loop), loop_(loop), options_(std::move(options)), token_(NewToken()) {
    options_.home = Absolute(options_.home);
    options_.assets = Absolute(options_.assets);
}

WebDesktop::~WebDesktop() {
    Stop();
    loop_.KillTimer(platform::kNoWindow, kSinkTimerId);
}

void WebDesktop::Log(const std::string& line) const {
    if (options_.log) options_.log(line);
}

std::string WebDesktop::Address() const {
    return "http://" + std::string(kLocalHost) + ":" + std::to_string(port_) + "/?token=" + token_;
}

bool WebDesktop::Start(std::string* error) {
    if (server_) return true;
    server_ = std::make_unique<httplib::Server>();
    server_->new_task_queue = [] { return new httplib::ThreadPool(kServerThreads); };
    // A short keep-alive lets the server stop at once.
    server_->set_keep_alive_timeout(1);
    server_->set_read_timeout(2, 0);
    server_->set_write_timeout(2, 0);
    server_->set_payload_max_length(kMaxBody);
    InstallRoutes();
    if (options_.port == 0) {
        port_ = server_->bind_to_any_port(kLocalHost);
    } else if (server_->bind_to_port(kLocalHost, options_.port)) {
        port_ = options_.port;
    } else {
        port_ = -1;
    }
    if (port_ <= 0) {
        if (error != nullptr) {
            *error =
                "cannot listen on " + std::string(kLocalHost) + ":" + std::to_string(options_.port);
        }
        server_.reset();
        port_ = 0;
        return false;
    }
    listener_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() does nothing before the server runs, so a Stop() right after
    // Start() would leave the listener running for ever: wait until it runs.
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Log("Desk server listening on " + std::string(kLocalHost) + ":" + std::to_string(port_));
    return true;
}

void WebDesktop::Stop() {
    stopping_ = true;
    hub_.Close();
    if (server_) {
        server_->stop();
        if (listener_.joinable()) listener_.join();
        server_.reset();
        Log("Desk server stopped");
    }
    loop_.Post(nullptr);  // wakes a nested loop of a box or a dialog
}

void WebDesktop::PostToUi(std::function<void()> task) {
    std::weak_ptr<int> alive = alive_;
    loop_.Post([alive, task = std::move(task)] {
        if (alive.lock()) task();
    });
}

std::string WebDesktop::UrlFor(std::string_view address) const {
    if (StartsWithNoCase(address, "http://") || StartsWithNoCase(address, "https://"))
        return std::string(address);
    std::string a(address);
    if (StartsWithNoCase(a, "file://")) a.erase(0, 7);
    for (char& c : a) {
        if (c == '\\') c = '/';
    }
    const fs::path p = fs::path(a).lexically_normal();
    if (p.is_absolute()) {
        for (const fs::path& root : {options_.home, options_.assets}) {
            if (root.empty()) continue;
            const fs::path rel = p.lexically_relative(root);
            if (!rel.empty() && *rel.begin() != ".." && rel != ".")
                return "/" + EncodeUrlPath(rel.generic_string());
        }
        return a;  // already a URL path
    }
    return "/" + EncodeUrlPath(p.generic_string());
}

nlohmann::json WebDesktop::WithUrl(nlohmann::json j) const {
    const auto type = j.find("type");
    const auto address = j.find("address");
    if (type != j.end() && address != j.end() && address->is_string() && !address->empty() &&
        (*type == "navigate" || *type == "create")) {
        j["url"] = UrlFor(address->get_ref<const std::string&>());
    }
    return j;
}

void WebDesktop::Emit(DeskEvent event) {
    nlohmann::json j = WithUrl(event.ToObject());
    j["seq"] = ++seq_;
    if (event.type == "messagebox") {
        // The box's own number, which its "boxclosed" event names again.
        j["box"] = seq_;
        lastBox_ = j;
    }
    hub_.Publish(Frame("desk", Dump(j)));
}

std::string WebDesktop::ResetFrame() const {
    nlohmann::json events = nlohmann::json::array();
    const auto add = [&](DeskEvent e) {
        nlohmann::json j = WithUrl(e.ToObject());
        j["seq"] = seq_;
        events.push_back(std::move(j));
    };
    const std::vector<WindowId> order = ZOrder();  // top first
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const auto s = GetWindow(*it);
        if (!s) continue;
        nlohmann::json controls = nlohmann::json::array();
        for (const platform::Control& c : s->controls) controls.push_back(platform::ToJson(c));
        add(DeskEvent{"create", s->id,
                      nlohmann::json{{"kind", platform::WindowKindName(s->kind)},
                                     {"title", s->title},
                                     {"rect", platform::ToJson(s->rect)},
                                     {"owner", s->owner},
                                     {"visible", s->visible},
                                     {"icon", s->icon},
                                     {"modal", s->modal},
                                     {"controls", controls}}});
        if (s->minimized) {
            add(DeskEvent{"show", s->id,
                          nlohmann::json{{"visible", s->visible}, {"minimized", true}}});
        }
        if (!s->menu.empty())
            add(DeskEvent{"menu", s->id, nlohmann::json{{"items", platform::ToJson(s->menu)}}});
        if (!s->systemMenu.empty()) {
            add(DeskEvent{"sysmenu", s->id,
                          nlohmann::json{{"items", platform::ToJson(s->systemMenu)}}});
        }
        if (s->zoom >= 0) add(DeskEvent{"zoom", s->id, nlohmann::json{{"level", s->zoom}}});
        if (!s->address.empty())
            add(DeskEvent{"navigate", s->id, nlohmann::json{{"address", s->address}}});
        if (!s->drawing.empty())
            add(DeskEvent{"paint", s->id, nlohmann::json{{"svg", s->drawing}}});
    }
    add(DeskEvent{"zorder", platform::kNoWindow, nlohmann::json{{"order", order}}});
    for (const auto& box : openBoxes_) {
        if (box->answered) continue;
        nlohmann::json j = box->event;
        j["seq"] = seq_;
        events.push_back(std::move(j));
    }
    // The browser reconnects a dropped stream after a second.
    return "retry: 1000\n" + Frame("reset", Dump(events));
}

EventHub::Handle WebDesktop::SubscribeThroughLoop() {
    auto pending = std::make_shared<PendingStream>();
    PostToUi([this, pending] {
        std::lock_guard lock(pending->mutex);
        if (pending->abandoned || stopping_) {
            pending->done = true;
        } else {
            // Built and subscribed in one step on the thread that emits, so
            // the stream neither misses nor repeats a change.
            pending->handle = hub_.Subscribe(ResetFrame());
            pending->done = true;
        }
        pending->ready.notify_all();
    });
    std::unique_lock lock(pending->mutex);
    const auto deadline = std::chrono::steady_clock::now() + kSubscribeWait;
    while (!pending->done && !hub_.Closed() && std::chrono::steady_clock::now() < deadline)
        pending->ready.wait_for(lock, std::chrono::milliseconds(100));
    if (!pending->done) {
        pending->abandoned = true;
        return nullptr;
    }
    return pending->handle;
}

void WebDesktop::InstallRoutes() {
    httplib::Server& s = *server_;
    s.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        RequestFacts facts;
        facts.method = req.method;
        const std::string host = req.get_header_value("Host");
        const std::string origin = req.get_header_value("Origin");
        const std::string cookie = req.get_header_value("Cookie");
        const std::string query = req.get_param_value("token");
        facts.host = host;
        facts.originHeader =
            req.has_header("Origin") ? OriginHeader::kPresent : OriginHeader::kAbsent;
        facts.origin = origin;
        facts.cookieHeader = cookie;
        facts.queryToken = query;
        switch (CheckRequest(facts, token_, port_)) {
            case Verdict::kAllow:
                break;
            case Verdict::kBadHost:
                Refuse(res, 403, "Forbidden host\n");
                return httplib::Server::HandlerResponse::Handled;
            case Verdict::kNoToken:
                Refuse(res, 401, "Unauthorized\n");
                return httplib::Server::HandlerResponse::Handled;
            case Verdict::kBadOrigin:
                Refuse(res, 403, "Forbidden origin\n");
                return httplib::Server::HandlerResponse::Handled;
        }
        res.set_header("X-Content-Type-Options", "nosniff");
        res.set_header("Referrer-Policy", "no-referrer");
        res.set_header("Cache-Control", "no-store");
        return httplib::Server::HandlerResponse::Unhandled;
    });

    s.Get("/", [this](const httplib::Request&, httplib::Response& res) {
        res.set_header("Set-Cookie", std::string(kTokenCookie) + "=" + token_ +
                                         "; HttpOnly; SameSite=Strict; Path=/");
        res.set_redirect("/_/desk/", 303);
    });

    s.Get("/_/events", [this](const httplib::Request&, httplib::Response& res) {
        if (hub_.Count() >= kMaxStreams) {
            Refuse(res, 503, "Too many desk pages\n");
            return;
        }
        EventHub::Handle handle = SubscribeThroughLoop();
        if (!handle) {
            Refuse(res, 503, "The program is busy or stopping\n");
            return;
        }
        auto lastWrite = std::make_shared<std::chrono::steady_clock::time_point>(
            std::chrono::steady_clock::now());
        res.set_header("X-Accel-Buffering", "no");
        res.set_chunked_content_provider(
            "text/event-stream",
            [this, handle, lastWrite](std::size_t, httplib::DataSink& sink) {
                std::string out;
                switch (hub_.Next(handle, out, kStreamPoll)) {
                    case EventHub::Wait::kFrames:
                        *lastWrite = std::chrono::steady_clock::now();
                        return sink.write(out.data(), out.size());
                    case EventHub::Wait::kClosed: {
                        const std::string bye = Frame("bye", "{}");
                        sink.write(bye.data(), bye.size());
                        sink.done();
                        return true;
                    }
                    case EventHub::Wait::kDropped:
                        sink.done();
                        return true;
                    case EventHub::Wait::kTimeout:
                        break;
                }
                if (std::chrono::steady_clock::now() - *lastWrite >= kKeepAliveEvery) {
                    *lastWrite = std::chrono::steady_clock::now();
                    static constexpr char kComment[] = ": keep-alive\n\n";
                    return sink.write(kComment, sizeof kComment - 1);
                }
                return true;
            },
            [this, handle](bool) { hub_.Unsubscribe(handle); });
    });

    s.Post("/_/command", [this](const httplib::Request& req, httplib::Response& res) {
        const auto command = ParseCommand(req.body);
        if (!command) return Refuse(res, 400, "Bad command\n");
        PostToUi([this, c = *command] { ApplyCommand(c); });
        res.status = 204;
    });

    s.Post("/_/answer", [this](const httplib::Request& req, httplib::Response& res) {
        const nlohmann::json j = nlohmann::json::parse(req.body, nullptr, false);
        const auto window = j.is_object() ? WindowField(j) : std::nullopt;
        const auto result = j.is_object() && j.contains("result") && j["result"].is_string()
                                ? ResultFromName(j["result"].get_ref<const std::string&>())
                                : std::nullopt;
        if (!window || !result) return Refuse(res, 400, "Bad answer\n");
        PostToUi([this, w = *window, r = *result] { Answer(w, r); });
        res.status = 204;
    });

    s.Post("/_/sink", [this](const httplib::Request& req, httplib::Response& res) {
        auto call = ParseCall(req.body);
        if (!call) return Refuse(res, 400, "Bad page command\n");
        PostToUi([this, c = std::move(*call)]() mutable { AcceptCall(std::move(c)); });
        res.status = 204;
    });

    s.Post(R"(/_/program/([a-z0-9-]{1,32}))",
           [this](const httplib::Request& req, httplib::Response& res) {
               ProgramPostHandler handler;
               {
                   std::lock_guard lock(programMutex_);
                   const auto it = programHandlers_.find(req.matches[1].str());
                   if (it != programHandlers_.end()) handler = it->second;
               }
               if (!handler) return Refuse(res, 404, "Not found\n");
               PostToUi([handler = std::move(handler), body = req.body] { handler(body); });
               res.status = 202;
           });

    s.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
        const std::string& path = req.path;
        Resolved found;
        if (path.starts_with("/_/desk/")) {
            std::string rel = path.substr(8);
            if (rel.empty()) rel = "desk.html";
            found = ResolveBelow(options_.assets / "desk", rel);
        } else if (path.starts_with("/_/")) {
            return Refuse(res, 404, "Not found\n");
        } else {
            // The pages' images ("../s_hearts.gif" from a page in Temp/) are
            // the assets' images/, looked for after the two folders.
            const fs::path images =
                options_.assets.empty() ? fs::path() : options_.assets / "images";
            for (const fs::path& root : {options_.home, options_.assets, images}) {
                if (root.empty()) continue;
                found = ResolveBelow(root, path);
                if (found.lookup != Lookup::kNotFound) break;
            }
        }
        if (found.lookup == Lookup::kForbidden) return Refuse(res, 403, "Forbidden\n");
        std::optional<std::string> content;
        if (found.lookup == Lookup::kFound) content = ReadWhole(found.path);
        if (!content) return Refuse(res, 404, "Not found\n");
        const std::string type = ContentTypeFor(found.path, *content);
        const bool page = IsHtmlFile(found.path) && !path.starts_with("/_/desk/");
        // Sent as it is, through a provider of known length, which the
        // server never compresses: compressing for a browser on the same
        // machine would cost CPU on every reload of every page and save
        // nothing.
        auto body = std::make_shared<const std::string>(page ? InsertPageShim(*content)
                                                             : std::move(*content));
        if (body->empty()) return res.set_content(std::string(), type);
        res.set_content_provider(
            body->size(), type,
            [body](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                return sink.write(body->data() + offset, length);
            });
    });
}

void WebDesktop::SetProgramPostHandler(const std::string& name, ProgramPostHandler handler) {
    std::lock_guard lock(programMutex_);
    if (handler) {
        programHandlers_[name] = std::move(handler);
    } else {
        programHandlers_.erase(name);
    }
}

void WebDesktop::ApplyCommand(const Command& command) {
    if (commandObserver_) commandObserver_(command);
    if (command.window == platform::kNoWindow) {
        // Window 0 is the desk itself: its size is the work area.
        if (command.kind == CommandKind::kMoved && command.rect.Width() > 0 &&
            command.rect.Height() > 0) {
            SetWorkArea(command.rect);
        }
        return;
    }
    DeliverUserCommand(command);
}

void WebDesktop::Answer(WindowId window, MessageBoxResult result) {
    for (auto it = openBoxes_.rbegin(); it != openBoxes_.rend(); ++it) {
        if ((*it)->owner == window && !(*it)->answered) {
            (*it)->answered = true;
            (*it)->result = result;
            return;
        }
    }
}

void WebDesktop::AcceptCall(PageCall call) {
    const std::int64_t now = loop_.GetClock().MonotonicMs();
    DeliverCalls(sequencer_.Accept(std::move(call), now));
    if (sequencer_.Holding() && !loop_.IsTimerArmed(platform::kNoWindow, kSinkTimerId)) {
        loop_.SetTimer(platform::kNoWindow, kSinkTimerId, kSinkTimerMs, [this] {
            DeliverCalls(sequencer_.Expire(loop_.GetClock().MonotonicMs()));
            if (!sequencer_.Holding()) loop_.KillTimer(platform::kNoWindow, kSinkTimerId);
        });
    }
}

void WebDesktop::DeliverCalls(std::vector<PageCall> calls) {
    for (const PageCall& call : calls) {
        if (pageCallHandler_) pageCallHandler_(call);
    }
}

bool WebDesktop::UserPresent() const {
    return options_.mode == DeskMode::kInteractive && !stopping_ && hub_.EverSubscribed();
}

MessageBoxResult WebDesktop::AskMessageBox(WindowId owner, std::string_view text,
                                           std::string_view caption,
                                           platform::MessageBoxButtons buttons) {
    const MessageBoxResult fallback = buttons == platform::MessageBoxButtons::kYesNo
                                          ? MessageBoxResult::kYes
                                          : MessageBoxResult::kOk;
    const auto takeDefault = [&] {
        // Nobody can answer: the text must not vanish unseen.
        const std::string line = "Message \"" + std::string(caption) + "\": " + std::string(text) +
                                 " [" + ResultName(fallback) + "]";
        std::fprintf(stderr, "%s\n", line.c_str());
        Log(line);
        return fallback;
    };
    if (!UserPresent()) return takeDefault();
    auto box = std::make_shared<OpenBox>();
    box->owner = owner;
    box->event = lastBox_;
    openBoxes_.push_back(box);
    loop_.RunUntil([&] { return box->answered || stopping_; });
    std::erase(openBoxes_, box);
    // Every desk page showed the box; the one that answered has removed it,
    // the others (a second tab) are told that it is over.
    if (!stopping_) {
        Emit(DeskEvent{"boxclosed", owner,
                       nlohmann::json{{"box", box->event.value("box", std::int64_t{0})}}});
    }
    return box->answered ? box->result : takeDefault();
}

void WebDesktop::WaitForDialog(WindowId dialog) {
    if (UserPresent()) {
        loop_.RunUntil([&] { return DialogEnded(dialog) || stopping_; });
        if (DialogEnded(dialog)) return;
    }
    std::string line = "Dialog";
    if (const auto state = GetWindow(dialog)) {
        line += " \"" + state->title + "\"";
        for (const platform::Control& c : state->controls) {
            if (c.kind == platform::ControlKind::kStatic && !c.text.empty()) line += ": " + c.text;
        }
    }
    line += " [Cancel]";
    std::fprintf(stderr, "%s\n", line.c_str());
    Log(line);
    EndDialog(dialog, platform::kIdCancel);
}

}  // namespace web
