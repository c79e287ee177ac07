// Tests of the sequence model: packing, track order and the Standard MIDI File reader.
#include "midi/MIDIData.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

MIDIEvent event(uint8_t kind, uint8_t channel, unsigned data1, unsigned data2)
{
    MIDIEvent e(0, kind, channel);
    e.SetData1(data1);
    e.SetData2(data2);
    return e;
}

TEST(MIDIEventTest, PacksEachKindIntoAShortMessage)
{
    struct Case { MIDIEvent event; uint32_t packed; const char* what; };
    MIDIEvent noteOffWithVelocity(0, kNoteOff, 2);
    noteOffWithVelocity.SetData1(60);
    noteOffWithVelocity.data2 = 99; // even if set directly, a note-off packs without velocity
    const Case cases[] = {
        {noteOffWithVelocity, 0x003C82, "note-off drops its velocity"},
        {event(kNoteOn, 0, 60, 100), 0x643C90, "note-on"},
        {event(kNoteOn, 1, 60, 0), 0x003C91, "note-on with velocity 0 stays a note-on"},
        {event(kKeyPressure, 3, 61, 5), 0x053DA3, "key pressure"},
        {event(kControlChange, 15, 7, 120), 0x7807BF, "control change"},
        {event(kProgramChange, 0, 40, 0), 0x0028C0, "program change"},
        {event(kChannelPressure, 4, 70, 0), 0x0046D4, "channel pressure"},
        {event(kPitchBend, 0, 0, 64), 0x4000E0, "pitch bend centre (8192)"},
        {event(kPitchBend, 1, 127, 127), 0x7F7FE1, "pitch bend maximum"},
        {event(kNoteOn, 0x1F, 200, 255), 0x7F489F, "channel and data bytes are masked"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.event.Pack(), c.packed) << c.what;

    MIDIEvent system;
    system.status = 0xF0;
    EXPECT_EQ(system.Pack(), 0u);
    system.status = 0x7F;
    EXPECT_EQ(system.Pack(), 0u);
}

TEST(MIDIEventTest, NoteOffKeepsVelocityZero)
{
    MIDIEvent off(5, kNoteOff, 0);
    off.SetVelocity(100);
    EXPECT_EQ(off.data2, 0);
    MIDIEvent on(5, kNoteOn, 0);
    on.SetVelocity(300);
    EXPECT_EQ(on.data2, 300 & 0x7F);
}

TEST(MIDIDataTest, TimeSignatureDenominatorIsStoredAsExponent)
{
    struct Case { unsigned d; uint8_t exponent; };
    for (const Case c : {Case{4, 2}, Case{8, 3}, Case{2, 1}, Case{1, 1}, Case{16, 4}}) {
        TimeSigEvent signature;
        signature.SetDenominator(c.d);
        EXPECT_EQ(signature.bytes[1], c.exponent) << c.d;
    }
    EXPECT_EQ(TempoEvent(0, 0x12345678).tempo, 0x345678u);
}

TEST(MIDIDataTest, ProxyLeavesTheTrackInTickOrderAndTrackIndexIsChecked)
{
    MIDIData data(2, 96);
    EXPECT_EQ(data.TrackCount(), 2u);
    EXPECT_EQ(data.Track(2), nullptr);
    {
        MIDITrackProxy proxy(*data.Track(0));
        for (uint32_t tick : {30u, 10u, 20u, 10u})
            proxy.Append(MIDIEvent(tick, kNoteOn, 0));
    }
    std::vector<uint32_t> ticks;
    for (const MIDIEvent& e : data.Track(0)->events)
        ticks.push_back(e.tick);
    EXPECT_EQ(ticks, (std::vector<uint32_t>{10, 10, 20, 30}));
    data.Clear();
    EXPECT_EQ(data.TrackCount(), 0u);
}

// Builds a Standard MIDI File in memory.
struct SmfBuilder {
    std::string bytes;
    void raw(std::initializer_list<int> values)
    {
        for (int v : values)
            bytes.push_back(static_cast<char>(v));
    }
    void text(const std::string& s) { bytes += s; }
    void be32(uint32_t v) { raw({int(v >> 24), int(v >> 16 & 0xFF), int(v >> 8 & 0xFF), int(v & 0xFF)}); }
    void header(int tracks, int division)
    {
        text("MThd");
        be32(6);
        raw({0, 1, tracks >> 8, tracks & 0xFF, division >> 8, division & 0xFF});
    }
    void track(const std::string& body)
    {
        text("MTrk");
        be32(static_cast<uint32_t>(body.size()));
        bytes += body;
    }
};

std::string bytesOf(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

bool readSmf(MIDIData& data, const std::string& bytes)
{
    MemoryByteSource source(bytes.data(), bytes.size());
    return data.Read(source);
}

TEST(SmfReaderTest, ReadsEventsRunningStatusAndMetaEvents)
{
    SmfBuilder smf;
    smf.header(2, 480);
    smf.track(bytesOf({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // tempo 500000
                       0x00, 0xFF, 0x58, 0x04, 0x03, 0x02, 0x18, 0x08,
                       0x00, 0xFF, 0x59, 0x02, 0xFE, 0x01,        // 2 flats, minor
                       0x00, 0xFF, 0x01, 0x02, 'h', 'i',           // text at tick 0: dropped
                       0x00, 0xFF, 0x05, 0x02, 'l', 'a',           // lyric at tick 0: kept
                       0x00, 0xFF, 0x2F, 0x00}));
    smf.track(bytesOf({0x00, 0x90, 0x3C, 0x64,
                       0x81, 0x00, 0x40, 0x00,                     // running status, velocity 0
                       0x10, 0xC2, 0x05,
                       0x00, 0xF0, 0x02, 0x01, 0x02,               // sysex, dropped
                       0x05, 0xFF, 0x01, 0x01, 't',                // text at tick 149: kept
                       0x00, 0xE1, 0x00, 0x40,
                       0x00, 0xFF, 0x2F, 0x00}));
    MIDIData data;
    ASSERT_TRUE(readSmf(data, smf.bytes));
    EXPECT_EQ(data.division, 480);
    ASSERT_EQ(data.TempoCount(), 1u);
    EXPECT_EQ(data.tempos[0].tempo, 500000u);
    ASSERT_EQ(data.timeSignatures.size(), 1u);
    EXPECT_EQ(data.timeSignatures[0].bytes[1], 2);
    ASSERT_EQ(data.keySignatures.size(), 1u);
    EXPECT_EQ(data.keySignatures[0].sharpsOrFlats, -2);
    EXPECT_EQ(data.keySignatures[0].minor, 1);
    ASSERT_EQ(data.TrackCount(), 2u);
    EXPECT_EQ(data.Track(0)->texts, (std::deque<std::string>{"la"}));

    const MIDITrack& notes = *data.Track(1);
    ASSERT_EQ(notes.EventCount(), 4u);
    EXPECT_EQ(notes.events[0].Pack(), 0x643C90u);
    EXPECT_EQ(notes.events[1].tick, 128u);
    EXPECT_EQ(notes.events[1].status, 0x80); // a note-on with velocity 0 is stored as a note-off
    EXPECT_EQ(notes.events[1].data1, 0x40);
    EXPECT_EQ(notes.events[2].Pack(), 0x05C2u);
    EXPECT_EQ(notes.events[2].tick, 144u);
    EXPECT_EQ(notes.events[3].Pack(), 0x4000E1u);
    EXPECT_EQ(notes.texts, (std::deque<std::string>{"t"}));
    EXPECT_EQ(notes.textTicks, (std::deque<uint32_t>{149}));
}

TEST(SmfReaderTest, RefusesBrokenFiles)
{
    struct Case { std::string bytes; const char* what; };
    SmfBuilder badLength;
    badLength.text("MThd");
    badLength.be32(7);
    badLength.raw({0, 0, 0, 1, 0, 120, 0});
    SmfBuilder badTrack;
    badTrack.header(1, 120);
    badTrack.text("MTrX");
    badTrack.be32(4);
    badTrack.raw({0, 0xFF, 0x2F, 0});
    SmfBuilder noStatus;
    noStatus.header(1, 120);
    noStatus.track(bytesOf({0x00, 0x40, 0x40, 0x00, 0xFF, 0x2F, 0x00}));
    SmfBuilder badTempo;
    badTempo.header(1, 120);
    badTempo.track(bytesOf({0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1, 0x00, 0xFF, 0x2F, 0x00}));
    SmfBuilder truncated;
    truncated.header(1, 120);
    truncated.text("MTrk");
    truncated.be32(100);
    truncated.raw({0x00, 0x90, 0x3C});
    SmfBuilder hugeSysex;
    hugeSysex.header(1, 120);
    hugeSysex.track(bytesOf({0x00, 0xF0, 0x8F, 0xFF, 0xFF, 0x7F, 0x01}));
    SmfBuilder endless;
    endless.header(1, 120);
    endless.track(bytesOf({0x00, 0x90, 0x3C, 0x40}));
    const Case cases[] = {
        {"", "empty"},
        {"RIFF", "not a MIDI file"},
        {badLength.bytes, "header length not 6"},
        {badTrack.bytes, "track without MTrk"},
        {noStatus.bytes, "running status without a previous event"},
        {badTempo.bytes, "tempo of the wrong length"},
        {truncated.bytes, "short read inside an event"},
        {hugeSysex.bytes, "system exclusive longer than the file"},
        {endless.bytes, "no end-of-track event"},
    };
    for (const Case& c : cases) {
        MIDIData data;
        EXPECT_FALSE(readSmf(data, c.bytes)) << c.what;
    }
}

TEST(SmfReaderTest, FileByteSourceReadsAFileAndRefusesAMissingOne)
{
    SmfBuilder smf;
    smf.header(1, 120);
    smf.track(bytesOf({0x00, 0x90, 0x3C, 0x64, 0x78, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}));
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("tonvera-smf-" + std::to_string(getpid()) + ".mid")).string();
    std::ofstream(path, std::ios::binary) << smf.bytes;
    {
        FileByteSource source(path);
        ASSERT_TRUE(source.IsOpen());
        MIDIData data;
        ASSERT_TRUE(data.Read(source));
        ASSERT_EQ(data.Track(0)->EventCount(), 2u);
        EXPECT_EQ(data.Track(0)->events[1].tick, 120u);
    }
    std::remove(path.c_str());
    FileByteSource missing(path);
    MIDIData data;
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_FALSE(data.Read(missing));
}

} // namespace
