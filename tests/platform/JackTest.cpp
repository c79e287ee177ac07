// The JACK back end against a real JACK server (jackd1, dummy back end) started by the
// test: Tonvera's own output port carries what the player plays, its own input port
// delivers what another program plays into it, other programs' ports are listed and
// opened by name, and the built-in synthesizer's "jack" audio driver makes a client
// "Tonvera" wired to the system's playback ports. Without a server nothing is listed and
// nothing printed.
#include "midi/Player.h"
#include "midi/Tmidicontent.h"
#include "platform/BackgroundOpener.h"
#include "platform/FluidSynthOut.h"
#include "platform/JackServer.h"
#include "platform/RecordingMIDIOut.h"

#include "tests/support/JackTestDevices.h"
#include "tests/support/JackTestServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <chrono>
#include <thread>

namespace {

constexpr int kWaitMs = kJackWaitMs;

#if defined(__SANITIZE_THREAD__)
constexpr bool kUnderThreadSanitizer = true;
#else
constexpr bool kUnderThreadSanitizer = false;
#endif

bool contains(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

class JackTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!server.Running())
            GTEST_SKIP() << "jackd (jackd1) did not start";
        ASSERT_TRUE(peer.Open());
    }
    JackTestServer server;
    JackTestPeer peer;
};

TEST_F(JackTest, TonverasOwnOutputPortCarriesTheChordThePlayerPlays)
{
    RecorderAndJack b;
    Player player(b.devices); // device 0: the recorder; the own JACK port mirrors it
    const auto own = peer.WaitForPorts("^Tonvera[-0-9]*:output$", kWaitMs);
    ASSERT_EQ(own.size(), 1u);
    ASSERT_TRUE(peer.Connect(own[0], peer.InName()));

    TMIDIContent content;
    PlaybackSettings settings;
    PlayChord(&player, content, ChordToPlay{{48, 64, 67}, {"R", "3", "5"}}, settings);
    ASSERT_TRUE(peer.WaitForReceived(32 + 4 + 3, kWaitMs)); // reset, channel setup, the notes
    const std::vector<uint32_t> expected = {0x643091, 0x644090, 0x644390};
    EXPECT_EQ(NoteOns(peer.Received()), expected);
    std::vector<uint32_t> recorded;
    for (const RecordedMessage& m : b.recorder->Messages())
        recorded.push_back(m.message);
    EXPECT_EQ(NoteOns(recorded), expected);
    player.Stop();
}

TEST_F(JackTest, WhatAProgramPlaysIntoTonverasInputPortReachesTheCallback)
{
    RecorderAndJack b;
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<uint32_t> received;
    auto input = b.devices->OpenInput(kOwnInputName, [&](uint32_t message) { // JACK's thread
        std::lock_guard<std::mutex> lock(mutex);
        received.push_back(message);
        arrived.notify_all();
    });
    ASSERT_TRUE(input);
    ASSERT_EQ(input->WaitUntilOpen(kWaitMs), 1u);
    const auto own = peer.WaitForPorts("^Tonvera[-0-9]*:input$", kWaitMs);
    ASSERT_EQ(own.size(), 1u);
    ASSERT_TRUE(peer.Connect(peer.OutName(), own[0]));

    // C4 E4 G4 A4 with the pedal, a program change the finder does not need, and the release.
    const std::vector<uint32_t> played = {0x7F40B0, 0x643C90, 0x644090, 0x644390, 0x644590, 0x05C0,
                                          0x3C80,   0x4080,   0x4380,   0x4580,   0x0040B0};
    peer.Play(played);
    std::unique_lock<std::mutex> lock(mutex);
    ASSERT_TRUE(arrived.wait_for(lock, std::chrono::milliseconds(kWaitMs), [&] { return received.size() >= 10; }));
    std::vector<uint32_t> expected = played;
    std::erase(expected, 0x05C0u);
    EXPECT_EQ(received, expected);
}

TEST_F(JackTest, OtherProgramsPortsAreListedAndOpenedByName)
{
    RecorderAndJack b;
    const std::string sink = peer.InName() + " (JACK)", source = peer.OutName() + " (JACK)";
    EXPECT_TRUE(b.devices->Has(1)); // the JACK row's first port: its own output
    std::string own;
    ASSERT_TRUE(b.devices->Name(1, own));
    EXPECT_EQ(own, "Tonvera output port (JACK)");
    const int index = b.devices->IndexOf(sink);
    ASSERT_GT(index, 1);
    EXPECT_TRUE(contains(b.devices->InputNames(), source));

    MIDIOutHandle device = b.devices->Open(static_cast<unsigned>(index));
    ASSERT_TRUE(device);
    ASSERT_EQ(peer.WaitForPorts("^Tonvera[-0-9]*:output$", kWaitMs, 2).size(), 2u); // the device's and the own one
    // Sent to the peer's port once, however many ports Tonvera has.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (peer.Received().empty() && std::chrono::steady_clock::now() < until) {
        device->Send(0x643C90);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_FALSE(peer.Received().empty());
    for (uint32_t message : peer.Received())
        EXPECT_EQ(message, 0x643C90u);

    // Listening to the peer's output port.
    std::atomic<int> notes{0};
    auto input = b.devices->OpenInput(source, [&](uint32_t message) { notes += message == 0x643C90u; });
    ASSERT_TRUE(input);
    ASSERT_EQ(input->WaitUntilOpen(kWaitMs), 1u);
    for (int i = 0; i < kWaitMs / 50 && notes == 0; ++i) {
        peer.Play({0x643C90});
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_GT(notes, 0);
}

// At start-up the opener is held until the window has painted. Asking for the ports then
// makes the first connection at once instead of waiting for the held job (which would hang
// here: the hold lasts an hour); the held job, run later, leaves it be.
TEST_F(JackTest, PortsAreListedWhileTheFirstConnectionIsHeldBack)
{
    const auto opener = std::make_shared<BackgroundOpener>();
    std::unique_ptr<BackgroundHold> hold = opener->Hold(std::chrono::hours(1));
    auto devices = MakeSystemMIDIDevices({"JACK"}, opener);
    EXPECT_TRUE(contains(devices->InputNames(), peer.OutName() + " (JACK)"));
    hold.reset();
    devices->WaitForBackground();
    EXPECT_GE(devices->IndexOf(peer.InName() + " (JACK)"), 0);
}

TEST_F(JackTest, WhenTheServerStopsTonverasJackOutputsGoQuietInsteadOfHanging)
{
    // When their server dies, libjack's threads end themselves in a way ThreadSanitizer
    // takes for a fault of its own ("thread finished with ignores enabled").
    if (kUnderThreadSanitizer)
        GTEST_SKIP() << "libjack's shutdown path is not for ThreadSanitizer";
    RecorderAndJack b;
    Player player(b.devices);
    ASSERT_EQ(peer.WaitForPorts("^Tonvera[-0-9]*:output$", kWaitMs).size(), 1u);
    server.Stop();
    // Far more than RtMidi's JACK buffer holds: with the server gone it would wait forever.
    auto sending = std::async(std::launch::async, [&] {
        for (int i = 0; i < 300; ++i)
            player.Stop(); // 32 reset messages each
    });
    if (sending.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "sending hangs with the JACK server gone";
        std::_Exit(1);
    }
    EXPECT_EQ(b.recorder->Messages().size(), 32u * 301); // the chosen device got every message
    // The server's going is told on libjack's own thread, which a busy machine may run late:
    // a list read before that still shows the port once.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    b.devices->Refresh();
    while (b.devices->Count() != 1u && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        b.devices->Refresh();
    }
    EXPECT_EQ(b.devices->Count(), 1u); // the recorder; no JACK port any more
}

TEST_F(JackTest, TheSynthesizersJackClientIsTonveraWiredToThePlaybackPortsAndStaysWhenIdle)
{
    // FluidSynth loads SoundFonts on OpenMP threads, which ThreadSanitizer cannot follow.
    if (kUnderThreadSanitizer)
        GTEST_SKIP() << "FluidSynth's SoundFont loading is not for ThreadSanitizer";
    if (FindGeneralMIDISoundFont().empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    ScopedEnvironment environment;
    environment.Set("TONVERA_AUDIO_DRIVER", "jack");
    auto devices = MakeSystemMIDIDevices();
    SynthOptions options;
    options.idleCloseMs = 100;
    devices->Configure(options); // the settings' choice, known before the first open
    Player player(devices);      // the synthesizer, opening in the background
    devices->WaitForBackground();
    ASSERT_EQ(player.CurrentDeviceState(), DeviceState::Ready) << player.DeviceProblem();
    EXPECT_TRUE(peer.Connected("Tonvera:left", "system:playback_1"));
    EXPECT_TRUE(peer.Connected("Tonvera:right", "system:playback_2"));
    EXPECT_EQ(peer.WaitForPorts("^Tonvera-01:output$", kWaitMs).size(), 1u); // own MIDI port after it

    // Silence does not close JACK's ports: a user may have wired them anywhere.
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_EQ(peer.WaitForPorts("^Tonvera:(left|right)$", 0).size(), 2u);
}

TEST(JackWithoutServer, NothingIsListedNothingPrintedNothingStarted)
{
    ScopedEnvironment environment;
    environment.Set("JACK_DEFAULT_SERVER", "tonvera-test-no-such-server");
    std::shared_ptr<MIDIDeviceList> devices;
    unsigned count = 1;
    std::vector<std::string> inputs;
    unsigned inputsOpened = 1;
    JackServerInfo probe;
    const std::string printed = printedBy([&] {
        devices = MakeSystemMIDIDevices({"JACK"});
        count = devices->Count();
        inputs = devices->InputNames();
        auto input = devices->OpenInput(kOwnInputName, [](uint32_t) {});
        inputsOpened = input->WaitUntilOpen(kWaitMs);
        probe = ProbeJackServer();
    });
    EXPECT_EQ(printed, "");
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(inputs, std::vector<std::string>{kOwnInputName});
    EXPECT_EQ(inputsOpened, 0u);
    EXPECT_FALSE(probe.running);
}

} // namespace
