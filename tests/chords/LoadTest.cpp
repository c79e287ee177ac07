#include "tests/chords/ChordFixture.h"

namespace {

const char* const OneVoicing = "C,maj,0,48,52,55\n";

std::string loadError(const std::string& chords, const std::string& voicings, GameType game = gtPiano)
{
    return chordErrorOf([&] { LoadedBook loaded(chords, voicings, game); });
}

std::vector<std::string> degreesOf(const ChordBook& book, const std::string& type)
{
    return book.ChordTypes.at(type).degrees;
}

}  // namespace

TEST(ChordsFile, DefinitionsListsAndAliases)
{
    LoadedBook loaded("; header comment\r\n"
                      "list:majList, ignored\r\n"
                      "Maj,0100,0304,0507\r\n"
                      "maj7,0100,0304 ;0507\r\n"
                      "MAJ7,,0507, 0711\r\n"
                      "Ma7=maj7,ignored\r\n"
                      "LIST:minList\r"
                      "m,0100,0303,0507\r"
                      "list: minList\n"
                      "m\n"
                      "list:\n"
                      "noDegrees:whatever\n"
                      "bare\n",
                      OneVoicing);
    const ChordBook& book = loaded.book;
    EXPECT_EQ(degreesOf(book, "maj"), (std::vector<std::string>{"0100", "0304", "0507"}));
    // A later line of the same name appends; blanks are kept; the comment cut the first line.
    EXPECT_EQ(degreesOf(book, "maj7"), (std::vector<std::string>{"0100", "0304", "0507", " 0711"}));
    EXPECT_EQ(book.ChordTypes.at("maj7").line, 4);
    EXPECT_EQ(degreesOf(book, "ma7"), degreesOf(book, "maj7"));
    EXPECT_EQ(book.ChordAliases.at("ma7"), (std::vector<std::string>{"maj7"}));
    EXPECT_EQ(book.ChordAliases.at("maj7"), (std::vector<std::string>{"ma7"}));
    EXPECT_TRUE(degreesOf(book, "nodegrees").empty());
    EXPECT_TRUE(degreesOf(book, "bare").empty());
    EXPECT_EQ(book.ChordTypes.at("bare").line, 12);

    EXPECT_EQ(book.ChordLists.at("majList"), (std::vector<std::string>{"maj", "maj7", "maj7", "ma7"}));
    EXPECT_EQ(book.ListMembers.at("majList"), "(maj)(maj7)(maj7)(ma7)");
    EXPECT_EQ(book.ChordLists.at("minList"), (std::vector<std::string>{"m"}));
    EXPECT_EQ(book.ChordLists.at(" minList"), (std::vector<std::string>{"m"}));  // the blank names another list
    EXPECT_EQ(book.ChordLists.size(), 3u);
}

TEST(ChordsFile, EmptyOrCommentOnlyFileLoadsNothing)
{
    for (const char* text : {"", "\n\n", "; only\r\n   ; comments\r\n\t\n"}) {
        LoadedBook loaded(text, OneVoicing);
        EXPECT_TRUE(loaded.book.ChordTypes.empty());
        EXPECT_TRUE(loaded.book.ListMembers.empty());
    }
}

TEST(ChordsFile, ErrorsNameTheZeroBasedLineAndBareFile)
{
    const std::pair<const char*, const char*> cases[] = {
        {",0100", "syntax error: line=0, file=chords.def"},
        {"maj,0100\n; c\n\n=maj", "syntax error: line=3, file=chords.def"},
        {"  :x", "syntax error: line=0, file=chords.def"},
        {"maj7=Maj", "error 'Maj' not yet defined: line=0, file=chords.def"},
        {"maj,0100\nmaj:\nx=maj", ""},  // a colon line adds nothing, the degrees stay
        {"e:\nx=e", "error 'e' not yet defined: line=1, file=chords.def"},  // defined, but without degrees
        {"x=x", "error 'x' not yet defined: line=0, file=chords.def"},
    };
    for (const auto& [chords, message] : cases)
        EXPECT_EQ(loadError(chords, OneVoicing), message) << chords;
}

TEST(DefinitionFiles, MissingFilesAreReportedByBareName)
{
    TempFolder folder;
    EXPECT_EQ(chordErrorOf([&] { LoadChordDefinitions(folder.path(), gtPiano); }), "File not found: chords.def");
    folder.write("chords.def", "maj,0100\n");
    EXPECT_EQ(chordErrorOf([&] { LoadChordDefinitions(folder.path(), gtPiano); }),
              "File not found: pianochords.def");
    EXPECT_EQ(chordErrorOf([&] { LoadChordDefinitions(folder.path(), gtGuitar); }),
              "File not found: guitarchords.def");
    std::filesystem::create_directory(folder.path() + "/pianochords.def");
    EXPECT_EQ(chordErrorOf([&] { LoadChordDefinitions(folder.path(), gtPiano); }),
              "File not found: pianochords.def");
}

TEST(VoicingFile, NumbersCategoriesAndPianoOrder)
{
    LoadedBook loaded("maj7,0100\n",
                      "C,maj7,48,-7,4,0 ; magnitudes ordered, equal ones keep file order\n"
                      "C,maj7,0,-4,4,x,  5,5 ,+3,99999999999\n"
                      "[Jazz]\n"
                      "C,maj7\n"
                      "[Pop\n"
                      "D,MAJ7,1\n"
                      "[Jazz]\n");
    const ChordBook& book = loaded.book;
    ASSERT_EQ(book.Voicings.size(), 3u);
    EXPECT_EQ(book.Voicings[0].numbers, (std::vector<int>{48, 0, 4, -7}));
    EXPECT_EQ(book.Voicings[1].numbers, (std::vector<int>{0, +3, -4, 4, 5, 65535, 65535, 65535}));
    EXPECT_EQ(book.Voicings[0].category, nullptr);
    ASSERT_NE(book.Voicings[2].category, nullptr);
    EXPECT_EQ(*book.Voicings[2].category, "Pop");
    EXPECT_EQ(book.Voicings[2].name, "MAJ7");
    EXPECT_EQ(book.VoicingCategories, (std::map<std::string, int>{{"Jazz", 3}, {"Pop", 2}}));
    // The header and the line without numbers do not break the run.
    EXPECT_EQ(book.VoicingIndex.at("maj7"), (std::vector<const TChord*>{&book.Voicings[0]}));
}

TEST(VoicingFile, GuitarLinesKeepTheirOrder)
{
    LoadedBook loaded("maj7,0100\n", "C,maj7,0,x,3,2,0,0,0\n", gtGuitar);
    EXPECT_EQ(loaded.book.Voicings.at(0).numbers, (std::vector<int>{0, 65535, 3, 2, 0, 0, 0}));
}

TEST(VoicingFile, RunsStartWhereAnotherNameIntervenes)
{
    LoadedBook loaded("maj7,0100\n", "C,maj7,0,1\nc,Maj7,0,2\nC,m7,0,3\nD,maj7,0,4\nD,maj7,0,5\n");
    const ChordBook& book = loaded.book;
    EXPECT_EQ(book.VoicingIndex.at("maj7"), (std::vector<const TChord*>{&book.Voicings[0], &book.Voicings[3]}));
    EXPECT_EQ(book.VoicingIndex.at("m7"), (std::vector<const TChord*>{&book.Voicings[2]}));
    EXPECT_GE(book.Voicings.capacity(), 5u);
}

TEST(VoicingFile, SyntaxErrorsNameTheZeroBasedLine)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C", "syntax error: line=0, file=pianochords.def"},
        {"; c\nC,maj,0\n\nC,,0,1", "syntax error: line=3, file=pianochords.def"},
        {",maj,0", "syntax error: line=0, file=pianochords.def"},
        {"C,maj\nC,maj,,,", ""},  // lines without numbers are skipped
    };
    for (const auto& [voicings, message] : cases)
        EXPECT_EQ(loadError("maj,0100\n", voicings), message) << voicings;
    EXPECT_EQ(loadError("maj,0100\n", "\n\nC\n", gtGuitar), "syntax error: line=2, file=guitarchords.def");
}

TEST(DefinitionFiles, ReloadingStartsFromEmptyTables)
{
    LoadedBook loaded("list:majList\nmaj,0100\n", "C,maj,0,1\n[A]\n");
    loaded.book = LoadChordDefinitions(loaded.folder.path(), gtPiano);
    EXPECT_EQ(loaded.book.Voicings.size(), 1u);
    EXPECT_EQ(loaded.book.ChordLists.at("majList").size(), 1u);
    EXPECT_EQ(loaded.book.VoicingIndex.at("maj").front(), &loaded.book.Voicings[0]);
}
