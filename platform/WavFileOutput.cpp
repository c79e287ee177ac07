// The WAV file output: a thread renders a period whenever the clock says one is due.
#include "platform/WavFileOutput.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <pthread.h>
#include <thread>
#include <vector>

namespace {

constexpr int kChannels = 2;
constexpr int kBytesPerSample = 2;
constexpr size_t kHeaderBytes = 44;

void putLittleEndian(unsigned char* at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

// The canonical 44-byte header of 16-bit PCM with dataBytes of samples.
std::array<unsigned char, kHeaderBytes> wavHeader(uint32_t sampleRate, uint32_t dataBytes)
{
    std::array<unsigned char, kHeaderBytes> h{};
    std::memcpy(&h[0], "RIFF", 4);
    putLittleEndian(&h[4], 36 + dataBytes, 4);
    std::memcpy(&h[8], "WAVEfmt ", 8);
    putLittleEndian(&h[16], 16, 4);
    putLittleEndian(&h[20], 1, 2); // PCM
    putLittleEndian(&h[22], kChannels, 2);
    putLittleEndian(&h[24], sampleRate, 4);
    putLittleEndian(&h[28], sampleRate * kChannels * kBytesPerSample, 4);
    putLittleEndian(&h[32], kChannels * kBytesPerSample, 2);
    putLittleEndian(&h[34], 8 * kBytesPerSample, 2);
    std::memcpy(&h[36], "data", 4);
    putLittleEndian(&h[40], dataBytes, 4);
    return h;
}

int16_t toSample(float value)
{
    return static_cast<int16_t>(std::lround(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
}

} // namespace

struct WavFileOutput::State {
    FILE* file = nullptr;
    double sampleRate = 48000;
    int periodFrames = 64;
    Render render;
    uint32_t dataBytes = 0;
    std::atomic<bool> stopping{false};
    std::thread thread;

    void Run()
    {
        pthread_setname_np(pthread_self(), "tonvera-wav");
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        const auto period = std::chrono::duration<double>(periodFrames / sampleRate);
        const size_t frames = static_cast<size_t>(periodFrames);
        std::vector<float> left(frames), right(frames);
        std::vector<int16_t> interleaved(frames * kChannels);
        for (long long written = 0; !stopping;) {
            const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
            for (; written < static_cast<long long>(elapsed * sampleRate) && !stopping; written += periodFrames) {
                render(left.data(), right.data(), periodFrames);
                for (size_t i = 0; i < left.size(); ++i) {
                    interleaved[2 * i] = toSample(left[i]);
                    interleaved[2 * i + 1] = toSample(right[i]);
                }
                dataBytes += static_cast<uint32_t>(std::fwrite(interleaved.data(), 1, interleaved.size() * 2, file));
            }
            std::this_thread::sleep_for(period);
        }
    }
};

std::unique_ptr<WavFileOutput> WavFileOutput::Open(const std::string& path, double sampleRate, int periodFrames,
                                                   Render render, std::string& problem)
{
    auto state = std::make_unique<State>();
    state->file = std::fopen(path.c_str(), "wb");
    if (!state->file) {
        problem = "\"" + path + "\" cannot be written: " + std::strerror(errno);
        return nullptr;
    }
    const auto header = wavHeader(static_cast<uint32_t>(sampleRate), 0);
    std::fwrite(header.data(), 1, header.size(), state->file);
    state->sampleRate = sampleRate;
    state->periodFrames = std::max(periodFrames, 1);
    state->render = std::move(render);
    State* running = state.get();
    state->thread = std::thread([running] { running->Run(); });
    return std::unique_ptr<WavFileOutput>(new WavFileOutput(std::move(state)));
}

WavFileOutput::WavFileOutput(std::unique_ptr<State> state) : state_(std::move(state)) {}

WavFileOutput::~WavFileOutput()
{
    state_->stopping = true;
    state_->thread.join();
    // A file that cannot seek (a pipe, /dev/null) keeps the header it started with.
    const auto header = wavHeader(static_cast<uint32_t>(state_->sampleRate), state_->dataBytes);
    if (std::fseek(state_->file, 0, SEEK_SET) == 0)
        std::fwrite(header.data(), 1, header.size(), state_->file);
    std::fclose(state_->file);
}
