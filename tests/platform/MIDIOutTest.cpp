// The MIDI device layer on recording back ends: the handle's rules (reset, close, the
// opening state, the mirror), the device list over a table of back ends (numbering, names,
// a new listing, Tonvera's own ports), and MIDI input.
#include "platform/MIDIOut.h"
#include "platform/RecordingMIDIOut.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace {

std::vector<uint32_t> messagesOf(const RecordingBackEnd& recorder, unsigned device)
{
    std::vector<uint32_t> messages;
    for (const RecordedMessage& m : recorder.Messages())
        if (m.device == device)
            messages.push_back(m.message);
    return messages;
}

TEST(MIDIOutTest, ResetSendsAllNotesOffAndResetControllersOnEveryChannel)
{
    auto devices = std::make_shared<RecordingMIDIDevices>(1);
    MIDIOutHandle device = devices->Open(0);
    ASSERT_TRUE(device);
    EXPECT_TRUE(device->Reset());
    const auto messages = devices->Messages();
    ASSERT_EQ(messages.size(), 32u);
    for (uint32_t channel = 0; channel < 16; ++channel) {
        EXPECT_EQ(messages[2 * channel].message, 0xB0u | channel | 123u << 8);
        EXPECT_EQ(messages[2 * channel + 1].message, 0xB0u | channel | 121u << 8);
    }
}

TEST(MIDIOutTest, ClosedHandleDropsSendsButStaysValid)
{
    auto devices = std::make_shared<RecordingMIDIDevices>(2);
    MIDIOutHandle device = devices->Open(1);
    EXPECT_TRUE(device->Send(0x643C90));
    EXPECT_TRUE(device->Close());
    EXPECT_FALSE(device->Close());
    EXPECT_FALSE(device->IsOpen());
    EXPECT_EQ(device->State(), DeviceState::Closed);
    EXPECT_FALSE(device->Send(0x3C80));
    EXPECT_FALSE(device->Reset());
    EXPECT_EQ(devices->Messages().size(), 1u);
    EXPECT_EQ(devices->Closes(1), 1u);
    EXPECT_EQ(devices->Open(2), nullptr);
}

TEST(MIDIOutTest, ShortMessagesPackAndInputsDeliverOnlyNotesAndPedals)
{
    struct DataBytes { uint8_t status; int bytes; };
    for (const DataBytes c : {DataBytes{0x80, 2}, DataBytes{0x9F, 2}, DataBytes{0xA0, 2}, DataBytes{0xB3, 2},
                              DataBytes{0xC0, 1}, DataBytes{0xD5, 1}, DataBytes{0xE0, 2}, DataBytes{0xF0, 0},
                              DataBytes{0x40, 0}})
        EXPECT_EQ(ShortMessageDataBytes(c.status), c.bytes) << int(c.status);

    struct Pack { std::vector<unsigned char> bytes; uint32_t packed; bool delivered; };
    const Pack cases[] = {
        {{0x90, 60, 100}, 0x643C90, true},       // note-on
        {{0x81, 60, 0}, 0x3C81, true},           // note-off
        {{0xB0, 64, 127}, 0x7F40B0, true},       // sustain pedal
        {{0xB2, 123, 0}, 0x7BB2, true},          // all notes off
        {{0xB0, 7, 100}, 0x6407B0, false},       // volume: not for the finder
        {{0xC0, 5}, 0x05C0, false},              // program change
        {{0x90, 60}, 0, false},                  // cut short
        {{0x3C, 0x64}, 0, false},                // no status byte
        {{0xF0, 0x7E, 0xF7}, 0, false},          // system exclusive
        {{0x90, 0xBC, 0xE4}, 0x643C90, true},    // data bytes keep 7 bits
    };
    for (const Pack& c : cases) {
        const uint32_t packed = PackShortMessage(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(packed, c.packed) << std::hex << c.packed;
        EXPECT_EQ(IsDeliveredInputMessage(packed), c.delivered) << std::hex << c.packed;
    }
}

TEST(MIDIOutTest, AnOpeningDeviceKeepsItsMessagesUntilReadyAndSendsThemInOrder)
{
    auto devices = std::make_shared<RecordingMIDIDevices>(1);
    RecordingBackEnd& recorder = devices->Recorder();
    recorder.HoldOpening(true);
    MIDIOutHandle device = devices->Open(0);
    ASSERT_EQ(device->State(), DeviceState::Opening);
    EXPECT_TRUE(device->IsOpen());
    std::atomic<int> settled{0};
    device->WhenSettled([&](bool ready) { settled += ready ? 1 : 100; });

    EXPECT_TRUE(device->Send(0x5007B0));  // volume
    EXPECT_TRUE(device->Send(0x643C90));  // a note cancelled by the reset below
    EXPECT_TRUE(device->Reset());         // a fresh device has nothing to silence
    EXPECT_TRUE(device->Send(0x05C0));
    EXPECT_TRUE(device->Send(0x644090));
    EXPECT_TRUE(recorder.Messages().empty());
    EXPECT_FALSE(device->WaitUntilSettled(10));

    recorder.SettleOpening(true);
    EXPECT_TRUE(device->WaitUntilSettled(0));
    EXPECT_EQ(device->State(), DeviceState::Ready);
    EXPECT_EQ(settled, 1);
    EXPECT_EQ(messagesOf(recorder, 0), (std::vector<uint32_t>{0x5007B0, 0x05C0, 0x644090}));
    device->WhenSettled([&](bool ready) { settled += ready ? 10 : 1000; }); // settled already: at once
    EXPECT_EQ(settled, 11);
}

TEST(MIDIOutTest, AFailedDeviceDropsWhatWaitedAndSaysWhy)
{
    auto devices = std::make_shared<RecordingMIDIDevices>(1);
    devices->Recorder().HoldOpening(true);
    MIDIOutHandle device = devices->Open(0);
    EXPECT_TRUE(device->Send(0x643C90));
    devices->Recorder().SettleOpening(false, "The audio output could not be opened.");
    EXPECT_EQ(device->State(), DeviceState::Failed);
    EXPECT_FALSE(device->IsOpen());
    EXPECT_EQ(device->Problem(), "The audio output could not be opened.");
    EXPECT_FALSE(device->Send(0x3C80));
    EXPECT_TRUE(devices->Messages().empty());
    EXPECT_FALSE(device->Close()); // it never opened
    EXPECT_EQ(device->State(), DeviceState::Closed);
}

TEST(MIDIOutTest, ADeviceClosedWhileOpeningStaysClosedAndForgetsItsCallback)
{
    auto devices = std::make_shared<RecordingMIDIDevices>(1);
    devices->Recorder().HoldOpening(true);
    MIDIOutHandle device = devices->Open(0);
    bool called = false;
    device->WhenSettled([&](bool) { called = true; });
    EXPECT_TRUE(device->Send(0x643C90));
    EXPECT_TRUE(device->Close());
    devices->Recorder().SettleOpening(true);
    EXPECT_EQ(device->State(), DeviceState::Closed);
    EXPECT_FALSE(called);
    EXPECT_TRUE(devices->Messages().empty());
}

// Two recorders with own ports, as ALSA and JACK are: outputs 0-1 and "Recorder:own" of
// the first, then the same of the second.
struct TwoBackEnds {
    std::shared_ptr<RecordingBackEnd> first = std::make_shared<RecordingBackEnd>(2, true);
    std::shared_ptr<RecordingBackEnd> second = std::make_shared<RecordingBackEnd>(2, true);
    MIDIDeviceList list{{first, second}, nullptr};
};

TEST(MIDIDeviceListTest, NumbersThePortsOfItsBackEndsInTableOrderAndFindsThemByName)
{
    TwoBackEnds b;
    EXPECT_EQ(b.list.Count(), 6u);
    const char* const names[] = {"Recorder 0", "Recorder 1", "Recorder:own", "Recorder 0", "Recorder 1", "Recorder:own"};
    for (unsigned i = 0; i < 6; ++i) {
        std::string name;
        EXPECT_TRUE(b.list.Name(i, name));
        EXPECT_EQ(name, names[i]);
    }
    std::string untouched = "untouched";
    EXPECT_FALSE(b.list.Name(6, untouched));
    EXPECT_EQ(untouched, "untouched");
    EXPECT_TRUE(b.list.Has(5));
    EXPECT_FALSE(b.list.Has(6));
    EXPECT_EQ(b.list.IndexOf("Recorder 1"), 1); // the first back end's port wins
    EXPECT_EQ(b.list.IndexOf("Nowhere"), -1);

    MIDIOutHandle device = b.list.Open(4);
    ASSERT_TRUE(device);
    EXPECT_EQ(b.second->Opens(1), 1u);
    EXPECT_EQ(b.first->Opens(1), 0u);
    EXPECT_EQ(b.list.Open(6), nullptr);
}

TEST(MIDIDeviceListTest, EverythingPlayedAlsoGoesToTonverasOwnOutputPortsButNeverTwice)
{
    TwoBackEnds b;
    MIDIOutHandle chosen = b.list.Open(1);
    b.list.WaitForBackground(); // the own ports open in the background
    EXPECT_EQ(b.first->Opens(2), 1u);
    EXPECT_EQ(b.second->Opens(2), 1u);
    EXPECT_TRUE(chosen->Send(0x643C90));
    EXPECT_EQ(messagesOf(*b.first, 1), std::vector<uint32_t>{0x643C90});
    EXPECT_EQ(messagesOf(*b.first, 2), std::vector<uint32_t>{0x643C90}); // own ports are device 2
    EXPECT_EQ(messagesOf(*b.second, 2), std::vector<uint32_t>{0x643C90});

    // Choosing an own port: it gets each message once, the other own port too.
    EXPECT_TRUE(chosen->Close());
    MIDIOutHandle own = b.list.Open(5);
    ASSERT_TRUE(own);
    EXPECT_TRUE(own->Send(0x3C80));
    EXPECT_EQ(messagesOf(*b.second, 2), (std::vector<uint32_t>{0x643C90, 0x3C80}));
    EXPECT_EQ(messagesOf(*b.first, 2), (std::vector<uint32_t>{0x643C90, 0x3C80}));
    EXPECT_EQ(messagesOf(*b.first, 1), std::vector<uint32_t>{0x643C90}); // closed: no more
    // Closing the choice leaves the own ports open for the next one.
    EXPECT_TRUE(own->Close());
    EXPECT_EQ(b.second->Closes(2), 0u);
    EXPECT_EQ(b.second->Opens(2), 1u);
}

TEST(MIDIDeviceListTest, TheMirrorPlaysWhileTheChosenDeviceOpensOrAfterItFailed)
{
    TwoBackEnds b;
    b.first->HoldOpening(true);
    MIDIOutHandle chosen = b.list.Open(0);
    b.list.WaitForBackground();
    EXPECT_TRUE(chosen->Send(0x643C90));
    EXPECT_EQ(messagesOf(*b.second, 2), std::vector<uint32_t>{0x643C90});
    EXPECT_TRUE(messagesOf(*b.first, 0).empty());
    b.first->SettleOpening(false, "broken");
    EXPECT_TRUE(chosen->Send(0x3C80)); // the own ports took it
    EXPECT_EQ(messagesOf(*b.second, 2), (std::vector<uint32_t>{0x643C90, 0x3C80}));
    EXPECT_TRUE(messagesOf(*b.first, 0).empty());
}

// A back end whose ports the test changes, to see the list read them again.
class ChangingBackEnd : public MIDIBackEnd {
public:
    std::vector<std::string> OutputPorts() override
    {
        ++listings;
        return ports;
    }
    MIDIOutHandle OpenOutput(const std::string&) override { return nullptr; }
    std::vector<std::string> ports{"a", "b"};
    int listings = 0;
};

TEST(MIDIDeviceListTest, ListsABackEndOnceUntilRefreshedAndOnlyWhenNeeded)
{
    auto early = std::make_shared<ChangingBackEnd>();
    auto late = std::make_shared<ChangingBackEnd>();
    MIDIDeviceList list({early, late}, nullptr);
    EXPECT_TRUE(list.Has(1));
    EXPECT_EQ(late->listings, 0); // index 1 lies in the first back end
    EXPECT_EQ(list.Count(), 4u);
    EXPECT_EQ(list.Count(), 4u);
    EXPECT_EQ(early->listings, 1);
    EXPECT_EQ(late->listings, 1);

    early->ports = {"a", "new", "b"};
    EXPECT_EQ(list.IndexOf("b"), 1);
    list.Refresh();
    EXPECT_EQ(list.IndexOf("b"), 2);
    EXPECT_EQ(list.Count(), 5u);
}

TEST(MIDIInputTest, TheOwnInputListensOnEveryBackEndAndStopsWhenClosed)
{
    TwoBackEnds b;
    EXPECT_EQ(b.list.InputNames(), std::vector<std::string>{kOwnInputName});
    std::mutex mutex;
    std::vector<uint32_t> received;
    auto input = b.list.OpenInput(kOwnInputName, [&](uint32_t message) {
        std::lock_guard<std::mutex> lock(mutex);
        received.push_back(message);
    });
    ASSERT_TRUE(input);
    EXPECT_EQ(input->WaitUntilOpen(5000), 2u);

    b.first->PlayIntoInput(0x643C90);
    std::thread other([&] { b.second->PlayIntoInput(0x7F40B0); }); // another back end's thread
    other.join();
    b.first->PlayIntoInput(0x05C0);   // program change: not delivered
    b.second->PlayIntoInput(0x3C80);
    {
        std::lock_guard<std::mutex> lock(mutex);
        EXPECT_EQ(received, (std::vector<uint32_t>{0x643C90, 0x7F40B0, 0x3C80}));
    }
    input.reset();
    b.first->PlayIntoInput(0x644090);
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(received.size(), 3u);
}

TEST(MIDIInputTest, AnUnknownInputOrABackEndWithoutInputsOpensNothing)
{
    TwoBackEnds b;
    EXPECT_EQ(b.list.OpenInput("Nowhere", [](uint32_t) {}), nullptr);
    RecordingMIDIDevices plain(1);
    auto input = plain.OpenInput(kOwnInputName, [](uint32_t) {});
    ASSERT_TRUE(input);
    EXPECT_EQ(input->WaitUntilOpen(5000), 0u);
}

TEST(MIDIInputTest, TonverasOwnPortsAreToldApartFromOthers)
{
    struct Case { const char* name; bool own; };
    const Case cases[] = {
        {"Tonvera:output", true},        {"Tonvera:input 128:0", true},  {"Tonvera-01:output", true},
        {"Tonvera-12:input", true},      {"Tonvera-:input", false},      {"Tonvera2:output", false},
        {"TonveraX:output", false},      {"Midi Through:Port-0", false}, {"Tonvera", false},
        {"system:midi_playback_1", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsTonveraPort(c.name), c.own) << c.name;
}

} // namespace
