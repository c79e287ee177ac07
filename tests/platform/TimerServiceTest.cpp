// Tests of the one-shot timer service with real time.
#include "platform/TimerService.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

struct Counter {
    std::mutex mutex;
    std::condition_variable fired;
    std::vector<unsigned> ids;
    std::vector<double> times;

    std::function<void(unsigned)> callback()
    {
        return [this](unsigned id) {
            std::lock_guard<std::mutex> lock(mutex);
            ids.push_back(id);
            times.push_back(TimerService::PreciseNowMs());
            fired.notify_all();
        };
    }
    bool waitFor(size_t count, std::chrono::milliseconds timeout)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return fired.wait_for(lock, timeout, [&] { return ids.size() >= count; });
    }
    size_t count()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return ids.size();
    }
};

TEST(TimerServiceTest, FiresOnceInDueOrderNeverEarly)
{
    TimerService timers;
    Counter counter;
    const double start = TimerService::PreciseNowMs();
    const unsigned late = timers.SetTimer(30ms, counter.callback());
    const unsigned early = timers.SetTimer(10ms, counter.callback());
    const unsigned tiny = timers.SetTimer(0ms, counter.callback()); // raised to 1 ms
    EXPECT_NE(late, 0u);
    EXPECT_NE(early, late);
    ASSERT_TRUE(counter.waitFor(3, 1s));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(counter.ids, (std::vector<unsigned>{tiny, early, late}));
    EXPECT_GE(counter.times[0] - start, 1.0);
    EXPECT_GE(counter.times[1] - start, 10.0);
    EXPECT_GE(counter.times[2] - start, 30.0);
    EXPECT_LT(counter.times[2] - start, 30.0 + 250.0); // loose: this VM stalls now and then
}

TEST(TimerServiceTest, KilledTimerNeverCallsBackAndItsTaskIsFreed)
{
    TimerService timers;
    Counter counter;
    auto alive = std::make_shared<int>(0);
    std::weak_ptr<int> watch = alive;
    const unsigned id = timers.SetTimer(20ms, [&counter, keep = std::move(alive)](unsigned timerId) {
        counter.callback()(timerId);
    });
    EXPECT_TRUE(timers.KillTimer(id));
    EXPECT_TRUE(watch.expired());
    EXPECT_TRUE(timers.KillTimer(id)); // already gone: still will not fire
    EXPECT_FALSE(timers.KillTimer(0));
    EXPECT_FALSE(timers.KillTimer(id + 100));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(counter.count(), 0u);
}

TEST(TimerServiceTest, CallbackMayArmAndKillTimers)
{
    TimerService timers;
    Counter counter;
    std::atomic<unsigned> victim{0};
    victim = timers.SetTimer(40ms, counter.callback());
    timers.SetTimer(5ms, [&](unsigned) {
        timers.KillTimer(victim);
        timers.SetTimer(5ms, counter.callback());
    });
    ASSERT_TRUE(counter.waitFor(1, 1s));
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(counter.count(), 1u);
}

TEST(TimerServiceTest, ShutdownDropsPendingTimers)
{
    Counter counter;
    auto alive = std::make_shared<int>(0);
    std::weak_ptr<int> watch = alive;
    {
        TimerService timers;
        timers.SetTimer(1000ms, [keep = std::move(alive)](unsigned) {});
        timers.SetTimer(1000ms, counter.callback());
        timers.Shutdown();
        EXPECT_EQ(timers.SetTimer(1ms, counter.callback()), 0u);
    }
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(counter.count(), 0u);
}

TEST(TimerServiceTest, CountersAgree)
{
    const uint32_t whole = TimerService::NowMs();
    const double precise = TimerService::PreciseNowMs();
    EXPECT_LE(precise - whole, 2.0);
    EXPECT_GE(precise - whole, 0.0);
}

} // namespace
