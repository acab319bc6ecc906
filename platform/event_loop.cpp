#include "platform/event_loop.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace platform {

EventLoop::EventLoop(Clock& clock) : clock_(clock) {}

void EventLoop::SetTimer(WindowId window, int timerId, std::int64_t periodMs, Task handler) {
    if (periodMs < 1) periodMs = 1;
    Timer& t = timers_[{window, timerId}];
    t.periodMs = periodMs;
    t.dueMs = clock_.MonotonicMs() + periodMs;
    t.generation = nextGeneration_++;
    t.handler = std::make_shared<Task>(std::move(handler));
}

bool EventLoop::KillTimer(WindowId window, int timerId) {
    return timers_.erase({window, timerId}) > 0;
}

void EventLoop::KillWindowTimers(WindowId window) {
    auto it = timers_.lower_bound({window, std::numeric_limits<int>::min()});
    while (it != timers_.end() && it->first.first == window) it = timers_.erase(it);
}

bool EventLoop::IsTimerArmed(WindowId window, int timerId) const {
    return timers_.count({window, timerId}) > 0;
}

void EventLoop::Post(Task task) {
    {
        std::lock_guard lock(mutex_);
        posted_.push_back(std::move(task));
    }
    wake_.notify_all();
}

int EventLoop::PumpPending() {
    int ran = 0;
    // Only the tasks queued before this call run now, so a task that posts
    // itself again cannot keep the pump from returning.
    std::deque<Task> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(posted_);
    }
    while (!batch.empty()) {
        Task task = std::move(batch.front());
        batch.pop_front();
        if (task) task();
        ++ran;
    }

    // Collect the due timers first, ordered by due time; each is checked
    // again before it fires, since an earlier handler may have killed or
    // re-armed it.
    const std::int64_t now = clock_.MonotonicMs();
    std::vector<std::pair<std::int64_t, std::pair<TimerKey, std::uint64_t>>> due;
    for (const auto& [key, timer] : timers_) {
        if (timer.dueMs <= now) due.push_back({timer.dueMs, {key, timer.generation}});
    }
    std::sort(due.begin(), due.end());
    for (const auto& [dueMs, id] : due) {
        auto it = timers_.find(id.first);
        if (it == timers_.end() || it->second.generation != id.second || it->second.dueMs > now)
            continue;
        // Schedule the next firing before running, so that a handler that
        // pumps does not see this timer as due again at once.
        it->second.dueMs = now + it->second.periodMs;
        std::shared_ptr<Task> handler = it->second.handler;  // survives a kill inside the handler
        if (*handler) (*handler)();
        ++ran;
    }
    return ran;
}

std::optional<std::int64_t> EventLoop::NextDue() const {
    std::optional<std::int64_t> next;
    for (const auto& [key, timer] : timers_) {
        if (!next || timer.dueMs < *next) next = timer.dueMs;
    }
    return next;
}

void EventLoop::WaitForWork() {
    const std::optional<std::int64_t> due = NextDue();
    std::unique_lock lock(mutex_);
    if (!posted_.empty() || quit_) return;
    if (due && *due <= clock_.MonotonicMs()) return;
    clock_.WaitUntil(wake_, lock, due);
}

int EventLoop::Run() {
    while (true) {
        PumpPending();
        {
            std::lock_guard lock(mutex_);
            if (quit_) return quitCode_;
        }
        WaitForWork();
    }
}

void EventLoop::Quit(int code) {
    {
        std::lock_guard lock(mutex_);
        if (!quit_) quitCode_ = code;
        quit_ = true;
    }
    wake_.notify_all();
}

bool EventLoop::QuitRequested() const {
    std::lock_guard lock(mutex_);
    return quit_;
}

bool EventLoop::RunUntil(const std::function<bool()>& done) {
    while (true) {
        if (done()) return true;
        if (QuitRequested()) return false;
        PumpPending();
        if (done()) return true;
        if (QuitRequested()) return false;
        WaitForWork();
    }
}

}  // namespace platform
