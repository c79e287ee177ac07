// Sequence model: packing, tracks, and the Standard MIDI File reader.
#include "midi/MIDIData.h"

#include <algorithm>
#include <cstring>
#include <limits>

MIDIEvent::MIDIEvent(uint32_t atTick, uint8_t kind, uint8_t channel)
    : TimeEvent{atTick}, status(static_cast<uint8_t>((kind & 0xF0) | (channel & 0x0F)))
{
}

void MIDIEvent::SetVelocity(unsigned value)
{
    data2 = (status & 0xF0) == kNoteOff ? 0 : (value & 0x7F);
}

uint32_t MIDIEvent::Pack() const
{
    const uint32_t channel = status & 0x0F;
    const uint32_t first = data1 & 0x7F;
    const uint32_t second = data2 & 0x7F;
    switch (status & 0xF0) {
    case kNoteOff:
        return (kNoteOff | channel) | first << 8;
    case kNoteOn:
    case kKeyPressure:
    case kControlChange:
        return ((status & 0xF0) | channel) | first << 8 | second << 16;
    case kProgramChange:
    case kChannelPressure:
        return ((status & 0xF0) | channel) | first << 8;
    case kPitchBend: {
        const uint32_t value = second * 128 + first;
        return (kPitchBend | channel) | (value & 0x7F) << 8 | (value >> 7) << 16;
    }
    default:
        return 0;
    }
}

void TimeSigEvent::SetDenominator(unsigned d)
{
    unsigned value = std::max(d, 2u);
    uint8_t exponent = 0;
    while (value > 1) {
        value /= 2;
        ++exponent;
    }
    bytes[1] = exponent;
}

MemoryByteSource::MemoryByteSource(const void* data, size_t size)
    : data_(static_cast<const uint8_t*>(data)), size_(size)
{
}

size_t MemoryByteSource::Read(void* buffer, size_t size)
{
    const size_t n = std::min(size, size_ - position_);
    if (n > 0)
        std::memcpy(buffer, data_ + position_, n);
    position_ += n;
    return n;
}

bool MemoryByteSource::Skip(long offset)
{
    if (offset < 0 && static_cast<size_t>(-offset) > position_)
        return false;
    if (offset > 0 && static_cast<size_t>(offset) > size_ - position_)
        return false;
    position_ = static_cast<size_t>(static_cast<long>(position_) + offset);
    return true;
}

FileByteSource::FileByteSource(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {}

FileByteSource::~FileByteSource()
{
    if (file_)
        std::fclose(file_);
}

size_t FileByteSource::Read(void* buffer, size_t size)
{
    return file_ ? std::fread(buffer, 1, size, file_) : 0;
}

bool FileByteSource::Skip(long offset)
{
    return file_ && std::fseek(file_, offset, SEEK_CUR) == 0;
}

namespace {

bool readBytes(ByteSource& source, void* buffer, size_t size)
{
    return source.Read(buffer, size) == size;
}

bool readByte(ByteSource& source, uint8_t& value) { return readBytes(source, &value, 1); }

bool readBigEndian(ByteSource& source, size_t size, uint32_t& value)
{
    uint8_t bytes[4];
    if (!readBytes(source, bytes, size))
        return false;
    value = 0;
    for (size_t i = 0; i < size; ++i)
        value = value << 8 | bytes[i];
    return true;
}

// A variable-length quantity; more than four bytes is no valid quantity in a MIDI file
// and would overflow, so it fails the read.
bool readVariableLength(ByteSource& source, uint32_t& value)
{
    value = 0;
    for (int i = 0; i < 4; ++i) {
        uint8_t byte;
        if (!readByte(source, byte))
            return false;
        value = value << 7 | (byte & 0x7F);
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

bool readTag(ByteSource& source, const char* tag)
{
    char bytes[4];
    return readBytes(source, bytes, 4) && std::memcmp(bytes, tag, 4) == 0;
}

// Reads length bytes into text in bounded pieces, so a huge declared length in a broken
// file costs no more memory than the bytes that are really there.
bool readData(ByteSource& source, uint32_t length, std::string& text)
{
    text.clear();
    char piece[4096];
    while (length > 0) {
        const size_t want = std::min<size_t>(length, sizeof piece);
        const size_t got = source.Read(piece, want);
        text.append(piece, got);
        if (got != want)
            return false;
        length -= static_cast<uint32_t>(want);
    }
    return true;
}

} // namespace

MIDITrack::MIDITrack(size_t reserveEvents) { events.reserve(reserveEvents); }

MIDITrack::~MIDITrack() { Clear(); }

void MIDITrack::Clear()
{
    events.clear();
    texts.clear();
    textTicks.clear();
}

bool MIDITrack::Read(ByteSource& source) { return Read(source, nullptr); }

bool MIDITrack::Read(ByteSource& source, MIDIData* owner)
{
    Clear();
    uint32_t length = 0;
    if (!readTag(source, "MTrk") || !readBigEndian(source, 4, length))
        return false;
    // The length is only a hint; a broken file must not make us reserve gigabytes.
    events.reserve(std::min<uint32_t>(length / 2, 4096));
    uint32_t tick = 0;
    uint8_t runningStatus = 0;
    std::string scratch;
    for (;;) {
        uint32_t delta = 0;
        if (!readVariableLength(source, delta))
            return false;
        tick += delta;
        uint8_t status;
        if (!readByte(source, status))
            return false;
        if (status < 0x80) {
            if (runningStatus < 0x80 || !source.Skip(-1))
                return false;
            status = runningStatus;
        }
        const uint8_t kind = status & 0xF0;
        if (kind >= kNoteOff && kind <= kPitchBend) {
            uint8_t data[2] = {0, 0};
            const size_t count = (kind == kProgramChange || kind == kChannelPressure) ? 1 : 2;
            if (!readBytes(source, data, count))
                return false;
            const uint8_t storedKind = kind == kNoteOn && data[1] == 0 ? uint8_t(kNoteOff) : kind;
            MIDIEvent event(tick, storedKind, status);
            event.SetData1(data[0]);
            if (count == 2)
                event.SetVelocity(data[1]);
            events.push_back(event);
        } else if (status == 0xF0 || status == 0xF7) {
            uint32_t size = 0;
            if (!readVariableLength(source, size) || !readData(source, size, scratch))
                return false;
        } else if (status == 0xFF) {
            uint8_t type;
            uint32_t size = 0;
            if (!readByte(source, type) || !readVariableLength(source, size))
                return false;
            if (type == 0x2F)
                return true;
            if (size != 0) {
                const bool keepText = type == 0x05 || (type == 0x01 && tick != 0);
                if (!readData(source, size, scratch))
                    return false;
                if (keepText) {
                    texts.push_back(scratch);
                    textTicks.push_back(tick);
                }
            }
            const auto* bytes = reinterpret_cast<const uint8_t*>(scratch.data());
            if (type == 0x51) {
                if (size != 3)
                    return false;
                if (owner)
                    owner->tempos.emplace_back(tick, uint32_t(bytes[0]) << 16 | bytes[1] << 8 | bytes[2]);
            } else if (type == 0x58) {
                if (size != 4)
                    return false;
                if (owner) {
                    TimeSigEvent signature;
                    signature.tick = tick;
                    std::memcpy(signature.bytes, bytes, 4);
                    owner->timeSignatures.push_back(signature);
                }
            } else if (type == 0x59) {
                if (size != 2)
                    return false;
                if (owner) {
                    KeySigEvent key;
                    key.tick = tick;
                    key.sharpsOrFlats = static_cast<int8_t>(bytes[0]);
                    key.minor = bytes[1];
                    owner->keySignatures.push_back(key);
                }
            }
        }
        // Other system messages (0xF1-0xFE) carry no data we read; they are dropped.
        runningStatus = status;
    }
}

MIDIData::MIDIData(size_t trackCount, uint16_t ticksPerQuarter) : division(ticksPerQuarter)
{
    for (size_t i = 0; i < trackCount; ++i)
        tracks.push_back(std::make_unique<MIDITrack>(32));
    tempos.reserve(1);
    timeSignatures.reserve(1);
    keySignatures.reserve(1);
}

MIDIData::~MIDIData() { Clear(); }

void MIDIData::Clear()
{
    tempos.clear();
    timeSignatures.clear();
    keySignatures.clear();
    tracks.clear();
}

MIDITrack* MIDIData::Track(size_t index)
{
    return index < tracks.size() ? tracks[index].get() : nullptr;
}

const MIDITrack* MIDIData::Track(size_t index) const
{
    return index < tracks.size() ? tracks[index].get() : nullptr;
}

bool MIDIData::Read(ByteSource& source)
{
    Clear();
    uint32_t length = 0, format = 0, trackCount = 0, ticksPerQuarter = 0;
    if (!readTag(source, "MThd") || !readBigEndian(source, 4, length) || length != 6)
        return false;
    if (!readBigEndian(source, 2, format) || !readBigEndian(source, 2, trackCount) ||
        !readBigEndian(source, 2, ticksPerQuarter))
        return false;
    division = static_cast<uint16_t>(ticksPerQuarter);
    for (uint32_t i = 0; i < trackCount; ++i) {
        tracks.push_back(std::make_unique<MIDITrack>(32));
        if (!tracks.back()->Read(source, this))
            return false;
    }
    return true;
}

MIDITrackProxy::~MIDITrackProxy()
{
    std::stable_sort(track_.events.begin(), track_.events.end(),
                     [](const MIDIEvent& a, const MIDIEvent& b) { return a.tick < b.tick; });
}
