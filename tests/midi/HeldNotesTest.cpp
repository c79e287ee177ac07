// The held-notes tracker: each case plays a few messages and checks the marks after each.
#include "midi/HeldNotes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

uint32_t on(int note, int channel = 0) { return 0x90u | channel | note << 8 | 100 << 16; }
uint32_t off(int note, int channel = 0) { return 0x80u | channel | note << 8; }
uint32_t onZero(int note) { return 0x90u | note << 8; } // a note-on with velocity 0 is a note-off
uint32_t pedal(bool down, int channel = 0) { return 0xB0u | channel | 64 << 8 | (down ? 127 : 0) << 16; }
uint32_t allOff(int channel = 0) { return 0xB0u | channel | 123 << 8; }

struct Step {
    uint32_t message;
    double timeMs;
    std::set<int> marks;
};

struct Case {
    const char* what;
    std::vector<Step> steps;
    unsigned chords;
};

const Case kCases[] = {
    {"marks follow the keys pressed",
     {{on(60), 0, {60}}, {on(64), 5, {60, 64}}, {on(67), 9, {60, 64, 67}}},
     1},
    {"a chord let go key by key keeps its marks",
     {{on(60), 0, {60}}, {on(64), 0, {60, 64}}, {on(67), 0, {60, 64, 67}},
      {off(67), 1000, {60, 64}}, {off(60), 1040, {64}}, {off(64), 1090, {60, 64, 67}}},
     1},
    {"a key lifted on its own loses its mark; the rest let go later keep theirs",
     {{on(60), 0, {60}}, {on(64), 0, {60, 64}}, {on(67), 0, {60, 64, 67}},
      {off(67), 500, {60, 64}}, {off(60), 2000, {64}}, {onZero(64), 2050, {60, 64}}},
     1},
    {"after all keys are up the next note starts a new chord",
     {{on(60), 0, {60}}, {off(60), 100, {60}}, {on(62), 900, {62}}, {on(65), 910, {62, 65}}},
     2},
    {"changing one note of a held chord",
     {{on(60), 0, {60}}, {on(64), 0, {60, 64}}, {on(67), 0, {60, 64, 67}},
      {off(64), 300, {60, 67}}, {on(63), 320, {60, 63, 67}}},
     1},
    {"the pedal keeps released keys sounding, and their marks",
     {{pedal(true), 0, {}}, {on(60), 10, {60}}, {on(64), 10, {60, 64}}, {off(60), 200, {60, 64}},
      {off(64), 210, {60, 64}}, {on(67), 400, {60, 64, 67}}, {pedal(false), 600, {67}}},
     1},
    {"lifting the pedal with no key held keeps the chord it sustained",
     {{pedal(true), 0, {}}, {on(57), 10, {57}}, {on(60), 10, {57, 60}}, {off(57), 50, {57, 60}},
      {off(60), 50, {57, 60}}, {pedal(false), 900, {57, 60}}, {on(62), 2000, {62}}},
     2},
    {"a key struck again under the pedal stays when the pedal lifts",
     {{on(60), 0, {60}}, {pedal(true), 5, {60}}, {off(60), 10, {60}}, {on(60), 20, {60}},
      {pedal(false), 30, {60}}},
     1},
    {"the pedal of another channel does not hold this channel's keys",
     {{pedal(true, 1), 0, {}}, {on(60), 0, {60}}, {on(64), 0, {60, 64}}, {off(64), 500, {60}}},
     1},
    {"the same note on two channels needs both released",
     {{on(60, 0), 0, {60}}, {on(60, 1), 0, {60}}, {on(64), 0, {60, 64}}, {off(60, 0), 500, {60, 64}},
      {off(64), 1000, {60}}},
     1},
    {"all notes off ends every note of its channel",
     {{on(60), 0, {60}}, {on(64), 0, {60, 64}}, {allOff(), 50, {60, 64}}, {on(62), 60, {62}}},
     2},
    {"a note-off for a key not held and other messages change nothing",
     {{off(60), 0, {}}, {0xC0u | 5 << 8, 0, {}}, {0xB0u | 7 << 8 | 100 << 16, 0, {}}, {on(60), 1, {60}}},
     1},
};

TEST(HeldNotesTest, MarksFollowTheKeysAndKeepTheChordWhenAllAreUp)
{
    for (const Case& c : kCases) {
        HeldNotes notes;
        std::set<int> previous;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            const bool changed = notes.Feed(step.message, step.timeMs);
            EXPECT_EQ(notes.Marks(), step.marks) << c.what << ", step " << i;
            EXPECT_EQ(changed, step.marks != previous) << c.what << ", step " << i;
            previous = step.marks;
        }
        EXPECT_EQ(notes.ChordsStarted(), c.chords) << c.what;
    }
}

TEST(HeldNotesTest, SoundingTellsWhetherAnyKeyOrPedalHoldsANote)
{
    HeldNotes notes;
    EXPECT_FALSE(notes.Sounding());
    notes.Feed(pedal(true), 0);
    notes.Feed(on(60), 0);
    notes.Feed(off(60), 10);
    EXPECT_TRUE(notes.Sounding());
    notes.Feed(pedal(false), 20);
    EXPECT_FALSE(notes.Sounding());
    EXPECT_EQ(notes.Marks(), std::set<int>{60});
}

} // namespace
