// One-shot millisecond timers whose callbacks run on one service thread, and the
// millisecond counter they are measured against (steady clock).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

// What a timer runs when it fires. The timer owns it and destroys it after it ran, or
// when the timer is cancelled or the service shuts down.
class TimerTask {
public:
    virtual ~TimerTask() = default;
    virtual void Fire(unsigned timerId) = 0;
};

// SetTimer and KillTimer may be called on any thread, also from inside a callback.
// Callbacks run on the service thread, one at a time, without the service's lock held.
class TimerService {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr unsigned kMinPeriodMs = 1;

    TimerService();
    ~TimerService(); // Shutdown()
    TimerService(const TimerService&) = delete;
    TimerService& operator=(const TimerService&) = delete;

    // Whole milliseconds of the steady clock (wraps after 49 days).
    static uint32_t NowMs();
    // The same counter with sub-millisecond precision.
    static double PreciseNowMs();

    // Arms a one-shot timer; delays under the minimum period become the minimum period.
    // Returns its id (never 0), or 0 when the service is shut down.
    unsigned SetTimer(std::chrono::microseconds delay, std::unique_ptr<TimerTask> task);
    unsigned SetTimer(std::chrono::microseconds delay, std::function<void(unsigned)> callback);
    // After KillTimer returns, the timer's callback will not start. A callback that has
    // already started finishes (callers tell a stale callback by its id). True for any id
    // that was ever issued, pending or not; false for 0 or an unknown id.
    bool KillTimer(unsigned id);
    // Stops the thread; pending timers are dropped without running. Idempotent.
    void Shutdown();

private:
    void run();

    std::mutex mutex_;
    std::condition_variable changed_;
    using Key = std::pair<Clock::time_point, unsigned>;
    std::map<Key, std::unique_ptr<TimerTask>> pending_;
    std::unordered_map<unsigned, Clock::time_point> dueById_;
    unsigned lastId_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};
