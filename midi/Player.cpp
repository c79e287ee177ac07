// The player: device switching, immediate sends, sequence playback on one-shot timers,
// delayed note-offs and the release list.
#include "midi/Player.h"

#include <algorithm>
#include <cmath>

Player* _player = nullptr;

namespace {

constexpr uint32_t kTempoEntry = 0x51;
constexpr unsigned kVolumeController = 7;
constexpr unsigned kPanController = 10;
constexpr unsigned kSustainController = 64;
constexpr uint32_t kPitchBendCentre = 0x400000; // first data byte 0, second 64

uint32_t statusOf(uint32_t message) { return message & 0xFF; }
uint32_t data1Of(uint32_t message) { return (message >> 8) & 0xFF; }
uint32_t data2Of(uint32_t message) { return (message >> 16) & 0xFF; }

// The same message as a note-off with velocity 0 (note-on status 0x9n becomes 0x8n).
uint32_t noteOffFor(uint32_t noteOn) { return noteOn & 0xFF8F; }

// Owns a delayed note-off from the moment the timer takes it; sends it when it fires.
// A device closed in the meantime drops the message.
class NoteOffTask : public TimerTask {
public:
    explicit NoteOffTask(std::unique_ptr<NoteOffInfo> info) : info_(std::move(info)) {}
    void Fire(unsigned) override
    {
        if (info_->device)
            info_->device->Send(info_->message);
    }

private:
    std::unique_ptr<NoteOffInfo> info_;
};

} // namespace

// --- MIDIClock -----------------------------------------------------------------------

Player::MIDIClock::MIDIClock(Player& owner) : owner_(&owner)
{
    // The timer service's minimum period is always available: no period to raise here.
    resolution_ = TimerService::kMinPeriodMs;
    Rebase(0, 120, 500000);
}

Player::MIDIClock::~MIDIClock() { Stop(); }

void Player::MIDIClock::Rebase(uint32_t tick, uint16_t ticksPerQuarter, uint32_t tempo)
{
    originTime_ = TimerService::PreciseNowMs();
    originTick_ = lastTick_ = tick;
    msPerTick_ = tempo * 0.001 / (ticksPerQuarter ? ticksPerQuarter : 1);
}

bool Player::MIDIClock::Start(uint32_t tick, uint16_t ticksPerQuarter, uint32_t tempo)
{
    TCOMCriticalSection::Lock lock(owner_->lock_);
    if (timerId_ != 0)
        Stop();
    Rebase(tick, ticksPerQuarter, tempo);
    return Schedule(tick + 1);
}

bool Player::MIDIClock::Stop()
{
    TCOMCriticalSection::Lock lock(owner_->lock_);
    bool killed = true;
    if (timerId_ != 0) {
        killed = owner_->timers_.KillTimer(timerId_);
        timerId_ = 0;
    }
    const double elapsed = TimerService::PreciseNowMs() - originTime_;
    lastTick_ = static_cast<uint32_t>(std::max(0.0, elapsed / msPerTick_)) + originTick_;
    return killed;
}

uint32_t Player::MIDIClock::Now()
{
    if (timerId_ == 0)
        return lastTick_;
    const double elapsed = TimerService::PreciseNowMs() - originTime_;
    // The tiny allowance keeps a timer that fired exactly on time from reading the tick
    // before, through rounding of the double arithmetic.
    lastTick_ = static_cast<uint32_t>(std::max(0.0, elapsed / msPerTick_ + 1e-9)) + originTick_;
    return lastTick_;
}

bool Player::MIDIClock::Schedule(uint32_t tick)
{
    const double due = originTime_ + (static_cast<double>(tick) - originTick_) * msPerTick_;
    double delay = due - TimerService::PreciseNowMs();
    if (delay < resolution_)
        delay = resolution_;
    // Rounded up to whole microseconds so that the timer never fires before the tick is due.
    const auto micros = std::chrono::microseconds(static_cast<long long>(std::ceil(delay * 1000.0)));
    timerId_ = owner_->timers_.SetTimer(micros, [player = owner_](unsigned id) { player->clockCallback(id); });
    return timerId_ != 0;
}

// --- Player ----------------------------------------------------------------------------

Player::Player(std::shared_ptr<MIDIDeviceList> devices) : devices_(std::move(devices)), clock_(*this)
{
    OpenDevice(0);
    Reset();
}

Player::~Player()
{
    Stop();
    if (deviceIndex_ >= 0)
        CloseDevice(static_cast<unsigned>(deviceIndex_));
    clock_.Stop();
    // No timer callback may run once the lists are gone: end the timer thread first.
    timers_.Shutdown();
}

bool Player::Init(uint8_t endMarkerController, unsigned endMarkerValue, NotifyTarget target,
                  uint32_t message)
{
    if (endMarkerValue > 127 || !target || !target.alive())
        return false;
    TCOMCriticalSection::Lock lock(lock_);
    endMarkerController_ = endMarkerController;
    endMarkerValue_ = static_cast<uint8_t>(endMarkerValue);
    notifyWindow_ = std::move(target);
    notifyMessage_ = message;
    return true;
}

unsigned Player::DeviceCount() const { return devices_ ? devices_->Count() : 0; }

int Player::DeviceIndex(const std::string& name) const { return devices_ ? devices_->IndexOf(name) : -1; }

bool Player::DeviceName(unsigned index, std::string& text) const
{
    return devices_ && devices_->Name(index, text);
}

int Player::CurrentDevice() const { return deviceIndex_; }

bool Player::OpenDevice(unsigned index)
{
    if (!devices_ || !devices_->Has(index))
        return false;
    if (static_cast<int>(index) == deviceIndex_)
        return true;
    return switchTo(index);
}

bool Player::switchTo(unsigned index)
{
    MIDIOutHandle opened = devices_->Open(index);
    if (!opened)
        return false;
    // The new device is open before the old one closes, so a failure keeps the old one.
    if (device_ && !CloseDevice(static_cast<unsigned>(deviceIndex_))) {
        opened->Close();
        return false;
    }
    TCOMCriticalSection::Lock lock(lock_);
    device_ = std::move(opened);
    deviceIndex_ = static_cast<int>(index);
    watchOpening(device_);
    return true;
}

bool Player::CloseDevice(unsigned index)
{
    TCOMCriticalSection::Lock lock(lock_);
    if (!device_)
        return true;
    if (!devices_->Has(index))
        return false;
    if (static_cast<int>(index) != deviceIndex_)
        return true;
    return closeCurrent();
}

// With the lock held and a device current.
bool Player::closeCurrent()
{
    if (!Stop())
        return false;
    // A device that failed to start closes as well: it is no longer wanted.
    device_->Close();
    pendingNoteOffs_.clear();
    device_.reset();
    deviceIndex_ = -2;
    return true;
}

void Player::watchOpening(const MIDIOutHandle& device)
{
    if (device->State() != DeviceState::Opening)
        return;
    // Called on the opener's thread with the device's lock held: it only arms a timer, so
    // the rest happens on the timer thread under the player's lock. Closing the device
    // drops this callback, so it never outlives the player.
    device->WhenSettled([this, weak = std::weak_ptr<MIDIOutDevice>(device)](bool) {
        timers_.SetTimer(std::chrono::microseconds(0), [this, weak](unsigned) {
            if (MIDIOutHandle settled = weak.lock())
                deviceSettled(settled);
        });
    });
}

void Player::deviceSettled(const MIDIOutHandle& device)
{
    std::function<void()> notice;
    {
        TCOMCriticalSection::Lock lock(lock_);
        if (device != device_)
            return; // replaced meanwhile
        if (startWhenSettled_) {
            startWhenSettled_ = false;
            clock_.Start(0, ticksPerQuarter_, tempo_);
        }
        for (PendingNoteOff& pending : pendingNoteOffs_)
            armNoteOff(std::move(pending.info), pending.ms);
        pendingNoteOffs_.clear();
        notice = deviceNotice_;
    }
    if (notice)
        notice();
}

void Player::RefreshDevices()
{
    if (!devices_)
        return;
    std::string current;
    if (deviceIndex_ >= 0)
        devices_->Name(static_cast<unsigned>(deviceIndex_), current);
    devices_->Refresh();
    if (deviceIndex_ < 0)
        return;
    const int index = devices_->IndexOf(current);
    TCOMCriticalSection::Lock lock(lock_);
    if (index >= 0) {
        deviceIndex_ = index;
        return;
    }
    closeCurrent();
}

DeviceState Player::CurrentDeviceState() const
{
    TCOMCriticalSection::Lock lock(lock_);
    return device_ ? device_->State() : DeviceState::Closed;
}

std::string Player::DeviceProblem() const
{
    TCOMCriticalSection::Lock lock(lock_);
    return device_ ? device_->Problem() : std::string();
}

void Player::SetDeviceNotice(std::function<void()> notice)
{
    TCOMCriticalSection::Lock lock(lock_);
    deviceNotice_ = std::move(notice);
}

void Player::SetSynthOptions(const SynthOptions& options)
{
    if (!devices_)
        return;
    const std::vector<unsigned> affected = devices_->Configure(options);
    if (deviceIndex_ >= 0 &&
        std::find(affected.begin(), affected.end(), static_cast<unsigned>(deviceIndex_)) != affected.end())
        switchTo(static_cast<unsigned>(deviceIndex_));
}

void Player::Reset()
{
    TCOMCriticalSection::Lock lock(lock_);
    if (device_)
        device_->Reset();
}

bool Player::Stop()
{
    TCOMCriticalSection::Lock lock(lock_);
    startWhenSettled_ = false;
    if (!device_)
        return true;
    Reset();
    clock_.Stop();
    for (uint32_t message : releaseList_)
        device_->Send(message);
    releaseList_.clear();
    return true;
}

bool Player::SendEvents(const MIDIEvent* events, size_t count)
{
    TCOMCriticalSection::Lock lock(lock_);
    if (!device_)
        return false;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t message = events[i].Pack();
        if (message != 0 && !device_->Send(message))
            return false;
    }
    return true;
}

bool Player::SendEvent(const MIDIEvent& event) { return SendEvents(&event, 1); }

bool Player::PlayNoteFor(const MIDIEvent& noteOn, unsigned ms)
{
    auto info = std::make_unique<NoteOffInfo>();
    {
        TCOMCriticalSection::Lock lock(lock_);
        info->device = device_;
    }
    if (!SendEvent(noteOn))
        return false;
    info->message = noteOffFor(noteOn.Pack());
    TCOMCriticalSection::Lock lock(lock_);
    // The note-on waits in the opening device: its length counts from when it sounds.
    if (info->device == device_ && device_->State() == DeviceState::Opening) {
        pendingNoteOffs_.push_back({std::move(info), ms});
        return true;
    }
    return armNoteOff(std::move(info), ms);
}

bool Player::armNoteOff(std::unique_ptr<NoteOffInfo> info, unsigned ms)
{
    return timers_.SetTimer(std::chrono::milliseconds(ms), std::make_unique<NoteOffTask>(std::move(info))) != 0;
}

bool Player::Play(MIDIData& sequence)
{
    if (!Stop())
        return false;
    if (!device_ && !OpenDevice(0))
        return false;
    // The clock is stopped and nothing re-arms it before Start: the timer thread does not
    // touch the list while it is rebuilt.
    ticksPerQuarter_ = sequence.division;
    messages_.clear();
    size_t total = sequence.tempos.size();
    for (const auto& track : sequence.tracks)
        total += track->events.size();
    messages_.reserve(total);
    for (const auto& track : sequence.tracks)
        for (const MIDIEvent& event : track->events)
            if (const uint32_t packed = event.Pack())
                messages_.push_back({event.tick, packed});
    if (messages_.empty())
        return true;
    if (sequence.tempos.empty())
        return false;
    TempoEvent& first = sequence.tempos.front();
    uint32_t previousTick = first.tick;
    first.tick = 0;
    uint32_t startTempo = first.tempo;
    for (size_t i = 1; i < sequence.tempos.size(); ++i) {
        const TempoEvent& tempo = sequence.tempos[i];
        if (tempo.tick < previousTick)
            return false;
        previousTick = tempo.tick;
        messages_.push_back({tempo.tick, (tempo.tempo & 0xFFFFFF) << 8 | kTempoEntry});
        if (tempo.tick == 0)
            startTempo = tempo.tempo;
    }
    std::stable_sort(messages_.begin(), messages_.end(),
                     [](const short_msg_t& a, const short_msg_t& b) { return a.tick < b.tick; });
    cursor_ = 0;
    tempo_ = startTempo;
    TCOMCriticalSection::Lock lock(lock_);
    // A device still opening starts the sequence when it is ready (deviceSettled); the
    // settling callback comes after the state changes, so one of the two starts it.
    if (device_ && device_->State() == DeviceState::Opening) {
        startWhenSettled_ = true;
        return true;
    }
    return clock_.Start(0, ticksPerQuarter_, tempo_);
}

// --- Timer thread ----------------------------------------------------------------------

void Player::clockCallback(unsigned timerId)
{
    TCOMCriticalSection::Lock lock(lock_);
    // A timer that was killed or replaced meanwhile must not touch the current list.
    if (timerId != clock_.timerId_ || messages_.empty())
        return;
    const size_t last = messages_.size() - 1;
    const uint32_t now = clock_.Now();
    bool ended = false;
    while (cursor_ != last && messages_[cursor_].tick <= now) {
        const bool goOn = dispatch(messages_[cursor_]);
        ++cursor_;
        if (!goOn) {
            ended = true;
            break;
        }
    }
    if (ended || cursor_ == last) {
        clock_.Stop();
        if (notifyWindowExists())
            notifyWindow_.post(notifyMessage_);
        return;
    }
    clock_.Schedule(messages_[cursor_].tick);
}

bool Player::dispatch(const short_msg_t& entry)
{
    uint32_t message = entry.message;
    const uint32_t status = statusOf(message);
    if (status == kTempoEntry) {
        tempo_ = message >> 8;
        clock_.Rebase(entry.tick, ticksPerQuarter_, tempo_);
        return true;
    }
    if (status < 0x80)
        return true;
    switch (status & 0xF0) {
    case 0x90:
        send(message);
        releaseList_.push_back(noteOffFor(message));
        return true;
    case 0x80: {
        const auto found = std::find(releaseList_.begin(), releaseList_.end(), message);
        if (found != releaseList_.end())
            releaseList_.erase(found);
        send(message);
        return true;
    }
    case 0xB0: {
        const uint32_t controller = data1Of(message);
        const uint32_t value = data2Of(message);
        if (controller == kVolumeController) {
            const uint32_t scaled = (value * 100 / 120) & 0x7F;
            message = (message & 0xFF00FFFF) | scaled << 16;
        } else if (controller == kSustainController) {
            if (value > 0)
                addReleaseOnce(message & 0xFFFF);
            else
                removeRelease(message);
        } else if (controller != kPanController && controller == endMarkerController_ &&
                   value == endMarkerValue_ && notifyWindowExists()) {
            notifyWindow_.post(notifyMessage_);
            send(message);
            return false;
        }
        send(message);
        return true;
    }
    case 0xE0: {
        const uint32_t centre = (status | kPitchBendCentre);
        if (message == centre)
            removeRelease(message);
        else
            addReleaseOnce(centre);
        send(message);
        return true;
    }
    default:
        send(message);
        return true;
    }
}

void Player::send(uint32_t message)
{
    if (device_)
        device_->Send(message); // errors are ignored during playback
}

bool Player::notifyWindowExists() const { return notifyWindow_ && notifyWindow_.alive(); }

void Player::addReleaseOnce(uint32_t message)
{
    if (std::find(releaseList_.begin(), releaseList_.end(), message) == releaseList_.end())
        releaseList_.push_back(message);
}

void Player::removeRelease(uint32_t message)
{
    const auto found = std::find(releaseList_.begin(), releaseList_.end(), message);
    if (found != releaseList_.end())
        releaseList_.erase(found);
}
