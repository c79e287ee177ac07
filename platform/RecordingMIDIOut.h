// The recording back end for tests: every message sent to any of its devices is stored
// with its device, its time and its content; a test can hold devices in their opening
// state, make them fail, and play messages into an own input port.
#pragma once

#include "platform/MIDIBackEnd.h"
#include "platform/SynthOptions.h"

#include <condition_variable>
#include <set>
#include <vector>

struct RecordedMessage {
    unsigned device = 0;
    double timeMs = 0; // TimerService::PreciseNowMs() when it arrived
    uint32_t message = 0;
};

// Ports "Recorder 0" to "Recorder N-1"; with own ports also "Recorder:own" (its messages
// are recorded as device N) and an own input port. Thread-safe: devices record on
// whichever thread sends; tests read on their own.
class RecordingBackEnd : public MIDIBackEnd, public std::enable_shared_from_this<RecordingBackEnd> {
public:
    explicit RecordingBackEnd(unsigned count = 1, bool ownPorts = false);

    std::vector<std::string> OutputPorts() override;
    MIDIOutHandle OpenOutput(const std::string& port) override;
    std::unique_ptr<MIDIInputPort> OpenInput(const std::string& port, MIDIInputSink sink) override;
    bool HasOwnPorts() const override { return ownPorts_; }
    std::string OwnOutputName() const override;
    MIDIOutHandle OpenOwnOutput() override;
    // Like the built-in synthesizer: true when the options differ from the last ones.
    bool Configure(const SynthOptions& options) override;

    void FailOpen(unsigned index, bool fail = true);
    void FailSends(bool fail);
    // Devices opened while held start Opening and stay so until SettleOpening.
    void HoldOpening(bool hold);
    // Settles every device still held: ready, or failed with problem.
    void SettleOpening(bool ready, const std::string& problem = {});
    // Hands a message to every open own input port, as a program connected to it would.
    void PlayIntoInput(uint32_t message);

    std::vector<RecordedMessage> Messages() const;
    void ClearMessages();
    bool WaitForMessages(size_t count, int timeoutMs) const;
    unsigned Opens(unsigned index) const;
    unsigned Closes(unsigned index) const;

private:
    class Device;
    class InputPort;
    friend class Device;
    friend class InputPort;
    bool record(unsigned device, uint32_t message);
    void closed(unsigned device);
    MIDIOutHandle open(unsigned index);

    unsigned count_;
    bool ownPorts_;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<RecordedMessage> messages_;
    std::set<unsigned> failOpen_;
    bool failSends_ = false;
    bool holdOpening_ = false;
    std::vector<std::weak_ptr<Device>> held_;
    std::vector<std::shared_ptr<MIDIInputSink>> inputs_;
    std::vector<unsigned> opens_, closes_;
    SynthOptions options_;
};

// A device list whose one back end is a recorder; the tests' stand-in for the system's
// devices. Make it with std::make_shared.
class RecordingMIDIDevices : public MIDIDeviceList {
public:
    explicit RecordingMIDIDevices(unsigned count = 1, bool ownPorts = false);

    RecordingBackEnd& Recorder() const { return *recorder_; }
    // The recorder's own calls, for the tests written against the list.
    void FailOpen(unsigned index, bool fail = true) { recorder_->FailOpen(index, fail); }
    void FailSends(bool fail) { recorder_->FailSends(fail); }
    std::vector<RecordedMessage> Messages() const { return recorder_->Messages(); }
    void ClearMessages() { recorder_->ClearMessages(); }
    // Waits until at least count messages are recorded; false on timeout.
    bool WaitForMessages(size_t count, int timeoutMs) const { return recorder_->WaitForMessages(count, timeoutMs); }
    unsigned Opens(unsigned index) const { return recorder_->Opens(index); }
    unsigned Closes(unsigned index) const { return recorder_->Closes(index); }

private:
    explicit RecordingMIDIDevices(std::shared_ptr<RecordingBackEnd> recorder);
    std::shared_ptr<RecordingBackEnd> recorder_;
};
