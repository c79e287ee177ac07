// Keeps the built-in synthesizer's sound below full scale, however many notes sound on
// whatever instrument: a peak limiter whose gain drops at once when a sample would pass the
// ceiling (so none ever does) and comes back smoothly. Sound below the ceiling passes
// untouched. The channels share one gain, so the stereo image stays. Runs on the audio
// thread that renders; one limiter per sound stream, not thread-safe.
#pragma once

#include <cstddef>

class PeakLimiter {
public:
    static constexpr float kCeiling = 0.891f; // -1 dBFS: room for what the output stage adds
    static constexpr double kReleaseMs = 150;

    explicit PeakLimiter(double sampleRate);

    // Limits frames of sound in place: channels buffers of frames samples each.
    void Process(float* const* buffers, int channels, size_t frames);
    // The gain it applies now; 1 when the sound was below the ceiling for a while.
    float Gain() const { return gain_; }

private:
    float gain_ = 1;
    float recovery_; // per sample: how much of the remaining reduction is kept
};
