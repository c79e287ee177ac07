#include "chords/Notes.h"
#include "tests/chords/ChordFixture.h"

namespace {

struct ChordCase {
    const char* root;
    std::vector<std::string> codes;
    std::vector<int> notes;
    std::vector<std::string> names;
    std::vector<std::string> labels;
};

// A book whose only chord type "t" has the given codes.
struct OneTypeBook {
    ChordBook book;
    explicit OneTypeBook(std::vector<std::string> codes) { book.ChordTypes["t"].degrees = std::move(codes); }
    TChordVariation calculate(const char* root) const { return CalculateChord(book, "t", FindRoot(root)); }
};

}  // namespace

TEST(CalculateChord, SpellsByDegreeNotByPitch)
{
    const ChordCase cases[] = {
        {"C", {"0100", "0304", "0507", "0711"}, {60, 64, 67, 71}, {"C", "E", "G", "B"}, {"R", "3", "5", "7"}},
        {"A#", {"0100", "0304", "0507"}, {58, 62, 65}, {"A#", "C##", "E#"}, {"R", "3", "5"}},
        {"Bb", {"0100", "0304", "0507"}, {58, 62, 65}, {"Bb", "D", "F"}, {"R", "3", "5"}},
        {"Gb", {"0100", "0303", "0506", "0709"}, {54, 57, 60, 63}, {"Gb", "Bbb", "Dbb", "Fbb"}, {"R", "b3", "b5", "o7"}},
        {"D",
         {"0100", "0304", "0507", "0710", "0914", "1321"},
         {50, 54, 57, 60, 64, 71},
         {"D", "F#", "A", "C", "E", "B"},
         {"R", "3", "5", "b7", "9", "13"}},
        // Root notes lie between C# (49) and C (60); the letter wraps past B.
        {"C#", {"0100", "0304"}, {49, 53}, {"C#", "E#"}, {"R", "3"}},
        {"B", {"0100", "0304"}, {59, 63}, {"B", "D#"}, {"R", "3"}},
        {"A#", {"0711", "1118"}, {69, 76}, {"G##", "D##"}, {"7", "#11"}},
        {"Db", {"0709"}, {58}, {"Cbb"}, {"o7"}},
        {"C", {"1117", "0203"}, {77, 63}, {"F", "D#"}, {"11", ""}},  // unlabelled code that fits its letter
        {"C", {"0000"}, {60}, {"B#"}, {""}},                         // degree 00 is the letter below the root
        {"C", {"03045"}, {64}, {"E"}, {""}},  // the numbers come from the first four characters, the label from all
    };
    for (const ChordCase& c : cases) {
        OneTypeBook chord(c.codes);
        const TChordVariation result = chord.calculate(c.root);
        EXPECT_EQ(result.notes, c.notes) << c.root << " " << c.codes[0];
        EXPECT_EQ(result.noteNames, c.names) << c.root << " " << c.codes[0];
        EXPECT_EQ(result.degreeLabels, c.labels) << c.root << " " << c.codes[0];
        EXPECT_EQ(result.colours, std::vector<long>(c.codes.size(), 0));
    }
}

TEST(CalculateChord, ColoursComeFromDegreeCodeKeys)
{
    OneTypeBook chord({"0100", "0304", "0507"});
    chord.book.ColourMap = {{"0304", 255}, {"DefaultPiano", 7}};
    EXPECT_EQ(chord.calculate("C").colours, (std::vector<long>{0, 255, 0}));
}

TEST(CalculateChord, Failures)
{
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{}, "invalid chord type: t"},
        {{"0100", "0301"}, "Internal error: calculate chord, fd>2!"},
        {{"9900"}, "Internal error: calculate chord, fd>2!"},
        {{"0x04"}, "'0x04' is not a valid integer value"},
        {{"03 4"}, "'03 4' is not a valid integer value"},
        {{" 0304"}, "' 0304' is not a valid integer value"},
        {{"-104"}, "'-104' is not a valid integer value"},
        {{"030"}, "'030' is not a valid integer value"},
        {{""}, "'' is not a valid integer value"},
    };
    for (const auto& [codes, message] : cases) {
        OneTypeBook chord(codes);
        EXPECT_EQ(chordErrorOf([&] { chord.calculate("C"); }), message);
    }
    OneTypeBook chord({"0100"});
    EXPECT_EQ(chordErrorOf([&] { CalculateChord(chord.book, "T", 16); }), "invalid chord type: T");
    EXPECT_EQ(chordErrorOf([&] { CalculateChord(chord.book, "absent", 16); }), "invalid chord type: absent");
    EXPECT_TRUE(chord.book.ChordTypes.count("absent") == 0);
    EXPECT_NE(chordErrorOf([&] { CalculateChord(chord.book, "t", 17); }), "");
}
