// The Standard MIDI File writer: read back by the reader, and the exact bytes of a chord.
#include "midi/MIDIFileWriter.h"
#include "midi/Tmidicontent.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

MIDIEvent channelEvent(uint32_t tick, uint8_t kind, uint8_t channel, unsigned data1, unsigned data2 = 0)
{
    MIDIEvent event(tick, kind, channel);
    event.SetData1(data1);
    event.SetData2(data2);
    return event;
}

std::unique_ptr<MIDIData> readBack(const std::string& bytes)
{
    auto data = std::make_unique<MIDIData>();
    MemoryByteSource source(bytes.data(), bytes.size());
    EXPECT_TRUE(data->Read(source));
    return data;
}

struct Fields {
    uint32_t tick;
    uint8_t status, data1, data2;
    bool operator==(const Fields&) const = default;
};

std::vector<Fields> fieldsOf(const MIDITrack& track)
{
    std::vector<Fields> fields;
    for (const MIDIEvent& e : track.events)
        fields.push_back({e.tick, e.status, e.data1, e.data2});
    return fields;
}

} // namespace

TEST(MIDIFileWriter, TheReaderReadsBackWhatWasWritten)
{
    MIDIData written(2, 480);
    written.tempos.emplace_back(0, 500000);
    written.tempos.emplace_back(1920, 400000);
    TimeSigEvent threeFour;
    threeFour.SetNumerator(3);
    threeFour.SetDenominator(4);
    threeFour.bytes[2] = 24;
    threeFour.bytes[3] = 8;
    written.timeSignatures.push_back(threeFour);
    KeySigEvent eFlatMinor;
    eFlatMinor.sharpsOrFlats = -6;
    eFlatMinor.minor = 1;
    written.keySignatures.push_back(eFlatMinor);
    // Every kind of channel message, on ticks that need one to four bytes of delta time.
    {
        MIDITrackProxy first(*written.Track(0));
        for (const MIDIEvent& e : {channelEvent(0, kControlChange, 0, 7, 100), channelEvent(0, kProgramChange, 0, 19),
                                   channelEvent(127, kNoteOn, 0, 60, 90), channelEvent(128, kKeyPressure, 0, 60, 30),
                                   channelEvent(16383, kChannelPressure, 0, 40), channelEvent(16384, kNoteOff, 0, 60),
                                   channelEvent(0x0FFFFFF, kPitchBend, 0, 0, 64)})
            first.Append(e);
    }
    {
        MIDITrackProxy second(*written.Track(1));
        second.Append(channelEvent(10, kNoteOn, 9, 36, 127));
        second.Append(channelEvent(20, kNoteOff, 9, 36));
        MIDIEvent noChannelMessage;
        noChannelMessage.status = 0xF0;
        second.Append(noChannelMessage);   // not a channel message: left out of the file
    }

    const auto read = readBack(StandardMIDIFileBytes(written, "drums & bass"));
    EXPECT_EQ(read->division, 480);
    ASSERT_EQ(read->TrackCount(), 2u);
    EXPECT_EQ(fieldsOf(*read->Track(0)), fieldsOf(*written.Track(0)));
    EXPECT_EQ(fieldsOf(*read->Track(1)), (std::vector<Fields>{{10, 0x99, 36, 127}, {20, 0x89, 36, 0}}));
    ASSERT_EQ(read->TempoCount(), 2u);
    EXPECT_EQ(read->tempos[1].tick, 1920u);
    EXPECT_EQ(read->tempos[1].tempo, 400000u);
    ASSERT_EQ(read->timeSignatures.size(), 1u);
    EXPECT_EQ(std::vector<uint8_t>(read->timeSignatures[0].bytes, read->timeSignatures[0].bytes + 4),
              (std::vector<uint8_t>{3, 2, 24, 8}));
    ASSERT_EQ(read->keySignatures.size(), 1u);
    EXPECT_EQ(read->keySignatures[0].sharpsOrFlats, -6);
    EXPECT_EQ(read->keySignatures[0].minor, 1);
}

// What the program plays for C maj7 with the default settings, byte for byte: the root on the
// root channel (1), the other tones on the chord channel (0), volumes as the device receives them.
TEST(MIDIFileWriter, WritesTheBlockChordOfCMaj7Exactly)
{
    const ChordToPlay cmaj7{{60, 64, 67, 71}, {"R", "3", "5", "7"}};
    const std::string expected = std::string("MThd\0\0\0\x06\0\0\0\x01\0\x78", 14) +
                                 std::string("MTrk\0\0\0\x53", 8) +
                                 std::string("\0\xFF\x03\x05" "Cmaj7", 9) +       // track name
                                 std::string("\0\xFF\x51\x03\x07\xA1\x20", 7) +    // 500000 us per quarter
                                 std::string("\0\xFF\x58\x04\x04\x02\x18\x08", 8) + // 4/4, 24 clocks, 8 32nds
                                 std::string("\0\xB1\x07\x53" "\0\xC1\x00", 7) +   // root channel: volume 83, piano
                                 std::string("\0\xB0\x07\x53" "\0\xC0\x00", 7) +   // chord channel
                                 std::string("\0\x91\x3C\x64" "\0\x90\x40\x64" "\0\x90\x43\x64" "\0\x90\x47\x64", 16) +
                                 std::string("\x83\x74\x81\x3C\0", 5) +             // 500 ticks later, all off
                                 std::string("\0\x80\x40\0" "\0\x80\x43\0" "\0\x80\x47\0", 12) +
                                 std::string("\0\x80\x47\0" "\0\x81\x47\0", 8) +    // the sequence's closing note-offs
                                 std::string("\0\xFF\x2F\0", 4);
    EXPECT_EQ(ChordMIDIFile(cmaj7, PlaybackSettings(), "Cmaj7"), expected);
    EXPECT_EQ(ChordMIDIFile({{}, {}}, PlaybackSettings(), "none"), "") << "no notes, no file";
}

TEST(MIDIFileWriter, AnArpeggioKeepsItsStaggerAndTheSettingsPrograms)
{
    PlaybackSettings settings;
    settings.arpeggio = true;
    settings.staggerMs = 100;   // 24 ticks
    settings.chordPatch = 24;
    settings.rootVolume = 120;
    const ChordToPlay shape{{std::nullopt, 48, 52, 55, std::nullopt, std::nullopt}, {"", "R", "3", "5", "", ""}};
    const auto read = readBack(ChordMIDIFile(shape, settings, "C"));
    std::vector<Fields> starts;
    for (const Fields& f : fieldsOf(*read->Track(0)))
        if ((f.status & 0xF0) == kNoteOn || (f.status & 0xF0) == kProgramChange || f.data1 == 7)
            starts.push_back(f);
    EXPECT_EQ(starts, (std::vector<Fields>{{0, 0xB1, 7, 100}, {0, 0xC1, 0, 0}, {0, 0xB0, 7, 83}, {0, 0xC0, 24, 0},
                                           {0, 0x91, 48, 100}, {24, 0x90, 52, 100}, {48, 0x90, 55, 100}}));
}
