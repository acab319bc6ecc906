#pragma once
// Time sources. The event loop measures timers on the monotonic clock; the
// program stamps hands, settings and pages with wall-clock seconds since 1970.
// Tests use ManualClock to drive both without sleeping.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>

namespace platform {

class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds on a clock that never goes back; the origin is arbitrary.
    virtual std::int64_t MonotonicMs() const = 0;
    // Seconds since 1970-01-01 00:00:00 UTC.
    virtual std::int64_t UnixSeconds() const = 0;
    // Blocks on cv (lock held) until notified or until the monotonic time
    // reaches deadlineMs (no deadline: until notified). ManualClock does not
    // block when a deadline is given: it moves its time to the deadline.
    virtual void WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                           std::optional<std::int64_t> deadlineMs) const = 0;
};

// The system's clocks.
class SystemClock : public Clock {
  public:
    std::int64_t MonotonicMs() const override;
    std::int64_t UnixSeconds() const override;
    void WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                   std::optional<std::int64_t> deadlineMs) const override;
    // A process-wide instance.
    static SystemClock& Instance();
};

// A clock that moves only when told to; both readings advance together.
class ManualClock : public Clock {
  public:
    explicit ManualClock(std::int64_t unixSeconds = 1'700'000'000) : unixMs_(unixSeconds * 1000) {}
    std::int64_t MonotonicMs() const override;
    std::int64_t UnixSeconds() const override;
    void WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                   std::optional<std::int64_t> deadlineMs) const override;
    // Moves both clocks forward by ms milliseconds.
    void Advance(std::int64_t ms);

  private:
    mutable std::mutex mutex_;
    mutable std::int64_t monotonicMs_ = 0;
    mutable std::int64_t unixMs_;
};

}  // namespace platform
