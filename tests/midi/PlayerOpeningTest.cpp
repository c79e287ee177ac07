// The player on a device that opens in the background (as the built-in synthesizer does):
// what is played before it is ready waits and plays when it is, with its own timing; a
// device that fails says why and is not opened again; devices by name and after a new
// listing. The recorder holds its devices in their opening state until the test settles them.
#include "PlayerFixture.h"

#include <thread>

namespace {

class PlayerOpening : public PlayerTest {
protected:
    // Makes device index current, held in its opening state.
    void openHeld(unsigned index)
    {
        devices->Recorder().HoldOpening(true);
        ASSERT_TRUE(player->OpenDevice(index));
        devices->Recorder().HoldOpening(false);
        ASSERT_EQ(player->CurrentDeviceState(), DeviceState::Opening);
    }
    // Settles the held device; the time it became ready.
    double settle(bool ready = true, const std::string& problem = {})
    {
        const double at = TimerService::PreciseNowMs();
        devices->Recorder().SettleOpening(ready, problem);
        return at;
    }
};

TEST_F(PlayerOpening, ASequencePlayedBeforeTheDeviceIsReadyPlaysWhenItIsWithItsTiming)
{
    openHeld(1);
    auto data = sequence({note(0, 0, 60, 100), note(12, 0, 64, 100), note(24, 0, 60, 0), note(24, 0, 64, 0),
                          note(30, 0, 1, 0)});
    EXPECT_TRUE(player->Play(*data));
    sleepMs(60);
    EXPECT_TRUE(sentMessages(*devices).empty());
    EXPECT_EQ(probe.count(), 0);

    const double readyAt = settle();
    ASSERT_TRUE(probe.waitForPosts(1, 3000));
    const auto records = sentRecords(*devices);
    EXPECT_EQ(sentMessages(*devices), (std::vector<uint32_t>{0x643C90, 0x644090, 0x3C80, 0x4080}));
    expectOnTime(records, {0, 12, 24, 24}, readyAt);
    for (const RecordedMessage& m : records)
        EXPECT_EQ(m.device, 1u);
}

TEST_F(PlayerOpening, ANoteSoundedBeforeTheDeviceIsReadyLastsItsFullLengthFromWhenItSounds)
{
    openHeld(1);
    EXPECT_TRUE(player->SendEvent(cc(0, 1, 7, 90)));
    EXPECT_TRUE(player->PlayNoteFor(note(0, 1, 48, 80), 100));
    sleepMs(150); // longer than the note: its note-off must not have gone ahead of it
    EXPECT_TRUE(sentMessages(*devices).empty());

    const double readyAt = settle();
    ASSERT_TRUE(waitForSent(*devices, 3, 3000));
    const auto records = sentRecords(*devices);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].message, 0x5A07B1u);
    EXPECT_EQ(records[1].message, 0x503091u);
    EXPECT_EQ(records[2].message, 0x3081u);
    EXPECT_GE(records[2].timeMs - readyAt, 100.0);
    EXPECT_LT(records[2].timeMs - readyAt, 100.0 + kTimingSlackMs);
}

TEST_F(PlayerOpening, StoppingBeforeTheDeviceIsReadyCancelsThePlay)
{
    openHeld(1);
    auto data = sequence({note(0, 0, 60, 100), note(2, 0, 60, 0), note(3, 0, 1, 0)});
    EXPECT_TRUE(player->Play(*data));
    EXPECT_TRUE(player->Stop());
    settle();
    sleepMs(80);
    EXPECT_TRUE(sentMessages(*devices).empty());
    EXPECT_EQ(probe.count(), 0);
}

TEST_F(PlayerOpening, AFailedDeviceSaysWhyTellsTheWindowAndIsNotOpenedAgain)
{
    std::atomic<int> notices{0};
    player->SetDeviceNotice([&] { ++notices; });
    openHeld(1);
    auto data = sequence({note(0, 0, 60, 100), note(2, 0, 60, 0), note(3, 0, 1, 0)});
    EXPECT_TRUE(player->Play(*data));
    settle(false, "No SoundFont found.");
    for (int i = 0; i < 200 && notices == 0; ++i)
        sleepMs(5);
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(player->CurrentDeviceState(), DeviceState::Failed);
    EXPECT_EQ(player->DeviceProblem(), "No SoundFont found.");
    EXPECT_EQ(player->CurrentDevice(), 1);

    // Every later request goes to the failed device as it is: nothing opens it again.
    EXPECT_TRUE(player->OpenDevice(1));
    EXPECT_TRUE(player->Play(*data));
    EXPECT_FALSE(player->SendEvent(cc(0, 0, 7, 100)));
    EXPECT_FALSE(player->PlayNoteFor(note(0, 0, 60, 100), 10));
    sleepMs(50);
    EXPECT_EQ(devices->Opens(1), 1u);
    EXPECT_TRUE(sentMessages(*devices).empty());

    // Choosing another device and coming back is a new choice: it opens again.
    EXPECT_TRUE(player->OpenDevice(2));
    EXPECT_EQ(devices->Closes(1), 1u);
    EXPECT_TRUE(player->OpenDevice(1));
    EXPECT_EQ(devices->Opens(1), 2u);
    EXPECT_EQ(player->CurrentDeviceState(), DeviceState::Ready);
    EXPECT_EQ(player->DeviceProblem(), "");
}

TEST_F(PlayerOpening, ADeviceLeftWhileOpeningNeitherPlaysNorDisturbsTheNextOne)
{
    openHeld(1);
    auto data = sequence({note(0, 0, 60, 100), note(2, 0, 60, 0), note(3, 0, 1, 0)});
    EXPECT_TRUE(player->Play(*data));
    EXPECT_TRUE(player->PlayNoteFor(note(0, 1, 50, 80), 30));
    EXPECT_TRUE(player->OpenDevice(2));
    settle(); // the old device was closed meanwhile: it stays closed
    EXPECT_TRUE(player->Play(*data));
    ASSERT_TRUE(probe.waitForPosts(1, 3000));
    sleepMs(60);
    for (const RecordedMessage& m : sentRecords(*devices))
        EXPECT_EQ(m.device, 2u) << std::hex << m.message;
    EXPECT_EQ(sentMessages(*devices), (std::vector<uint32_t>{0x643C90, 0x3C80}));
}

TEST_F(PlayerOpening, ThePlayerCanGoWhileItsDeviceIsStillOpening)
{
    openHeld(1);
    auto data = sequence({note(0, 0, 60, 100), note(2, 0, 60, 0), note(3, 0, 1, 0)});
    EXPECT_TRUE(player->Play(*data));
    EXPECT_TRUE(player->PlayNoteFor(note(0, 1, 50, 80), 30));
    _player = nullptr;
    player.reset();
    settle();
    sleepMs(40);
    EXPECT_TRUE(sentMessages(*devices).empty());
}

// The device settles on its own thread while the GUI thread plays: whichever comes
// first, the sequence starts exactly once.
TEST_F(PlayerOpening, APlayRacingTheDeviceBecomingReadyStartsExactlyOnce)
{
    auto data = sequence({note(0, 0, 60, 100), note(1, 0, 60, 0), note(2, 0, 1, 0)});
    for (int round = 0; round < 20; ++round) {
        openHeld(1 + round % 2);
        devices->ClearMessages();
        std::thread settler([&] {
            std::this_thread::sleep_for(std::chrono::microseconds(round * 150));
            devices->Recorder().SettleOpening(true);
        });
        EXPECT_TRUE(player->Play(*data));
        settler.join();
        ASSERT_TRUE(probe.waitForPosts(round + 1, 3000)) << "round " << round;
        EXPECT_EQ(sentMessages(*devices), (std::vector<uint32_t>{0x643C90, 0x3C80})) << "round " << round;
    }
}

TEST_F(PlayerOpening, DevicesAreFoundByNameAndKeepTheirPlaceWhenListedAgain)
{
    EXPECT_EQ(player->DeviceIndex("Recorder 2"), 2);
    EXPECT_EQ(player->DeviceIndex("Recorder 9"), -1);
    ASSERT_TRUE(player->OpenDevice(2));
    player->RefreshDevices();
    EXPECT_EQ(player->CurrentDevice(), 2);
    EXPECT_EQ(devices->Opens(2), 1u); // listing again does not reopen
    EXPECT_EQ(player->Devices()->InputNames(), std::vector<std::string>{kOwnInputName});
}

TEST_F(PlayerOpening, NewSynthesizerChoicesOpenTheCurrentDeviceAgainOnce)
{
    ASSERT_TRUE(player->OpenDevice(1));
    SynthOptions options;
    options.soundFont = "/chosen/in/settings.sf2";
    player->SetSynthOptions(options);
    EXPECT_EQ(devices->Opens(1), 2u);
    EXPECT_EQ(devices->Closes(1), 1u);
    EXPECT_EQ(player->CurrentDevice(), 1);
    player->SetSynthOptions(options); // the same choice: nothing happens
    EXPECT_EQ(devices->Opens(1), 2u);
}

} // namespace
