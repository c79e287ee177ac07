// The Standard MIDI File writer.
#include "midi/MIDIFileWriter.h"

#include "platform/IniFile.h"

#include <algorithm>

namespace {

constexpr uint8_t kMeta = 0xFF;
constexpr uint8_t kTrackName = 0x03;
constexpr uint8_t kTempo = 0x51;
constexpr uint8_t kTimeSignature = 0x58;
constexpr uint8_t kKeySignature = 0x59;
constexpr uint8_t kEndOfTrack = 0x2F;
constexpr uint8_t kStandardClocksPerClick = 24;
constexpr uint8_t kStandardThirtySecondsPerQuarter = 8;

void appendBigEndian(std::string& out, uint32_t value, int bytes)
{
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void appendVariableLength(std::string& out, uint32_t value)
{
    char bytes[5];
    int count = 0;
    do {
        bytes[count++] = static_cast<char>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1)
        out += static_cast<char>(bytes[--count] | 0x80);
    out += bytes[0];
}

// One event of a track as written: its tick and its bytes after the delta time.
struct TrackItem {
    uint32_t tick;
    std::string bytes;
};

TrackItem metaItem(uint32_t tick, uint8_t type, const std::string& data)
{
    TrackItem item{tick, std::string{char(kMeta), char(type)}};
    appendVariableLength(item.bytes, static_cast<uint32_t>(data.size()));
    item.bytes += data;
    return item;
}

// The tempo, signatures and name that lead the first track, in the order they were added.
std::vector<TrackItem> metaItems(const MIDIData& data, const std::string& trackName)
{
    std::vector<TrackItem> items;
    if (!trackName.empty())
        items.push_back(metaItem(0, kTrackName, trackName));
    for (const TempoEvent& tempo : data.tempos) {
        std::string bytes;
        appendBigEndian(bytes, tempo.tempo & 0xFFFFFF, 3);
        items.push_back(metaItem(tempo.tick, kTempo, bytes));
    }
    for (const TimeSigEvent& signature : data.timeSignatures) {
        const uint8_t clocks = signature.bytes[2] ? signature.bytes[2] : kStandardClocksPerClick;
        const uint8_t thirtySeconds = signature.bytes[3] ? signature.bytes[3] : kStandardThirtySecondsPerQuarter;
        items.push_back(metaItem(signature.tick, kTimeSignature,
                                 {char(signature.bytes[0]), char(signature.bytes[1]), char(clocks), char(thirtySeconds)}));
    }
    for (const KeySigEvent& key : data.keySignatures)
        items.push_back(metaItem(key.tick, kKeySignature, {char(key.sharpsOrFlats), char(key.minor)}));
    return items;
}

bool isChannelMessage(const MIDIEvent& event) { return event.status >= kNoteOff && event.status < 0xF0; }

TrackItem channelItem(const MIDIEvent& event)
{
    const uint8_t kind = event.status & 0xF0;
    TrackItem item{event.tick, std::string{char(event.status), char(event.data1 & 0x7F)}};
    if (kind != kProgramChange && kind != kChannelPressure)
        item.bytes += char(kind == kNoteOff ? 0 : event.data2 & 0x7F);
    return item;
}

std::string trackChunk(std::vector<TrackItem> items)
{
    // Meta events come first among equal ticks, so a tempo is known before the notes it times.
    std::stable_sort(items.begin(), items.end(), [](const TrackItem& a, const TrackItem& b) { return a.tick < b.tick; });
    std::string body;
    uint32_t tick = 0;
    for (const TrackItem& item : items) {
        appendVariableLength(body, item.tick - tick);
        body += item.bytes;
        tick = item.tick;
    }
    body += std::string{0, char(kMeta), char(kEndOfTrack), 0};
    std::string chunk = "MTrk";
    appendBigEndian(chunk, static_cast<uint32_t>(body.size()), 4);
    return chunk + body;
}

} // namespace

std::string StandardMIDIFileBytes(const MIDIData& data, const std::string& trackName)
{
    const size_t trackCount = std::max<size_t>(data.TrackCount(), 1);
    std::string file = "MThd";
    appendBigEndian(file, 6, 4);
    appendBigEndian(file, trackCount == 1 ? 0 : 1, 2);
    appendBigEndian(file, static_cast<uint32_t>(trackCount), 2);
    appendBigEndian(file, data.division, 2);
    for (size_t i = 0; i < trackCount; ++i) {
        std::vector<TrackItem> items = i == 0 ? metaItems(data, trackName) : std::vector<TrackItem>();
        if (const MIDITrack* track = data.Track(i))
            for (const MIDIEvent& event : track->events)
                if (isChannelMessage(event))
                    items.push_back(channelItem(event));
        file += trackChunk(std::move(items));
    }
    return file;
}

void SaveStandardMIDIFile(const MIDIData& data, const std::string& path, const std::string& trackName)
{
    WriteTextFileAtomically(path, StandardMIDIFileBytes(data, trackName));
}
