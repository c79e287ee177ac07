// The voicing rules: which tones a voicing must sound, where its root lies, what a hand can hold.
#include "tools/voicings/VoicingRules.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> Maj7 = {"0100", "0304", "0507", "0711"};
const std::vector<std::string> Dom13 = {"0100", "0304", "0507", "0710", "0914", "1321"};
const std::vector<std::string> Dom11 = {"0100", "0304", "0507", "0710", "0914", "1117"};
const std::vector<std::string> Power = {"0100", "0507"};

// A small vocabulary with the chords of fewer tones that an 11th, a 13th, a 7b13 and
// 7add11 chord hold, linked as the generator and the checker link the shipped one.
std::vector<ChordShape> linkedVocabulary()
{
    std::vector<ChordShape> shapes{
        AnalyseChord("7no5", {"0100", "0304", "0710"}),
        AnalyseChord("7", {"0100", "0304", "0507", "0710"}),
        AnalyseChord("7sus", {"0100", "0405", "0507", "0710"}),
        AnalyseChord("7#5", {"0100", "0304", "0508", "0710"}),
        AnalyseChord("9sus", {"0100", "0405", "0507", "0710", "0914"}),
        AnalyseChord("7add11", {"0100", "0304", "0507", "0710", "1117"}),
        AnalyseChord("7add13", {"0100", "0304", "0507", "0710", "1321"}),
        AnalyseChord("7b13", {"0100", "0304", "0507", "0710", "1320"}),
        AnalyseChord("11", Dom11),
        AnalyseChord("13", Dom13),
    };
    LinkSmallerChords(shapes);
    return shapes;
}

const ChordShape& shapeNamed(const std::vector<ChordShape>& shapes, const std::string& name)
{
    return *std::find_if(shapes.begin(), shapes.end(), [&](const ChordShape& s) { return s.name == name; });
}

unsigned pitchClasses(std::initializer_list<int> relative)
{
    unsigned mask = 0;
    for (int pc : relative)
        mask |= 1u << pc;
    return mask;
}

std::vector<SoundingNote> piano(std::initializer_list<int> notes, int rootPc)
{
    std::vector<SoundingNote> result;
    for (int n : notes)
        result.push_back({n, PitchClassOf(n - rootPc) == 0, false});
    return result;
}

GuitarFrets frets(const char* six)
{
    GuitarFrets f{};
    for (int s = 0; s < 6; ++s)
        f[s] = six[s] == 'x' ? MutedString : six[s] >= 'a' ? six[s] - 'a' + 10 : six[s] - '0';
    return f;
}

TEST(ChordShape, OptionalTonesFollowHowPlayersLeaveThemOut)
{
    const ChordShape maj7 = AnalyseChord("maj7", Maj7);
    EXPECT_EQ(maj7.requiredMask, (1u << 4) | (1u << 11));  // the fifth may go
    const ChordShape dom13 = AnalyseChord("13", Dom13);
    EXPECT_EQ(dom13.requiredMask, (1u << 4) | (1u << 10) | (1u << 9));  // 9 implied by the 13
    EXPECT_TRUE(dom13.rootlessAllowed());
    const ChordShape dom11 = AnalyseChord("11", Dom11);
    EXPECT_TRUE(dom11.requiredMask >> 4 & 1u);  // the third always sounds: without it, a sus chord
    EXPECT_TRUE(AnalyseChord("7add11", {"0100", "0304", "0507", "0710", "1117"}).requiredMask >> 4 & 1u);
    EXPECT_EQ(AnalyseChord("5", Power).requiredMask, 1u << 7);  // a power chord needs its fifth
    EXPECT_FALSE(AnalyseChord("add9", {"0100", "0304", "0507", "0914"}).rootlessAllowed());
}

TEST(SmallerChords, AVoicingIsNamedByTheChordOfFewestTones)
{
    const std::vector<ChordShape> shapes = linkedVocabulary();
    struct HeldCase { const char* type; unsigned sounded; const char* holder; };  // holder nullptr: its own
    const HeldCase cases[] = {
        {"11", pitchClasses({0, 10, 5}), "7sus"},            // C Bb F is C7sus, not C11
        {"11", pitchClasses({0, 10, 2, 5}), "9sus"},         // without its third, a 9sus chord
        {"11", pitchClasses({0, 4, 10, 5}), "7add11"},       // without its ninth, 7add11
        {"11", pitchClasses({0, 4, 10, 2, 5}), nullptr},
        {"7", pitchClasses({0, 4, 10}), nullptr},            // the fifth may go: 7no5 is the same chord
        {"7b13", pitchClasses({0, 4, 8, 10}), "7#5"},        // b13 without the fifth is the #5
        {"7b13", pitchClasses({0, 4, 7, 8, 10}), nullptr},
        {"13", pitchClasses({4, 10, 9}), "7add13"},          // rootless too: 3 7 13 is 7add13
        {"13", pitchClasses({4, 10, 2, 9}), nullptr},
        {"7add11", pitchClasses({0, 10, 5}), "7sus"},        // an add chord keeps its third
    };
    for (const HeldCase& c : cases) {
        const SmallerChord* holder = SmallerChordHolding(shapeNamed(shapes, c.type), c.sounded);
        if (!c.holder)
            EXPECT_EQ(holder, nullptr) << c.type << " held by " << holder->name;
        else
            EXPECT_TRUE(holder && holder->name == c.holder) << c.type << " should be " << c.holder;
    }
    // Only chords of fewer tones count, and the form without the fifth is no other chord.
    for (const SmallerChord& smaller : shapeNamed(shapes, "7").smallerChords)
        EXPECT_NE(smaller.name, "7no5");
    EXPECT_TRUE(shapeNamed(shapes, "7no5").smallerChords.empty());
}

struct ToneCase {
    const char* what;
    std::vector<std::string> degrees;
    std::vector<SoundingNote> notes;
    RootPlacement placement;
    const char* fault;  // nullptr: sound
};

TEST(CheckTones, FindsEveryBrokenToneRule)
{
    const ToneCase cases[] = {
        {"C maj7 close", Maj7, piano({48, 52, 55, 59}, 0), {}, nullptr},
        {"fifth left out", Maj7, piano({48, 52, 59}, 0), {}, nullptr},
        {"a D in C maj7", Maj7, piano({48, 52, 55, 59, 62}, 0), {}, "D4 is not a tone of maj7"},
        {"no seventh", Maj7, piano({48, 52, 55}, 0), {}, "leaves out its 0711 tone"},
        {"inversion outside Close", Maj7, piano({52, 55, 59, 60}, 0), {}, "its lowest note E3 is not the root"},
        {"inversion in Close", Maj7, piano({52, 55, 59, 60}, 0), {true, false}, nullptr},
        {"rootless 13", Dom13, piano({52, 57, 58, 62}, 0), {false, true}, nullptr},
        {"rootless maj7", Maj7, piano({52, 55, 59}, 0), {false, true}, "leaves out the root"},
        {"root unmarked", Maj7, {{48, false, false}, {52, false, false}, {59, false, false}}, {}, "root C3 is not marked"},
        {"open root unmarked", Maj7, {{48, true, false}, {52, false, false}, {59, false, false}, {60, false, true}}, {}, nullptr},
        {"third marked", Maj7, {{48, true, false}, {52, true, false}, {59, false, false}}, {}, "E3 is marked but is no root"},
        {"unison", Maj7, piano({48, 52, 52, 59}, 0), {}, "E3 sounds twice"},
        {"11 shell", Dom11, piano({48, 58, 65}, 0), {}, "is a voicing of 7sus, a chord of fewer tones: store it there"},
        {"11 without third", Dom11, piano({48, 58, 62, 65}, 0), {}, "leaves out its 0304 tone"},
        {"full 11", Dom11, piano({48, 52, 58, 62, 65}, 0), {}, nullptr},
    };
    const std::vector<ChordShape> shapes = linkedVocabulary();
    for (const ToneCase& c : cases) {
        ChordShape shape = AnalyseChord("maj7", c.degrees);
        if (c.degrees == Dom11)
            shape = shapeNamed(shapes, "11");
        const auto faults = CheckTones(shape, 0, c.notes, c.placement);
        if (!c.fault)
            EXPECT_TRUE(faults.empty()) << c.what << ": " << (faults.empty() ? "" : faults[0]);
        else
            EXPECT_NE(std::find(faults.begin(), faults.end(), c.fault), faults.end()) << c.what;
    }
}

TEST(LowIntervals, EachInstrumentHasItsLimits)
{
    struct LowCase { std::vector<int> notes; bool piano; const char* fault; };  // fault nullptr: clear
    const LowCase cases[] = {
        {{48, 50}, true, "the major second C3-D3 lies below Eb3"},
        {{51, 53}, true, nullptr},
        {{51, 52}, true, "the minor second Eb3-E3 lies below E3"},
        {{45, 49}, true, "the major third A2-C#3 lies below Bb2"},
        {{46, 50, 53}, true, nullptr},
        {{43, 48}, true, "the fourth G2-C3 lies below Bb2"},
        {{46, 52}, true, "the tritone Bb2-E3 lies below B2"},
        {{34, 41}, true, nullptr},
        {{33, 40}, true, "the fifth A1-E2 lies below Bb1"},
        {{40, 50, 56}, true, nullptr},  // E2 D3 G#3: a seventh is free, the tritone sits at D3
        {{56, 40, 50}, true, nullptr},  // in any order
        {{48, 50}, false, nullptr},     // Csus2 x30033 on the guitar
        {{43, 45}, false, "the major second G2-A2 lies below C3"},
        {{43, 47}, false, nullptr},     // open G: G2 B2
        {{40, 43}, false, "the minor third E2-G2 lies below G2"},
    };
    for (const LowCase& c : cases) {
        const auto faults = CheckLowIntervals(c.notes, c.piano ? PianoLowIntervals() : GuitarLowIntervals());
        if (!c.fault)
            EXPECT_TRUE(faults.empty()) << c.notes[0] << ": " << faults.front();
        else
            EXPECT_EQ(faults, std::vector<std::string>{c.fault}) << c.notes[0];
    }
}

TEST(PianoCategory, CloseIsOneHandAndShellsSitLow)
{
    struct CategoryCase { const char* category; std::vector<int> notes; const char* fault; };
    const CategoryCase cases[] = {
        {"Close", {55, 59, 64, 65, 69}, nullptr},  // G13 in one hand: G3 B3 E4 F4 A4
        {"Close", {55, 59, 62, 65, 69, 76}, "Close voicing that one hand cannot hold (6 notes over 21 semitones)"},
        {"Close", {48, 52, 55, 58, 63}, "Close voicing that one hand cannot hold (5 notes over 15 semitones)"},
        {"Two hands", {36, 43, 64, 67, 71}, nullptr},
        {"Shell", {40, 50, 56}, nullptr},          // E2 D3 G#3
        {"Shell", {52, 62, 68}, "Shell voicing with its root E3 outside E2 to D#3"},
        {"Shell", {39, 49, 55}, "Shell voicing with its root Eb2 outside E2 to D#3"},
    };
    for (const CategoryCase& c : cases) {
        const auto faults = CheckPianoCategory(c.category, c.notes, PitchClassOf(c.notes.front()));
        if (!c.fault)
            EXPECT_TRUE(faults.empty()) << c.category << ": " << faults.front();
        else
            EXPECT_EQ(faults, std::vector<std::string>{c.fault}) << c.category;
    }
}

TEST(GuitarHand, CountsFingersWithBarres)
{
    struct HandCase { const char* frets; int fingers; bool barre; bool playable; };
    const HandCase cases[] = {
        {"x32010", 3, false, true},   // open C
        {"133211", 4, true, true},    // F barre: index across fret 1, three fingers above
        {"x13331", 4, true, true},    // Bb, A-form barre
        {"xx0211", 2, true, true},    // Dm7: index across the top two strings
        {"x3231x", 4, false, true},
        {"x32313", 5, false, false},  // five fretted notes with no barre
        {"1x1211", 5, false, false},  // a muted string under the "barre" at fret 1: not a barre
        {"3xxxx8", 2, false, false},  // five frets apart
        {"3xxxx7", 2, false, true},
    };
    for (const HandCase& c : cases) {
        const HandShape hand = DescribeHand(frets(c.frets));
        EXPECT_EQ(hand.fingers, c.fingers) << c.frets;
        EXPECT_EQ(hand.barre, c.barre) << c.frets;
        EXPECT_EQ(CheckGuitarHand(frets(c.frets)).empty(), c.playable) << c.frets;
    }
    GuitarFrets offBoard = frets("xxxxxx");
    offBoard[0] = 16;
    EXPECT_EQ(CheckGuitarHand(offBoard), std::vector<std::string>{"fret 16 is off the fretboard"});
    EXPECT_EQ(CheckGuitarHand(frets("xxxxxx")), std::vector<std::string>{"plays no string"});
}

TEST(GuitarCategory, FolkIsAtTheNutAndTheOthersAreMovable)
{
    struct CategoryCase { const char* category; const char* frets; int rootPc; const char* fault; };
    const CategoryCase cases[] = {
        {"FOLK", "x32010", 0, nullptr},
        {"FOLK", "133211", 5, nullptr},   // the first-fret F barre
        {"FOLK", "x24432", 11, nullptr},  // Bm, barred at the second fret
        {"FOLK", "x3233x", 0, "FOLK voicing with neither open strings nor a barre"},
        {"FOLK", "x35553", 0, "FOLK voicing above the fourth fret"},
        {"FOLK", "x02225", 9, "FOLK voicing above the fourth fret"},
        {"POP", "x32010", 0, "POP voicing with an open string"},
        {"JAZZ", "8x998x", 0, nullptr},
        {"JAZZ", "xx898a", 0, nullptr},   // rootless C9 on the top four strings: Bb E G D
        {"JAZZ", "ca87xx", 0, "rootless voicing with its bass on the low E string"},
        {"JAZZ", "x7xxba", 0, "rootless voicing that mutes two strings between its notes"},
        {"JAZZ", "8xx9xx", 0, nullptr},   // with its root, two muted strings are a shell's business
        {"Folk", "x32010", 0, "unknown guitar category 'Folk'"},  // headers match exactly
    };
    for (const CategoryCase& c : cases) {
        const auto faults = CheckGuitarCategory(c.category, frets(c.frets), c.rootPc);
        if (!c.fault)
            EXPECT_TRUE(faults.empty()) << c.frets << ": " << faults.front();
        else
            EXPECT_EQ(faults, std::vector<std::string>{c.fault}) << c.frets;
    }
}

TEST(GuitarNotes, MarksFrettedRootsOnly)
{
    const auto notes = GuitarNotes(frets("x32010"), 0);
    ASSERT_EQ(notes.size(), 5u);
    EXPECT_EQ(notes[0].midi, 48);
    EXPECT_TRUE(notes[0].marked);   // C on the A string
    EXPECT_FALSE(notes[2].marked);  // open G
    EXPECT_TRUE(notes[3].marked);   // C on the B string
    EXPECT_TRUE(GuitarNotes(frets("x02220"), 9)[0].open);  // open A root cannot carry the mark
}

}  // namespace
