// Chord playback through the player into a recording device: exact messages and order of
// block chords, arpeggios, guitar variations, the root note and the finder note.
#include "PlayerFixture.h"

#include "midi/Tmidicontent.h"

#include <algorithm>

namespace {

struct Note {
    uint32_t tick;
    uint32_t message;
    bool operator==(const Note&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Note& n)
{
    return out << "{" << n.tick << ", 0x" << std::hex << n.message << std::dec << "}";
}

std::vector<Note> contentOf(const TMIDIContent& content)
{
    std::vector<Note> notes;
    for (const MIDIEvent& e : content.Data().Track(0)->events)
        notes.push_back({e.tick, e.Pack()});
    return notes;
}

uint32_t on(uint8_t channel, unsigned key) { return 0x640090u | channel | key << 8; }
uint32_t off(uint8_t channel, unsigned key) { return 0x80u | channel | key << 8; }

const ChordToPlay kCMajor{{60, 64, 67}, {"R", "3", "5"}};

// Ten times the content's tempo: a chord's 500 ticks last 208 ms instead of 2083, for tests
// that wait for a sequence to end but do not check how long its notes are.
void shortenNotes(TMIDIContent& content)
{
    content.Data().tempos[0].tempo = 50000;
}

class PlaybackContentTest : public PlayerTest {
protected:
    TMIDIContent content;
    PlaybackSettings settings; // volumes 100, patches 0
};

TEST_F(PlaybackContentTest, FixedTempoAndTimeSignature)
{
    const MIDIData& data = content.Data();
    EXPECT_EQ(data.division, 120);
    ASSERT_EQ(data.TempoCount(), 1u);
    EXPECT_EQ(data.tempos[0].tempo, 500000u);
    ASSERT_EQ(data.timeSignatures.size(), 1u);
    EXPECT_EQ(data.timeSignatures[0].bytes[0], 4);
    EXPECT_EQ(data.timeSignatures[0].bytes[1], 2);
    EXPECT_TRUE(data.keySignatures.empty());
    EXPECT_EQ(data.TrackCount(), 1u);
}

TEST_F(PlaybackContentTest, EventMakersMaskTheirBytes)
{
    EXPECT_EQ(MakeControlChange(3, 1, 7, 200).Pack(), 0x4807B1u);
    EXPECT_EQ(MakeProgramChange(0, 0, 130).Pack(), 0x02C0u);
    EXPECT_EQ(MakeNote(0, 1, 60, 0).status, 0x81);
    EXPECT_EQ(MakeNote(9, 0, 60, 100).Pack(), 0x643C90u);
    EXPECT_EQ(MakeNote(9, 0, 60, 100).tick, 9u);
}

TEST_F(PlaybackContentTest, BlockChordPlaysScaledVolumesNotesAndClosingNoteOffs)
{
    settings.rootPatch = 5;
    settings.chordPatch = 10;
    const double start = TimerService::PreciseNowMs();
    PlayChord(_player, content, kCMajor, settings);
    // Everything but the last closing note-off, which ends the sequence unsent.
    const std::vector<uint32_t> expected = {
        0x5307B1, 0x05C1, 0x5307B0, 0x0AC0,           // volume 100 -> 83, programs
        on(1, 60), on(0, 64), on(0, 67),             // the root on the root channel
        off(1, 60), off(0, 64), off(0, 67), off(0, 67)};
    ASSERT_TRUE(probe.waitForPosts(1, 4000));
    EXPECT_EQ(sentMessages(*devices), expected);
    expectOnTime(sentRecords(*devices), {0, 0, 0, 0, 0, 0, 0, 500, 500, 500, 500}, start);
}

TEST_F(PlaybackContentTest, ArpeggioStaggersNotesAndSendsThemInOrder)
{
    settings.arpeggio = true;
    settings.staggerMs = 100; // 24 ticks
    const double start = TimerService::PreciseNowMs();
    PlayChord(_player, content, kCMajor, settings);
    EXPECT_EQ(contentOf(content),
              (std::vector<Note>{{0, 0x6407B1}, {0, 0xC1}, {0, 0x6407B0}, {0, 0xC0},
                                 {0, on(1, 60)}, {24, on(0, 64)}, {48, on(0, 67)},
                                 {500, off(1, 60)}, {524, off(0, 64)}, {548, off(0, 67)},
                                 {572, off(0, 67)}, {572, off(1, 67)}}));
    ASSERT_TRUE(probe.waitForPosts(1, 4000));
    expectOnTime(sentRecords(*devices), {0, 0, 0, 0, 0, 24, 48, 500, 524, 548, 572}, start);
}

TEST_F(PlaybackContentTest, StaggerInTicks)
{
    struct Case { bool arpeggio; int ms; uint32_t secondNoteTick; };
    const Case cases[] = {{true, 100, 24}, {true, 30, 7}, {true, 1000, 240}, {true, 0, 0},
                          {false, 500, 0}};
    for (const Case& c : cases) {
        settings.arpeggio = c.arpeggio;
        settings.staggerMs = c.ms;
        PlayChord(_player, content, kCMajor, settings);
        player->Stop();
        const auto notes = contentOf(content);
        ASSERT_EQ(notes.size(), 12u);
        EXPECT_EQ(notes[5].tick, c.secondNoteTick) << c.ms;
        EXPECT_EQ(notes.back().tick, 2 * c.secondNoteTick + c.secondNoteTick + 500) << c.ms;
    }
}

TEST_F(PlaybackContentTest, GuitarVariationSkipsUnplayedStringsWithoutAGap)
{
    settings.arpeggio = true;
    settings.staggerMs = 100;
    // Open C: x32010, roots on the A and B strings.
    const ChordToPlay openC{{std::nullopt, 48, 52, 55, 60, 64}, {"", "R", "3", "5", "R", "3"}};
    PlayChord(_player, content, openC, settings);
    player->Stop();
    std::vector<Note> ons;
    for (const Note& n : contentOf(content))
        if ((n.message & 0xF0) == 0x90)
            ons.push_back(n);
    EXPECT_EQ(ons, (std::vector<Note>{{0, on(1, 48)}, {24, on(0, 52)}, {48, on(0, 55)},
                                      {72, on(1, 60)}, {96, on(0, 64)}}));
    EXPECT_EQ(contentOf(content).back(), (Note{120 + 500, off(1, 64)}));

}

TEST_F(PlaybackContentTest, AllUnplayedVariationSendsControlsAndOneClosingNoteOff)
{
    shortenNotes(content);
    PlayChord(_player, content, ChordToPlay{{std::nullopt, std::nullopt}, {"", ""}}, settings);
    ASSERT_TRUE(probe.waitForPosts(1, 4000));
    EXPECT_EQ(sentMessages(*devices), (std::vector<uint32_t>{0x5307B1, 0xC1, 0x5307B0, 0xC0, off(0, 0)}));
}

TEST_F(PlaybackContentTest, InstrumentListWithoutSelectionPlaysTheFirstProgram)
{
    settings.rootPatch = -1;
    settings.chordPatch = -1;
    PlayChord(_player, content, kCMajor, settings);
    player->Stop();
    const auto notes = contentOf(content);
    EXPECT_EQ(notes[1], (Note{0, 0xC1}));
    EXPECT_EQ(notes[3], (Note{0, 0xC0}));
}

TEST_F(PlaybackContentTest, ChordWithoutNotesPlaysNothing)
{
    PlayChord(_player, content, ChordToPlay{}, settings);
    sleepMs(30);
    EXPECT_TRUE(devices->Messages().empty());
}

TEST_F(PlaybackContentTest, RootNoteSoundsFor128Ticks)
{
    settings.rootPatch = 33;
    settings.rootVolume = 120;
    const double start = TimerService::PreciseNowMs();
    PlayRootNote(_player, content, 9, settings); // A
    EXPECT_EQ(contentOf(content), (std::vector<Note>{{0, 0x7807B1}, {0, 0x21C1}, {0, on(1, 45)},
                                                      {128, off(1, 45)}, {129, off(1, 45)}}));
    ASSERT_TRUE(probe.waitForPosts(1, 3000));
    EXPECT_EQ(sentMessages(*devices), (std::vector<uint32_t>{0x6407B1, 0x21C1, on(1, 45), off(1, 45)}));
    expectOnTime(sentRecords(*devices), {0, 0, 0, 128}, start);
}

TEST_F(PlaybackContentTest, FinderNoteUsesTheUnscaledVolumeAndStopsAfter600Ms)
{
    settings.rootPatch = 2;
    SoundFinderNote(_player, 64, settings);
    ASSERT_TRUE(waitForSent(*devices, 4, 2000));
    const auto messages = sentRecords(*devices);
    EXPECT_EQ(messages[0].message, 0x6407B1u); // volume 100, as set
    EXPECT_EQ(messages[1].message, 0x02C1u);
    EXPECT_EQ(messages[2].message, 0x504091u); // velocity 80
    EXPECT_EQ(messages[3].message, off(1, 64));
    const double held = messages[3].timeMs - messages[2].timeMs;
    EXPECT_GE(held, 599.9);
    EXPECT_LT(held, 600.0 + kTimingSlackMs);
}

TEST_F(PlaybackContentTest, FinderNoteDoesNotStopAPlayingChord)
{
    shortenNotes(content);
    PlayChord(_player, content, kCMajor, settings);
    ASSERT_TRUE(waitForSent(*devices, 7, 2000));
    SoundFinderNote(_player, 72, settings);
    ASSERT_TRUE(probe.waitForPosts(1, 4000));
    ASSERT_TRUE(waitForSent(*devices, 15, 2000));   // the chord's 11 messages and the finder note's 4
    const auto sent = sentMessages(*devices);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), off(0, 64)), 1); // the chord went on
    EXPECT_EQ(std::count(sent.begin(), sent.end(), off(1, 72)), 1);
}

} // namespace
