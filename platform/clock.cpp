#include "platform/clock.h"

#include <chrono>

namespace platform {

std::int64_t SystemClock::MonotonicMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::int64_t SystemClock::UnixSeconds() const {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

void SystemClock::WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                            std::optional<std::int64_t> deadlineMs) const {
    if (!deadlineMs) {
        cv.wait(lock);
        return;
    }
    const std::int64_t left = *deadlineMs - MonotonicMs();
    if (left > 0) cv.wait_for(lock, std::chrono::milliseconds(left));
}

SystemClock& SystemClock::Instance() {
    static SystemClock clock;
    return clock;
}

std::int64_t ManualClock::MonotonicMs() const {
    std::lock_guard lock(mutex_);
    return monotonicMs_;
}

std::int64_t ManualClock::UnixSeconds() const {
    std::lock_guard lock(mutex_);
    return unixMs_ >= 0 ? unixMs_ / 1000 : -((-unixMs_ + 999) / 1000);
}

void ManualClock::WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                            std::optional<std::int64_t> deadlineMs) const {
    if (!deadlineMs) {
        // Only another thread can bring work now; wait for it for real.
        cv.wait(lock);
        return;
    }
    std::lock_guard own(mutex_);
    if (*deadlineMs > monotonicMs_) {
        unixMs_ += *deadlineMs - monotonicMs_;
        monotonicMs_ = *deadlineMs;
    }
}

void ManualClock::Advance(std::int64_t ms) {
    std::lock_guard lock(mutex_);
    if (ms <= 0) return;
    monotonicMs_ += ms;
    unixMs_ += ms;
}

}  // namespace platform
