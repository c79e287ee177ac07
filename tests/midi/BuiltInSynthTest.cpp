// The built-in synthesizer: a C major triad played through the player into FluidSynth,
// rendered offline, holds its three fundamentals well above a frequency outside the chord;
// the loudest chords stay below full scale on any instrument, and a plain one stays loud.
#include "PlayerFixture.h"

#include "midi/Tmidicontent.h"
#include "platform/FluidSynthOut.h"
#include "platform/MIDIBackEnd.h"

#include <cmath>

namespace {

// One synthesizer as the only device, so the player plays into it.
class OfflineSynthBackEnd : public MIDIBackEnd {
public:
    explicit OfflineSynthBackEnd(std::shared_ptr<OfflineSynth> synth) : synth_(std::move(synth)) {}
    std::vector<std::string> OutputPorts() override { return {kBuiltInSynthName}; }
    MIDIOutHandle OpenOutput(const std::string&) override { return synth_; }

private:
    std::shared_ptr<OfflineSynth> synth_;
};

std::shared_ptr<MIDIDeviceList> offlineSynthList(std::shared_ptr<OfflineSynth> synth)
{
    return std::make_shared<MIDIDeviceList>(
        std::vector<std::shared_ptr<MIDIBackEnd>>{std::make_shared<OfflineSynthBackEnd>(std::move(synth))}, nullptr);
}

// Power of one frequency in the left channel (Goertzel).
double powerAt(const std::vector<float>& stereo, double sampleRate, double frequency)
{
    const double coefficient = 2 * std::cos(2 * M_PI * frequency / sampleRate);
    double previous = 0, beforePrevious = 0;
    for (size_t i = 0; i < stereo.size(); i += 2) {
        const double s = stereo[i] + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = s;
    }
    return previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
}

double peakOf(const std::vector<float>& samples)
{
    double peak = 0;
    for (float s : samples)
        peak = std::max(peak, static_cast<double>(std::fabs(s)));
    return peak;
}

std::shared_ptr<OfflineSynth> openSynth()
{
    const std::string soundFont = FindGeneralMIDISoundFont();
    return soundFont.empty() ? nullptr : OfflineSynth::Open(soundFont);
}

// The peak in dBFS of a chord played through the player on a synthesizer of its own, over
// its first seconds.
double chordPeakDbfs(const ChordToPlay& chord, int program, int volume, double seconds)
{
    auto synth = openSynth(); // closing the player closes its synthesizer
    Player player(offlineSynthList(synth));
    _player = &player;
    TMIDIContent content;
    PlaybackSettings settings;
    settings.rootPatch = settings.chordPatch = program;
    settings.rootVolume = settings.chordVolume = volume;
    PlayChord(_player, content, chord, settings);
    sleepMs(100);
    const double peak = peakOf(synth->Render(static_cast<size_t>(seconds * synth->SampleRate())));
    player.Stop();
    _player = nullptr;
    return 20 * std::log10(peak);
}

TEST(BuiltInSynthTest, CMajorTriadSoundsItsThreeNotes)
{
    auto synth = openSynth();
    if (!synth)
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    Player player(offlineSynthList(synth));
    _player = &player;
    TMIDIContent content;
    PlaybackSettings settings; // piano, volume 100
    PlayChord(_player, content, ChordToPlay{{60, 64, 67}, {"R", "3", "5"}}, settings);
    sleepMs(100); // the note-ons are out after tick 1 (4 ms)
    const auto sound = synth->Render(static_cast<size_t>(synth->SampleRate())); // one second
    player.Stop();
    _player = nullptr;

    const double rate = synth->SampleRate();
    const double outside = powerAt(sound, rate, 293.7); // D4, not in the chord
    for (double fundamental : {261.6, 329.6, 392.0})
        EXPECT_GT(powerAt(sound, rate, fundamental), 20 * outside) << fundamental << " Hz";
}

TEST(BuiltInSynthTest, BlockChordsAtFullVolumePeakNearMinusSixDbWithoutClipping)
{
    if (!openSynth())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    struct Case { ChordToPlay chord; const char* what; };
    const Case cases[] = {
        {{{48, 60, 64, 67, 72}, {"R", "R", "3", "5", "R"}}, "C major, five notes on the piano"},
        {{{40, 47, 52, 56, 59, 64}, {"R", "5", "R", "3", "5", "R"}}, "open E, all six strings"},
    };
    for (const Case& c : cases) {
        const double dbfs = chordPeakDbfs(c.chord, 0, 120, 1);
        EXPECT_LT(dbfs, -1.0) << c.what;
        EXPECT_GT(dbfs, -10.0) << c.what;
        RecordProperty(c.what, std::to_string(dbfs));
    }
}

// Seven notes at volume 120 sum far above full scale on sustained instruments (+16 dBFS for
// the string ensemble before the limiter); what leaves the synthesizer stays below it, while
// a triad at the default volume is left as loud as it was.
TEST(BuiltInSynthTest, SevenNotesAtFullVolumeStayBelowFullScaleOnTheLoudestInstruments)
{
    if (!openSynth())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    const ChordToPlay seven{{36, 48, 55, 59, 62, 64, 69}, {"R", "R", "5", "7", "9", "3", "13"}};
    const ChordToPlay triad{{60, 64, 67}, {"R", "3", "5"}};
    struct Case {
        int program;
        const ChordToPlay* chord;
        int volume;
        double lowestDbfs, highestDbfs;
    };
    const Case cases[] = {
        {0, &seven, 120, -10, -0.9},  // Acoustic Grand Piano
        {48, &seven, 120, -10, -0.9}, // String Ensemble 1
        {60, &seven, 120, -10, -0.9}, // French Horn
        {63, &seven, 120, -10, -0.9}, // Synth Brass 2
        {81, &seven, 120, -10, -0.9}, // Lead 2 (sawtooth)
        {0, &triad, 100, -20, -6},    // a plain chord as it first plays
    };
    for (const Case& c : cases) {
        const double dbfs = chordPeakDbfs(*c.chord, c.program, c.volume, 2);
        const std::string what = "program " + std::to_string(c.program) + ", " +
                                 std::to_string(c.chord->notes.size()) + " notes, volume " + std::to_string(c.volume);
        EXPECT_LT(dbfs, c.highestDbfs) << what;
        EXPECT_GT(dbfs, c.lowestDbfs) << what;
        RecordProperty(what, std::to_string(dbfs));
    }
}

TEST(BuiltInSynthTest, OpeningFailsCleanlyWithoutSoundFont)
{
    EXPECT_EQ(OfflineSynth::Open("/nonexistent/none.sf2"), nullptr);
    SynthOptions options;
    options.soundFont = "/nonexistent/none.sf2";
    const MIDIOutHandle synth = OpenBuiltInSynth(options);
    EXPECT_EQ(synth->State(), DeviceState::Failed);
}

} // namespace
