// Heard notes on the instrument: piano keys moved by octaves into the keyboard, and guitar
// shapes a hand can fret that keep what the finder needs, the pitch classes.
#include "chords/HeardNotes.h"
#include "chords/Notes.h"
#include "chords/ReverseFinder.h"
#include "layout/Layout.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const InstrumentRange kRange{layout::FirstKey, layout::LastKey, layout::FretCount};

int code(int string, int fret) { return string * 256 + fret; }

std::set<int> pitchClasses(const std::set<int>& notes)
{
    std::set<int> classes;
    for (int note : notes)
        classes.insert(note % 12);
    return classes;
}

std::set<int> soundingOf(const std::set<int>& codes)
{
    std::set<int> notes;
    for (int c : codes)
        notes.insert(MarkSoundingNote(gtGuitar, c));
    return notes;
}

} // namespace

TEST(HeardNotes, PianoKeysAreTheNotesMovedByOctavesOntoTheKeyboard)
{
    const std::pair<int, int> cases[] = {{60, 60}, {36, 36}, {83, 83}, {24, 36}, {35, 47}, {84, 72}, {100, 76}, {0, 36}};
    for (const auto& [note, key] : cases)
        EXPECT_EQ(PianoCodeForNote(note, kRange), key) << note;
    EXPECT_EQ(MarkCodesForNotes(gtPiano, {24, 36, 60, 64}, kRange), (std::set<int>{36, 60, 64}));
}

TEST(HeardNotes, GuitarShapesAGuitaristWouldFret)
{
    struct Case {
        const char* what;
        std::set<int> notes;
        std::set<int> codes;
    };
    const Case cases[] = {
        {"the low E is the open string", {40}, {code(0, 0)}},
        {"open E major, all six strings", {40, 47, 52, 56, 59, 64},
         {code(0, 0), code(1, 2), code(2, 2), code(3, 1), code(4, 0), code(5, 0)}},
        {"C major on the top strings, the hand within three frets", {60, 64, 67}, {code(3, 5), code(4, 5), code(5, 3)}},
        {"Am7 from A3: lower notes on lower strings", {57, 60, 64, 67},
         {code(2, 7), code(3, 5), code(4, 5), code(5, 3)}},
        {"a note below the guitar sounds an octave up, nearest the nut", {24}, {code(1, 3)}},
        {"E2 and F2 share the low string: F moves up an octave", {40, 41}, {code(0, 0), code(1, 8)}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GuitarCodesForNotes(c.notes, kRange), c.codes) << c.what;
}

// Whatever is played, the marks hold one position per string within the fretboard, the hand
// within four frets where a shape allows it, and every pitch class heard while there are at
// most six; with more notes octave doublings give way first and the bass stays.
TEST(HeardNotes, GuitarShapesKeepThePitchClassesOnePerStringWithinReach)
{
    struct Case {
        std::set<int> notes;
        int widestStretch;
    };
    const Case cases[] = {
        {{60, 64, 67, 69}, 4},                 // C6 from the piano
        {{48, 52, 55, 59, 62, 65}, 4},         // six pitch classes
        {{36, 48, 60, 64, 67, 72, 76}, 4},     // doubled C and E, far apart
        {{40, 45, 48, 52, 55, 60, 64, 67}, 4}, // eight notes, four pitch classes
        {{90, 95, 100}, 4},                    // far above the fretboard
        {{41, 42}, 4},                         // a semitone on the low string
        {{60, 61, 62, 63, 64, 65}, 7},         // six semitones in a row: no hand holds them within four frets
    };
    for (const auto& [notes, widestStretch] : cases) {
        const std::set<int> codes = MarkCodesForNotes(gtGuitar, notes, kRange);
        std::set<int> strings;
        int lowestFret = 99, highestFret = 0;
        for (int c : codes) {
            EXPECT_TRUE(strings.insert(c / 256).second) << "two marks on string " << c / 256;
            EXPECT_GE(c % 256, 0);
            EXPECT_LT(c % 256, layout::FretCount);
            if (c % 256 > 0) {
                lowestFret = std::min(lowestFret, c % 256);
                highestFret = std::max(highestFret, c % 256);
            }
        }
        EXPECT_LE(highestFret - lowestFret, widestStretch) << "a stretch no hand makes, " << codes.size() << " notes";
        const std::set<int> sounding = soundingOf(codes);
        if (pitchClasses(notes).size() <= 6) {
            EXPECT_EQ(pitchClasses(sounding), pitchClasses(notes));
        }
        EXPECT_EQ(*sounding.begin() % 12, *notes.begin() % 12) << "the bass is kept";
    }
}
