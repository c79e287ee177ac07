// The voicing rules: which tones a voicing must sound, where its root lies, what a hand can hold.
#include "tools/voicings/VoicingRules.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> Maj7 = {"0100", "0304", "0507", "0711"};
const std::vector<std::string> Dom13 = {"0100", "0304", "0507", "0710", "0914", "1321"};
const std::vector<std::string> Dom11 = {"0100", "0304", "0507", "0710", "0914", "1117"};
const std::vector<std::string> Power = {"0100", "0507"};

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
    EXPECT_FALSE(dom11.requiredMask >> 4 & 1u);  // the 11th replaces the third
    EXPECT_TRUE(AnalyseChord("add11", {"0100", "0304", "0507", "1117"}).requiredMask >> 4 & 1u);
    EXPECT_EQ(AnalyseChord("5", Power).requiredMask, 1u << 7);  // a power chord needs its fifth
    EXPECT_FALSE(AnalyseChord("add9", {"0100", "0304", "0507", "0914"}).rootlessAllowed());
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
    };
    for (const ToneCase& c : cases) {
        const auto faults = CheckTones(AnalyseChord("maj7", c.degrees), 0, c.notes, c.placement);
        if (!c.fault)
            EXPECT_TRUE(faults.empty()) << c.what << ": " << (faults.empty() ? "" : faults[0]);
        else
            EXPECT_NE(std::find(faults.begin(), faults.end(), c.fault), faults.end()) << c.what;
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

TEST(GuitarCategory, FolkIsOpenPositionAndTheOthersAreMovable)
{
    EXPECT_TRUE(CheckGuitarCategory("FOLK", frets("x32010")).empty());
    EXPECT_TRUE(CheckGuitarCategory("FOLK", frets("133211")).empty());     // the first-fret F barre
    EXPECT_FALSE(CheckGuitarCategory("FOLK", frets("x35553")).empty());    // no open string, third fret
    EXPECT_FALSE(CheckGuitarCategory("FOLK", frets("x02225")).empty());    // above the fourth fret
    EXPECT_FALSE(CheckGuitarCategory("POP", frets("x32010")).empty());
    EXPECT_TRUE(CheckGuitarCategory("JAZZ", frets("8x998x")).empty());
    EXPECT_FALSE(CheckGuitarCategory("Folk", frets("x32010")).empty());    // headers match exactly
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
