// The window with a real JACK server (jackd1, dummy back end) started by the test: another
// program plays chords into Tonvera's own input port and the window names them, and reads
// Tonvera's own output port while a chord-type button is pressed.
#include "LiveMIDIFixture.h"

#include "controls/Nxpanel.h"
#include "tests/support/JackTestDevices.h"
#include "tests/support/JackTestServer.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kWaitMs = kJackWaitMs;

class LiveJack : public testing::Test {
protected:
    void SetUp() override
    {
        if (!server.Running())
            GTEST_SKIP() << "jackd (jackd1) did not start";
        ASSERT_TRUE(peer.Open());
        WriteLiveMIDIVoicings(fixture);
        fixture.UseDevices(RecorderAndJack().devices); // the list keeps its back ends
    }
    // Tonvera's own port of that direction, once it is there.
    std::string ownPort(const char* direction) const
    {
        const auto ports = peer.WaitForPorts(std::string("^Tonvera[-0-9]*:") + direction + "$", kWaitMs);
        return ports.size() == 1 ? ports.front() : std::string();
    }

    JackTestServer server;
    JackTestPeer peer;
    WindowFixture fixture{LiveMIDIFiles()};
};

} // namespace

TEST_F(LiveJack, ChordsPlayedIntoTonverasInputPortAreNamed)
{
    TMainForm& form = fixture.Start();
    const std::string input = ownPort("input");
    ASSERT_FALSE(input.empty());
    ASSERT_TRUE(peer.Connect(peer.OutName(), input));

    peer.Play({NoteOnMessage(60), NoteOnMessage(64), NoteOnMessage(67), NoteOnMessage(69)});
    EXPECT_TRUE(QTest::qWaitFor([&] { return FirstResult(form) == "Cmaj6 "; }, kWaitMs)) << FirstResult(form);
    EXPECT_TRUE(form.ReverseFinderOn());
    EXPECT_EQ(MarkCodes(form), (std::set<int>{60, 64, 67, 69}));

    peer.Play({NoteOffMessage(60), NoteOffMessage(64), NoteOffMessage(67), NoteOffMessage(69)});
    peer.Play({NoteOnMessage(57), NoteOnMessage(60), NoteOnMessage(64), NoteOnMessage(67)});
    EXPECT_TRUE(QTest::qWaitFor([&] { return FirstResult(form) == "Am7 "; }, kWaitMs)) << FirstResult(form);
    EXPECT_EQ(MarkCodes(form), (std::set<int>{57, 60, 64, 67}));
}

TEST_F(LiveJack, TonverasOutputPortCarriesTheChordOfAPressedButton)
{
    TMainForm& form = fixture.Start();
    const std::string output = ownPort("output");
    ASSERT_FALSE(output.empty());
    ASSERT_TRUE(peer.Connect(output, peer.InName()));

    PressAt(button(form, "T_maj"), 10, 8);
    std::vector<uint32_t> noteOns;
    const bool arrived = QTest::qWaitFor(
        [&] {
            noteOns = NoteOns(peer.Received());
            return noteOns.size() >= 3;
        },
        kWaitMs);
    ASSERT_TRUE(arrived);
    // The first voicing of C major, 48 52 55: its root on the root's channel.
    EXPECT_EQ(noteOns, (std::vector<uint32_t>{0x643091, 0x643490, 0x643790}));
}

// Tonvera started before the JACK server: once the settings have been open, its own input
// port is there, and chords played into it are named.
TEST(LiveJackLater, AServerStartedAfterTonveraGetsItsInputPortWhenTheSettingsClose)
{
    ScopedEnvironment environment;
    environment.Set("JACK_DEFAULT_SERVER", "tonvera-test-not-yet");
    std::unique_ptr<JackTestServer> server; // outlives the window: Tonvera's clients leave first
    WindowFixture fixture{LiveMIDIFiles()};
    WriteLiveMIDIVoicings(fixture);
    fixture.UseDevices(RecorderAndJack().devices); // the list keeps its back ends
    TMainForm& form = fixture.Start();
    fixture.ThePlayer->Devices()->WaitForBackground();

    server = std::make_unique<JackTestServer>();
    if (!server->Running())
        GTEST_SKIP() << "jackd (jackd1) did not start";
    JackTestPeer peer;
    ASSERT_TRUE(peer.Open());
    fixture.Settings().open();
    fixture.Settings().Button2Click();
    form.ApplyMIDIInput(); // what closing the settings does
    const auto input = peer.WaitForPorts("^Tonvera[-0-9]*:input$", kWaitMs);
    ASSERT_EQ(input.size(), 1u);
    ASSERT_TRUE(peer.Connect(peer.OutName(), input.front()));
    peer.Play({NoteOnMessage(60), NoteOnMessage(64), NoteOnMessage(67), NoteOnMessage(69)});
    EXPECT_TRUE(QTest::qWaitFor([&] { return FirstResult(form) == "Cmaj6 "; }, kWaitMs)) << FirstResult(form);
}
