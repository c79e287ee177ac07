#include "chords/Notes.h"
#include "tests/chords/ChordFixture.h"

namespace {

const std::string Tab = "\t";

ShowResult show(const ChordBook& book, const char* root, const char* type, const VariationOptions& options = {})
{
    return ShowCurrentChord(book, FindRoot(root), type, false, options);
}

}  // namespace

TEST(ShowCurrentChord, PianoVoicingIsSpelledAndLabelledAgainstTheChord)
{
    LoadedBook loaded(StandardChords, "C,maj7,0,48,52,55,59\nC,maj7,0,-48,52,55,59\n");
    const ShowResult result = show(loaded.book, "C", "maj7");
    EXPECT_EQ(result.draw, DrawTarget::FirstVariation);
    EXPECT_EQ(result.selectLine, 0);
    EXPECT_TRUE(result.listRebuilt);
    ASSERT_EQ(result.list.Lines.size(), 2u);
    EXPECT_EQ(result.list.Lines[0], "Variation 1" + Tab + "C (R) , E (3) , G (5) , B (7) ");
    const TChordVariation& first = result.list.Variations.at(0);
    EXPECT_EQ(first.notes, (std::vector<int>{48, 52, 55, 59}));
    EXPECT_EQ(first.noteNames, (std::vector<std::string>{"C", "E", "G", "B"}));
    EXPECT_EQ(first.degreeLabels, (std::vector<std::string>{"R", "3", "5", "7"}));
    EXPECT_EQ(result.list.Variations.at(1).notes, (std::vector<int>{-48, 52, 55, 59}));  // marked note kept negative
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
        const VariationList list = show(loaded.book, c.root, c.type, options).list;
        ASSERT_EQ(list.Variations.size(), 1u) << c.voicing;
        EXPECT_EQ(list.Variations[0].noteNames, c.names) << c.voicing;
        EXPECT_EQ(list.Variations[0].degreeLabels, c.labels) << c.voicing;
        EXPECT_EQ(list.Lines[0], "Variation 1" + Tab + c.text) << c.voicing;
    }
}

TEST(ShowCurrentChord, ConvertsTheChordNamesAfterBuildingTheVariations)
{
    LoadedBook loaded(StandardChords, "A#,maj,0,50\n");
    loaded.book.ColourMap = {{"0304", 0x00ff00}};
    VariationOptions options;
    options.convertDbl = true;
    const ShowResult result = show(loaded.book, "A#", "maj", options);
    EXPECT_EQ(result.CurrentChord.noteNames, (std::vector<std::string>{"A#", "D", "F"}));
    EXPECT_EQ(result.list.Variations.at(0).colours, (std::vector<long>{0x00ff00}));
}

TEST(ShowCurrentChord, NoVoicingShowsTheChordAndOneLine)
{
    LoadedBook loaded(StandardChords, "Db,maj,0,49,53,56\n");
    const ShowResult result = show(loaded.book, "C#", "maj");  // enharmonic roots are separate
    EXPECT_EQ(result.draw, DrawTarget::CurrentChord);
    EXPECT_EQ(result.selectLine, 0);
    EXPECT_EQ(result.list.Lines, (std::vector<std::string>{"No variations found!"}));
    EXPECT_TRUE(result.list.Variations.empty());
    EXPECT_EQ(result.CurrentChord.noteNames, (std::vector<std::string>{"C#", "E#", "G#"}));
}

TEST(ShowCurrentChord, ErrorsAndReverseFinderMode)
{
    LoadedBook loaded(StandardChords, "C,maj,0,48,52,55\n");
    const ChordBook& book = loaded.book;
    EXPECT_EQ(chordErrorOf([&] { ShowCurrentChord(book, -1, "maj", false, {}); }), "Root not selected!");
    EXPECT_EQ(chordErrorOf([&] { ShowCurrentChord(book, 16, "", false, {}); }), "chord type not selected!");
    EXPECT_EQ(chordErrorOf([&] { ShowCurrentChord(book, 16, "nope", false, {}); }), "invalid chord type: nope");

    // In reverse-finder mode the finder's list stays: only the chord is calculated.
    const ShowResult result = ShowCurrentChord(book, 13, "m", true, {});
    EXPECT_EQ(result.draw, DrawTarget::Nothing);
    EXPECT_FALSE(result.listRebuilt);
    EXPECT_TRUE(result.list.Lines.empty());
    EXPECT_EQ(result.CurrentChord.noteNames, (std::vector<std::string>{"D", "F", "A"}));
}

TEST(ShowCurrentChord, IdenticalVoicingsAreListedOnce)
{
    LoadedBook loaded(StandardChords, "C,maj,0,48,52,55\nc,MAJ,0,55,52,48\nC,maj,12,36,40,43\nC,maj,0,48,52\n");
    const VariationList list = show(loaded.book, "C", "maj").list;
    EXPECT_EQ(list.Lines.size(), 2u);
    EXPECT_EQ(list.Lines[1], "Variation 2" + Tab + "C (R) , E (3) ");
}

TEST(ShowCurrentChord, PianoCategoriesNameTheLinesAndFilterThem)
{
    LoadedBook loaded(StandardChords, "C,maj,0,48,52,55\n[Jazz]\nC,maj,0,60,64,67\n[Pop]\nC,maj,0,52,55,60\n");
    EXPECT_EQ(show(loaded.book, "C", "maj").list.Lines, (std::vector<std::string>{"Variation 1" + Tab + "C (R) , E (3) , G (5) ",
                                                            "Jazz 2" + Tab + "C (R) , E (3) , G (5) ",
                                                            "Pop 3" + Tab + "E (3) , G (5) , C (R) "}));
    VariationOptions jazz;
    jazz.categoryFilter = "Jazz";
    jazz.guitarCategory = "Pop";  // no category start on the piano
    EXPECT_EQ(show(loaded.book, "C", "maj", jazz).list.Lines, (std::vector<std::string>{"Jazz 1" + Tab + "C (R) , E (3) , G (5) "}));
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
    const ChordBook& book = loaded.book;
    const VariationList all = show(book, "C", "maj").list;
    ASSERT_EQ(all.Variations.size(), 4u);
    EXPECT_EQ(all.Lines[0], "Variation 1" + Tab + "C (R) , E (3) , G (5) , C (R) , E (3) ");
    EXPECT_EQ(all.Variations[0].notes, (std::vector<int>{65535, 3, 2, 0, 1, 0, 65535}));
    EXPECT_EQ(all.Variations[0].noteNames, (std::vector<std::string>{"", "C", "E", "G", "C", "E", ""}));
    EXPECT_EQ(all.Variations[1].notes, (std::vector<int>{65535, 3, 2, 0, 1, 65535}));
    EXPECT_EQ(all.Lines[1], "Variation 2" + Tab + "C (R) , E (3) , G (5) , C (R) ");
    EXPECT_EQ(all.Variations[2].notes, (std::vector<int>{65535, -10, 12, 12, 12, 65535}));

    VariationOptions pop;
    pop.guitarCategory = "POP";
    // From the POP header on, JAZZ included.
    EXPECT_EQ(show(book, "C", "maj", pop).list.Lines, (std::vector<std::string>{"Variation 1" + Tab + "G (5) , C## , G (5) , Cb ",
                                                     "Variation 2" + Tab + "C (R) , G (5) , C (R) , E (3) , G (5) "}));
    pop.guitarCategory = "BLUES";  // not a category: every voicing
    EXPECT_EQ(show(book, "C", "maj", pop).list.Lines.size(), 4u);
}

TEST(BuildVariations, WalksEachRunPlusOneAndFindsAliasesWithoutRuns)
{
    LoadedBook loaded("maj7,0100,0304,0507,0711\nma7=maj7\nmj7=maj7\n",
                      "C,maj7,0,48\nC,maj7,0,49\nC,ma7,0,50\nC,ma7,0,51\nC,m7,0,52\nC,maj7,0,53\n");
    const ChordBook& book = loaded.book;
    const auto firstNotes = [&](const char* type) {
        std::vector<int> notes;
        for (const TChordVariation& v : show(book, "C", type).list.Variations)
            notes.push_back(v.notes.at(0));
        return notes;
    };
    EXPECT_EQ(firstNotes("maj7"), (std::vector<int>{48, 49, 50, 53}));  // the alias line after a run, not the one after it
    EXPECT_EQ(firstNotes("ma7"), (std::vector<int>{50, 51}));  // its run, and the m7 line after it is rejected
    // No voicing of that name: every voicing is visited, aliases accepted.
    EXPECT_EQ(firstNotes("mj7"), (std::vector<int>{48, 49, 53}));

    VariationRequest request;
    request.type = "maj7";
    request.root = 16;
    const TChordVariation chord = CalculateChord(book, "maj7", 16);
    const VariationList all = BuildVariations(book, chord, request);
    EXPECT_EQ(all.Lines.size(), 5u);
    // Entries already listed are not listed again, and numbering goes on after them.
    VariationList listed;
    listed.Lines = {"earlier"};
    listed.Variations = {all.Variations[1]};
    const VariationList more = BuildVariations(book, chord, request, listed);
    ASSERT_EQ(more.Lines.size(), 4u);
    EXPECT_EQ(more.Lines[1].substr(0, 12), "Variation 3" + Tab);
    request.type = "absent";
    EXPECT_EQ(chordErrorOf([&] { BuildVariations(book, chord, request); }), "invalid chord type: absent");
}

TEST(BuildVariations, ExtremeNumbersNeverOverflow)
{
    LoadedBook piano(StandardChords, "C,maj,2147483647,2147483647,-2147483647,-7\n");
    EXPECT_EQ(show(piano.book, "C", "maj").list.Variations.at(0).notes,
              (std::vector<int>{-2147483647, 2147483647, -2147483647}));
    LoadedBook negative(StandardChords, "C,maj,-2147483647,-5,3\n");
    EXPECT_EQ(show(negative.book, "C", "maj").list.Variations.at(0).noteNames.size(), 2u);
    LoadedBook guitar(StandardChords, "C,maj,-2147483647,20,-20,x,0\n", gtGuitar);
    EXPECT_EQ(show(guitar.book, "C", "maj").list.Variations.at(0).notes.at(2), 65535);
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
