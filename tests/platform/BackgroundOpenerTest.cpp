// The opener's hold: start-up keeps the slow openings back until the window has painted.
#include "platform/BackgroundOpener.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Waits (a short while at most) until the job that sets done has run.
bool ranSoon(const std::atomic<bool>& done)
{
    for (int i = 0; i < 200 && !done; ++i)
        std::this_thread::sleep_for(5ms);
    return done;
}

} // namespace

TEST(BackgroundOpenerTest, JobsPostedAfterAHoldWaitForItsReleaseThoseBeforeDoNot)
{
    BackgroundOpener opener;
    std::atomic<bool> before{false};
    std::atomic<bool> after{false};
    opener.Post([&] { before = true; });
    std::unique_ptr<BackgroundHold> hold = opener.Hold(60s);
    opener.Post([&] { after = true; });
    EXPECT_TRUE(ranSoon(before));
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(after) << "held back";
    hold->Release();
    hold->Release(); // a second release does nothing
    opener.WaitIdle();
    EXPECT_TRUE(after);
}

TEST(BackgroundOpenerTest, AHoldEndsWhenDroppedOrWhenItsTimeIsUp)
{
    BackgroundOpener opener;
    std::atomic<bool> dropped{false};
    std::unique_ptr<BackgroundHold> hold = opener.Hold(60s);
    opener.Post([&] { dropped = true; });
    hold.reset();
    opener.WaitIdle();
    EXPECT_TRUE(dropped);

    // Never released: the jobs still run once its time is up.
    std::atomic<bool> late{false};
    std::unique_ptr<BackgroundHold> forgotten = opener.Hold(20ms);
    opener.Post([&] { late = true; });
    opener.WaitIdle();
    EXPECT_TRUE(late);
}
