#include "platform/event_loop.h"

#include <gtest/gtest.h>

#include <thread>

namespace platform {
namespace {

TEST(EventLoop, TimerFiresEachPeriodAndOnceWhenBehind) {
    ManualClock clock;
    EventLoop loop(clock);
    int fired = 0;
    loop.SetTimer(7, 1, 2000, [&] { ++fired; });
    struct Step {
        std::int64_t advance;
        int expected;
    };
    // A timer that falls 10 seconds behind fires once, then waits a full period.
    for (const Step& s : {Step{1999, 0}, Step{1, 1}, Step{1000, 1}, Step{1000, 2}, Step{10000, 3}, Step{1999, 3},
                          Step{1, 4}}) {
        clock.Advance(s.advance);
        loop.PumpPending();
        EXPECT_EQ(fired, s.expected) << "after +" << s.advance << " ms";
    }
}

TEST(EventLoop, RearmRestartsPeriodAndKillStops) {
    ManualClock clock;
    EventLoop loop(clock);
    std::vector<std::string> log;
    loop.SetTimer(1, 2, 10, [&] { log.push_back("first"); });
    clock.Advance(5);
    loop.SetTimer(1, 2, 10, [&] { log.push_back("second"); });
    clock.Advance(5);
    loop.PumpPending();
    EXPECT_TRUE(log.empty()) << "re-arming restarts the period";
    clock.Advance(5);
    loop.PumpPending();
    EXPECT_EQ(log, (std::vector<std::string>{"second"}));
    // Same id on another window is another timer.
    loop.SetTimer(9, 2, 10, [&] { log.push_back("other"); });
    loop.KillWindowTimers(1);
    clock.Advance(10);
    loop.PumpPending();
    EXPECT_EQ(log, (std::vector<std::string>{"second", "other"}));
    EXPECT_TRUE(loop.KillTimer(9, 2));
    EXPECT_FALSE(loop.KillTimer(9, 2));
}

TEST(EventLoop, HandlerCanKillItselfAndPumpReentrantly) {
    ManualClock clock;
    EventLoop loop(clock);
    int pass = 0, other = 0, depth = 0, maxDepth = 0;
    loop.SetTimer(1, 1, 100, [&] {
        ++pass;
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        loop.KillTimer(1, 1);  // the handler's own function must survive this
        // A long load pumps; the other timer and posted tasks run meanwhile.
        clock.Advance(50);
        loop.Post([&] { ++other; });
        loop.PumpPending();
        loop.SetTimer(1, 1, 100, [&] { ++pass; });
        --depth;
    });
    loop.SetTimer(2, 1, 120, [&] { ++other; });
    clock.Advance(100);
    loop.PumpPending();
    EXPECT_EQ(pass, 1);
    EXPECT_EQ(other, 2) << "posted task and the second timer ran inside the first handler";
    EXPECT_EQ(maxDepth, 1);
    clock.Advance(100);
    loop.PumpPending();
    EXPECT_EQ(pass, 2) << "the re-armed handler replaced the first";
}

TEST(EventLoop, PostFromOtherThreadsAndQuit) {
    EventLoop loop;  // the real clock: a blocked Run() must wake for posts
    std::atomic<int> sum{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 100; ++i) loop.Post([&] { sum += 1; });
        });
    }
    for (auto& t : threads) t.join();
    loop.Post([&] { loop.Quit(5); });
    EXPECT_EQ(loop.Run(), 5);
    EXPECT_EQ(sum.load(), 400);
}

TEST(EventLoop, NestedRunUntilKeepsTimersGoing) {
    ManualClock clock;
    EventLoop loop(clock);
    int ticks = 0;
    loop.SetTimer(1, 1, 750, [&] { ++ticks; });
    // A modal dialog waits for the user; the manual clock jumps to each due timer.
    EXPECT_TRUE(loop.RunUntil([&] { return ticks == 3; }));
    EXPECT_EQ(clock.MonotonicMs(), 2250);
    loop.Quit(1);
    EXPECT_FALSE(loop.RunUntil([] { return false; }));
}

TEST(EventLoop, SelfRepostingTaskDoesNotStallPump) {
    ManualClock clock;
    EventLoop loop(clock);
    int runs = 0;
    std::function<void()> again = [&] {
        ++runs;
        loop.Post(again);
    };
    loop.Post(again);
    EXPECT_EQ(loop.PumpPending(), 1);
    EXPECT_EQ(loop.PumpPending(), 1);
    EXPECT_EQ(runs, 2);
}

}  // namespace
}  // namespace platform
