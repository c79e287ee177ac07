// Whether a JACK server runs, asked without ever starting one, and what it offers: its
// audio format and its MIDI ports. Used by the JACK MIDI back end and by the built-in
// synthesizer's "jack" audio driver.
#pragma once

#include <atomic>
#include <memory>
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

// A client kept connected while the server runs ("tonvera-monitor": activated, but with
// no process callback, so it costs nothing per period). It lists the server's ports and
// notices when the server goes away: RtMidi's JACK output then waits forever for room in
// its buffer, so Tonvera's JACK outputs stop sending as soon as their server is gone.
class JackConnection {
public:
    // Null when no server runs. Any thread.
    static std::shared_ptr<JackConnection> Open();
    ~JackConnection();
    JackConnection(const JackConnection&) = delete;
    JackConnection& operator=(const JackConnection&) = delete;

    // False once the server has shut down or the connection broke. Any thread.
    bool Alive() const { return alive_; }
    // What the server offers now; not running once it is gone.
    JackServerInfo Info() const;

private:
    explicit JackConnection(struct _jack_client* client);
    static void onShutdown(void* self);

    struct _jack_client* client_;
    std::atomic<bool> alive_{true};
};
