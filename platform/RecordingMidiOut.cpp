// Recording MIDI devices for tests.
#include "platform/RecordingMidiOut.h"

#include "platform/TimerService.h"

#include <chrono>

class RecordingMidiDevices::Device : public MidiOutDevice {
public:
    Device(std::shared_ptr<RecordingMidiDevices> owner, unsigned index)
        : owner_(std::move(owner)), index_(index)
    {
    }

protected:
    bool sendShort(uint32_t message) override { return owner_->record(index_, message); }
    void closeNative() override { owner_->closed(index_); }

private:
    std::shared_ptr<RecordingMidiDevices> owner_;
    unsigned index_;
};

RecordingMidiDevices::RecordingMidiDevices(unsigned count)
    : count_(count), opens_(count, 0), closes_(count, 0)
{
}

unsigned RecordingMidiDevices::Count() const { return count_; }

bool RecordingMidiDevices::Name(unsigned index, std::string& name) const
{
    if (index >= count_)
        return false;
    name = "Recorder " + std::to_string(index);
    return true;
}

MidiOutHandle RecordingMidiDevices::Open(unsigned index)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (index >= count_ || failOpen_.count(index))
        return nullptr;
    ++opens_[index];
    return std::make_shared<Device>(shared_from_this(), index);
}

void RecordingMidiDevices::FailOpen(unsigned index, bool fail)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (fail)
        failOpen_.insert(index);
    else
        failOpen_.erase(index);
}

void RecordingMidiDevices::FailSends(bool fail)
{
    std::lock_guard<std::mutex> lock(mutex_);
    failSends_ = fail;
}

std::vector<RecordedMessage> RecordingMidiDevices::Messages() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

void RecordingMidiDevices::ClearMessages()
{
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.clear();
}

bool RecordingMidiDevices::WaitForMessages(size_t count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return messages_.size() >= count; });
}

unsigned RecordingMidiDevices::Opens(unsigned index) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return index < count_ ? opens_[index] : 0;
}

unsigned RecordingMidiDevices::Closes(unsigned index) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return index < count_ ? closes_[index] : 0;
}

bool RecordingMidiDevices::record(unsigned device, uint32_t message)
{
    const double now = TimerService::PreciseNowMs();
    std::lock_guard<std::mutex> lock(mutex_);
    if (failSends_)
        return false;
    messages_.push_back({device, now, message});
    arrived_.notify_all();
    return true;
}

void RecordingMidiDevices::closed(unsigned device)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++closes_[device];
}
