// One worker thread that opens slow devices (the built-in synthesizer, JACK clients) one
// after the other, in the order asked, so the GUI thread never waits for them and JACK
// hands out client names in a fixed order.
#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>

// While it lives (and at most for the time it was made with), the jobs posted to an opener
// after it wait. Release, or destruction, lets them run.
class BackgroundHold {
public:
    explicit BackgroundHold(std::promise<void> gate) : gate_(std::move(gate)) {}
    ~BackgroundHold() { Release(); }
    BackgroundHold(const BackgroundHold&) = delete;
    BackgroundHold& operator=(const BackgroundHold&) = delete;

    // Called once, on the thread that holds it; later calls do nothing.
    void Release();

private:
    std::promise<void> gate_;
    bool released_ = false;
};

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
    // The jobs posted from now on wait until the hold is released, or atMost has passed;
    // those posted before run as before. No one may wait for them meanwhile.
    std::unique_ptr<BackgroundHold> Hold(std::chrono::milliseconds atMost);

private:
    struct Queue; // shared with the thread, which may outlive the opener (see Shutdown)
    std::shared_ptr<Queue> queue_;
    std::thread thread_;
};
