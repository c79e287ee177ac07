// One worker thread that opens slow devices (the built-in synthesizer, JACK clients) one
// after the other, in the order asked, so the GUI thread never waits for them and JACK
// hands out client names in a fixed order.
#pragma once

#include <functional>
#include <memory>
#include <thread>

// Post may be called on any thread. Jobs run on the opener's thread, one at a time, in
// the order posted; a job must not wait for a job posted after it.
class BackgroundOpener {
public:
    BackgroundOpener();
    ~BackgroundOpener(); // Shutdown()
    BackgroundOpener(const BackgroundOpener&) = delete;
    BackgroundOpener& operator=(const BackgroundOpener&) = delete;

    // Runs the jobs still waiting (each sees for itself whether it is still wanted), then
    // ends the thread; a job posted afterwards runs at once on the poster's thread.
    // Idempotent.
    void Shutdown();
    void Post(std::function<void()> job);
    // Waits until every job posted so far has run. Not from inside a job.
    void WaitIdle();

private:
    struct Queue; // shared with the thread, which may outlive the opener (see Shutdown)
    std::shared_ptr<Queue> queue_;
    std::thread thread_;
};
