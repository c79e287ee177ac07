// The peak limiter.
#include "platform/Limiter.h"

#include <algorithm>
#include <cmath>

PeakLimiter::PeakLimiter(double sampleRate)
    : recovery_(static_cast<float>(std::exp(-1.0 / (kReleaseMs * 0.001 * std::max(sampleRate, 1.0)))))
{
}

void PeakLimiter::Process(float* const* buffers, int channels, size_t frames)
{
    for (size_t i = 0; i < frames; ++i) {
        float peak = 0;
        for (int c = 0; c < channels; ++c)
            peak = std::max(peak, std::fabs(buffers[c][i]));
        gain_ = 1 - (1 - gain_) * recovery_;
        if (peak * gain_ > kCeiling) {
            gain_ = kCeiling / peak;
            if (peak * gain_ > kCeiling) // rounded up: one step lower keeps the promise
                gain_ = std::nextafter(gain_, 0.0f);
        }
        if (gain_ == 1)
            continue;
        for (int c = 0; c < channels; ++c)
            buffers[c][i] *= gain_;
    }
}
