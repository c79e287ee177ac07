// The peak limiter on plain signals: quiet sound passes untouched, loud sound never passes
// the ceiling but stays near it, the gain comes back after a burst, and both channels share
// one gain.
#include "platform/Limiter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kRate = 48000;

std::vector<float> sine(double amplitude, double seconds, double frequency = 440)
{
    std::vector<float> samples(static_cast<size_t>(seconds * kRate));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>(amplitude * std::sin(2 * M_PI * frequency * i / kRate));
    return samples;
}

float peakOf(const std::vector<float>& samples, size_t from = 0)
{
    float peak = 0;
    for (size_t i = from; i < samples.size(); ++i)
        peak = std::max(peak, std::fabs(samples[i]));
    return peak;
}

void limit(PeakLimiter& limiter, std::vector<float>& left, std::vector<float>& right)
{
    float* buffers[] = {left.data(), right.data()};
    limiter.Process(buffers, 2, left.size());
}

} // namespace

TEST(PeakLimiter, QuietSoundPassesUntouched)
{
    PeakLimiter limiter(kRate);
    std::vector<float> left = sine(0.85, 0.5), right = sine(0.3, 0.5, 660);
    const std::vector<float> before = left, beforeRight = right;
    limit(limiter, left, right);
    EXPECT_EQ(left, before);
    EXPECT_EQ(right, beforeRight);
    EXPECT_EQ(limiter.Gain(), 1.0f);
}

TEST(PeakLimiter, LoudSoundNeverPassesTheCeilingAndStaysNearItBothChannelsAlike)
{
    for (double amplitude : {1.0, 4.0, 40.0}) {
        PeakLimiter limiter(kRate);
        std::vector<float> left = sine(amplitude, 1.0), right = sine(0.1, 1.0, 660);
        const std::vector<float> quietRight = right;
        limit(limiter, left, right);
        EXPECT_LE(peakOf(left), PeakLimiter::kCeiling) << amplitude;
        EXPECT_GT(peakOf(left, left.size() / 2), 0.8f * PeakLimiter::kCeiling) << "crushed: " << amplitude;
        // The quiet channel is turned down by the loud one's gain: the image stays.
        const size_t i = left.size() - 100;
        EXPECT_NEAR(right[i], quietRight[i] * limiter.Gain(), 1e-3) << amplitude;
    }
}

TEST(PeakLimiter, TheGainComesBackAfterABurst)
{
    PeakLimiter limiter(kRate);
    std::vector<float> left = sine(8.0, 0.2), right = left;
    limit(limiter, left, right);
    EXPECT_LT(limiter.Gain(), 0.2f);
    std::vector<float> quiet = sine(0.2, 1.0), quietRight = quiet;
    limit(limiter, quiet, quietRight);
    EXPECT_GT(limiter.Gain(), 0.99f) << "still turned down a second later";
}
