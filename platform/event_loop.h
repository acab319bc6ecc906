#pragma once
// The user-interface thread's event loop: periodic timers per window and
// timer id, posted tasks (also from other threads), a non-blocking
// PumpPending() that long operations call from inside handlers, Run()/Quit(),
// and a nested RunUntil() for modal dialogs. Time comes from a Clock, so tests
// drive timers with a ManualClock instead of sleeping.
//
// Timers behave like window timers: a timer fires at most once per pump,
// however far behind it fell, and its next firing is one period after it
// fired (so a slow handler never causes a burst). A handler may kill or
// re-arm its own timer, and may pump re-entrantly; a due timer can then fire
// again inside its own handler, just as a window timer can.
//
// The loop belongs to the user-interface thread: every call is for that
// thread only, except Post(), Quit() and QuitRequested(), which any thread may
// call. Other threads (the HTTP server's) hand their work over with Post().

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/clock.h"
#include "platform/window_id.h"

namespace platform {

class EventLoop {
  public:
    using Task = std::function<void()>;

    // Uses clock for all timing; the clock must outlive the loop.
    explicit EventLoop(Clock& clock = SystemClock::Instance());

    // Arms timer (window, timerId) to call handler every periodMs (at least
    // 1 ms), first after one period. Arming an armed timer replaces its
    // handler and restarts its period. Call on the loop's thread.
    void SetTimer(WindowId window, int timerId, std::int64_t periodMs, Task handler);
    // Stops the timer; true when it was armed. Call on the loop's thread.
    bool KillTimer(WindowId window, int timerId);
    // Stops every timer of the window (when the window is destroyed).
    void KillWindowTimers(WindowId window);
    // True when the timer is armed.
    bool IsTimerArmed(WindowId window, int timerId) const;

    // Queues task to run on the loop's thread; thread-safe, wakes a waiting
    // loop.
    void Post(Task task);

    // Runs, without blocking, the tasks posted before the call, then every
    // timer that is due (each once). Returns how many handlers ran. May be
    // called from inside a handler.
    int PumpPending();

    // Runs until Quit(); returns Quit's code.
    int Run();
    // Makes Run() return code, and every RunUntil() return false. Thread-safe.
    void Quit(int code = 0);
    // True once Quit() has been called.
    bool QuitRequested() const;

    // Runs the loop (blocking between events) until done() is true, checked
    // after every pump; false when Quit() was called first. Used for modal
    // dialogs and message boxes.
    bool RunUntil(const std::function<bool()>& done);

    Clock& GetClock() const { return clock_; }

  private:
    struct Timer {
        std::int64_t periodMs = 0;
        std::int64_t dueMs = 0;
        std::uint64_t generation = 0;  // changes on every re-arm
        std::shared_ptr<Task> handler;
    };
    using TimerKey = std::pair<WindowId, int>;

    // The earliest due time of all timers, if any.
    std::optional<std::int64_t> NextDue() const;
    // Blocks until a task is posted, a timer is due, or Quit().
    void WaitForWork();

    Clock& clock_;
    std::map<TimerKey, Timer> timers_;
    std::uint64_t nextGeneration_ = 1;

    mutable std::mutex mutex_;  // guards posted_ and quit state
    std::condition_variable wake_;
    std::deque<Task> posted_;
    bool quit_ = false;
    int quitCode_ = 0;
};

}  // namespace platform
