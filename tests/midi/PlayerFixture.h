// A player on recording devices, installed as _player, with a notify target that counts
// the end-of-sequence messages; and helpers to read the recorded MIDI.
#pragma once

#include "midi/Player.h"
#include "platform/RecordingMIDIOut.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <thread>
#include <vector>

constexpr uint32_t kEndMessage = 0x8064;
// Lateness allowed before a test fails: timing is asserted loosely (a loaded VM stalls for
// tens of milliseconds now and then); the benchmark measures it. Early is never allowed.
constexpr double kTimingSlackMs = 250.0;

// Counts the posts it receives; "alive" can be switched off like a closed window.
struct NotifyProbe {
    std::mutex mutex;
    std::condition_variable posted;
    int posts = 0;
    std::atomic<bool> alive{true};

    NotifyTarget target()
    {
        return {[this] { return alive.load(); },
                [this](uint32_t message) {
                    std::lock_guard<std::mutex> lock(mutex);
                    EXPECT_EQ(message, kEndMessage);
                    ++posts;
                    posted.notify_all();
                }};
    }
    bool waitForPosts(int count, int timeoutMs)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return posted.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return posts >= count; });
    }
    int count()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return posts;
    }
};

class PlayerTest : public testing::Test {
protected:
    explicit PlayerTest(unsigned deviceCount = 3)
        : devices(std::make_shared<RecordingMIDIDevices>(deviceCount))
    {
    }
    void SetUp() override
    {
        player = std::make_unique<Player>(devices);
        _player = player.get();
        ASSERT_TRUE(player->Init(85, 127, probe.target(), kEndMessage));
        devices->ClearMessages();
    }
    void TearDown() override
    {
        _player = nullptr;
        player.reset();
    }

    std::shared_ptr<RecordingMIDIDevices> devices;
    NotifyProbe probe;
    std::unique_ptr<Player> player;
};

inline bool isResetMessage(uint32_t message)
{
    const uint32_t controller = (message >> 8) & 0xFF;
    return (message & 0xF0) == 0xB0 && (controller == 121 || controller == 123) && (message >> 16) == 0;
}

// The recorded messages without the all-notes-off/reset-controllers blocks.
inline std::vector<uint32_t> sentMessages(const RecordingMIDIDevices& devices)
{
    std::vector<uint32_t> messages;
    for (const RecordedMessage& m : devices.Messages())
        if (!isResetMessage(m.message))
            messages.push_back(m.message);
    return messages;
}

inline MIDIEvent cc(uint32_t tick, uint8_t channel, unsigned controller, unsigned value)
{
    MIDIEvent e(tick, kControlChange, channel);
    e.SetData1(controller);
    e.SetData2(value);
    return e;
}

inline MIDIEvent note(uint32_t tick, uint8_t channel, unsigned key, unsigned velocity)
{
    MIDIEvent e(tick, velocity ? kNoteOn : kNoteOff, channel);
    e.SetData1(key);
    e.SetVelocity(velocity);
    return e;
}

// A one-track sequence at 120 ticks per quarter, 500000 us per quarter (4.17 ms per tick).
inline std::unique_ptr<MIDIData> sequence(const std::vector<MIDIEvent>& events)
{
    auto data = std::make_unique<MIDIData>(1, 120);
    data->tempos.emplace_back(0, 500000);
    for (const MIDIEvent& e : events)
        data->Track(0)->events.push_back(e);
    return data;
}

inline void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The recorded messages with their times, without the reset blocks.
inline std::vector<RecordedMessage> sentRecords(const RecordingMIDIDevices& devices)
{
    std::vector<RecordedMessage> records;
    for (const RecordedMessage& m : devices.Messages())
        if (!isResetMessage(m.message))
            records.push_back(m);
    return records;
}

// Waits until count messages other than resets have arrived; false on timeout.
inline bool waitForSent(const RecordingMIDIDevices& devices, size_t count, int timeoutMs)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (sentMessages(devices).size() < count) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        sleepMs(1);
    }
    return true;
}

// Each record arrived no earlier than its tick (at 4.1667 ms per tick from start) and not
// much later; entries of tick 0 go out with the first timer, at tick 1.
inline void expectOnTime(const std::vector<RecordedMessage>& records, const std::vector<uint32_t>& ticks,
                         double startMs, double slackMs = kTimingSlackMs)
{
    ASSERT_EQ(records.size(), ticks.size());
    constexpr double msPerTick = 500000 * 0.001 / 120;
    for (size_t i = 0; i < records.size(); ++i) {
        const double at = records[i].timeMs - startMs;
        EXPECT_GE(at, ticks[i] * msPerTick) << "entry " << i << " came early";
        EXPECT_LT(at, std::max<uint32_t>(ticks[i], 1) * msPerTick + slackMs) << "entry " << i;
    }
}
