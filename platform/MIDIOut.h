// MIDI devices: an output device is a shared handle that takes packed short messages; the
// device list numbers the output ports of every back end (built-in synthesizer, ALSA,
// JACK, or recorders in tests) and opens them, and opens MIDI inputs.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class MIDIBackEnd;
class BackgroundOpener;
struct SynthOptions;

// An output that opens in the background (the built-in synthesizer) starts Opening and
// settles once to Ready or Failed; the others are Ready at once. Close makes any of them
// Closed.
enum class DeviceState { Opening, Ready, Failed, Closed };

// One open output device. Handles are shared, so a delayed note-off can keep the object
// alive after the player closed it; Send on a closed device does nothing and returns false.
// Thread-safe: the GUI thread and the timer thread both send; every call is serialised.
class MIDIOutDevice {
public:
    virtual ~MIDIOutDevice() = default;
    MIDIOutDevice(const MIDIOutDevice&) = delete;
    MIDIOutDevice& operator=(const MIDIOutDevice&) = delete;

    // A packed short message: status in bits 0-7, data bytes in bits 8-15 and 16-23.
    // While the device opens, messages wait and go out in order once it is ready. The
    // mirror, when set, gets every message as well; true when the device or the mirror
    // took it.
    bool Send(uint32_t message);
    // All notes off and reset all controllers on the 16 channels.
    bool Reset();
    // Releases the native device; later sends are dropped. True if it was open.
    bool Close();
    bool IsOpen() const; // Opening, or Ready with its native device still there
    DeviceState State() const;
    // Why the device failed, in plain words; empty unless Failed.
    std::string Problem() const;
    // Runs once when the device leaves Opening (at once when it already has), on the
    // thread that settles it, with true for Ready. It must not block nor call this device.
    // Close drops a callback that has not run.
    void WhenSettled(std::function<void(bool ready)> callback);
    // Waits until the device is no longer Opening; false on timeout. For tests and tools.
    bool WaitUntilSettled(int timeoutMs) const;
    // Another device that gets a copy of everything sent here (Tonvera's own output
    // ports); it is not closed with this one.
    void SetMirror(std::shared_ptr<MIDIOutDevice> mirror);

protected:
    explicit MIDIOutDevice(DeviceState initial = DeviceState::Ready);
    // Ends Opening, on the thread that opened the native device. With ready, install runs
    // first under the device's lock (unless the device was closed meanwhile) and the
    // waiting messages are sent. False when the device had been closed: the caller then
    // releases what it opened.
    bool Settle(bool ready, std::string problem, const std::function<void()>& install = {});
    // Called with the device's lock held, only while Ready.
    virtual bool sendShort(uint32_t message) = 0;
    // Called with the device's lock held when an open device closes.
    virtual void closeNative() = 0;
    // False when the native device has gone away on its own (its server stopped); the
    // device then counts as no longer open. Called with the device's lock held.
    virtual bool nativeAlive() const { return true; }

private:
    bool deliver(uint32_t message); // with the lock held

    mutable std::mutex mutex_;
    mutable std::condition_variable settled_;
    DeviceState state_;
    std::string problem_;
    std::deque<uint32_t> waiting_;
    std::function<void(bool)> whenSettled_;
    std::shared_ptr<MIDIOutDevice> mirror_;
};

using MIDIOutHandle = std::shared_ptr<MIDIOutDevice>;

// Number of data bytes that follow a status byte in a short message (0, 1 or 2).
int ShortMessageDataBytes(uint8_t status);
// A packed short message from up to three bytes; 0 when they are not a channel message.
uint32_t PackShortMessage(const unsigned char* bytes, size_t size);

// Receives incoming messages (packed like output messages): note-on, note-off and the
// sustain pedal (controller 64) and all-notes-off (controller 123). It runs on the MIDI
// back end's own thread (RtMidi's ALSA input thread or the JACK process thread), so it
// must be quick and must not block: post the message to the GUI thread.
using MIDIInputCallback = std::function<void(uint32_t message)>;

// True for a note-on with a velocity above zero (one of zero is a note-off).
bool IsNoteOn(uint32_t message);
// True for the incoming messages an input delivers.
bool IsDeliveredInputMessage(uint32_t message);

// An open MIDI input: one or more ports feeding one callback. Its ports open in the
// background; destroying it closes them, and no callback runs once the destructor returns.
class MIDIInput {
public:
    struct Shared;
    explicit MIDIInput(std::shared_ptr<Shared> shared);
    ~MIDIInput();
    MIDIInput(const MIDIInput&) = delete;
    MIDIInput& operator=(const MIDIInput&) = delete;
    // Waits until every port has been tried; the number that opened. For tests and tools.
    unsigned WaitUntilOpen(int timeoutMs) const;

private:
    std::shared_ptr<Shared> shared_;
};

// The name under which Tonvera's own input ports (one per back end that has them) are
// offered as a MIDI input; any program or patchbay can connect to them.
inline constexpr const char* kOwnInputName = "Tonvera input port";
// The name of Tonvera's own output port among the outputs, followed by the back end's
// mark (" (JACK)"). Choosing it sends only there and to the other own ports.
inline constexpr const char* kOwnOutputName = "Tonvera output port";

// The output ports of a table of back ends, numbered in the table's order, and the input
// ports they listen to. Each back end is listed when first needed and again on Refresh,
// so an index stays valid until then. Whatever is sent to an output also goes to
// Tonvera's own output ports (opened in the background after the first device), unless
// the output is that port. Called on the GUI thread.
class MIDIDeviceList {
public:
    MIDIDeviceList(std::vector<std::shared_ptr<MIDIBackEnd>> backEnds,
                   std::shared_ptr<BackgroundOpener> opener);
    virtual ~MIDIDeviceList();
    MIDIDeviceList(const MIDIDeviceList&) = delete;
    MIDIDeviceList& operator=(const MIDIDeviceList&) = delete;

    unsigned Count() const;
    // True when index is below Count(); lists only the back ends up to that index.
    bool Has(unsigned index) const;
    // False (and name untouched) when index is not below Count().
    bool Name(unsigned index, std::string& name) const;
    // Null when the device cannot be opened. A device that opens in the background comes
    // back Opening.
    MIDIOutHandle Open(unsigned index);
    // The index of the output with this name; -1 when there is none.
    int IndexOf(const std::string& name) const;
    // Lists every back end's ports again (ports come and go while the program runs).
    void Refresh();

    // kOwnInputName first, then the ports of every back end that can be listened to.
    std::vector<std::string> InputNames() const;
    // Null when there is no input of that name.
    std::unique_ptr<MIDIInput> OpenInput(const std::string& name, MIDIInputCallback callback);

    // Hands the settings' choices to the back ends; the indexes of the outputs that now
    // open differently (the player opens its device again when it is one of them).
    std::vector<unsigned> Configure(const SynthOptions& options);

    // Waits until the background work asked for so far is done. For tests and tools.
    void WaitForBackground() const;

private:
    struct Listing;
    class OwnOutputs;
    const std::vector<std::string>& portsOf(size_t backEnd) const;
    bool locate(unsigned index, size_t& backEnd, size_t& port) const;
    void openOwnOutputs();

    std::vector<std::shared_ptr<MIDIBackEnd>> backEnds_;
    std::shared_ptr<BackgroundOpener> opener_;
    std::unique_ptr<Listing> listing_;
    std::shared_ptr<OwnOutputs> own_;
    bool ownPortsWanted_ = false; // set by the first Open
};

// The system's devices, from the table of back ends in order of preference:
// 0 = the built-in synthesizer (always listed; when it cannot start, the handle says why),
// then ALSA sequencer ports, then JACK ports (only while a JACK server runs). Nothing is
// ever printed on the terminal and no JACK server is ever started. With rows, only the
// named rows of the table ("built-in synthesizer", "ALSA", "JACK"). The slow openings (the
// built-in synthesizer, the first JACK connection) run on the opener given, which the
// caller may hold back (BackgroundOpener::Hold), or on a new one.
std::shared_ptr<MIDIDeviceList> MakeSystemMIDIDevices(const std::vector<std::string>& rows = {},
                                                      std::shared_ptr<BackgroundOpener> opener = nullptr);
