// The finder on the shipped chord data, with and without "Name chords from the lowest note":
// what a musician expects first for chords played with a given note in the bass.
#include "chords/ChordButtons.h"
#include "chords/Notes.h"
#include "chords/ReverseFinder.h"
#include "layout/Layout.h"
#include "tests/chords/ChordFixture.h"

namespace {

const ChordBook& shippedPiano()
{
    static const ChordBook book = LoadChordDefinitions(TONVERA_DATA_DIR, gtPiano);
    return book;
}

FinderResult find(const std::vector<int>& notes, int mode, bool nameFromBass)
{
    const ChordBook& book = shippedPiano();
    FinderQuery query;
    for (int note : notes)
        query.marks[note] = "";
    query.mode = mode;
    query.typeFilter = AllButtonsFilter(layout::ChordTypeButtons, book.ListMembers);
    query.nameFromBass = nameFromBass;
    return ReverseFind(book, query);
}

std::string firstLine(const std::vector<int>& notes, int mode, bool nameFromBass)
{
    const FinderResult found = find(notes, mode, nameFromBass);
    return found.list.Lines.empty() ? "" : found.list.Lines.front();
}

}  // namespace

TEST(BassFinder, FirstAnswerWithAndWithoutTheBassRule)
{
    struct Case {
        const char* played;        // lowest note first
        std::vector<int> notes;
        const char* withBass;
        const char* plain;         // fewest tones, then the chords file's order
    };
    const Case cases[] = {
        {"C E G A", {60, 64, 67, 69}, "Cmaj6 ", "Am7 "},
        {"A C E G", {57, 60, 64, 67}, "Am7 ", "Am7 "},
        {"B D F A", {59, 62, 65, 69}, "Bm7b5 ", "Dm6 "},
        {"D F A B", {62, 65, 69, 71}, "Dm6 ", "Dm6 "},
        {"C D G", {60, 62, 67}, "C2 ", "Gsus "},
        {"G C D", {55, 60, 62}, "Gsus ", "Gsus "},
        {"E G C", {64, 67, 72}, "Cmaj/E ", "Cmaj "},
        {"F# A C E", {54, 57, 60, 64}, "F#m7b5 ", "Am6 "},
        {"G B D F", {55, 59, 62, 65}, "G7 ", "G7 "},
        {"E G# B D F", {52, 56, 59, 62, 65}, "E7b9 ", "E7b9 "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(firstLine(c.notes, 0, true), c.withBass) << c.played;
        EXPECT_EQ(firstLine(c.notes, 0, false), c.plain) << c.played;
    }
}

TEST(BassFinder, SlashLinesKeepTheirChord)
{
    const FinderResult found = find({64, 67, 72}, 0, true);
    ASSERT_FALSE(found.list.Sources.empty());
    ASSERT_EQ(found.list.Sources.size(), found.list.Lines.size());
    EXPECT_EQ(RootTable[found.list.Sources[0].root].name, "C");
    EXPECT_EQ(found.list.Sources[0].type, "maj");
    EXPECT_EQ(found.list.Sources[0].bass, "E");
    // Without the rule no line names a bass.
    for (const std::string& line : find({64, 67, 72}, 0, false).list.Lines)
        EXPECT_EQ(line.find('/'), std::string::npos) << line;
}

TEST(BassFinder, AStoredVoicingIsNamedByItsOwnType)
{
    // The C7sus shell C3 Bb3 F4 also lies inside larger voicings of other chords.
    const FinderResult found = find({48, 58, 65}, 1, true);
    ASSERT_FALSE(found.list.Lines.empty());
    EXPECT_EQ(found.list.Lines.front(), "C7sus - Shell: C (R) , Bb (b7) , F (4) ");
    EXPECT_EQ(found.list.Sources.front().type, "7sus");
}
