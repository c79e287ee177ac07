#include "chords/Notes.h"
#include "tests/chords/ChordFixture.h"

namespace {

const std::string Tab = "\t";

ShowResult show(ChordBook& book, const char* root, const char* type, const VariationOptions& options = {})
{
    return book.ShowCurrentChord(FindRoot(root), type, false, options);
}

}  // namespace

TEST(ShowCurrentChord, PianoVoicingIsSpelledAndLabelledAgainstTheChord)
{
    LoadedBook loaded(StandardChords, "C,maj7,0,48,52,55,59\nC,maj7,0,-48,52,55,59\n");
    const ShowResult result = show(loaded.book, "C", "maj7");
    EXPECT_EQ(result.draw, DrawTarget::FirstVariation);
    EXPECT_EQ(result.selectLine, 0);
    ASSERT_EQ(loaded.book.Lines.size(), 2u);
    EXPECT_EQ(loaded.book.Lines[0], "Variation 1" + Tab + "C (R) , E (3) , G (5) , B (7) ");
    const TChordVariation& first = loaded.book.Variations.at(0);
    EXPECT_EQ(first.notes, (std::vector<int>{48, 52, 55, 59}));
    EXPECT_EQ(first.noteNames, (std::vector<std::string>{"C", "E", "G", "B"}));
    EXPECT_EQ(first.degreeLabels, (std::vector<std::string>{"R", "3", "5", "7"}));
    EXPECT_EQ(loaded.book.Variations.at(1).notes, (std::vector<int>{-48, 52, 55, 59}));  // marked note kept negative
}

TEST(ShowCurrentChord, NotesOutsideTheChordTakeALetterOfTheChordWhenTheyCan)
{
    struct Case {
        const char* voicing;
        const char* root;
        const char* type;
        bool convertDbl;
        std::vector<std::string> names;
        std::vector<std::string> labels;
        const char* text;
    };
    const Case cases[] = {
        {"C,maj7,0,48,50", "C", "maj7", false, {"C", "C##"}, {"R", ""}, "C (R) , C## "},
        {"C,maj,0,53,51", "C", "maj", false, {"Eb", "E#"}, {"", ""}, "Eb , E# "},
        {"C,maj,0,49", "C", "maj", false, {"C#"}, {""}, "C# "},  // no letter fits: row 0
        {"A#,maj,0,50", "A#", "maj", false, {"C##"}, {"3"}, "C## (3) "},
        {"A#,maj,0,50", "A#", "maj", true, {"D"}, {"3"}, "D (3) "},
    };
    for (const Case& c : cases) {
        LoadedBook loaded(StandardChords, std::string(c.voicing) + "\n");
        VariationOptions options;
        options.convertDbl = c.convertDbl;
        show(loaded.book, c.root, c.type, options);
        ASSERT_EQ(loaded.book.Variations.size(), 1u) << c.voicing;
        EXPECT_EQ(loaded.book.Variations[0].noteNames, c.names) << c.voicing;
        EXPECT_EQ(loaded.book.Variations[0].degreeLabels, c.labels) << c.voicing;
        EXPECT_EQ(loaded.book.Lines[0], "Variation 1" + Tab + c.text) << c.voicing;
    }
}

TEST(ShowCurrentChord, ConvertsTheChordNamesAfterBuildingTheVariations)
{
    LoadedBook loaded(StandardChords, "A#,maj,0,50\n");
    loaded.book.ColourMap = {{"0304", 0x00ff00}};
    VariationOptions options;
    options.convertDbl = true;
    show(loaded.book, "A#", "maj", options);
    EXPECT_EQ(loaded.book.CurrentChord.noteNames, (std::vector<std::string>{"A#", "D", "F"}));
    EXPECT_EQ(loaded.book.Variations.at(0).colours, (std::vector<long>{0x00ff00}));
}

TEST(ShowCurrentChord, NoVoicingShowsTheChordAndOneLine)
{
    LoadedBook loaded(StandardChords, "Db,maj,0,49,53,56\n");
    const ShowResult result = show(loaded.book, "C#", "maj");  // enharmonic roots are separate
    EXPECT_EQ(result.draw, DrawTarget::CurrentChord);
    EXPECT_EQ(result.selectLine, 0);
    EXPECT_EQ(loaded.book.Lines, (std::vector<std::string>{"No variations found!"}));
    EXPECT_TRUE(loaded.book.Variations.empty());
    EXPECT_EQ(loaded.book.CurrentChord.noteNames, (std::vector<std::string>{"C#", "E#", "G#"}));
}

TEST(ShowCurrentChord, ErrorsAndReverseFinderMode)
{
    LoadedBook loaded(StandardChords, "C,maj,0,48,52,55\n");
    ChordBook& book = loaded.book;
    EXPECT_EQ(chordErrorOf([&] { book.ShowCurrentChord(-1, "maj", false, {}); }), "Root not selected!");
    EXPECT_EQ(chordErrorOf([&] { book.ShowCurrentChord(16, "", false, {}); }), "chord type not selected!");
    EXPECT_EQ(chordErrorOf([&] { book.ShowCurrentChord(16, "nope", false, {}); }), "invalid chord type: nope");

    book.Lines = {"finder line"};
    const ShowResult result = book.ShowCurrentChord(13, "m", true, {});
    EXPECT_EQ(result.draw, DrawTarget::Nothing);
    EXPECT_EQ(book.Lines, (std::vector<std::string>{"finder line"}));
    EXPECT_EQ(book.CurrentChord.noteNames, (std::vector<std::string>{"D", "F", "A"}));
}

TEST(ShowCurrentChord, IdenticalVoicingsAreListedOnce)
{
    LoadedBook loaded(StandardChords, "C,maj,0,48,52,55\nc,MAJ,0,55,52,48\nC,maj,12,36,40,43\nC,maj,0,48,52\n");
    show(loaded.book, "C", "maj");
    EXPECT_EQ(loaded.book.Lines.size(), 2u);
    EXPECT_EQ(loaded.book.Lines[1], "Variation 2" + Tab + "C (R) , E (3) ");
}

TEST(ShowCurrentChord, PianoCategoriesNameTheLinesAndFilterThem)
{
    LoadedBook loaded(StandardChords, "C,maj,0,48,52,55\n[Jazz]\nC,maj,0,60,64,67\n[Pop]\nC,maj,0,52,55,60\n");
    show(loaded.book, "C", "maj");
    EXPECT_EQ(loaded.book.Lines, (std::vector<std::string>{"Variation 1" + Tab + "C (R) , E (3) , G (5) ",
                                                            "Jazz 2" + Tab + "C (R) , E (3) , G (5) ",
                                                            "Pop 3" + Tab + "E (3) , G (5) , C (R) "}));
    VariationOptions jazz;
    jazz.categoryFilter = "Jazz";
    jazz.guitarCategory = "Pop";  // no category start on the piano
    show(loaded.book, "C", "maj", jazz);
    EXPECT_EQ(loaded.book.Lines, (std::vector<std::string>{"Jazz 1" + Tab + "C (R) , E (3) , G (5) "}));
}

TEST(ShowCurrentChord, GuitarStringsFretsAndCategoryStart)
{
    LoadedBook loaded(StandardChords,
                      "C,maj,0,x,3,2,0,1,0,5\n"
                      "[FOLK]\n"
                      "C,maj,0,x,3,2,0,1,25\n"
                      "[POP]\n"
                      "C,maj,7,x,-3,5,5,5,x\n"
                      "[JAZZ]\n"
                      "C,maj,3,x,0,2,2,2,0\n",
                      gtGuitar);
    ChordBook& book = loaded.book;
    show(book, "C", "maj");
    ASSERT_EQ(book.Variations.size(), 4u);
    EXPECT_EQ(book.Lines[0], "Variation 1" + Tab + "C (R) , E (3) , G (5) , C (R) , E (3) ");
    EXPECT_EQ(book.Variations[0].notes, (std::vector<int>{65535, 3, 2, 0, 1, 0, 65535}));
    EXPECT_EQ(book.Variations[0].noteNames, (std::vector<std::string>{"", "C", "E", "G", "C", "E", ""}));
    EXPECT_EQ(book.Variations[1].notes, (std::vector<int>{65535, 3, 2, 0, 1, 65535}));
    EXPECT_EQ(book.Lines[1], "Variation 2" + Tab + "C (R) , E (3) , G (5) , C (R) ");
    EXPECT_EQ(book.Variations[2].notes, (std::vector<int>{65535, -10, 12, 12, 12, 65535}));

    VariationOptions pop;
    pop.guitarCategory = "POP";
    show(book, "C", "maj", pop);
    // From the POP header on, JAZZ included.
    EXPECT_EQ(book.Lines, (std::vector<std::string>{"Variation 1" + Tab + "G (5) , C## , G (5) , Cb ",
                                                     "Variation 2" + Tab + "C (R) , G (5) , C (R) , E (3) , G (5) "}));
    pop.guitarCategory = "BLUES";  // not a category: every voicing
    show(book, "C", "maj", pop);
    EXPECT_EQ(book.Lines.size(), 4u);
}

TEST(BuildVariations, WalksEachRunPlusOneAndFindsAliasesWithoutRuns)
{
    LoadedBook loaded("maj7,0100,0304,0507,0711\nma7=maj7\nmj7=maj7\n",
                      "C,maj7,0,48\nC,maj7,0,49\nC,ma7,0,50\nC,ma7,0,51\nC,m7,0,52\nC,maj7,0,53\n");
    ChordBook& book = loaded.book;
    show(book, "C", "maj7");
    std::vector<int> first;
    for (const TChordVariation& v : book.Variations)
        first.push_back(v.notes.at(0));
    EXPECT_EQ(first, (std::vector<int>{48, 49, 50, 53}));  // the alias line after a run, not the one after it

    const auto firstNotes = [&] {
        std::vector<int> notes;
        for (const TChordVariation& v : book.Variations)
            notes.push_back(v.notes.at(0));
        return notes;
    };
    show(book, "C", "ma7");
    EXPECT_EQ(firstNotes(), (std::vector<int>{50, 51}));  // its run, and the m7 line after it is rejected
    show(book, "C", "mj7");  // no voicing of that name: every voicing is visited, aliases accepted
    EXPECT_EQ(firstNotes(), (std::vector<int>{48, 49, 53}));

    book.Lines.clear();
    book.Variations.clear();
    book.CalculateChord("maj7", 16);
    book.BuildVariations("maj7", 16, nullptr, false, "", {});
    EXPECT_EQ(book.Lines.size(), 5u);
    EXPECT_EQ(chordErrorOf([&] { book.BuildVariations("absent", 16, nullptr, false, "", {}); }),
              "invalid chord type: absent");
}

TEST(BuildVariations, ExtremeNumbersNeverOverflow)
{
    LoadedBook piano(StandardChords, "C,maj,2147483647,2147483647,-2147483647,-7\n");
    show(piano.book, "C", "maj");
    EXPECT_EQ(piano.book.Variations.at(0).notes, (std::vector<int>{-2147483647, 2147483647, -2147483647}));
    LoadedBook negative(StandardChords, "C,maj,-2147483647,-5,3\n");
    show(negative.book, "C", "maj");
    EXPECT_EQ(negative.book.Variations.at(0).noteNames.size(), 2u);
    LoadedBook guitar(StandardChords, "C,maj,-2147483647,20,-20,x,0\n", gtGuitar);
    show(guitar.book, "C", "maj");
    EXPECT_EQ(guitar.book.Variations.at(0).notes.at(2), 65535);
}

TEST(SoundingNotes, GuitarFretsBecomeNotesAndUnplayedStringsNone)
{
    // Open C x32010 as a guitar voicing stores frets, the root tones negative.
    const TChordVariation openC{{UnplayedString, -3, 2, 0, -1, 0}, {}, {}, {}};
    EXPECT_EQ(SoundingNotes(openC, true),
              (std::vector<std::optional<int>>{std::nullopt, 48, 52, 55, 60, 64}));
    // The calculated chord on the guitar holds MIDI notes, not frets.
    const TChordVariation current{{-48, 52}, {}, {}, {}};
    EXPECT_EQ(SoundingNotes(current, false), (std::vector<std::optional<int>>{48, 52}));
}
