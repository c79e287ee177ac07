// The player against recording devices with real timers: device rules, immediate sends,
// the dispatch table, the release list, tempo and the end notification.
#include "PlayerFixture.h"

namespace {

MIDIEvent bend(uint32_t tick, uint8_t channel, unsigned value)
{
    MIDIEvent e(tick, kPitchBend, channel);
    e.SetData1(value & 0x7F);
    e.SetData2(value >> 7);
    return e;
}

using PlayerDevices = PlayerTest;

TEST_F(PlayerDevices, OpensDeviceZeroAndFollowsTheDeviceRules)
{
    EXPECT_EQ(player->DeviceCount(), 3u);
    EXPECT_EQ(player->CurrentDevice(), 0);
    EXPECT_EQ(devices->Opens(0), 1u);

    std::string name = "unchanged";
    EXPECT_TRUE(player->DeviceName(2, name));
    EXPECT_EQ(name, "Recorder 2");
    name = "unchanged";
    EXPECT_FALSE(player->DeviceName(3, name));
    EXPECT_EQ(name, "unchanged");

    EXPECT_TRUE(player->OpenDevice(0)); // the current device: not opened again
    EXPECT_EQ(devices->Opens(0), 1u);
    EXPECT_FALSE(player->OpenDevice(3));
    EXPECT_EQ(player->CurrentDevice(), 0);

    EXPECT_TRUE(player->OpenDevice(1));
    EXPECT_EQ(player->CurrentDevice(), 1);
    EXPECT_EQ(devices->Closes(0), 1u);

    devices->FailOpen(2);
    EXPECT_FALSE(player->OpenDevice(2));
    EXPECT_EQ(player->CurrentDevice(), 1);
    EXPECT_EQ(devices->Closes(1), 0u);

    EXPECT_TRUE(player->CloseDevice(0)); // not the current one: nothing closed
    EXPECT_EQ(player->CurrentDevice(), 1);
    EXPECT_FALSE(player->CloseDevice(3));
    EXPECT_TRUE(player->CloseDevice(1));
    EXPECT_EQ(player->CurrentDevice(), -2);
    EXPECT_EQ(devices->Closes(1), 1u);
    EXPECT_TRUE(player->CloseDevice(7)); // none open: true for any index

    // Play opens device 0 again when none is open.
    auto data = sequence({note(0, 0, 60, 100), note(1, 0, 60, 0)});
    EXPECT_TRUE(player->Play(*data));
    EXPECT_EQ(player->CurrentDevice(), 0);
}

TEST_F(PlayerDevices, InitRefusesBadValueAndMissingWindow)
{
    NotifyProbe dead;
    dead.alive = false;
    EXPECT_FALSE(player->Init(85, 128, probe.target(), kEndMessage));
    EXPECT_FALSE(player->Init(85, 127, dead.target(), kEndMessage));
    EXPECT_FALSE(player->Init(85, 127, NotifyTarget{}, kEndMessage));
    EXPECT_TRUE(player->Init(200, 0, probe.target(), kEndMessage)); // any controller
}

class NoDevices : public PlayerTest {
protected:
    NoDevices() : PlayerTest(0) {}
};

TEST_F(NoDevices, EveryRequestFailsQuietly)
{
    EXPECT_EQ(player->CurrentDevice(), -2);
    auto data = sequence({note(0, 0, 60, 100), note(10, 0, 60, 0)});
    EXPECT_FALSE(player->Play(*data));
    EXPECT_FALSE(player->SendEvent(note(0, 0, 60, 100)));
    EXPECT_FALSE(player->PlayNoteFor(note(0, 0, 60, 100), 10));
    EXPECT_TRUE(player->Stop());
    EXPECT_FALSE(player->OpenDevice(0));
}

TEST_F(PlayerDevices, SendEventsSendsAtOnceUnscaledAndStopsAtTheFirstError)
{
    std::vector<MIDIEvent> events = {cc(0, 0, 7, 120), MIDIEvent(0, 0xF0, 0), note(500, 0, 60, 100)};
    EXPECT_TRUE(player->SendEvents(events.data(), events.size()));
    EXPECT_EQ(sentMessages(*devices), (std::vector<uint32_t>{0x7807B0, 0x643C90}));

    devices->FailSends(true);
    EXPECT_FALSE(player->SendEvents(events.data(), events.size()));
    devices->FailSends(false);

    // Immediate sends leave nothing to release.
    devices->ClearMessages();
    player->Stop();
    EXPECT_TRUE(sentMessages(*devices).empty());
}

TEST_F(PlayerDevices, PlayNoteForSendsTheNoteOffLater)
{
    EXPECT_TRUE(player->PlayNoteFor(note(0, 1, 64, 80), 50));
    ASSERT_TRUE(waitForSent(*devices, 2, 2000));
    const auto messages = sentRecords(*devices);
    EXPECT_EQ(messages[0].message, 0x504091u);
    EXPECT_EQ(messages[1].message, 0x004081u);
    EXPECT_GE(messages[1].timeMs - messages[0].timeMs, 49.9);
    EXPECT_LT(messages[1].timeMs - messages[0].timeMs, 50.0 + kTimingSlackMs);
}

TEST_F(PlayerDevices, NoteOffForAClosedDeviceIsDropped)
{
    EXPECT_TRUE(player->PlayNoteFor(note(0, 0, 60, 100), 30));
    EXPECT_TRUE(player->OpenDevice(1));
    devices->ClearMessages();
    sleepMs(100);
    EXPECT_TRUE(devices->Messages().empty());
}

using PlayerDispatch = PlayerTest;

TEST_F(PlayerDispatch, ScalesVolumeAndNeverSendsTheFinalEntry)
{
    auto data = sequence({cc(0, 0, 7, 0), cc(0, 0, 7, 60), cc(0, 0, 7, 120), cc(0, 0, 7, 127),
                          cc(0, 0, 10, 120), note(2, 0, 60, 100)});
    ASSERT_TRUE(player->Play(*data));
    ASSERT_TRUE(probe.waitForPosts(1, 2000));
    EXPECT_EQ(sentMessages(*devices),
              (std::vector<uint32_t>{0x0007B0, 0x3207B0, 0x6407B0, 0x6907B0, 0x780AB0}));
}

TEST_F(PlayerDispatch, ReleaseListUndoesNotesSustainAndPitchBendOnStop)
{
    auto data = sequence({note(0, 0, 60, 100), note(0, 0, 60, 100), note(0, 2, 62, 90),
                          cc(0, 0, 64, 127), cc(0, 0, 64, 100), bend(0, 1, 9000), bend(0, 1, 100),
                          cc(0, 3, 64, 127), cc(0, 3, 64, 0), bend(0, 4, 5000), bend(0, 4, 8192),
                          note(1, 0, 60, 0), note(1, 5, 70, 0), note(2000, 0, 1, 0)});
    ASSERT_TRUE(player->Play(*data));
    ASSERT_TRUE(waitForSent(*devices, 13, 2000));
    devices->ClearMessages();
    EXPECT_TRUE(player->Stop());
    // One note-off per note-on still sounding, one sustain-off and one centring each.
    EXPECT_EQ(sentMessages(*devices), (std::vector<uint32_t>{0x3C80, 0x3E82, 0x40B0, 0x4000E1}));
    const auto all = devices->Messages();
    ASSERT_GE(all.size(), 32u);
    EXPECT_TRUE(isResetMessage(all.front().message)); // the reset comes first
    // The list is empty afterwards, and the stopped sequence sends nothing more.
    sleepMs(50);
    devices->ClearMessages();
    player->Stop();
    EXPECT_TRUE(sentMessages(*devices).empty());
}

TEST_F(PlayerDispatch, SingleEntrySendsNothingAndPostsTheEnd)
{
    auto data = sequence({note(0, 0, 60, 100)});
    ASSERT_TRUE(player->Play(*data));
    ASSERT_TRUE(probe.waitForPosts(1, 2000));
    EXPECT_TRUE(sentMessages(*devices).empty());
}

TEST_F(PlayerDispatch, EmptySequenceStopsThePreviousOneWithoutNotification)
{
    auto first = sequence({note(0, 0, 60, 100), note(1000, 0, 60, 0), note(1001, 0, 60, 0)});
    ASSERT_TRUE(player->Play(*first));
    ASSERT_TRUE(waitForSent(*devices, 1, 2000));
    devices->ClearMessages();
    auto empty = sequence({MIDIEvent(0, 0xF0, 0)});
    EXPECT_TRUE(player->Play(*empty));
    EXPECT_EQ(sentMessages(*devices), (std::vector<uint32_t>{0x3C80}));
    sleepMs(50);
    EXPECT_EQ(probe.count(), 0);
}

TEST_F(PlayerDispatch, EndMarkerPostsTwiceAndEndsPlayback)
{
    auto data = sequence({note(0, 0, 60, 100), cc(2, 0, 85, 127), note(3, 0, 62, 100), note(10, 0, 1, 0)});
    ASSERT_TRUE(player->Play(*data));
    ASSERT_TRUE(probe.waitForPosts(2, 2000));
    sleepMs(60);
    EXPECT_EQ(probe.count(), 2);
    EXPECT_EQ(sentMessages(*devices), (std::vector<uint32_t>{0x643C90, 0x7F55B0}));
}

TEST_F(PlayerDispatch, EndMarkerWithoutWindowIsOnlySent)
{
    probe.alive = false;
    auto data = sequence({cc(0, 0, 85, 127), note(2, 0, 62, 100), note(3, 0, 1, 0)});
    ASSERT_TRUE(player->Play(*data));
    ASSERT_TRUE(waitForSent(*devices, 2, 2000));
    sleepMs(40);
    EXPECT_EQ(sentMessages(*devices), (std::vector<uint32_t>{0x7F55B0, 0x643E90}));
    EXPECT_EQ(probe.count(), 0);
}

TEST_F(PlayerDispatch, RefusesSequencesWithoutTempoOrWithTemposOutOfOrder)
{
    auto noTempo = sequence({note(0, 0, 60, 100), note(5, 0, 60, 0)});
    noTempo->tempos.clear();
    EXPECT_FALSE(player->Play(*noTempo));

    auto backwards = sequence({note(0, 0, 60, 100), note(5, 0, 60, 0)});
    backwards->tempos = {TempoEvent(100, 500000), TempoEvent(50, 250000)};
    EXPECT_FALSE(player->Play(*backwards));
    EXPECT_EQ(backwards->tempos[0].tick, 0u); // the first tempo was moved to tick 0
    sleepMs(40);
    EXPECT_TRUE(sentMessages(*devices).empty());
}

TEST_F(PlayerDispatch, TempoChangeCountsFromItsTick)
{
    // 120 ticks at 500 ms per quarter, then 120 ticks at 250 ms per quarter: 750 ms in all.
    auto data = sequence({note(0, 0, 60, 100), note(240, 0, 60, 0), note(241, 0, 1, 0)});
    data->tempos.emplace_back(120, 250000);
    const double start = TimerService::PreciseNowMs();
    ASSERT_TRUE(player->Play(*data));
    ASSERT_TRUE(waitForSent(*devices, 2, 3000));
    const double offAt = sentRecords(*devices)[1].timeMs - start;
    EXPECT_GE(offAt, 750.0);
    EXPECT_LT(offAt, 750.0 + kTimingSlackMs);
}

TEST_F(PlayerDispatch, BlockOfEntriesOnOneTickGoesOutInListOrderAndNeverEarly)
{
    const double start = TimerService::PreciseNowMs();
    auto data = sequence({note(24, 0, 60, 100), note(24, 0, 64, 100), note(24, 0, 67, 100), note(48, 0, 1, 0)});
    ASSERT_TRUE(player->Play(*data));
    ASSERT_TRUE(waitForSent(*devices, 3, 2000));
    const auto messages = sentRecords(*devices);
    EXPECT_EQ(sentMessages(*devices), (std::vector<uint32_t>{0x643C90, 0x644090, 0x644390}));
    for (const RecordedMessage& m : messages) {
        EXPECT_GE(m.timeMs - start, 100.0); // 24 ticks
        EXPECT_LT(m.timeMs - start, 100.0 + kTimingSlackMs);
    }
}

} // namespace
