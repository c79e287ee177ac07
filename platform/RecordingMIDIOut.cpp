// The recording back end for tests.
#include "platform/RecordingMIDIOut.h"

#include "platform/TimerService.h"

#include <algorithm>
#include <chrono>

namespace {

const char* const kRecorderPrefix = "Recorder ";

} // namespace

class RecordingBackEnd::Device : public MIDIOutDevice {
public:
    Device(std::shared_ptr<RecordingBackEnd> owner, unsigned index, bool opening)
        : MIDIOutDevice(opening ? DeviceState::Opening : DeviceState::Ready), owner_(std::move(owner)), index_(index)
    {
    }
    void Finish(bool ready, const std::string& problem) { Settle(ready, problem); }

protected:
    bool sendShort(uint32_t message) override { return owner_->record(index_, message); }
    void closeNative() override { owner_->closed(index_); }

private:
    std::shared_ptr<RecordingBackEnd> owner_;
    unsigned index_;
};

class RecordingBackEnd::InputPort : public MIDIInputPort {
public:
    InputPort(std::shared_ptr<RecordingBackEnd> owner, std::shared_ptr<MIDIInputSink> sink)
        : owner_(std::move(owner)), sink_(std::move(sink))
    {
    }
    ~InputPort() override
    {
        std::lock_guard<std::mutex> lock(owner_->mutex_);
        std::erase(owner_->inputs_, sink_);
    }

private:
    std::shared_ptr<RecordingBackEnd> owner_;
    std::shared_ptr<MIDIInputSink> sink_;
};

RecordingBackEnd::RecordingBackEnd(unsigned count, bool ownPorts)
    : count_(count), ownPorts_(ownPorts), opens_(count + 1, 0), closes_(count + 1, 0)
{
}

std::vector<std::string> RecordingBackEnd::OutputPorts()
{
    std::vector<std::string> names;
    for (unsigned i = 0; i < count_; ++i)
        names.push_back(kRecorderPrefix + std::to_string(i));
    if (ownPorts_)
        names.push_back(OwnOutputName());
    return names;
}

std::string RecordingBackEnd::OwnOutputName() const { return ownPorts_ ? "Recorder:own" : ""; }

MIDIOutHandle RecordingBackEnd::OpenOutput(const std::string& port)
{
    if (port.rfind(kRecorderPrefix, 0) != 0)
        return nullptr;
    const unsigned index = static_cast<unsigned>(std::stoul(port.substr(std::string(kRecorderPrefix).size())));
    return index < count_ ? open(index) : nullptr;
}

MIDIOutHandle RecordingBackEnd::OpenOwnOutput() { return ownPorts_ ? open(count_) : nullptr; }

MIDIOutHandle RecordingBackEnd::open(unsigned index)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (failOpen_.count(index))
        return nullptr;
    ++opens_[index];
    const bool opening = holdOpening_ && index < count_;
    auto device = std::make_shared<Device>(shared_from_this(), index, opening);
    if (opening)
        held_.push_back(device);
    return device;
}

std::unique_ptr<MIDIInputPort> RecordingBackEnd::OpenInput(const std::string& port, MIDIInputSink sink)
{
    if (!port.empty() || !ownPorts_)
        return nullptr;
    auto shared = std::make_shared<MIDIInputSink>(std::move(sink));
    std::lock_guard<std::mutex> lock(mutex_);
    inputs_.push_back(shared);
    return std::make_unique<InputPort>(shared_from_this(), shared);
}

bool RecordingBackEnd::Configure(const SynthOptions& options)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const bool changed = !(options == options_);
    options_ = options;
    return changed;
}

void RecordingBackEnd::FailOpen(unsigned index, bool fail)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (fail)
        failOpen_.insert(index);
    else
        failOpen_.erase(index);
}

void RecordingBackEnd::FailSends(bool fail)
{
    std::lock_guard<std::mutex> lock(mutex_);
    failSends_ = fail;
}

void RecordingBackEnd::HoldOpening(bool hold)
{
    std::lock_guard<std::mutex> lock(mutex_);
    holdOpening_ = hold;
}

void RecordingBackEnd::SettleOpening(bool ready, const std::string& problem)
{
    std::vector<std::weak_ptr<Device>> held;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        held.swap(held_);
    }
    // Settling sends the waiting messages, which records them: outside the lock.
    for (const auto& weak : held)
        if (auto device = weak.lock())
            device->Finish(ready, problem);
}

void RecordingBackEnd::PlayIntoInput(uint32_t message)
{
    std::vector<std::shared_ptr<MIDIInputSink>> inputs;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        inputs = inputs_;
    }
    for (const auto& sink : inputs)
        (*sink)(message);
}

std::vector<RecordedMessage> RecordingBackEnd::Messages() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

void RecordingBackEnd::ClearMessages()
{
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.clear();
}

bool RecordingBackEnd::WaitForMessages(size_t count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return messages_.size() >= count; });
}

unsigned RecordingBackEnd::Opens(unsigned index) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return index <= count_ ? opens_[index] : 0;
}

unsigned RecordingBackEnd::Closes(unsigned index) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return index <= count_ ? closes_[index] : 0;
}

bool RecordingBackEnd::record(unsigned device, uint32_t message)
{
    const double now = TimerService::PreciseNowMs();
    std::lock_guard<std::mutex> lock(mutex_);
    if (failSends_)
        return false;
    messages_.push_back({device, now, message});
    arrived_.notify_all();
    return true;
}

void RecordingBackEnd::closed(unsigned device)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++closes_[device];
}

RecordingMIDIDevices::RecordingMIDIDevices(unsigned count, bool ownPorts)
    : RecordingMIDIDevices(std::make_shared<RecordingBackEnd>(count, ownPorts))
{
}

RecordingMIDIDevices::RecordingMIDIDevices(std::shared_ptr<RecordingBackEnd> recorder)
    : MIDIDeviceList({recorder}, nullptr), recorder_(std::move(recorder))
{
}
