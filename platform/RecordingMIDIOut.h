// A device list of recording MIDI devices for tests: every message sent to any of them is
// stored with its device, its time and its content.
#pragma once

#include "platform/MIDIOut.h"

#include <condition_variable>
#include <set>
#include <vector>

struct RecordedMessage {
    unsigned device = 0;
    double timeMs = 0; // TimerService::PreciseNowMs() when it arrived
    uint32_t message = 0;
};

// Thread-safe: devices record on whichever thread sends; tests read on their own.
// Make it with std::make_shared: open devices keep the list alive.
class RecordingMIDIDevices : public MIDIDeviceList,
                             public std::enable_shared_from_this<RecordingMIDIDevices> {
public:
    explicit RecordingMIDIDevices(unsigned count = 1);

    unsigned Count() const override;
    bool Name(unsigned index, std::string& name) const override; // "Recorder 0", "Recorder 1", ...
    MIDIOutHandle Open(unsigned index) override;

    // Opening these devices fails from now on.
    void FailOpen(unsigned index, bool fail = true);
    // Every send fails (nothing recorded) while set.
    void FailSends(bool fail);

    std::vector<RecordedMessage> Messages() const;
    void ClearMessages();
    // Waits until at least count messages are recorded; false on timeout.
    bool WaitForMessages(size_t count, int timeoutMs) const;

    unsigned Opens(unsigned index) const;
    unsigned Closes(unsigned index) const;

private:
    class Device;
    friend class Device;
    bool record(unsigned device, uint32_t message);
    void closed(unsigned device);

    unsigned count_;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<RecordedMessage> messages_;
    std::set<unsigned> failOpen_;
    bool failSends_ = false;
    std::vector<unsigned> opens_, closes_;
};
