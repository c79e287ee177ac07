// The built-in FluidSynth synthesizer, live through an audio driver or offline, and its
// row in the table of back ends.
#include "platform/FluidSynthOut.h"

#include "platform/BackgroundOpener.h"
#include "platform/JackServer.h"
#include "platform/Limiter.h"
#include "platform/MIDIBackEnd.h"
#include "platform/WavFileOutput.h"

#include <fluidsynth.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <pthread.h>
#include <thread>

namespace {

// FluidSynth's default gain of 0.2 leaves a block chord near -26 dBFS; this brings a piano
// chord to about -6 dBFS at the loudest volume setting. Louder instruments and many notes
// (a sustained string chord of seven notes reaches +16 dBFS) are held below full scale by
// the limiter, which such a piano chord never reaches.
constexpr double kSynthGain = 1.8;
constexpr int kPeriodFrames = 64;
// How often the audio keeper looks whether the synthesizer has fallen silent.
constexpr auto kIdleCheckInterval = std::chrono::milliseconds(250);
constexpr int kShortestIdleCloseMs = 50;

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
    return settings;
}

std::string audioDriverName(fluid_settings_t* settings)
{
    if (const char* driver = environment("TONVERA_AUDIO_DRIVER"))
        return driver;
    char* name = nullptr;
    std::string driver = "alsa";
    if (fluid_settings_dupstr(settings, "audio.driver", &name) == FLUID_OK && name && *name)
        driver = name;
    fluid_free(name);
    return driver;
}

std::string audioOutputProblem(const std::string& driver, const std::string& reason)
{
    return SentenceWithReason("The audio output could not be opened (audio driver \"" + driver + "\")", reason);
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

// Renders frames of the synthesizer's sound, its effects mixed in, through the limiter.
void renderLimited(fluid_synth_t* synth, PeakLimiter& limiter, float* left, float* right, int frames)
{
    std::fill(left, left + frames, 0.0f);
    std::fill(right, right + frames, 0.0f);
    float* out[] = {left, right};
    fluid_synth_process(synth, frames, 2, out, 2, out);
    limiter.Process(out, 2, static_cast<size_t>(frames));
}

// The synthesizer and its audio output. The output pulls sound from the synthesizer, so it
// is made after it and released before it. The output is FluidSynth's driver, or for the
// "file" driver a WAV file of ours; either plays through the limiter (FluidSynth's SDL
// driver alone cannot hand its sound to us first, and plays the synthesizer directly).
struct SynthParts {
    SettingsPtr settings;
    SynthPtr synth;
    std::unique_ptr<PeakLimiter> limiter;
    DriverPtr driver;
    std::unique_ptr<WavFileOutput> file;
    AudioOutputInfo output;
};

// FluidSynth's driver asks for each period here, on its audio thread.
int renderForDriver(void* data, int frames, int nfx, float* fx[], int nout, float* out[])
{
    auto* parts = static_cast<SynthParts*>(data);
    for (int i = 0; i < nfx; ++i) // the effects go into the main outputs
        std::fill(fx[i], fx[i] + frames, 0.0f);
    for (int i = 2; i < nout; ++i)
        std::fill(out[i], out[i] + frames, 0.0f);
    if (nout < 2)
        return FLUID_FAILED;
    renderLimited(parts->synth.get(), *parts->limiter, out[0], out[1], frames);
    return FLUID_OK;
}

// Opens the audio output of parts.output.driver; false, with the library's reason kept for
// LibraryErrorText, when it cannot.
bool openAudio(SynthParts& parts)
{
    fluid_settings_t* settings = parts.settings.get();
    if (parts.output.driver == "file") {
        const char* name = environment("TONVERA_AUDIO_FILE");
        int period = kPeriodFrames;
        fluid_settings_getint(settings, "audio.period-size", &period);
        std::string problem;
        parts.file = WavFileOutput::Open(
            name ? name : "tonvera.wav", parts.output.sampleRate, period,
            [&parts](float* left, float* right, int frames) {
                renderLimited(parts.synth.get(), *parts.limiter, left, right, frames);
            },
            problem);
        if (!parts.file)
            fluid_log(FLUID_ERR, "%s", problem.c_str());
        return parts.file != nullptr;
    }
    parts.driver.reset(new_fluid_audio_driver2(settings, renderForDriver, &parts));
    if (!parts.driver) {
        // A driver without the mode that hands us its sound first (FluidSynth says so only
        // in its debug log), or one that cannot open: the reason is the plain open's.
        ClearLibraryErrors();
        parts.driver.reset(new_fluid_audio_driver(settings, parts.synth.get()));
    }
    return parts.driver != nullptr;
}

void closeAudio(SynthParts& parts)
{
    parts.driver.reset();
    parts.file.reset();
}

// Opens the synthesizer's FluidSynth objects; on failure, problem says why.
bool openSynthParts(const SynthOptions& options, SynthParts& parts, std::string& problem)
{
    SilenceAudioLibraries();
    ClearLibraryErrors();
    const SoundFontChoice soundFont = FindSoundFont(options.soundFont);
    if (!soundFont.problem.empty()) {
        problem = soundFont.problem;
        return false;
    }
    if (problem = SoundFontFileProblem(soundFont.path); !problem.empty())
        return false;

    SettingsPtr probe(new_fluid_settings());
    const std::string driver = audioDriverName(probe.get());
    JackServerInfo jack;
    if (driver == "jack") {
        // libjack would otherwise start a server, or wait for one, for seconds.
        jack = ProbeJackServer();
        if (!jack.running) {
            problem = audioOutputProblem(driver, "no JACK server is running");
            return false;
        }
    }
    const double rate = driver == "jack" ? jack.sampleRate : kDeviceSampleRate;
    parts.settings = makeSettings(rate);
    if (!parts.settings) {
        problem = audioOutputProblem(driver, "FluidSynth could not start");
        return false;
    }
    fluid_settings_t* settings = parts.settings.get();
    const AudioBuffer buffer = AudioBufferFor(options.audioBufferMs, rate);
    fluid_settings_setstr(settings, "audio.driver", driver.c_str());
    fluid_settings_setint(settings, "audio.period-size", buffer.periodFrames);
    fluid_settings_setint(settings, "audio.periods", buffer.periods);
    fluid_settings_setstr(settings, "audio.jack.id", kOwnClientName);
    fluid_settings_setint(settings, "audio.jack.autoconnect", 1);

    parts.synth.reset(new_fluid_synth(settings));
    if (!parts.synth) {
        problem = audioOutputProblem(driver, "FluidSynth could not start");
        return false;
    }
    parts.output.driver = driver;
    fluid_settings_getnum(settings, "synth.sample-rate", &parts.output.sampleRate);
    parts.limiter = std::make_unique<PeakLimiter>(parts.output.sampleRate);
    // The audio output first: without one, opening fails in a few milliseconds instead of
    // after the SoundFont load.
    if (!openAudio(parts)) {
        problem = audioOutputProblem(driver, LibraryErrorText());
        return false;
    }
    ClearLibraryErrors();
    if (fluid_synth_sfload(parts.synth.get(), soundFont.path.c_str(), 1) == FLUID_FAILED) {
        closeAudio(parts);
        problem = SoundFontLoadProblem(soundFont.path, LibraryErrorText());
        return false;
    }

    fluid_settings_getint(settings, "audio.period-size", &parts.output.periodFrames);
    fluid_settings_getint(settings, "audio.periods", &parts.output.periods);
    if (driver == "jack") {
        // JACK runs its own period; what the server adds on the way out comes on top.
        parts.output.periodFrames = static_cast<int>(jack.bufferFrames);
        parts.output.periods = 1;
        parts.output.bufferMs = (jack.bufferFrames + jack.playbackLatencyFrames) * 1000.0 / jack.sampleRate;
    } else {
        parts.output.bufferMs = parts.output.periodFrames * parts.output.periods * 1000.0 / parts.output.sampleRate;
    }
    return true;
}

// The live synthesizer. Its audio keeper thread closes the audio output after a stretch of
// silence and opens it again when a note comes, off the sending thread: the note-on is
// already in the synthesizer, so its start is not lost, only delayed by the reopening.
class LiveSynth : public MIDIOutDevice {
public:
    LiveSynth() : MIDIOutDevice(DeviceState::Opening) {}
    ~LiveSynth() override { release(); }

    // On the opener's thread.
    void Open(const SynthOptions& options)
    {
        auto parts = std::make_unique<SynthParts>();
        std::string problem;
        if (!openSynthParts(options, *parts, problem)) {
            Settle(false, problem);
            return;
        }
        Settle(true, {}, [&] { install(std::move(parts), options.idleCloseMs); });
        // When the device was closed meanwhile, parts still holds the objects: they go here.
    }

    AudioOutputInfo Output() const { return output_; }
    bool AudioActive() const { return audioOpen_; }

protected:
    bool sendShort(uint32_t message) override
    {
        if (!parts_)
            return false;
        if (IsNoteOn(message) && !audioOpen_)
            wakeKeeper();
        return sendToSynth(parts_->synth.get(), message);
    }
    void closeNative() override { release(); }

private:
    void install(std::unique_ptr<SynthParts> parts, int idleCloseMs)
    {
        idleClose_ = std::chrono::milliseconds(idleCloseMs);
        output_ = parts->output;
        parts_ = std::move(parts);
        audioOpen_ = true;
        // A recording must not restart, and JACK's ports must stay: a user may have wired
        // them anywhere, and reopening would lose that. Such an output needs no keeper.
        if (output_.driver != "file" && output_.driver != "jack")
            keeper_ = std::thread([this] { keepAudio(); });
    }

    void release()
    {
        {
            std::lock_guard<std::mutex> lock(keeperMutex_);
            stopping_ = true;
            keeperWake_.notify_all();
        }
        if (keeper_.joinable())
            keeper_.join();
        parts_.reset();
    }

    void wakeKeeper()
    {
        std::lock_guard<std::mutex> lock(keeperMutex_);
        wantAudio_ = true;
        keeperWake_.notify_all();
    }

    void keepAudio()
    {
        pthread_setname_np(pthread_self(), "tonvera-audio");
        using Clock = std::chrono::steady_clock;
        std::unique_lock<std::mutex> lock(keeperMutex_);
        Clock::time_point silentSince{};
        while (!stopping_) {
            if (!audioOpen_) {
                keeperWake_.wait(lock, [this] { return stopping_ || wantAudio_; });
                if (stopping_)
                    break;
                wantAudio_ = false;
                // The driver is the keeper's alone; a sender waking it must not wait for it.
                lock.unlock();
                const bool opened = openAudio(*parts_);
                lock.lock();
                audioOpen_ = opened;
                silentSince = {};
                continue;
            }
            keeperWake_.wait_for(lock, std::min<std::chrono::milliseconds>(kIdleCheckInterval, idleClose_ / 2),
                                 [this] { return stopping_; });
            if (stopping_)
                continue;
            if (fluid_synth_get_active_voice_count(parts_->synth.get()) > 0) {
                silentSince = {};
            } else if (silentSince == Clock::time_point{}) {
                silentSince = Clock::now();
            } else if (Clock::now() - silentSince >= idleClose_) {
                audioOpen_ = false; // a note from now on wakes the keeper to reopen
                lock.unlock();
                closeAudio(*parts_);
                lock.lock();
            }
        }
    }

    std::unique_ptr<SynthParts> parts_; // set once, when ready; the driver belongs to the keeper
    AudioOutputInfo output_;
    std::thread keeper_;
    std::mutex keeperMutex_;
    std::condition_variable keeperWake_;
    std::atomic<bool> audioOpen_{false};
    std::chrono::milliseconds idleClose_{kIdleCloseMs};
    bool wantAudio_ = false;
    bool stopping_ = false;
};

class BuiltInSynthBackEnd : public MIDIBackEnd {
public:
    explicit BuiltInSynthBackEnd(std::shared_ptr<BackgroundOpener> opener) : opener_(std::move(opener)) {}

    std::vector<std::string> OutputPorts() override { return {kBuiltInSynthName}; }
    MIDIOutHandle OpenOutput(const std::string& port) override
    {
        return port == kBuiltInSynthName ? OpenBuiltInSynth(options_, opener_) : nullptr;
    }
    bool Configure(const SynthOptions& options) override
    {
        SynthOptions wanted = options;
        wanted.audioBufferMs = std::clamp(wanted.audioBufferMs, kMinAudioBufferMs, kMaxAudioBufferMs);
        wanted.idleCloseMs = std::max(wanted.idleCloseMs, kShortestIdleCloseMs);
        const bool changed = !(wanted == options_);
        options_ = wanted;
        return changed;
    }

private:
    std::shared_ptr<BackgroundOpener> opener_;
    SynthOptions options_;
};

} // namespace

AudioBuffer AudioBufferFor(int bufferMs, double sampleRate)
{
    const double frames = std::clamp(bufferMs, kMinAudioBufferMs, kMaxAudioBufferMs) * sampleRate / 1000.0;
    return {kPeriodFrames, std::max(2, static_cast<int>(std::lround(frames / kPeriodFrames)))};
}

MIDIOutHandle OpenBuiltInSynth(const SynthOptions& options, const std::shared_ptr<BackgroundOpener>& opener)
{
    auto synth = std::make_shared<LiveSynth>();
    if (!opener) {
        synth->Open(options);
        return synth;
    }
    // The job holds the device only weakly: a device closed and dropped before its turn
    // is not opened at all.
    opener->Post([weak = std::weak_ptr<LiveSynth>(synth), options] {
        if (auto device = weak.lock(); device && device->State() == DeviceState::Opening)
            device->Open(options);
    });
    return synth;
}

bool ReadAudioOutput(const MIDIOutHandle& device, AudioOutputInfo& info)
{
    const auto* synth = dynamic_cast<const LiveSynth*>(device.get());
    if (!synth || synth->State() != DeviceState::Ready)
        return false;
    info = synth->Output();
    return true;
}

bool AudioOutputActive(const MIDIOutHandle& device)
{
    const auto* synth = dynamic_cast<const LiveSynth*>(device.get());
    return synth && synth->AudioActive();
}

std::shared_ptr<MIDIBackEnd> MakeBuiltInSynthBackEnd(const std::shared_ptr<BackgroundOpener>& opener)
{
    return std::make_shared<BuiltInSynthBackEnd>(opener);
}

// --- OfflineSynth --------------------------------------------------------------------

struct OfflineSynth::Native {
    SettingsPtr settings;
    SynthPtr synth;
    std::unique_ptr<PeakLimiter> limiter;
};

std::shared_ptr<OfflineSynth> OfflineSynth::Open(const std::string& soundFont, double sampleRate)
{
    SilenceAudioLibraries();
    if (!SoundFontFileProblem(soundFont).empty())
        return nullptr;
    auto native = std::make_unique<Native>();
    native->settings = makeSettings(sampleRate);
    if (!native->settings)
        return nullptr;
    native->synth.reset(new_fluid_synth(native->settings.get()));
    if (!native->synth || fluid_synth_sfload(native->synth.get(), soundFont.c_str(), 1) == FLUID_FAILED)
        return nullptr;
    native->limiter = std::make_unique<PeakLimiter>(sampleRate);
    std::shared_ptr<OfflineSynth> synth(new OfflineSynth());
    synth->native_ = std::move(native);
    synth->sampleRate_ = sampleRate;
    return synth;
}

OfflineSynth::~OfflineSynth() = default;

std::vector<float> OfflineSynth::Render(size_t frames)
{
    std::vector<float> samples(frames * 2, 0.0f);
    if (!native_ || !native_->synth || frames == 0)
        return samples;
    std::vector<float> left(frames), right(frames);
    renderLimited(native_->synth.get(), *native_->limiter, left.data(), right.data(), static_cast<int>(frames));
    for (size_t i = 0; i < frames; ++i) {
        samples[2 * i] = left[i];
        samples[2 * i + 1] = right[i];
    }
    return samples;
}

bool OfflineSynth::sendShort(uint32_t message)
{
    return native_ && native_->synth && sendToSynth(native_->synth.get(), message);
}

void OfflineSynth::closeNative() { native_.reset(); }
