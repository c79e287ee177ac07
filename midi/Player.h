// The one gateway to MIDI output: sends short messages at once, plays a sequence with
// tick-accurate timing on one-shot timers, silences single notes after a delay, keeps the
// messages that undo what it started, and tells the window when a sequence has ended.
#pragma once

#include "midi/MIDIData.h"
#include "platform/MIDIOut.h"
#include "platform/SynthOptions.h"
#include "platform/TimerService.h"

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// A re-entrant lock with a scoped holder.
class TCOMCriticalSection {
public:
    class Lock {
    public:
        explicit Lock(TCOMCriticalSection& section) : guard_(section.mutex_) {}

    private:
        std::lock_guard<std::recursive_mutex> guard_;
    };

private:
    std::recursive_mutex mutex_;
};

// Where the end-of-sequence notification goes. Both are called on the timer thread with
// the player's lock held: they must not block or call the player.
struct NotifyTarget {
    std::function<bool()> alive;          // does the window still exist?
    std::function<void(uint32_t)> post;   // post this message to it (never blocks)
    explicit operator bool() const { return alive && post; }
};

// A delayed note-off: the device that was current when the note started, and the message.
struct NoteOffInfo {
    MIDIOutHandle device;
    uint32_t message = 0;
};

// Every operation is called on the GUI thread; the clock callback and the note-off
// callbacks run on the timer thread. Both meet only under the player's lock.
// A device that opens in the background (the built-in synthesizer) is current at once: a
// sequence or a note played before it is ready waits and starts, with its own timing,
// when it is; the timer thread learns of that through a one-shot timer.
class Player {
public:
    struct short_msg_t {
        uint32_t tick = 0;
        uint32_t message = 0; // packed short message, or tempo << 8 | 0x51
    };

    // The sequence clock: origin time and tick, and the ms-per-tick factor.
    class MIDIClock {
    public:
        explicit MIDIClock(Player& owner);
        ~MIDIClock();
        MIDIClock(const MIDIClock&) = delete;
        MIDIClock& operator=(const MIDIClock&) = delete;

        void Rebase(uint32_t tick, uint16_t ticksPerQuarter, uint32_t tempo);
        bool Start(uint32_t tick, uint16_t ticksPerQuarter, uint32_t tempo);
        bool Stop();
        uint32_t Now();
        bool Schedule(uint32_t tick);
        bool Running() const { return timerId_ != 0; }

    private:
        friend class Player;
        Player* owner_;
        uint32_t resolution_ = TimerService::kMinPeriodMs;
        unsigned timerId_ = 0;
        // Kept in fractional milliseconds so that no entry is dispatched before its time.
        double originTime_ = 0;
        uint32_t originTick_ = 0;
        uint32_t lastTick_ = 0;
        double msPerTick_ = 500000 * 0.001 / 120;
    };

    // devices: the system's list in the program, a recording list in tests.
    explicit Player(std::shared_ptr<MIDIDeviceList> devices);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    bool Init(uint8_t endMarkerController, unsigned endMarkerValue, NotifyTarget target,
              uint32_t message);
    unsigned DeviceCount() const;
    bool DeviceName(unsigned index, std::string& text) const;
    bool OpenDevice(unsigned index);
    bool CloseDevice(unsigned index);
    int CurrentDevice() const;
    void Reset();
    bool Stop();
    bool SendEvents(const MIDIEvent* events, size_t count);
    bool SendEvent(const MIDIEvent& event);
    bool PlayNoteFor(const MIDIEvent& noteOn, unsigned ms);
    bool Play(MIDIData& sequence);

    // The output and input devices, for the settings dialog and the MIDI input; null when
    // the player was made without a list.
    MIDIDeviceList* Devices() const { return devices_.get(); }
    // The index of the output device with this name; -1 when there is none.
    int DeviceIndex(const std::string& name) const;
    // Lists the devices again (ports come and go). The current device keeps its place
    // under its new index; when its port is gone it is closed.
    void RefreshDevices();
    // The current device's state (Closed when none is open) and, when it could not start,
    // why, in plain words.
    DeviceState CurrentDeviceState() const;
    std::string DeviceProblem() const;
    // Runs on the timer thread when the current device has finished opening, or failed. It
    // must not block nor call the player: post to the GUI thread.
    void SetDeviceNotice(std::function<void()> notice);
    // The settings' choices for the built-in synthesizer. When they change how the current
    // device opens (another SoundFont, another buffer), it is opened again.
    void SetSynthOptions(const SynthOptions& options);

private:
    struct PendingNoteOff {
        std::unique_ptr<NoteOffInfo> info;
        unsigned ms = 0;
    };
    // Opens device index and makes it current (closing the old one); false keeps the old.
    bool switchTo(unsigned index);
    // Stops playing and closes the current device; false when it cannot stop.
    bool closeCurrent();
    void watchOpening(const MIDIOutHandle& device);
    // Timer thread: the device has left Opening.
    void deviceSettled(const MIDIOutHandle& device);
    bool armNoteOff(std::unique_ptr<NoteOffInfo> info, unsigned ms);
    void clockCallback(unsigned timerId);
    // Dispatches one message-list entry; false when it was the end marker and playback ends.
    bool dispatch(const short_msg_t& entry);
    void send(uint32_t message);
    bool notifyWindowExists() const;
    void addReleaseOnce(uint32_t message);
    void removeRelease(uint32_t message);

    std::shared_ptr<MIDIDeviceList> devices_;
    TimerService timers_;

    mutable TCOMCriticalSection lock_;
    uint8_t endMarkerController_ = 255;
    uint8_t endMarkerValue_ = 0;
    NotifyTarget notifyWindow_;
    uint32_t notifyMessage_ = 0;
    MIDIOutHandle device_;
    int deviceIndex_ = -2;
    uint16_t ticksPerQuarter_ = 120;
    uint32_t tempo_ = 500000;
    std::vector<short_msg_t> messages_;
    size_t cursor_ = 0;
    std::list<uint32_t> releaseList_;
    bool startWhenSettled_ = false;              // Play came while the device was opening
    std::vector<PendingNoteOff> pendingNoteOffs_; // PlayNoteFor came while it was opening
    std::function<void()> deviceNotice_;
    MIDIClock clock_;
};

// The process-wide player; the application sets it before any window exists.
extern Player* _player;
