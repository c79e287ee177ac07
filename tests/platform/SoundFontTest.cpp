// The built-in synthesizer's SoundFont search, the check of a SoundFont file, and why the
// synthesizer cannot start, said in plain words and without a word on the terminal.
#include "platform/FluidSynthOut.h"
#include "platform/SoundFont.h"

#include "tests/integration/TempFolder.h"
#include "tests/support/SoundTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string le32(uint32_t value)
{
    return {char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
}

std::string chunk(const std::string& id, const std::string& body)
{
    return id + le32(static_cast<uint32_t>(body.size())) + body + (body.size() % 2 ? std::string(1, '\0') : "");
}

// The path in double quotes, as the messages name it.
std::string quoted(const fs::path& path)
{
    std::string text = "\"";
    text += path.string();
    text += '"';
    return text;
}

std::string list(const std::string& type, const std::string& body) { return chunk("LIST", type + body); }

// A RIFF "sfbk" with the given top-level parts; riffExtra lengthens the stated size.
std::string soundFontBytes(const std::vector<std::string>& parts, uint32_t riffExtra = 0)
{
    std::string body = "sfbk";
    for (const std::string& part : parts)
        body += part;
    return "RIFF" + le32(static_cast<uint32_t>(body.size()) + riffExtra) + body;
}

const std::string kInfo = list("INFO", chunk("ifil", std::string("\2\0\1\0", 4)));
const std::string kSamples = list("sdta", chunk("smpl", std::string(64, '\0')));
// Preset data that no loader can make sense of.
const std::string kGarbledPresets = list("pdta", chunk("phdr", std::string(13, '\x7f')) + chunk("zzzz", "junk"));

TEST(SoundFontTest, TheFileCheckNamesWhatIsWrongInPlainWords)
{
    TempFolder folder;
    struct Case { const char* name; std::string bytes; std::string problem; };
    const Case cases[] = {
        {"good.sf2", soundFontBytes({kInfo, kSamples, kGarbledPresets}), ""},
        {"notes.txt", "This is not a SoundFont at all", "is not a SoundFont."},
        {"short.sf2", "RIF", "is not a SoundFont."},
        {"wave.sf2", "RIFF" + le32(4) + "WAVE", "is not a SoundFont."},
        {"cut.sf2", soundFontBytes({kInfo, kSamples, kGarbledPresets}, 1000), "is damaged: the file ends before its last part."},
        {"nopresets.sf2", soundFontBytes({kInfo, kSamples}), "is damaged: it lacks its presets."},
        {"overrun.sf2", soundFontBytes({kInfo, kSamples, "LIST" + le32(5000) + "pdta"}),
         "is damaged: a part runs past the end of the file."},
    };
    for (const Case& c : cases) {
        const fs::path path = folder.path / c.name;
        writeFile(path, c.bytes);
        const std::string problem = SoundFontFileProblem(path.string());
        if (c.problem.empty()) {
            EXPECT_EQ(problem, "") << c.name;
        } else {
            EXPECT_NE(problem.find(quoted(path)), std::string::npos) << problem;
            EXPECT_NE(problem.find(c.problem), std::string::npos) << c.name << ": " << problem;
        }
    }
    EXPECT_EQ(SoundFontFileProblem((folder.path / "missing.sf2").string()),
              "The SoundFont " + quoted(folder.path / "missing.sf2") + " cannot be read: No such file or directory.");
    if (const std::string installed = FindGeneralMIDISoundFont(); !installed.empty()) {
        EXPECT_EQ(SoundFontFileProblem(installed), "");
    }
}

TEST(SoundFontTest, SearchTakesAnExplicitChoiceAsItIsThenFluidSynthsDefaultThenTheFolders)
{
    TempFolder folder;
    const fs::path sf3 = folder.path / "sf3", sf2 = folder.path / "sf2", other = folder.path / "other";
    for (const fs::path& dir : {sf3, sf2, other})
        fs::create_directories(dir);
    for (const char* name : {"Piano.sf2", "FluidR3_GM.sf3", "default-GM.sf2", "readme.txt"})
        writeFile(sf2 / name, "x");
    writeFile(other / "Zither.sf2", "x");
    writeFile(other / "Bells.SF3", "x");
    const std::string chosen = (other / "Zither.sf2").string();
    const std::string fluidDefault = (other / "Bells.SF3").string();
    const std::string missing = (folder.path / "gone.sf2").string();

    struct Case {
        const char* what;
        const char* environment;
        std::string chosen;
        std::string fluidDefault;
        std::vector<std::string> folders;
        std::string path;
        std::string problem;
    };
    const Case cases[] = {
        {"the environment first", chosen.c_str(), "", fluidDefault, {sf2.string()}, chosen, ""},
        {"a missing file in the environment is reported", missing.c_str(), chosen, fluidDefault, {}, "",
         "The SoundFont \"" + missing + "\" does not exist."},
        {"then the settings' choice", nullptr, chosen, fluidDefault, {sf2.string()}, chosen, ""},
        {"a missing choice is reported, not replaced", nullptr, missing, fluidDefault, {sf2.string()}, "",
         "The SoundFont \"" + missing + "\" does not exist."},
        {"then FluidSynth's default", nullptr, "", fluidDefault, {sf2.string()}, fluidDefault, ""},
        {"then the folders, General MIDI sets first", nullptr, "", missing, {sf3.string(), sf2.string()},
         (sf2 / "default-GM.sf2").string(), ""},
        {"any SoundFont of a folder, by name", nullptr, "", "", {other.string()}, (other / "Bells.SF3").string(), ""},
        {"nothing anywhere", nullptr, "", missing, {sf3.string(), (folder.path / "none").string()}, "",
         NoSoundFontProblem()},
    };
    for (const Case& c : cases) {
        ScopedEnvironment environment;
        environment.Set("TONVERA_SOUNDFONT", c.environment);
        const SoundFontChoice found = FindSoundFont(c.chosen, {c.fluidDefault, c.folders});
        EXPECT_EQ(found.path, c.path) << c.what;
        EXPECT_EQ(found.problem, c.problem) << c.what;
    }
}

TEST(SoundFontTest, TheAudioBufferIsSixtyFourFramePeriodsForTheWantedTime)
{
    struct Case { int ms; double rate; int periods; };
    for (const Case c : {Case{4, 48000, 3}, Case{1, 48000, 2}, Case{5, 48000, 4}, Case{10, 44100, 7},
                         Case{0, 48000, 2}, Case{100000, 48000, 150}}) {
        const AudioBuffer buffer = AudioBufferFor(c.ms, c.rate);
        EXPECT_EQ(buffer.periodFrames, 64) << c.ms;
        EXPECT_EQ(buffer.periods, c.periods) << c.ms << " ms at " << c.rate;
    }
}

// Opens the built-in synthesizer on the calling thread, in the environment the test set.
struct SynthOutcome {
    MIDIOutHandle device;
    std::string printed;
};
SynthOutcome openSynth(const SynthOptions& options = {})
{
    SynthOutcome outcome;
    outcome.printed = printedBy([&] { outcome.device = OpenBuiltInSynth(options); });
    return outcome;
}

class BuiltInSynthStart : public testing::Test {
protected:
    void SetUp() override
    {
        soundFont = FindGeneralMIDISoundFont();
        wav = (folder.path / "out.wav").string();
    }
    TempFolder folder;
    std::string soundFont;
    std::string wav;
    ScopedEnvironment environment;
};

TEST_F(BuiltInSynthStart, AMissingOrFakeOrBrokenSoundFontSaysWhyAndPrintsNothing)
{
    environment.Set("TONVERA_AUDIO_DRIVER", "file").Set("TONVERA_AUDIO_FILE", wav.c_str());
    const fs::path fake = folder.path / "fake.sf2", broken = folder.path / "broken.sf2";
    writeFile(fake, "not a SoundFont\n");
    writeFile(broken, soundFontBytes({kInfo, kSamples, kGarbledPresets}));
    struct Case { fs::path soundFont; std::string problem; };
    const Case cases[] = {
        {folder.path / "missing.sf2", "The SoundFont " + quoted(folder.path / "missing.sf2") + " does not exist."},
        {fake, quoted(fake) + " is not a SoundFont."},
        {broken, "The SoundFont " + quoted(broken) + " could not be loaded"},
    };
    for (const Case& c : cases) {
        environment.Set("TONVERA_SOUNDFONT", c.soundFont.c_str());
        const SynthOutcome outcome = openSynth();
        EXPECT_EQ(outcome.printed, "") << c.soundFont;
        ASSERT_TRUE(outcome.device);
        EXPECT_EQ(outcome.device->State(), DeviceState::Failed);
        EXPECT_EQ(outcome.device->Problem().rfind(c.problem, 0), 0u) << outcome.device->Problem();
        EXPECT_FALSE(outcome.device->Send(0x643C90));
    }
}

TEST_F(BuiltInSynthStart, WithoutAnAudioDeviceOrJackServerItSaysSoAtOnceAndPrintsNothing)
{
    if (soundFont.empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    environment.Set("TONVERA_AUDIO_DRIVER", "jack").Set("JACK_DEFAULT_SERVER", "tonvera-test-no-such-server");
    SynthOutcome outcome = openSynth();
    EXPECT_EQ(outcome.printed, "");
    EXPECT_EQ(outcome.device->State(), DeviceState::Failed);
    EXPECT_EQ(outcome.device->Problem(), "The audio output could not be opened (audio driver \"jack\"): no JACK server is running.");

    environment.Set("TONVERA_AUDIO_DRIVER", nullptr); // FluidSynth's default: ALSA, and no sound card here
    outcome = openSynth();
    EXPECT_EQ(outcome.printed, "");
    if (outcome.device->State() == DeviceState::Ready)
        GTEST_SKIP() << "this machine has a sound card";
    EXPECT_EQ(outcome.device->Problem().rfind("The audio output could not be opened (audio driver \"", 0), 0u)
        << outcome.device->Problem();
    EXPECT_GT(outcome.device->Problem().size(), 60u) << "the driver's own reason is missing";
}

TEST_F(BuiltInSynthStart, TheFileDriverRecordsAndReadsBackItsBuffer)
{
    if (soundFont.empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    environment.Set("TONVERA_AUDIO_DRIVER", "file").Set("TONVERA_AUDIO_FILE", wav.c_str());
    SynthOutcome outcome = openSynth();
    EXPECT_EQ(outcome.printed, "");
    ASSERT_EQ(outcome.device->State(), DeviceState::Ready) << outcome.device->Problem();
    AudioOutputInfo output;
    ASSERT_TRUE(ReadAudioOutput(outcome.device, output));
    EXPECT_EQ(output.driver, "file");
    EXPECT_EQ(output.sampleRate, kDeviceSampleRate);
    EXPECT_EQ(output.periodFrames, 64);
    EXPECT_EQ(output.periods, 3);
    EXPECT_DOUBLE_EQ(output.bufferMs, 4.0);
    EXPECT_TRUE(outcome.device->Send(0x643C90));
    EXPECT_TRUE(outcome.device->Send(0x3C80));
    EXPECT_TRUE(outcome.device->Close());
    EXPECT_TRUE(fs::exists(wav));
    EXPECT_FALSE(ReadAudioOutput(outcome.device, output));
}

TEST_F(BuiltInSynthStart, SilenceClosesTheAudioOutputAndTheNextNoteOpensItAgain)
{
    if (soundFont.empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    if (!StartSdlDummyAudio(environment))
        GTEST_SKIP() << "SDL's dummy audio device did not start";
    environment.Set("TONVERA_AUDIO_DRIVER", "sdl2");
    SynthOptions options;
    options.idleCloseMs = 100;
    SynthOutcome outcome = openSynth(options);
    ASSERT_EQ(outcome.device->State(), DeviceState::Ready) << outcome.device->Problem();
    AudioOutputInfo output;
    ASSERT_TRUE(ReadAudioOutput(outcome.device, output));
    EXPECT_EQ(output.driver, "sdl2");
    EXPECT_DOUBLE_EQ(output.bufferMs, 4.0);

    const auto waitFor = [&](bool active) {
        for (int i = 0; i < 300 && AudioOutputActive(outcome.device) != active; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return AudioOutputActive(outcome.device) == active;
    };
    EXPECT_TRUE(outcome.device->Send(0x643C90)); // a note holds the output open while it sounds
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(AudioOutputActive(outcome.device));
    EXPECT_TRUE(outcome.device->Send(0x3C80));
    EXPECT_TRUE(waitFor(false)) << "the output stays open in silence";
    EXPECT_TRUE(outcome.device->Send(0x05C0)); // a program change alone does not wake it
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(AudioOutputActive(outcome.device));
    EXPECT_TRUE(outcome.device->Send(0x644090));
    EXPECT_TRUE(waitFor(true)) << "the next note does not open the output again";
    EXPECT_TRUE(outcome.device->Close());
}

TEST_F(BuiltInSynthStart, TheSystemListOffersTheSynthesizerFirstAndOpensItInTheBackground)
{
    environment.Set("TONVERA_AUDIO_DRIVER", "jack").Set("JACK_DEFAULT_SERVER", "tonvera-test-no-such-server");
    std::shared_ptr<MIDIDeviceList> devices;
    MIDIOutHandle device;
    const std::string printed = printedBy([&] {
        devices = MakeSystemMIDIDevices();
        device = devices->Open(0);
        devices->WaitForBackground();
    });
    EXPECT_EQ(printed, "");
    std::string name;
    ASSERT_TRUE(devices->Name(0, name));
    EXPECT_EQ(name, kBuiltInSynthName);
    ASSERT_TRUE(device);
    EXPECT_TRUE(device->WaitUntilSettled(0));
    EXPECT_EQ(device->State(), DeviceState::Failed);
    EXPECT_FALSE(device->Problem().empty());
}

} // namespace
