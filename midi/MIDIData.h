// The in-memory MIDI sequence: timed channel events in tracks, tempo, time and key
// signatures, the packing of events into short messages, and reading a Standard MIDI File.
// Used on the GUI thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <vector>

struct TimeEvent {
    uint32_t tick = 0;
};

// A channel event. Data bytes are kept within 0-127 by the setters.
struct MIDIEvent : TimeEvent {
    uint8_t status = 0; // kind in the high nibble, channel in the low nibble
    uint8_t data1 = 0;
    uint8_t data2 = 0;

    MIDIEvent() = default;
    // kind: a status byte whose high nibble is used; channel: its low nibble is used.
    MIDIEvent(uint32_t tick, uint8_t kind, uint8_t channel);

    void SetData1(unsigned value) { data1 = value & 0x7F; }
    void SetData2(unsigned value) { data2 = value & 0x7F; }
    // A note-off keeps velocity 0.
    void SetVelocity(unsigned value);
    // The short message (status | data1 << 8 | data2 << 16), or 0 for a status that is no
    // sendable channel message.
    uint32_t Pack() const;
};

// Status kinds (high nibbles).
enum : uint8_t {
    kNoteOff = 0x80,
    kNoteOn = 0x90,
    kKeyPressure = 0xA0,
    kControlChange = 0xB0,
    kProgramChange = 0xC0,
    kChannelPressure = 0xD0,
    kPitchBend = 0xE0,
};

struct TempoEvent : TimeEvent {
    uint32_t tempo = 500000; // microseconds per quarter, 24 bits
    TempoEvent() = default;
    TempoEvent(uint32_t atTick, uint32_t microsPerQuarter) : TimeEvent{atTick}, tempo(microsPerQuarter & 0xFFFFFF) {}
};

struct TimeSigEvent : TimeEvent {
    // Standard MIDI File order: numerator, denominator exponent, clocks per click,
    // 32nd notes per quarter.
    uint8_t bytes[4] = {0, 0, 0, 0};
    void SetNumerator(uint8_t value) { bytes[0] = value; }
    // d is a note value (2, 4, 8, ...); stored as its power-of-two exponent.
    void SetDenominator(unsigned d);
};

struct KeySigEvent : TimeEvent {
    int8_t sharpsOrFlats = 0; // sharps positive, flats negative
    uint8_t minor = 0;        // 0 major, 1 minor
};

// Where Persist::Read takes its bytes from.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to size bytes; returns how many were read.
    virtual size_t Read(void* buffer, size_t size) = 0;
    // Moves the read position by offset from the current position; false if impossible.
    virtual bool Skip(long offset) = 0;
};

class MemoryByteSource : public ByteSource {
public:
    MemoryByteSource(const void* data, size_t size);
    size_t Read(void* buffer, size_t size) override;
    bool Skip(long offset) override;

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(const std::string& path);
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;
    bool IsOpen() const { return file_ != nullptr; }
    size_t Read(void* buffer, size_t size) override;
    bool Skip(long offset) override;

private:
    std::FILE* file_ = nullptr;
};

class MIDIData;

class Persist {
public:
    virtual ~Persist() = default;
    virtual bool Read(ByteSource& source) = 0;
    virtual void Clear() = 0;
};

class MIDITrack : public Persist {
public:
    explicit MIDITrack(size_t reserveEvents = 32);
    ~MIDITrack() override;

    // Reads one "MTrk" chunk; meta events for tempo and signatures go to owner when given.
    bool Read(ByteSource& source) override;
    bool Read(ByteSource& source, MIDIData* owner);
    void Clear() override;

    size_t EventCount() const { return events.size(); }

    std::vector<MIDIEvent> events;
    std::deque<std::string> texts; // text (after tick 0) and lyric meta events
    std::deque<uint32_t> textTicks;
};

class MIDIData : public Persist {
public:
    explicit MIDIData(size_t trackCount = 0, uint16_t division = 120);
    ~MIDIData() override;
    MIDIData(const MIDIData&) = delete;
    MIDIData& operator=(const MIDIData&) = delete;

    bool Read(ByteSource& source) override;
    void Clear() override;

    size_t TrackCount() const { return tracks.size(); }
    // Null when index is not below TrackCount().
    MIDITrack* Track(size_t index);
    const MIDITrack* Track(size_t index) const;
    size_t TempoCount() const { return tempos.size(); }

    uint16_t division = 120; // ticks per quarter note
    std::vector<TempoEvent> tempos;
    std::vector<TimeSigEvent> timeSignatures;
    std::vector<KeySigEvent> keySignatures;
    std::vector<std::unique_ptr<MIDITrack>> tracks;
};

// Appends events to a track and sorts the track by tick when it goes away.
class MIDITrackProxy {
public:
    explicit MIDITrackProxy(MIDITrack& track) : track_(track) {}
    ~MIDITrackProxy();
    MIDITrackProxy(const MIDITrackProxy&) = delete;
    MIDITrackProxy& operator=(const MIDITrackProxy&) = delete;
    void Append(const MIDIEvent& event) { track_.events.push_back(event); }

private:
    MIDITrack& track_;
};
