// A real JACK server for tests and benchmarks, and a JACK client that plays the part of
// another program (a DAW, a keyboard): MIDI in and out through real JACK ports.
#pragma once

#include "tests/support/SoundTestSupport.h"

#include <jack/jack.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <vector>

// jackd (jackd1) with its dummy back end at 48 kHz and 64-frame periods, under a name of
// its own ("tonvera-test-N") so that a test never meets a user's server. While it lives, JACK_DEFAULT_SERVER
// names it, so every JACK client of this process finds it. Stopped by its process id.
class JackTestServer {
public:
    JackTestServer();
    ~JackTestServer(); // Stop(), and the name is free again
    // Ends the server (as a user quitting it would). Idempotent.
    void Stop();
    JackTestServer(const JackTestServer&) = delete;
    JackTestServer& operator=(const JackTestServer&) = delete;

    // False when jackd is missing or did not come up within a few seconds.
    bool Running() const { return running_; }
    const std::string& Name() const { return name_; }

private:
    bool tryEveryName();
    bool start(const std::string& name, int lock);
    bool launch(const std::string& name);

    std::string name_;
    pid_t pid_ = -1;
    int lock_ = -1; // the name's lock file, held while the server lives
    bool running_ = false;
    ScopedEnvironment environment_;
};

// A JACK client "tonvera-test-peer" with a MIDI input port "in" and a MIDI output port
// "out". Its process callback (JACK's thread) keeps what arrives at "in" and sends what
// Play queued on "out".
class JackTestPeer {
public:
    JackTestPeer();
    ~JackTestPeer();
    JackTestPeer(const JackTestPeer&) = delete;
    JackTestPeer& operator=(const JackTestPeer&) = delete;

    bool Open() const { return client_ != nullptr; }
    std::string InName() const;
    std::string OutName() const;
    // Full names of the ports whose names match the pattern (jack_get_ports' regular
    // expression), waiting up to timeoutMs for at least minimum of them.
    std::vector<std::string> WaitForPorts(const std::string& pattern, int timeoutMs, size_t minimum = 1) const;
    bool Connect(const std::string& from, const std::string& to) const;
    bool Connected(const std::string& from, const std::string& to) const;

    // Packed short messages that arrived at "in", in order.
    std::vector<uint32_t> Received() const;
    bool WaitForReceived(size_t count, int timeoutMs) const;
    // Sends packed short messages from "out" in the next cycle.
    void Play(const std::vector<uint32_t>& messages);

private:
    static int process(jack_nframes_t frames, void* self);

    jack_client_t* client_ = nullptr;
    jack_port_t* in_ = nullptr;
    jack_port_t* out_ = nullptr;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<uint32_t> received_;
    std::vector<uint32_t> toSend_;
};
