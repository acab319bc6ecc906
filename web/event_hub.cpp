#include "web/event_hub.h"

#include <algorithm>

namespace web {

struct EventHub::Subscriber {
    std::string pending;
    bool dropped = false;
};

EventHub::EventHub(std::size_t maxPendingBytes) : maxPendingBytes_(maxPendingBytes) {}

EventHub::Handle EventHub::Subscribe(std::string first) {
    auto handle = std::make_shared<Subscriber>();
    handle->pending = std::move(first);
    std::lock_guard lock(mutex_);
    subscribers_.push_back(handle);
    everSubscribed_ = true;
    return handle;
}

void EventHub::Unsubscribe(const Handle& handle) {
    std::lock_guard lock(mutex_);
    subscribers_.erase(std::remove(subscribers_.begin(), subscribers_.end(), handle),
                       subscribers_.end());
}

void EventHub::Publish(const std::string& frame) {
    {
        std::lock_guard lock(mutex_);
        for (const Handle& s : subscribers_) {
            if (s->dropped) continue;
            if (s->pending.size() + frame.size() > maxPendingBytes_) {
                s->dropped = true;
                s->pending.clear();
                continue;
            }
            s->pending += frame;
        }
    }
    wake_.notify_all();
}

EventHub::Wait EventHub::Next(const Handle& handle, std::string& out,
                              std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, timeout,
                   [&] { return closed_ || handle->dropped || !handle->pending.empty(); });
    if (closed_) return Wait::kClosed;
    if (handle->dropped) return Wait::kDropped;
    if (handle->pending.empty()) return Wait::kTimeout;
    out.swap(handle->pending);
    handle->pending.clear();
    return Wait::kFrames;
}

void EventHub::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    wake_.notify_all();
}

bool EventHub::Closed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

std::size_t EventHub::Count() const {
    std::lock_guard lock(mutex_);
    return subscribers_.size();
}

bool EventHub::EverSubscribed() const {
    std::lock_guard lock(mutex_);
    return everSubscribed_;
}

}  // namespace web
