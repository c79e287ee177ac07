// One-shot timers on one service thread, waiting on the steady clock.
#include "platform/TimerService.h"

#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>

namespace {

class FunctionTask : public TimerTask {
public:
    explicit FunctionTask(std::function<void(unsigned)> callback) : callback_(std::move(callback)) {}
    void Fire(unsigned timerId) override { callback_(timerId); }

private:
    std::function<void(unsigned)> callback_;
};

} // namespace

TimerService::TimerService() : thread_([this] { run(); }) {}

TimerService::~TimerService() { Shutdown(); }

uint32_t TimerService::NowMs()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(Clock::now().time_since_epoch()).count());
}

double TimerService::PreciseNowMs()
{
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<nanoseconds>(Clock::now().time_since_epoch()).count();
    // Wrap like NowMs so both counters agree on the whole milliseconds.
    constexpr long long wrapNs = (1LL << 32) * 1000000LL;
    return static_cast<double>(sinceEpoch % wrapNs) / 1e6;
}

unsigned TimerService::SetTimer(std::chrono::microseconds delay, std::unique_ptr<TimerTask> task)
{
    const auto minimum = std::chrono::milliseconds(kMinPeriodMs);
    const auto due = Clock::now() + std::max<std::chrono::microseconds>(delay, minimum);
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_ || !task)
        return 0;
    if (++lastId_ == 0)
        ++lastId_;
    pending_.emplace(Key{due, lastId_}, std::move(task));
    dueById_.emplace(lastId_, due);
    changed_.notify_one();
    return lastId_;
}

unsigned TimerService::SetTimer(std::chrono::microseconds delay, std::function<void(unsigned)> callback)
{
    return SetTimer(delay, std::make_unique<FunctionTask>(std::move(callback)));
}

bool TimerService::KillTimer(unsigned id)
{
    std::unique_ptr<TimerTask> dropped; // destroyed after the lock is released
    std::lock_guard<std::mutex> lock(mutex_);
    if (id == 0 || id > lastId_)
        return false;
    const auto found = dueById_.find(id);
    if (found != dueById_.end()) {
        const auto entry = pending_.find(Key{found->second, id});
        dropped = std::move(entry->second);
        pending_.erase(entry);
        dueById_.erase(found);
    }
    return true;
}

void TimerService::Shutdown()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_ && !thread_.joinable())
            return;
        stopping_ = true;
        changed_.notify_one();
    }
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
    std::map<Key, std::unique_ptr<TimerTask>> dropped;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        dropped.swap(pending_);
        dueById_.clear();
    }
}

void TimerService::run()
{
    // The smallest timer slack halves the wake-up lateness of this thread.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    pthread_setname_np(pthread_self(), "tonvera-timer");
    // A low real-time priority, where the system allows it, keeps a busy machine from
    // delaying the wake-ups by a whole scheduler tick. The callbacks are short; without
    // the permission the thread simply stays at normal priority.
    sched_param priority{};
    priority.sched_priority = 10;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        if (pending_.empty()) {
            changed_.wait(lock);
            continue;
        }
        const auto first = pending_.begin();
        const Key key = first->first;
        if (Clock::now() < key.first) {
            changed_.wait_until(lock, key.first);
            continue;
        }
        std::unique_ptr<TimerTask> task = std::move(first->second);
        pending_.erase(first);
        dueById_.erase(key.second);
        lock.unlock();
        try {
            task->Fire(key.second);
        } catch (...) {
            // A callback's failure must not end the service thread.
        }
        task.reset();
        lock.lock();
    }
}
