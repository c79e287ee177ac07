// The built-in FluidSynth synthesizer, live through an audio driver or offline.
#include "platform/FluidSynthOut.h"

#include "base/Files.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>

#include <cstdlib>
#include <sys/stat.h>

namespace {

// FluidSynth's default gain of 0.2 leaves a block chord near -26 dBFS; this brings it to
// about -6 dBFS at the loudest volume setting without clipping.
constexpr double kSynthGain = 1.8;

void ignoreFluidLog(int, const char*, void*) {}

void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

struct SettingsDeleter {
    void operator()(fluid_settings_t* settings) const { delete_fluid_settings(settings); }
};
struct SynthDeleter {
    void operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }
};
struct DriverDeleter {
    void operator()(fluid_audio_driver_t* driver) const { delete_fluid_audio_driver(driver); }
};
using SettingsPtr = std::unique_ptr<fluid_settings_t, SettingsDeleter>;
using SynthPtr = std::unique_ptr<fluid_synth_t, SynthDeleter>;
using DriverPtr = std::unique_ptr<fluid_audio_driver_t, DriverDeleter>;

const char* environment(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

SettingsPtr makeSettings(double sampleRate)
{
    SettingsPtr settings(new_fluid_settings());
    if (!settings)
        return settings;
    fluid_settings_setnum(settings.get(), "synth.gain", kSynthGain);
    fluid_settings_setnum(settings.get(), "synth.sample-rate", sampleRate);
    if (const char* driver = environment("TONVERA_AUDIO_DRIVER"))
        fluid_settings_setstr(settings.get(), "audio.driver", driver);
    if (const char* file = environment("TONVERA_AUDIO_FILE"))
        fluid_settings_setstr(settings.get(), "audio.file.name", file);
    return settings;
}

// The synthesizer with its SoundFont loaded; null when the SoundFont fails.
SynthPtr makeSynth(fluid_settings_t* settings, const std::string& soundFont)
{
    SynthPtr synth(new_fluid_synth(settings));
    if (!synth || fluid_synth_sfload(synth.get(), soundFont.c_str(), 1) == FLUID_FAILED)
        return nullptr;
    return synth;
}

// Sends one short message to a synthesizer. A note-off for a note that no longer sounds is
// not a failure of the device.
bool sendToSynth(fluid_synth_t* synth, uint32_t message)
{
    const int status = message & 0xFF;
    const int channel = status & 0x0F;
    const int data1 = (message >> 8) & 0x7F;
    const int data2 = (message >> 16) & 0x7F;
    switch (status & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(synth, channel, data1);
        return true;
    case 0x90:
        if (data2 == 0) {
            fluid_synth_noteoff(synth, channel, data1);
            return true;
        }
        return fluid_synth_noteon(synth, channel, data1, data2) == FLUID_OK;
    case 0xA0:
        return fluid_synth_key_pressure(synth, channel, data1, data2) == FLUID_OK;
    case 0xB0:
        return fluid_synth_cc(synth, channel, data1, data2) == FLUID_OK;
    case 0xC0:
        return fluid_synth_program_change(synth, channel, data1) == FLUID_OK;
    case 0xD0:
        return fluid_synth_channel_pressure(synth, channel, data1) == FLUID_OK;
    case 0xE0:
        return fluid_synth_pitch_bend(synth, channel, data2 << 7 | data1) == FLUID_OK;
    default:
        return false;
    }
}

class LiveSynth : public MIDIOutDevice {
public:
    LiveSynth(SettingsPtr settings, SynthPtr synth, DriverPtr driver)
        : settings_(std::move(settings)), synth_(std::move(synth)), driver_(std::move(driver))
    {
    }
    ~LiveSynth() override { closeNative(); }

protected:
    bool sendShort(uint32_t message) override { return sendToSynth(synth_.get(), message); }
    void closeNative() override
    {
        driver_.reset(); // the driver pulls from the synth: it goes first
        synth_.reset();
        settings_.reset();
    }

private:
    SettingsPtr settings_;
    SynthPtr synth_;
    DriverPtr driver_;
};

} // namespace

std::string FindGeneralMIDISoundFont()
{
    if (const char* chosen = environment("TONVERA_SOUNDFONT"))
        return FileExists(chosen) ? chosen : std::string();
    for (const char* candidate : {"/usr/share/sounds/sf2/default-GM.sf2",
                                  "/usr/share/sounds/sf2/FluidR3_GM.sf2",
                                  "/usr/share/sounds/sf2/TimGM6mb.sf2"})
        if (FileExists(candidate))
            return candidate;
    return {};
}

void SilenceAudioLibraries()
{
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(level, ignoreFluidLog, nullptr);
    snd_lib_error_set_handler(ignoreAlsaError);
}

MIDIOutHandle OpenBuiltInSynth(const std::string& soundFont)
{
    SilenceAudioLibraries();
    if (!FileExists(soundFont))
        return nullptr;
    SettingsPtr settings = makeSettings(44100);
    if (!settings)
        return nullptr;
    SynthPtr synth(new_fluid_synth(settings.get()));
    if (!synth)
        return nullptr;
    // The audio output first: without one, opening fails in a few milliseconds instead of
    // after the SoundFont load, which matters as every playback retries device 0.
    DriverPtr driver(new_fluid_audio_driver(settings.get(), synth.get()));
    if (!driver)
        return nullptr;
    if (fluid_synth_sfload(synth.get(), soundFont.c_str(), 1) == FLUID_FAILED) {
        driver.reset();
        return nullptr;
    }
    return std::make_shared<LiveSynth>(std::move(settings), std::move(synth), std::move(driver));
}

struct OfflineSynth::Native {
    SettingsPtr settings;
    SynthPtr synth;
};

std::shared_ptr<OfflineSynth> OfflineSynth::Open(const std::string& soundFont, double sampleRate)
{
    SilenceAudioLibraries();
    if (!FileExists(soundFont))
        return nullptr;
    auto native = std::make_unique<Native>();
    native->settings = makeSettings(sampleRate);
    if (!native->settings)
        return nullptr;
    native->synth = makeSynth(native->settings.get(), soundFont);
    if (!native->synth)
        return nullptr;
    std::shared_ptr<OfflineSynth> synth(new OfflineSynth());
    synth->native_ = std::move(native);
    synth->sampleRate_ = sampleRate;
    return synth;
}

OfflineSynth::~OfflineSynth() = default;

std::vector<float> OfflineSynth::Render(size_t frames)
{
    std::vector<float> samples(frames * 2, 0.0f);
    if (native_ && native_->synth && frames > 0)
        fluid_synth_write_float(native_->synth.get(), static_cast<int>(frames), samples.data(), 0, 2,
                                samples.data(), 1, 2);
    return samples;
}

bool OfflineSynth::sendShort(uint32_t message)
{
    return native_ && native_->synth && sendToSynth(native_->synth.get(), message);
}

void OfflineSynth::closeNative() { native_.reset(); }
