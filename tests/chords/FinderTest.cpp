#include "chords/ChordButtons.h"
#include "chords/Notes.h"
#include "layout/Layout.h"
#include "tests/chords/ChordFixture.h"

namespace {

// Voicings for every chord type of StandardChords except m7 and dim7.
const char* const FinderVoicings =
    "C,maj,0,60\nC,maj7,0,60\nC,maj9,0,60\nC,m,0,60\nC,7,0,60\nC,13,0,60\n";

FinderQuery query(std::map<int, std::string> marks, int mode, const ChordBook& book)
{
    FinderQuery q;
    q.marks = std::move(marks);
    q.mode = mode;
    q.typeFilter = AllButtonsFilter(layout::ChordTypeButtons, book.ListMembers);
    return q;
}

}  // namespace

TEST(ReverseFind, ChordModeListsEveryMatchingChordFewestTonesFirst)
{
    LoadedBook loaded(StandardChords, FinderVoicings);
    const ChordBook& book = loaded.book;
    struct Case {
        std::map<int, std::string> marks;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        // m7 has no voicing and never appears; flat roots are listed under their sharps.
        {{{60, ""}, {64, ""}},
         {"Cmaj ", "Am ", "Cmaj7 ", "Fmaj7 ", "C7 ", "Cmaj9 ", "Fmaj9 ", "C13 ", "D13 "}},
        {{{58, ""}, {62, ""}, {65, ""}}, {"A#maj ", "A#maj7 ", "A#7 ", "D#maj9 ", "A#maj9 ", "A#13 "}},
        {{{60, "R"}, {76, ""}}, {"Cmaj ", "Cmaj7 ", "C7 ", "Cmaj9 ", "C13 "}},
        {{{60, ""}, {63, "b3"}}, {"Cm "}},
        {{{60, ""}, {61, "b3"}}, {}},
        {{{60, ""}}, {}},  // one mark is not enough
    };
    for (const Case& c : cases) {
        const FinderResult found = ReverseFind(book, query(c.marks, 0, book));
        EXPECT_EQ(found.list.Lines, c.lines) << c.marks.begin()->first;
        EXPECT_TRUE(found.list.Variations.empty());
        EXPECT_EQ(found.error, "");
    }
}

TEST(ReverseFind, ChordTypeFilterLimitsTheSearch)
{
    LoadedBook loaded(StandardChords, FinderVoicings);
    const ChordBook& book = loaded.book;
    FinderQuery q = query({{60, ""}, {64, ""}}, 0, book);
    q.typeFilter = ChordTypeFilter({{"maj", false}, {"minList", true}}, book.ListMembers);
    EXPECT_EQ(ReverseFind(book, q).list.Lines, (std::vector<std::string>{"Cmaj ", "Am "}));
    q.typeFilter = "";
    EXPECT_TRUE(ReverseFind(book, q).list.Lines.empty());
}

TEST(ReverseFind, VoicingModeListsExactPitchesOnceInScoreOrder)
{
    LoadedBook loaded("maj,0100,0304,0507\nmaj7,0100,0304,0507,0711\nm,0100,0303,0507\nma7=maj7\n",
                      "C,maj,0,48,52,55\nC,maj,0,60,64,67\nC,maj7,0,60,64,67,71\nC,ma7,0,67,64,60,71\n"
                      "A,m,0,57,60,64\nC,maj,0,72,76,79\n[Jazz]\nC,maj,0,52,55,60,64\n");
    const ChordBook& book = loaded.book;
    FinderQuery q = query({{60, ""}, {64, ""}}, 1, book);
    q.typeFilter = "(maj)(maj7)(m)(ma7)";
    const VariationList found = ReverseFind(book, q).list;
    // The voicing stored under maj7 and its alias ma7 is listed once, under ma7 (first in key order).
    EXPECT_EQ(found.Lines, (std::vector<std::string>{"Cmaj - : C (R) , E (3) , G (5) ",
                                                    "Cmaj - Jazz: E (3) , G (5) , C (R) , E (3) ",
                                                    "Am - : A (R) , C (b3) , E (5) ",
                                                    "Cma7 - : C (R) , E (3) , G (5) , B (7) "}));
    ASSERT_EQ(found.Variations.size(), 4u);
    EXPECT_EQ(found.Variations[2].notes, (std::vector<int>{57, 60, 64}));
    EXPECT_EQ(found.Variations[3].notes, (std::vector<int>{60, 64, 67, 71}));

    q.marks = {{60, "b3"}, {64, ""}};
    EXPECT_EQ(ReverseFind(book, q).list.Lines, (std::vector<std::string>{"Am - : A (R) , C (b3) , E (5) "}));
}

TEST(ReverseFind, GuitarMarksMatchTheSoundingPitchOnAnyString)
{
    LoadedBook loaded(StandardChords, "C,maj,0,x,3,2,0,1,0\nC,maj,0,8,7,5,x,x,x\nC,maj,0,x,x,10,9,8,x\n", gtGuitar);
    const ChordBook& book = loaded.book;
    const auto lines = [&](const std::map<int, std::string>& marks, int mode) {
        return ReverseFind(book, query(marks, mode, book)).list.Lines;
    };
    std::map<int, std::string> marks;
    SetMarkLabel(marks, 1 * 256 + 3, "", gtGuitar, 1);  // sounds 48
    SetMarkLabel(marks, 3 * 256 + 0, "", gtGuitar, 1);  // sounds 55
    EXPECT_EQ(lines(marks, 1), (std::vector<std::string>{"Cmaj - : C (R) , E (3) , G (5) , C (R) , E (3) ",
                                                    "Cmaj - : C (R) , E (3) , G (5) "}));
    marks[3 * 256 + 0] = "R";
    EXPECT_TRUE(lines(marks, 1).empty());
    marks[3 * 256 + 0] = "5";
    EXPECT_EQ(lines(marks, 0), (std::vector<std::string>{"Cmaj "}));
    marks[6 * 256 + 7] = "";  // no seventh string: nothing can contain it
    for (int mode : {0, 1})
        EXPECT_TRUE(lines(marks, mode).empty()) << mode;
}

TEST(ReverseFind, AnErrorStopsTheSearchAndKeepsWhatWasFound)
{
    LoadedBook loaded("maj,0100,0304,0507\nx:\n", "C,maj,0,60,64,67\nC,x,0,60,64\n");
    const ChordBook& book = loaded.book;
    FinderQuery q = query({{60, ""}, {64, ""}}, 1, book);
    q.typeFilter = "(maj)(x)";
    for (int search = 0; search < 2; ++search) {  // a repeated search fails the same way
        const FinderResult found = ReverseFind(book, q);
        EXPECT_EQ(found.error, "invalid chord type: x");
        EXPECT_EQ(found.list.Lines.size(), 1u);
    }
}

TEST(ReverseFind, ReloadedVoicingsReplaceTheEarlierOnes)
{
    LoadedBook loaded(StandardChords, "C,maj,0,60,64,67\n");
    ChordBook& book = loaded.book;
    EXPECT_EQ(ReverseFind(book, query({{60, ""}, {64, ""}}, 1, book)).list.Lines.size(), 1u);
    loaded.folder.write("pianochords.def", "A,m,0,57,60,64\nC,maj,0,48,52,55\n");
    book = LoadChordDefinitions(loaded.folder.path(), gtPiano);
    EXPECT_EQ(ReverseFind(book, query({{60, ""}, {64, ""}}, 1, book)).list.Lines, (std::vector<std::string>{"Am - : A (R) , C (b3) , E (5) "}));
}

TEST(SetMarkLabel, OneMarkPerStringOnlyOnTheGuitarInVoicingMode)
{
    struct Case {
        GameType game;
        int mode;
        std::map<int, std::string> expected;
    };
    const Case cases[] = {
        {gtGuitar, 1, {{2 * 256 + 5, "b3"}, {3 * 256 + 1, ""}}},
        {gtGuitar, 0, {{2 * 256 + 3, ""}, {2 * 256 + 5, "b3"}, {3 * 256 + 1, ""}}},
        {gtPiano, 1, {{2 * 256 + 3, ""}, {2 * 256 + 5, "b3"}, {3 * 256 + 1, ""}}},
    };
    for (const Case& c : cases) {
        std::map<int, std::string> marks;
        SetMarkLabel(marks, 2 * 256 + 3, "", c.game, c.mode);
        SetMarkLabel(marks, 3 * 256 + 1, "", c.game, c.mode);
        SetMarkLabel(marks, 2 * 256 + 5, "b3", c.game, c.mode);
        SetMarkLabel(marks, -1, "R", c.game, 0);  // no position: nothing stored
        EXPECT_EQ(marks, c.expected) << c.game << c.mode;
    }
    EXPECT_EQ(MarkSoundingNote(gtGuitar, 5 * 256 + 3), 67);
    EXPECT_EQ(MarkSoundingNote(gtGuitar, 6 * 256), -1);
    EXPECT_EQ(MarkSoundingNote(gtPiano, 61), 61);
}

TEST(ReverseFind, FilterMatchesWholeNamesEvenWithParentheses)
{
    LoadedBook loaded("maj(add9),0100,0304,0507,0914\nmaj,0100,0304,0507\n",
                      "c,maj(add9),0,60,64,67,74\nc,MAJ,0,60,64,67\n");
    const ChordBook& book = loaded.book;
    FinderQuery q = query({{60, ""}, {64, ""}}, 1, book);
    q.typeFilter = ChordTypeFilter({{"maj(add9)", false}}, book.ListMembers);
    EXPECT_EQ(ReverseFind(book, q).list.Lines,
              (std::vector<std::string>{"Cmaj(add9) - : C (R) , E (3) , G (5) , D (9) "}));
    q.typeFilter = "((maj))";
    EXPECT_EQ(ReverseFind(book, q).list.Lines, (std::vector<std::string>{"Cmaj - : C (R) , E (3) , G (5) "}));
}
