// Many plays, stops and timed notes in quick succession while timers fire: no note is
// left hanging and no entry of a replaced sequence is sent after its replacement.
#include "PlayerFixture.h"

#include <map>
#include <random>

namespace {

constexpr uint8_t kSequenceChannel = 2;
constexpr uint8_t kMarkerChannel = 3;
constexpr uint8_t kFinderChannel = 5;
constexpr unsigned kGenerationController = 16;

// A short sequence whose every controller message names its generation.
std::unique_ptr<MIDIData> generation(unsigned g, std::mt19937& random)
{
    auto data = std::make_unique<MIDIData>(1, 120);
    data->tempos.emplace_back(0, 250000); // about 2 ms per tick
    auto& events = data->Track(0)->events;
    for (uint32_t tick = 0; tick < 40; tick += 1 + random() % 3) {
        const unsigned key = 40 + random() % 30;
        events.push_back(cc(tick, kSequenceChannel, kGenerationController, g));
        events.push_back(note(tick, kSequenceChannel, key, 100));
        events.push_back(note(tick + 1 + random() % 20, kSequenceChannel, key, 0));
    }
    return data;
}

unsigned channelOf(uint32_t m) { return m & 0x0F; }
unsigned kindOf(uint32_t m) { return m & 0xF0; }
unsigned data1Of(uint32_t m) { return (m >> 8) & 0x7F; }
unsigned data2Of(uint32_t m) { return (m >> 16) & 0x7F; }

using PlayerStress = PlayerTest;

TEST_F(PlayerStress, NoHangingNoteAndNoStaleEntry)
{
    std::mt19937 random(1234);
    constexpr unsigned kGenerations = 120;
    for (unsigned g = 0; g < kGenerations; ++g) {
        auto data = generation(g % 128, random);
        switch (random() % 4) {
        case 0:
            player->Stop();
            break;
        case 1:
            player->PlayNoteFor(note(0, kFinderChannel, 60 + random() % 12, 80), 1 + random() % 30);
            break;
        default:
            break;
        }
        player->Play(*data);
        // Marks in the log where this generation has replaced the previous one.
        player->SendEvent(cc(0, kMarkerChannel, kGenerationController, g % 128));
        sleepMs(static_cast<int>(random() % 12));
    }
    player->Stop();
    sleepMs(100); // the last timed note-offs
    const std::vector<uint32_t> log = sentMessages(*devices);

    // Every note switched on is switched off later.
    std::map<std::pair<unsigned, unsigned>, int> sounding;
    for (uint32_t m : log) {
        const auto key = std::make_pair(channelOf(m), data1Of(m));
        if (kindOf(m) == 0x90)
            sounding[key] = 1;
        else if (kindOf(m) == 0x80)
            sounding[key] = 0;
    }
    for (const auto& [key, on] : sounding)
        EXPECT_EQ(on, 0) << "hanging note " << key.second << " on channel " << key.first;

    // After the marker of generation g, no controller of an older generation appears (the
    // new one may start before its marker is sent).
    int current = -1;
    for (uint32_t m : log) {
        if (kindOf(m) != 0xB0 || data1Of(m) != kGenerationController)
            continue;
        if (channelOf(m) == kMarkerChannel)
            current = static_cast<int>(data2Of(m));
        else if (current >= 0) {
            ASSERT_GE(static_cast<int>(data2Of(m)), current) << "a replaced sequence was still sent";
        }
    }
    EXPECT_EQ(current, static_cast<int>((kGenerations - 1) % 128));
}

} // namespace
