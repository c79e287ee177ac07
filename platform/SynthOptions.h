// What the settings choose for the built-in synthesizer, with each setting's key and
// default in one place for the settings dialog's table.
#pragma once

#include <string>

// "Tonvera.ini" keys of the section "Settings".
inline constexpr const char* kSoundFontKey = "SoundFont";       // path; empty = search
inline constexpr const char* kAudioBufferKey = "AudioBufferMs"; // output buffering in ms
// About 4 ms of buffering: three periods of 64 frames at 48 kHz. Machines that crackle
// need more.
inline constexpr int kDefaultAudioBufferMs = 4;
inline constexpr int kMinAudioBufferMs = 1;
inline constexpr int kMaxAudioBufferMs = 200;

// The synthesizer closes its audio output after this much silence (no voice sounding),
// so an idle program costs no CPU, and opens it again at the next note (not with JACK,
// whose ports must stay, nor with the "file" driver, which records).
inline constexpr int kIdleCloseMs = 3000;

struct SynthOptions {
    std::string soundFont; // the SoundFont chosen in the settings; empty = search
    int audioBufferMs = kDefaultAudioBufferMs;
    int idleCloseMs = kIdleCloseMs; // not a setting: tests and benchmarks shorten it

    bool operator==(const SynthOptions&) const = default;
};
