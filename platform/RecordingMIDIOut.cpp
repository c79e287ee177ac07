// Recording MIDI devices for tests.
#include "platform/RecordingMIDIOut.h"

#include "platform/TimerService.h"

#include <chrono>

class RecordingMIDIDevices::Device : public MIDIOutDevice {
public:
    Device(std::shared_ptr<RecordingMIDIDevices> owner, unsigned index)
        : owner_(std::move(owner)), index_(index)
    {
    }

protected:
    bool sendShort(uint32_t message) override { return owner_->record(index_, message); }
    void closeNative() override { owner_->closed(index_); }

private:
    std::shared_ptr<RecordingMIDIDevices> owner_;
    unsigned index_;
};

RecordingMIDIDevices::RecordingMIDIDevices(unsigned count)
    : count_(count), opens_(count, 0), closes_(count, 0)
{
}

unsigned RecordingMIDIDevices::Count() const { return count_; }

bool RecordingMIDIDevices::Name(unsigned index, std::string& name) const
{
    if (index >= count_)
        return false;
    name = "Recorder " + std::to_string(index);
    return true;
}

MIDIOutHandle RecordingMIDIDevices::Open(unsigned index)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (index >= count_ || failOpen_.count(index))
        return nullptr;
    ++opens_[index];
    return std::make_shared<Device>(shared_from_this(), index);
}

void RecordingMIDIDevices::FailOpen(unsigned index, bool fail)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (fail)
        failOpen_.insert(index);
    else
        failOpen_.erase(index);
}

void RecordingMIDIDevices::FailSends(bool fail)
{
    std::lock_guard<std::mutex> lock(mutex_);
    failSends_ = fail;
}

std::vector<RecordedMessage> RecordingMIDIDevices::Messages() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

void RecordingMIDIDevices::ClearMessages()
{
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.clear();
}

bool RecordingMIDIDevices::WaitForMessages(size_t count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return messages_.size() >= count; });
}

unsigned RecordingMIDIDevices::Opens(unsigned index) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return index < count_ ? opens_[index] : 0;
}

unsigned RecordingMIDIDevices::Closes(unsigned index) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return index < count_ ? closes_[index] : 0;
}

bool RecordingMIDIDevices::record(unsigned device, uint32_t message)
{
    const double now = TimerService::PreciseNowMs();
    std::lock_guard<std::mutex> lock(mutex_);
    if (failSends_)
        return false;
    messages_.push_back({device, now, message});
    arrived_.notify_all();
    return true;
}

void RecordingMIDIDevices::closed(unsigned device)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++closes_[device];
}
