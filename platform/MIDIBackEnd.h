// One MIDI back end (the built-in synthesizer, the ALSA sequencer, JACK, a recorder in
// tests): it lists its ports and opens outputs and inputs. The device list numbers the
// ports of a table of back ends; a new back end is one file and one row of that table.
#pragma once

#include "platform/MIDIOut.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct SynthOptions;

// An open native input port; destroying it closes the port and ends its callbacks.
class MIDIInputPort {
public:
    virtual ~MIDIInputPort() = default;
};

// Where an input port hands each message (packed short message), on the port's thread.
using MIDIInputSink = std::function<void(uint32_t message)>;

// What an open MIDIInput shares with the jobs that open its ports and with the ports'
// threads. Guarded by mutex; the user's callback runs under it.
struct MIDIInput::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    MIDIInputCallback callback;
    bool closed = false;
    unsigned pending = 0; // ports still to be tried
    std::vector<std::unique_ptr<MIDIInputPort>> ports;

    // On a port's thread: hands a delivered message to the callback unless closed.
    void Deliver(uint32_t message);
    // On the opener's thread: one port has been tried (null when it did not open).
    void Tried(std::unique_ptr<MIDIInputPort> port);
};

class MIDIBackEnd {
public:
    virtual ~MIDIBackEnd() = default;

    // The ports that can be sent to, named as the user sees them, Tonvera's own output
    // port among them (under OwnOutputName). Called on the GUI thread.
    virtual std::vector<std::string> OutputPorts() = 0;
    // Opens one of OutputPorts() other than the own one; null when it cannot. Called on
    // the GUI thread: a slow device comes back Opening and opens in the background.
    virtual MIDIOutHandle OpenOutput(const std::string& port) = 0;

    // The ports that can be listened to. Called on the GUI thread.
    virtual std::vector<std::string> InputPorts() { return {}; }
    // Opens one of InputPorts(), or Tonvera's own input port when port is empty; null when
    // it cannot. Called on the background opener's thread.
    virtual std::unique_ptr<MIDIInputPort> OpenInput(const std::string& port, MIDIInputSink sink)
    {
        (void)port;
        (void)sink;
        return nullptr;
    }

    // Whether this back end can have own ports (an output that mirrors what Tonvera plays
    // and an input anyone can connect to).
    virtual bool HasOwnPorts() const { return false; }
    // The name of the own output port in OutputPorts(); empty while there is none.
    virtual std::string OwnOutputName() const { return {}; }
    // Opens the own output port; null when it cannot. Called on the background opener's
    // thread.
    virtual MIDIOutHandle OpenOwnOutput() { return nullptr; }

    // Takes the settings' choices; true when its outputs now open differently.
    virtual bool Configure(const SynthOptions& options)
    {
        (void)options;
        return false;
    }
};

// Tonvera's own ports: a client "Tonvera" with an output port and an input port.
inline constexpr const char* kOwnClientName = "Tonvera";
inline constexpr const char* kOwnOutputPort = "output";
inline constexpr const char* kOwnInputPort = "input";

// True for a port ("client:port ...") of a client named "Tonvera", or "Tonvera-NN" (JACK
// numbers a second client of the same name): Tonvera's own ports are not offered as
// devices to send to or listen to.
bool IsTonveraPort(const std::string& name);

// One row of the table of back ends: its name and how to make it.
struct MIDIBackEndRow {
    const char* name;
    std::shared_ptr<MIDIBackEnd> (*make)(const std::shared_ptr<BackgroundOpener>& opener);
};

// The rows of the system's table, one per file.
std::shared_ptr<MIDIBackEnd> MakeBuiltInSynthBackEnd(const std::shared_ptr<BackgroundOpener>& opener);
std::shared_ptr<MIDIBackEnd> MakeAlsaBackEnd(const std::shared_ptr<BackgroundOpener>& opener);
std::shared_ptr<MIDIBackEnd> MakeJackBackEnd(const std::shared_ptr<BackgroundOpener>& opener);
