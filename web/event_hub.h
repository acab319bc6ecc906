#pragma once
// The fan-out of desk events to the open event streams. The user-interface
// thread publishes each event once as a ready Server-Sent Events frame; each
// stream's server thread waits for its own queue. Thread-safe. A stream whose
// queue grows beyond a bound (a client that stopped reading) is dropped: its
// browser reconnects and starts again from a full reset.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace web {

class EventHub {
  public:
    struct Subscriber;
    using Handle = std::shared_ptr<Subscriber>;

    enum class Wait { kFrames, kTimeout, kDropped, kClosed };

    explicit EventHub(std::size_t maxPendingBytes = 16u << 20);

    // A new stream whose first frame is first (the reset).
    Handle Subscribe(std::string first);
    void Unsubscribe(const Handle& handle);
    // Appends frame to every stream.
    void Publish(const std::string& frame);
    // Moves the stream's pending frames into out, waiting up to timeout for
    // one. kClosed once Close() was called (pending frames are dropped: the
    // program is stopping); kDropped when the stream fell too far behind.
    Wait Next(const Handle& handle, std::string& out, std::chrono::milliseconds timeout);
    // Wakes every stream for good.
    void Close();
    bool Closed() const;

    std::size_t Count() const;
    // True once any stream has subscribed.
    bool EverSubscribed() const;

  private:
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<Handle> subscribers_;
    std::size_t maxPendingBytes_;
    bool closed_ = false;
    bool everSubscribed_ = false;
};

}  // namespace web
