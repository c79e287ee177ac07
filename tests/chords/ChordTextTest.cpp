// Text forms of pitches, marks and chords, and UTF-8 at the program's edges.
#include "base/Utf8.h"
#include "chords/ChordText.h"

#include <gtest/gtest.h>

TEST(PitchNames, ParseScientificNamesWithMiddleCAsC4)
{
    struct Case {
        const char* text;
        std::optional<int> note;
    };
    const Case cases[] = {
        {"C4", 60},  {"c4", 60},   {"A4", 69},  {"C#4", 61},  {"Db4", 61}, {"bb3", 58},  {"B#3", 60},
        {"Cb4", 59}, {"C##4", 62}, {"C-1", 0},  {"G9", 127},  {"E10", {}}, {"G#9", {}}, {"Cb-1", {}},
        {"H4", {}},  {"C", {}},    {"C#b4", {}}, {"C###4", {}}, {"C4x", {}}, {"", {}},     {"4", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParsePitchName(c.text), c.note) << c.text;
}

TEST(PitchNames, FormatKeepsTheLetterOfTheSpellingAndItsOctave)
{
    EXPECT_EQ(PitchName("C", 60), "C4");
    EXPECT_EQ(PitchName("B#", 60), "B#3");
    EXPECT_EQ(PitchName("Cb", 59), "Cb4");
    EXPECT_EQ(PitchName("Fbb", 51), "Fbb3");
    EXPECT_EQ(PitchName("", 61), "C#4") << "an unspelled note takes the plain name";
    for (int note = 0; note < 128; ++note)
        EXPECT_EQ(ParsePitchName(PitchName("", note)), note);
}

TEST(FinderMarks, ParseNumbersNamesAndStringFretWithKnownLabels)
{
    struct Case {
        const char* text;
        GameType game;
        int code;
        const char* label;
        const char* error;
    };
    const Case cases[] = {
        {"60", gtPiano, 60, "", ""},
        {"Eb3=b3", gtPiano, 51, "b3", ""},
        {"c4=R", gtPiano, 60, "R", ""},
        {"1/3", gtGuitar, 256 + 3, "", ""},
        {"5/24=#11", gtGuitar, 5 * 256 + 24, "#11", ""},
        {"60=", gtPiano, -1, "", "mark '60=': no degree label after '='"},
        {"60=r", gtPiano, -1, "", "mark '60=r': unknown degree label 'r'"},
        {"-1", gtPiano, -1, "", "mark '-1': not a MIDI note (0 to 127) or a note name such as C4"},
        {"C4", gtGuitar, -1, "", "mark 'C4': not STRING/FRET (string 0 to 5 from the low E, fret 0 to 24)"},
        {"1/25", gtGuitar, -1, "", "mark '1/25': not STRING/FRET (string 0 to 5 from the low E, fret 0 to 24)"},
        {"1/", gtGuitar, -1, "", "mark '1/': not STRING/FRET (string 0 to 5 from the low E, fret 0 to 24)"},
    };
    for (const Case& c : cases) {
        const ParsedMark mark = ParseMark(c.text, c.game);
        EXPECT_EQ(mark.code, c.code) << c.text;
        if (!*c.error) {
            EXPECT_EQ(mark.label, c.label) << c.text;
        }
        EXPECT_EQ(mark.error, c.error) << c.text;
    }
}

TEST(ChordText, FretStringsAndTheClipboardText)
{
    const TChordVariation open{{UnplayedString, -3, 2, 0, -1, 0}, {}, {"", "R", "3", "5", "R", "3"},
                               {"", "C", "E", "G", "C", "E"}};
    const TChordVariation high{{UnplayedString, 10, 12, 12, 12, UnplayedString}, {}, {}, {}};
    EXPECT_EQ(FretString(open), "x32010");
    EXPECT_EQ(FretString(high), "x-10-12-12-12-x");

    const TChordVariation cmaj7{{60, 64, 67, 71}, {}, {"R", "3", "5", "7"}, {"C", "E", "G", "B"}};
    const TChordVariation drop2{{-48, 55, 59, 64}, {}, {"R", "5", "7", "3"}, {"C", "G", "B", "E"}};
    EXPECT_EQ(ChordAsText({"Cmaj7", &cmaj7, &drop2, gtPiano}),
              "Cmaj7\nNotes: C E G B\nDegrees: R 3 5 7\nVoicing: C3 G3 B3 E4\n");
    const TChordVariation cmaj{{60, 64, 67}, {}, {"R", "3", "5"}, {"C", "E", "G"}};
    EXPECT_EQ(ChordAsText({"Cmaj", &cmaj, &open, gtGuitar}), "Cmaj\nNotes: C E G\nDegrees: R 3 5\nVoicing: x32010\n");
    EXPECT_EQ(ChordAsText({"Cmaj", &cmaj, nullptr, gtGuitar}), "Cmaj\nNotes: C E G\nDegrees: R 3 5\n");
    EXPECT_TRUE(IsRootTone(open, 1) && IsRootTone(open, 4) && !IsRootTone(open, 2));
    EXPECT_TRUE(IsRootTone(cmaj, 0)) << "a calculated chord's root is labelled, not marked";
}

TEST(ValidUtf8, KeepsUtf8AndTakesOtherBytesAsLatin1)
{
    struct Case {
        std::string in, out;
    };
    const Case cases[] = {
        {"maj7", "maj7"},
        {"\xc3\xb8" "7", "\xc3\xb8" "7"},                       // ø7 as written
        {"\xce\x94" "7", "\xce\x94" "7"},                       // Δ7
        {"\xf0\x9d\x84\x9e", "\xf0\x9d\x84\x9e"},               // a four-byte character
        {"Caf\xe9", "Caf\xc3\xa9"},                             // Latin-1 é
        {"\xc3", "\xc3\x83"},                                   // a sequence cut short
        {"\xc0\xaf", "\xc3\x80\xc2\xaf"},                       // an overlong "/"
        {"\xed\xa0\x80", "\xc3\xad\xc2\xa0\xc2\x80"},           // a surrogate
    };
    for (const Case& c : cases)
        EXPECT_EQ(ValidUtf8(c.in), c.out) << c.in;
}
