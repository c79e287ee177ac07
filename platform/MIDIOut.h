// MIDI output devices behind one small interface: a list of devices by index, each of
// which opens into a shared handle that takes packed short messages.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

// One open output device. Handles are shared, so a delayed note-off can keep the object
// alive after the player closed it; Send on a closed device does nothing and returns false.
// Thread-safe: the GUI thread and the timer thread both send; every call is serialised.
class MIDIOutDevice {
public:
    virtual ~MIDIOutDevice() = default;
    MIDIOutDevice(const MIDIOutDevice&) = delete;
    MIDIOutDevice& operator=(const MIDIOutDevice&) = delete;

    // A packed short message: status in bits 0-7, data bytes in bits 8-15 and 16-23.
    bool Send(uint32_t message);
    // All notes off and reset all controllers on the 16 channels.
    bool Reset();
    // Releases the native device; later sends are dropped. True if it was open.
    bool Close();
    bool IsOpen() const;

protected:
    MIDIOutDevice() = default;
    // Called with the device's mutex held, only while open.
    virtual bool sendShort(uint32_t message) = 0;
    virtual void closeNative() = 0;

private:
    mutable std::mutex mutex_;
    bool open_ = true;
};

using MIDIOutHandle = std::shared_ptr<MIDIOutDevice>;

// The devices of the system (or of a test) in a fixed order.
// Called on the GUI thread.
class MIDIDeviceList {
public:
    virtual ~MIDIDeviceList() = default;
    virtual unsigned Count() const = 0;
    // False (and name untouched) when index is not below Count().
    virtual bool Name(unsigned index, std::string& name) const = 0;
    // Null when the device cannot be opened.
    virtual MIDIOutHandle Open(unsigned index) = 0;
};

// Number of data bytes that follow a status byte in a short message (0, 1 or 2).
int ShortMessageDataBytes(uint8_t status);

// The system's devices: 0 = the built-in synthesizer when a General MIDI SoundFont is
// found, then every writable ALSA sequencer port. Enumerated once, when made. Nothing is
// ever printed on the terminal.
std::shared_ptr<MIDIDeviceList> MakeSystemMIDIDevices();
