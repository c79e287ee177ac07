// The opener's worker thread.
#include "platform/BackgroundOpener.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <pthread.h>

struct BackgroundOpener::Queue {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::function<void()>> jobs;
    bool busy = false;
    bool stopping = false;

    void Run()
    {
        pthread_setname_np(pthread_self(), "tonvera-opener");
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return stopping || !jobs.empty(); });
            if (jobs.empty())
                return; // stopping, and nothing left to run
            std::function<void()> job = std::move(jobs.front());
            jobs.pop_front();
            busy = true;
            lock.unlock();
            try {
                job();
            } catch (...) {
                // A failed open is the job's own business; the opener goes on.
            }
            job = nullptr; // what the job held is released outside the lock
            lock.lock();
            busy = false;
            changed.notify_all();
        }
    }
};

BackgroundOpener::BackgroundOpener()
    : queue_(std::make_shared<Queue>()), thread_([queue = queue_] { queue->Run(); })
{
}

BackgroundOpener::~BackgroundOpener() { Shutdown(); }

void BackgroundOpener::Shutdown()
{
    {
        std::lock_guard<std::mutex> lock(queue_->mutex);
        queue_->stopping = true;
        queue_->changed.notify_all();
    }
    if (!thread_.joinable())
        return;
    // When the last owner lets go inside a job, the thread finishes on its own: it holds
    // the queue, not the opener.
    if (thread_.get_id() == std::this_thread::get_id())
        thread_.detach();
    else
        thread_.join();
}

void BackgroundOpener::Post(std::function<void()> job)
{
    {
        std::lock_guard<std::mutex> lock(queue_->mutex);
        if (!queue_->stopping) {
            queue_->jobs.push_back(std::move(job));
            queue_->changed.notify_all();
            return;
        }
    }
    job();
}

void BackgroundOpener::WaitIdle()
{
    std::unique_lock<std::mutex> lock(queue_->mutex);
    queue_->changed.wait(lock, [this] { return queue_->jobs.empty() && !queue_->busy; });
}

std::unique_ptr<BackgroundHold> BackgroundOpener::Hold(std::chrono::milliseconds atMost)
{
    std::promise<void> gate;
    Post([go = gate.get_future().share(), atMost] { go.wait_for(atMost); });
    return std::make_unique<BackgroundHold>(std::move(gate));
}

void BackgroundHold::Release()
{
    if (released_)
        return;
    released_ = true;
    gate_.set_value();
}
