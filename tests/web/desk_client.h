#pragma once
// What the web tests use to talk to a running web desktop as a browser
// would: raw HTTP requests over loopback (so every header and byte of the
// path is the test's own), an event-stream reader on its own thread, and a
// pump that runs the UI thread's loop until a condition holds.

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "platform/event_loop.h"

namespace web::testing {

struct RawResponse {
    int status = 0;
    std::string head;  // status line and headers
    std::string body;  // as sent (chunked bodies are not decoded)
};

// Sends request as written (it should say "Connection: close") and reads
// the answer until the server closes.
inline RawResponse RawHttp(int port, const std::string& request) {
    RawResponse out;
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return out;
    }
    timeval timeout{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    std::size_t sent = 0;
    while (sent < request.size()) {
        const ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    std::string all;
    char buffer[8192];
    for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;)
        all.append(buffer, static_cast<std::size_t>(n));
    close(fd);
    const std::size_t split = all.find("\r\n\r\n");
    out.head = all.substr(0, split);
    if (split != std::string::npos) out.body = all.substr(split + 4);
    if (out.head.size() > 12) out.status = std::atoi(out.head.c_str() + 9);
    return out;
}

// A GET with the usual headers of a desk page.
inline std::string Get(int port, const std::string& path, const std::string& extra = "") {
    return "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
           "\r\nConnection: close\r\n" + extra + "\r\n";
}

inline std::string Post(int port, const std::string& path, const std::string& body,
                        const std::string& extra = "") {
    return "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
           "\r\nConnection: close\r\nContent-Type: application/json\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n" + extra + "\r\n" + body;
}

// Runs the loop on this thread until done() or timeoutMs passed; true when done.
inline bool PumpUntil(platform::EventLoop& loop, const std::function<bool()>& done,
                      int timeoutMs = 5000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        loop.PumpPending();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// One event stream, read on its own thread. Events are kept as
// (event name, data as JSON).
class EventStream {
  public:
    struct Event {
        std::string name;
        nlohmann::json data;
    };

    EventStream(int port, std::string token) : client_("127.0.0.1", port) {
        client_.set_read_timeout(60, 0);
        thread_ = std::thread([this, token] {
            const httplib::Headers headers{{"Cookie", "seatwatch_token=" + token}};
            auto result = client_.Get("/_/events", headers, [this](const char* data, size_t n) {
                std::lock_guard lock(mutex_);
                buffer_.append(data, n);
                Parse();
                changed_.notify_all();
                return !stop_;
            });
            std::lock_guard lock(mutex_);
            status_ = result ? result->status : -1;
            ended_ = true;
            changed_.notify_all();
        });
    }
    ~EventStream() { Close(); }

    void Close() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        client_.stop();
        if (thread_.joinable()) thread_.join();
    }

    std::vector<Event> Events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }
    std::size_t Count() const {
        std::lock_guard lock(mutex_);
        return events_.size();
    }
    bool Ended() const {
        std::lock_guard lock(mutex_);
        return ended_;
    }
    std::string Raw() const {
        std::lock_guard lock(mutex_);
        return raw_;
    }

  private:
    void Parse() {
        std::size_t end;
        while ((end = buffer_.find("\n\n")) != std::string::npos) {
            const std::string frame = buffer_.substr(0, end);
            raw_ += frame + "\n\n";
            buffer_.erase(0, end + 2);
            Event e;
            std::size_t at = 0;
            while (at < frame.size()) {
                std::size_t nl = frame.find('\n', at);
                if (nl == std::string::npos) nl = frame.size();
                const std::string line = frame.substr(at, nl - at);
                if (line.starts_with("event: ")) e.name = line.substr(7);
                if (line.starts_with("data: "))
                    e.data = nlohmann::json::parse(line.substr(6), nullptr, false);
                at = nl + 1;
            }
            if (!e.name.empty()) events_.push_back(std::move(e));
        }
    }

    httplib::Client client_;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::string buffer_;
    std::string raw_;
    std::vector<Event> events_;
    bool stop_ = false;
    bool ended_ = false;
    int status_ = 0;
};

}  // namespace web::testing
