// Whether a JACK server runs, asked without ever starting one, and what it offers: its
// audio format and its MIDI ports. Used by the JACK MIDI back end and by the built-in
// synthesizer's "jack" audio driver.
#pragma once

#include <string>
#include <vector>

struct JackServerInfo {
    bool running = false;
    unsigned sampleRate = 0;
    unsigned bufferFrames = 0;          // frames per period
    unsigned playbackLatencyFrames = 0; // what the system's playback ports add
    std::vector<std::string> midiSinks;   // ports of other clients that take MIDI (send to them)
    std::vector<std::string> midiSources; // ports of other clients that give MIDI (listen to them)
};

// Any thread. Without a server it prints nothing, starts nothing and returns at once
// (the first call of the process takes a few milliseconds: libjack asks jackd where its
// servers live). Tonvera's own ports are left out of the lists.
JackServerInfo ProbeJackServer();
