// Tests of the MIDI output devices: the shared handle rules, the reset, and the system
// list with the built-in synthesizer on a machine without a sound card.
#include "platform/FluidSynthOut.h"
#include "platform/MIDIOut.h"
#include "platform/RecordingMIDIOut.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

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
    EXPECT_FALSE(device->Send(0x3C80));
    EXPECT_FALSE(device->Reset());
    EXPECT_EQ(devices->Messages().size(), 1u);
    EXPECT_EQ(devices->Closes(1), 1u);
    EXPECT_EQ(devices->Open(2), nullptr);
}

TEST(MIDIOutTest, DataBytesPerStatus)
{
    struct Case { uint8_t status; int bytes; };
    for (const Case c : {Case{0x80, 2}, Case{0x9F, 2}, Case{0xA0, 2}, Case{0xB3, 2}, Case{0xC0, 1},
                         Case{0xD5, 1}, Case{0xE0, 2}, Case{0xF0, 0}, Case{0x40, 0}})
        EXPECT_EQ(ShortMessageDataBytes(c.status), c.bytes) << int(c.status);
}

// Runs fn with stdout and stderr redirected to a file, and returns what was printed.
template <typename Fn>
std::string printedBy(Fn fn)
{
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("tonvera-quiet-" + std::to_string(getpid()))).string();
    std::fflush(stdout);
    std::fflush(stderr);
    const int savedOut = dup(1), savedErr = dup(2);
    FILE* sink = std::fopen(path.c_str(), "w");
    dup2(fileno(sink), 1);
    dup2(fileno(sink), 2);
    fn();
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(savedOut, 1);
    dup2(savedErr, 2);
    close(savedOut);
    close(savedErr);
    std::fclose(sink);
    std::string text;
    if (FILE* in = std::fopen(path.c_str(), "r")) {
        char buffer[256];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
            text.append(buffer, n);
        std::fclose(in);
    }
    std::remove(path.c_str());
    return text;
}

TEST(SystemMIDIDevicesTest, ListsTheBuiltInSynthFirstAndPrintsNothing)
{
    const std::string soundFont = FindGeneralMIDISoundFont();
    std::shared_ptr<MIDIDeviceList> devices;
    MIDIOutHandle opened;
    unsetenv("TONVERA_AUDIO_DRIVER");
    const std::string printed = printedBy([&] {
        devices = MakeSystemMIDIDevices();
        if (devices->Count() > 0)
            opened = devices->Open(0); // no sound card here: fails, silently
    });
    EXPECT_EQ(printed, "");
    if (soundFont.empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    std::string name;
    ASSERT_TRUE(devices->Name(0, name));
    EXPECT_EQ(name, "Tonvera built-in synthesizer");
    if (opened) {
        EXPECT_TRUE(opened->Send(0x643C90));
    }
}

TEST(SystemMIDIDevicesTest, BuiltInSynthRecordsThroughTheFileDriver)
{
    const std::string soundFont = FindGeneralMIDISoundFont();
    if (soundFont.empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    const std::string wav = (std::filesystem::temp_directory_path() /
                             ("tonvera-synth-" + std::to_string(getpid()) + ".wav")).string();
    setenv("TONVERA_AUDIO_DRIVER", "file", 1);
    setenv("TONVERA_AUDIO_FILE", wav.c_str(), 1);
    MIDIOutHandle synth = OpenBuiltInSynth(soundFont);
    unsetenv("TONVERA_AUDIO_DRIVER");
    unsetenv("TONVERA_AUDIO_FILE");
    ASSERT_TRUE(synth);
    EXPECT_TRUE(synth->Send(0x643C90));
    EXPECT_TRUE(synth->Send(0x3C80));
    EXPECT_TRUE(synth->Close());
    EXPECT_TRUE(std::filesystem::exists(wav));
    std::filesystem::remove(wav);
}

TEST(SystemMIDIDevicesTest, MissingChosenSoundFontMeansNoBuiltInSynth)
{
    setenv("TONVERA_SOUNDFONT", "/nonexistent/chosen.sf2", 1);
    EXPECT_EQ(FindGeneralMIDISoundFont(), "");
    unsetenv("TONVERA_SOUNDFONT");
}

} // namespace
