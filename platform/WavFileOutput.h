// The built-in synthesizer's "file" audio driver: its sound written into a 16-bit stereo
// WAV file at the pace a sound card would take it, so a recording holds what a listener
// hears (the limiter included). Its thread renders; the caller's thread opens and closes.
#pragma once

#include <functional>
#include <memory>
#include <string>

class WavFileOutput {
public:
    // Fills frames samples of the left and right buffers; runs on the output's thread.
    using Render = std::function<void(float* left, float* right, int frames)>;

    // Null, with problem set, when the file cannot be made.
    static std::unique_ptr<WavFileOutput> Open(const std::string& path, double sampleRate, int periodFrames,
                                               Render render, std::string& problem);
    // Stops the thread and completes the file's header.
    ~WavFileOutput();
    WavFileOutput(const WavFileOutput&) = delete;
    WavFileOutput& operator=(const WavFileOutput&) = delete;

private:
    struct State;
    explicit WavFileOutput(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};
