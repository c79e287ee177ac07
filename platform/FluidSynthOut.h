// The built-in synthesizer: FluidSynth with a General MIDI SoundFont, playing through
// FluidSynth's own audio driver, or rendering offline for tests and tools.
#pragma once

#include "platform/AudioLibraries.h"
#include "platform/MIDIOut.h"
#include "platform/SoundFont.h"
#include "platform/SynthOptions.h"

#include <string>
#include <vector>

inline constexpr const char* kBuiltInSynthName = "Tonvera built-in synthesizer";

// The rate the synthesizer runs at with any driver but JACK (which has its own): the
// native rate of nearly every sound card and sound server, so nothing resamples.
inline constexpr double kDeviceSampleRate = 48000;

// The audio buffer for a wanted buffering: periods of 64 frames, at least two.
struct AudioBuffer {
    int periodFrames = 64;
    int periods = 2;
};
AudioBuffer AudioBufferFor(int bufferMs, double sampleRate);

// What the opened audio output is, read back from the synthesizer's settings (and, with
// JACK, from the server).
struct AudioOutputInfo {
    std::string driver;
    double sampleRate = 0;
    int periodFrames = 0;
    int periods = 0;
    double bufferMs = 0; // what the output buffers: one JACK period plus the playback ports' latency with JACK
};

// Opens the live synthesizer: the SoundFont of FindSoundFont(options.soundFont), the audio
// driver $TONVERA_AUDIO_DRIVER (FluidSynth's default when unset; for "file" the output goes
// to $TONVERA_AUDIO_FILE). The device comes back Opening and opens on opener's thread (on
// the calling thread when opener is null); when it cannot start it ends Failed and its
// Problem says why: no SoundFont, not a SoundFont, or the audio output's own reason. With
// the "jack" driver its JACK client is "Tonvera", connected to the system's playback
// ports, and without a JACK server it fails at once. After options.idleCloseMs of silence
// it closes its audio output and opens it again at the next note, except with the "file"
// driver (a recording) and the "jack" driver (whose ports a user may have wired).
MIDIOutHandle OpenBuiltInSynth(const SynthOptions& options, const std::shared_ptr<BackgroundOpener>& opener = nullptr);
// The audio output of a ready built-in synthesizer; false for any other device.
bool ReadAudioOutput(const MIDIOutHandle& device, AudioOutputInfo& info);
// Whether the audio output of a built-in synthesizer is open right now (it closes when idle).
bool AudioOutputActive(const MIDIOutHandle& device);

// A synthesizer without an audio driver: the caller pulls the sound with Render.
class OfflineSynth : public MIDIOutDevice {
public:
    // Null when the SoundFont cannot be loaded.
    static std::shared_ptr<OfflineSynth> Open(const std::string& soundFont, double sampleRate = 44100);
    ~OfflineSynth() override;
    // Renders frames of stereo sound, interleaved left/right.
    std::vector<float> Render(size_t frames);
    double SampleRate() const { return sampleRate_; }

protected:
    bool sendShort(uint32_t message) override;
    void closeNative() override;

private:
    OfflineSynth() = default;
    struct Native;
    std::unique_ptr<Native> native_;
    double sampleRate_ = 44100;
};
