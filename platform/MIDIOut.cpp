// The device handle's shared rules (states, waiting messages, the mirror) and the open
// MIDI input.
#include "platform/MIDIOut.h"

#include "platform/MIDIBackEnd.h"

#include <chrono>

namespace {

// Messages kept while a device opens; a flood beyond this (nothing plays that much in the
// few tenths of a second an open takes) is dropped.
constexpr size_t kMaxWaitingMessages = 4096;

constexpr uint32_t kAllNotesOff = 123;
constexpr uint32_t kResetAllControllers = 121;
constexpr uint32_t kSustainPedal = 64;

} // namespace

MIDIOutDevice::MIDIOutDevice(DeviceState initial) : state_(initial) {}

bool MIDIOutDevice::Send(uint32_t message)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return deliver(message);
}

bool MIDIOutDevice::deliver(uint32_t message)
{
    bool taken = false;
    if (state_ == DeviceState::Ready) {
        taken = sendShort(message);
    } else if (state_ == DeviceState::Opening && waiting_.size() < kMaxWaitingMessages) {
        waiting_.push_back(message);
        taken = true;
    }
    if (mirror_ && mirror_->Send(message))
        taken = true;
    return taken;
}

bool MIDIOutDevice::Reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ == DeviceState::Closed)
        return false;
    const bool opening = state_ == DeviceState::Opening;
    // A device still opening has sounded nothing yet: the reset only cancels the notes
    // that wait for it, and reaches the mirror.
    if (opening)
        std::erase_if(waiting_, IsNoteOn);
    bool ok = true;
    for (uint32_t channel = 0; channel < 16; ++channel)
        for (uint32_t controller : {kAllNotesOff, kResetAllControllers}) {
            const uint32_t message = 0xB0 | channel | controller << 8;
            if (opening) {
                if (mirror_)
                    mirror_->Send(message);
            } else {
                ok = deliver(message) && ok;
            }
        }
    return ok;
}

bool MIDIOutDevice::Close()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ == DeviceState::Closed)
        return false;
    const bool wasOpen = state_ != DeviceState::Failed;
    state_ = DeviceState::Closed;
    waiting_.clear();
    whenSettled_ = nullptr;
    mirror_.reset();
    closeNative();
    settled_.notify_all();
    return wasOpen;
}

bool MIDIOutDevice::IsOpen() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return state_ == DeviceState::Opening || (state_ == DeviceState::Ready && nativeAlive());
}

DeviceState MIDIOutDevice::State() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
}

std::string MIDIOutDevice::Problem() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return problem_;
}

void MIDIOutDevice::WhenSettled(std::function<void(bool ready)> callback)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ == DeviceState::Opening)
        whenSettled_ = std::move(callback);
    else if (callback && state_ != DeviceState::Closed)
        callback(state_ == DeviceState::Ready);
}

bool MIDIOutDevice::WaitUntilSettled(int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    return settled_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [this] { return state_ != DeviceState::Opening; });
}

void MIDIOutDevice::SetMirror(std::shared_ptr<MIDIOutDevice> mirror)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ != DeviceState::Closed)
        mirror_ = std::move(mirror);
}

bool MIDIOutDevice::Settle(bool ready, std::string problem, const std::function<void()>& install)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ != DeviceState::Opening)
        return false;
    if (ready && install)
        install();
    state_ = ready ? DeviceState::Ready : DeviceState::Failed;
    problem_ = ready ? std::string() : std::move(problem);
    // The mirror had these when they were sent; now the device itself plays them.
    if (ready)
        for (uint32_t message : waiting_)
            sendShort(message);
    waiting_.clear();
    if (auto callback = std::move(whenSettled_)) {
        whenSettled_ = nullptr;
        callback(ready);
    }
    settled_.notify_all();
    return true;
}

int ShortMessageDataBytes(uint8_t status)
{
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 1;
    case 0x80:
    case 0x90:
    case 0xA0:
    case 0xB0:
    case 0xE0:
        return 2;
    default:
        return 0;
    }
}

uint32_t PackShortMessage(const unsigned char* bytes, size_t size)
{
    if (size == 0 || bytes[0] < 0x80)
        return 0;
    const int dataBytes = ShortMessageDataBytes(bytes[0]);
    if (dataBytes == 0 || size < static_cast<size_t>(1 + dataBytes))
        return 0;
    uint32_t message = bytes[0];
    for (int i = 1; i <= dataBytes; ++i)
        message |= static_cast<uint32_t>(bytes[i] & 0x7F) << (8 * i);
    return message;
}

bool IsNoteOn(uint32_t message) { return (message & 0xF0) == 0x90 && (message >> 16 & 0x7F) != 0; }

bool IsDeliveredInputMessage(uint32_t message)
{
    switch (message & 0xF0) {
    case 0x80:
    case 0x90:
        return true;
    case 0xB0: {
        const uint32_t controller = message >> 8 & 0x7F;
        return controller == kSustainPedal || controller == kAllNotesOff;
    }
    default:
        return false;
    }
}

// --- MIDIInput ---------------------------------------------------------------------------

void MIDIInput::Shared::Deliver(uint32_t message)
{
    if (!IsDeliveredInputMessage(message))
        return;
    std::lock_guard<std::mutex> lock(mutex);
    if (callback)
        callback(message);
}

void MIDIInput::Shared::Tried(std::unique_ptr<MIDIInputPort> port)
{
    std::unique_ptr<MIDIInputPort> unwanted; // closed outside the lock
    {
        std::lock_guard<std::mutex> lock(mutex);
        --pending;
        if (port && !closed) {
            ports.push_back(std::move(port));
        } else {
            unwanted = std::move(port);
        }
        changed.notify_all();
    }
}

MIDIInput::MIDIInput(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}

MIDIInput::~MIDIInput()
{
    std::vector<std::unique_ptr<MIDIInputPort>> ports;
    {
        // Waits for a callback in progress; none starts afterwards.
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->closed = true;
        shared_->callback = nullptr;
        ports.swap(shared_->ports);
    }
    ports.clear(); // closes the native ports, whose threads may still knock and find it closed
}

unsigned MIDIInput::WaitUntilOpen(int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return shared_->pending == 0; });
    return static_cast<unsigned>(shared_->ports.size());
}
