// The built-in synthesizer: FluidSynth with a General MIDI SoundFont, playing through
// FluidSynth's own audio driver, or rendering offline for tests and tools.
#pragma once

#include "platform/MIDIOut.h"

#include <string>
#include <vector>

inline constexpr const char* kBuiltInSynthName = "Tonvera built-in synthesizer";

// $TONVERA_SOUNDFONT when set and present, else the first existing of the usual GM
// SoundFonts in /usr/share/sounds/sf2/; empty when there is none.
std::string FindGeneralMIDISoundFont();

// Stops FluidSynth and ALSA from printing on the terminal (process-wide; idempotent).
void SilenceAudioLibraries();

// Opens the synthesizer with its audio driver ($TONVERA_AUDIO_DRIVER, and for the "file"
// driver $TONVERA_AUDIO_FILE). Null when the SoundFont or the audio output fails.
MIDIOutHandle OpenBuiltInSynth(const std::string& soundFont);

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
