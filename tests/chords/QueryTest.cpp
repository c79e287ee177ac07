// Runs the real tonvera-query program on fixture folders.
#include "tests/chords/ChordFixture.h"

#include "midi/MIDIData.h"

#include <sstream>
#include <sys/wait.h>

namespace {

struct QueryRun {
    int status;
    std::string out;
    std::string err;
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Single-quoted for the shell (the fixture texts hold no single quote). Built with appends:
// GCC 12 warns falsely about "'" + std::string.
std::string quoted(const std::string& arg)
{
    std::string result(1, '\'');
    return result.append(arg).append(1, '\'');
}

QueryRun query(const std::string& folder, const std::vector<std::string>& args)
{
    TempFolder outputs;
    std::string command = quoted(TONVERA_QUERY_EXE);
    if (!folder.empty())
        command.append(" --data ").append(quoted(folder));
    for (const std::string& arg : args)
        command.append(" ").append(quoted(arg));
    command.append(" >").append(outputs.path()).append("/out 2>").append(outputs.path()).append("/err");
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(outputs.path() + "/out"),
            readFile(outputs.path() + "/err")};
}

struct QueryFolder {
    TempFolder folder;
    QueryFolder(const std::string& chords, const std::string& piano, const std::string& guitar)
    {
        folder.write("chords.def", chords);
        if (!piano.empty())
            folder.write("pianochords.def", piano);
        if (!guitar.empty())
            folder.write("guitarchords.def", guitar);
    }
    QueryRun operator()(const std::vector<std::string>& args) const { return query(folder.path(), args); }
    std::string path() const { return folder.path(); }
};

// "ø7" is written in UTF-8, the category "Café" in Latin-1 as an older file would have it.
const char* const Chords =
    "list:majList\nmaj,0100,0304,0507\nmaj7,0100,0304,0507,0711\nlist:\nm,0100,0303,0507\n\xc3\xb8" "7,0100,0303,0506,0710\n";
const char* const Piano =
    "C,maj,0,48,52,55\n[Caf\xe9 \"x\\\"]\nC,maj,0,60,64,67\nA,m,0,57,60,64\nB,\xc3\xb8" "7,0,-47,50,53,57\n";
const char* const Guitar = "[FOLK]\nC,maj,0,x,-3,2,0,-1,0\n[POP]\nC,maj,0,8,7,5,x,x,x\n";

std::string usageError(const std::string& what)
{
    return "tonvera-query: " + what + "\nTry 'tonvera-query --help' for more information.\n";
}

}  // namespace

TEST(TonveraQuery, SpellsAChordWithRootsInEitherCaseAndTypesAsWritten)
{
    const QueryFolder data(Chords, Piano, Guitar);
    struct Case {
        std::vector<std::string> args;
        const char* out;
    };
    const Case cases[] = {
        {{"chord", "A#", "MAJ"},
         "{\"root\":\"A#\",\"type\":\"maj\",\"notes\":[58,62,65],\"names\":[\"A#\",\"C##\",\"E#\"],"
         "\"labels\":[\"R\",\"3\",\"5\"]}\n"},
        {{"chord", "c#", "maj"},
         "{\"root\":\"C#\",\"type\":\"maj\",\"notes\":[49,53,56],\"names\":[\"C#\",\"E#\",\"G#\"],"
         "\"labels\":[\"R\",\"3\",\"5\"]}\n"},
        {{"chord", "bb", "m"},
         "{\"root\":\"Bb\",\"type\":\"m\",\"notes\":[58,61,65],\"names\":[\"Bb\",\"Db\",\"F\"],"
         "\"labels\":[\"R\",\"b3\",\"5\"]}\n"},
        {{"chord", "B", "\xc3\xb8" "7"},
         "{\"root\":\"B\",\"type\":\"\xc3\xb8" "7\",\"notes\":[59,62,65,69],\"names\":[\"B\",\"D\",\"F\",\"A\"],"
         "\"labels\":[\"R\",\"b3\",\"b5\",\"b7\"]}\n"},
    };
    for (const Case& c : cases) {
        const QueryRun run = data(c.args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, c.out);
    }
}

TEST(TonveraQuery, ListsTypesInKeyOrder)
{
    const QueryFolder data(Chords, Piano, "");
    EXPECT_EQ(data({"types"}).out,
              "{\"types\":[{\"name\":\"m\",\"degrees\":[\"0100\",\"0303\",\"0507\"],\"line\":4},"
              "{\"name\":\"maj\",\"degrees\":[\"0100\",\"0304\",\"0507\"],\"line\":1},"
              "{\"name\":\"maj7\",\"degrees\":[\"0100\",\"0304\",\"0507\",\"0711\"],\"line\":2},"
              "{\"name\":\"\xc3\xb8" "7\",\"degrees\":[\"0100\",\"0303\",\"0506\",\"0710\"],\"line\":5}],"
              "\"lists\":{\"majList\":[\"maj\",\"maj7\"]}}\n");
}

TEST(TonveraQuery, VariationsCarryTheirDataBesideTheDisplayLines)
{
    const QueryFolder data(Chords, Piano, Guitar);
    EXPECT_EQ(data({"variations", "C", "maj", "--category", "Caf\xe9 \"x\\\""}).out,
              "{\"lines\":[\"Caf\xc3\xa9 \\\"x\\\\\\\" 1\\tC (R) , E (3) , G (5) \"],"
              "\"variations\":[{\"notes\":[60,64,67],\"names\":[\"C\",\"E\",\"G\"],\"labels\":[\"R\",\"3\",\"5\"]}],"
              "\"results\":[{\"root\":\"C\",\"type\":\"maj\",\"bass\":\"C\",\"category\":\"Caf\xc3\xa9 \\\"x\\\\\\\"\","
              "\"notes\":[60,64,67],\"roots\":[true,false,false]}]}\n");
    EXPECT_EQ(data({"variations", "Bb", "maj"}).out,
              "{\"lines\":[\"No variations found!\"],\"variations\":[],\"results\":[]}\n");
    // The old fields keep the list's values (frets, 65535, negative marks); the results hold data.
    EXPECT_EQ(data({"--guitar", "variations", "C", "maj"}).out,
              "{\"lines\":[\"Variation 1\\tC (R) , E (3) , G (5) , C (R) , E (3) \",\"Variation 2\\tC (R) , E (3) , G (5) \"],"
              "\"variations\":[{\"notes\":[65535,-3,2,0,-1,0],\"names\":[\"\",\"C\",\"E\",\"G\",\"C\",\"E\"],"
              "\"labels\":[\"\",\"R\",\"3\",\"5\",\"R\",\"3\"]},{\"notes\":[8,7,5,65535,65535,65535],"
              "\"names\":[\"C\",\"E\",\"G\",\"\",\"\",\"\"],\"labels\":[\"R\",\"3\",\"5\",\"\",\"\",\"\"]}],"
              "\"results\":[{\"root\":\"C\",\"type\":\"maj\",\"bass\":\"C\",\"category\":\"FOLK\","
              "\"notes\":[48,52,55,60,64],\"roots\":[true,false,false,true,false],\"frets\":[null,3,2,0,1,0]},"
              "{\"root\":\"C\",\"type\":\"maj\",\"bass\":\"C\",\"category\":\"POP\",\"notes\":[48,52,55],"
              "\"roots\":[true,false,false],\"frets\":[8,7,5,null,null,null]}]}\n");
}

TEST(TonveraQuery, FindsChordsAndVoicingsFromNumbersOrNoteNames)
{
    const QueryFolder data(Chords, Piano, Guitar);
    const std::string chords =
        "{\"lines\":[\"Cmaj \",\"Am \"],\"variations\":[],\"results\":[{\"root\":\"C\",\"type\":\"maj\",\"bass\":\"C\"},"
        "{\"root\":\"A\",\"type\":\"m\",\"bass\":\"A\"}]}\n";
    EXPECT_EQ(data({"find", "60", "64"}).out, chords);
    EXPECT_EQ(data({"find", "C4", "e4"}).out, chords);
    EXPECT_EQ(data({"find", "B#3", "Fb4"}).out, chords) << "spellings across the octave line";
    EXPECT_EQ(data({"find", "--types", "MAJ", "60", "64"}).out,
              "{\"lines\":[\"Cmaj \"],\"variations\":[],\"results\":[{\"root\":\"C\",\"type\":\"maj\",\"bass\":\"C\"}]}\n");
    EXPECT_EQ(data({"find", "--types", "majList", "60=b3", "64"}).out,
              "{\"lines\":[],\"variations\":[],\"results\":[]}\n");
    EXPECT_EQ(data({"find", "--mode", "1", "C4=b3", "64"}).out,
              "{\"lines\":[\"Am - Caf\xc3\xa9 \\\"x\\\\\\\": A (R) , C (b3) , E (5) \"],"
              "\"variations\":[{\"notes\":[57,60,64],\"names\":[\"A\",\"C\",\"E\"],\"labels\":[\"R\",\"b3\",\"5\"]}],"
              "\"results\":[{\"root\":\"A\",\"type\":\"m\",\"bass\":\"A\",\"category\":\"Caf\xc3\xa9 \\\"x\\\\\\\"\","
              "\"notes\":[57,60,64],\"roots\":[true,false,false]}]}\n");
    // On the guitar in mode 1 the second mark on string 1 replaces the first.
    const QueryRun guitar = data({"--guitar", "find", "--mode", "1", "1/5", "1/3", "3/0"});
    EXPECT_EQ(guitar.status, 0) << guitar.err;
    EXPECT_NE(guitar.out.find("\"results\":[{\"root\":\"C\",\"type\":\"maj\",\"bass\":\"C\",\"category\":\"FOLK\","
                              "\"notes\":[48,52,55,60,64],\"roots\":[true,false,false,true,false],"
                              "\"frets\":[null,3,2,0,1,0]},"),
              std::string::npos)
        << guitar.out;
}

TEST(TonveraQuery, NamesChordsFromTheBassAsTonveraDefSaysUnlessToldOtherwise)
{
    const QueryFolder data(Chords, Piano, Guitar);
    const std::string plain = "\"lines\":[\"Cmaj \"]";
    const std::string fromBass = "\"lines\":[\"Cmaj/E \"]";
    const auto firstLines = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"find", "--types", "maj"});
        for (const char* mark : {"E4", "G4", "C5"})
            args.push_back(mark);
        const QueryRun run = data(args);
        return run.out.substr(1, run.out.find(']'));
    };
    EXPECT_EQ(firstLines({}), plain) << "no Tonvera.def: off";
    EXPECT_EQ(firstLines({"--bass"}), fromBass);
    data.folder.write("Tonvera.def", "[Settings]\nNameFromLowestNote=1\n");
    EXPECT_EQ(firstLines({}), fromBass);
    EXPECT_EQ(firstLines({"--no-bass"}), plain);
    EXPECT_NE(data({"find", "--bass", "--types", "maj", "E4", "G4", "C5"}).out.find("\"bass\":\"E\""),
              std::string::npos);
    EXPECT_EQ(data({"find", "--bass", "--no-bass", "60", "64"}).status, 2);
}

TEST(TonveraQuery, ChoosesThePianoUnlessOnlyGuitarVoicingsExist)
{
    const QueryFolder both(Chords, Piano, Guitar), guitarOnly(Chords, "", Guitar);
    EXPECT_EQ(both({"find", "1/3", "3/0"}).status, 2);  // piano marks are notes
    EXPECT_EQ(guitarOnly({"find", "1/3", "3/0"}).out,
              "{\"lines\":[\"Cmaj \"],\"variations\":[],\"results\":[{\"root\":\"C\",\"type\":\"maj\",\"bass\":\"C\"}]}\n");
}

TEST(TonveraQuery, HelpAndVersionAnswerWithoutData)
{
    const TempFolder empty;
    const QueryRun help = query(empty.path(), {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("usage: tonvera-query")) << help.out;
    const QueryRun version = query("", {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("tonvera-query ") + TONVERA_TEST_VERSION + "\n");
}

// Every wrong argument names itself and exits 2; a fault of the data or of writing exits 1.
TEST(TonveraQuery, ErrorsSayWhatIsWrongWithStatusTwoForArgumentsAndOneForData)
{
    const QueryFolder data(Chords, Piano, Guitar), broken("maj,0100\n\n; c\n,0304\n", Piano, ""),
        guitarOnly(Chords, "", Guitar);
    const TempFolder empty, outputs;
    const std::string svg = outputs.path() + "/c.svg";
    struct Case {
        QueryRun run;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {query(empty.path(), {}), 2, usageError("no command given")},
        {data({"play"}), 2, usageError("unknown command: play")},
        {data({"--frob", "types"}), 2, usageError("unknown option: --frob")},
        {data({"--guitar", "--piano", "types"}), 2, usageError("--guitar and --piano exclude each other")},
        {data({"--data"}), 2, usageError("--data needs a folder")},
        {data({"chord", "C"}), 2, usageError("chord ROOT TYPE: missing an argument")},
        {data({"chord", "C", "maj", "--frob"}), 2, usageError("unknown option for chord: --frob")},
        {data({"types", "extra"}), 2, usageError("types: unexpected argument extra")},
        {data({"chord", "C", "xyz"}), 2, usageError("invalid chord type: xyz")},
        {data({"chord", "H", "maj"}), 2, usageError("unknown root: H")},
        {data({"variations", "C", "maj", "--category"}), 2, usageError("--category needs a value")},
        {data({"find", "--mode", "2", "60", "64"}), 2, usageError("--mode 2: expected a number from 0 to 1")},
        {data({"find", "60"}), 2, usageError("find needs at least two marks")},
        {data({"find", "60=", "64"}), 2, usageError("mark '60=': no degree label after '='")},
        {data({"find", "60=X", "64"}), 2, usageError("mark '60=X': unknown degree label 'X'")},
        {data({"find", "128", "64"}), 2,
         usageError("mark '128': not a MIDI note (0 to 127) or a note name such as C4")},
        {data({"find", "H4", "64"}), 2, usageError("mark 'H4': not a MIDI note (0 to 127) or a note name such as C4")},
        {data({"--guitar", "find", "1/3", "6/0"}), 2,
         usageError("mark '6/0': not STRING/FRET (string 0 to 5 from the low E, fret 0 to 24)")},
        {data({"find", "--types", "maj,nosuch", "60", "64", "67"}), 2,
         usageError("--types maj,nosuch: no chord type or chord list is named nosuch")},
        {data({"midi", "C", "maj"}), 2, usageError("midi needs -o FILE.mid")},
        {data({"midi", "C", "maj", "--variation", "3", "-o", outputs.path() + "/c.mid"}), 2,
         usageError("--variation 3: Cmaj has 2 variations")},
        {data({"midi", "C", "maj", "--stagger", "2000", "-o", outputs.path() + "/c.mid"}), 2,
         usageError("--stagger 2000: expected a number from 0 to 1000")},
        {data({"diagram", "C", "maj", "-o", "c.jpg"}), 2, usageError("-o c.jpg: a diagram is written as .svg or .png")},
        {data({"diagram", "--sheet", "C-maj", "-o", svg}), 2,
         usageError("--sheet entry C-maj: expected ROOT:TYPE or ROOT:TYPE:VARIATION")},
        {data({"diagram", "--sheet", "C:maj", "--variation", "1", "-o", svg}), 2,
         usageError("--variation does not go with --sheet: write ROOT:TYPE:VARIATION")},
        {data({"--guitar", "diagram", "C", "maj", "--variation", "0", "-o", svg}), 2,
         usageError("Cmaj: no guitar voicing to draw")},
        {query(empty.path(), {"types"}), 1, "tonvera-query: File not found: chords.def (data folder: " + empty.path() + ")\n"},
        {broken({"types"}), 1, "tonvera-query: syntax error: line=3, file=chords.def (data folder: " + broken.path() + ")\n"},
        {guitarOnly({"--piano", "types"}), 1,
         "tonvera-query: File not found: pianochords.def (data folder: " + guitarOnly.path() + ")\n"},
        {data({"midi", "C", "maj", "-o", outputs.path() + "/missing/c.mid"}), 1,
         "tonvera-query: Cannot write " + outputs.path() + "/missing/c.mid: No such file or directory\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.run.status, c.status) << c.err;
        EXPECT_EQ(c.run.err, c.err);
        EXPECT_EQ(c.run.out, "") << c.err;
    }
    EXPECT_FALSE(std::filesystem::exists(svg)) << "nothing is written after a wrong argument";
}

TEST(TonveraQuery, WritesTheChordAsAMIDIFileAsTheProgramPlaysIt)
{
    const QueryFolder data(Chords, Piano, Guitar);
    const TempFolder outputs;
    const std::string file = outputs.path() + "/c.mid";
    struct Case {
        std::vector<std::string> args;
        std::vector<int> notes;        // in the order they start
        std::vector<uint32_t> onTicks;
    };
    const Case cases[] = {
        {{"midi", "c", "maj"}, {48, 52, 55}, {0, 0, 0}},                                // the first variation
        {{"midi", "C", "maj", "--variation", "0"}, {60, 64, 67}, {0, 0, 0}},            // the calculated chord
        {{"midi", "C", "maj", "--variation", "2", "--arpeggio", "--stagger", "100"}, {60, 64, 67}, {0, 24, 48}},
        {{"--guitar", "midi", "C", "maj", "--arpeggio"}, {48, 52, 55, 60, 64}, {0, 12, 24, 36, 48}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-o", file});
        const QueryRun run = data(args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(run.out.starts_with("{\"file\":\"" + file + "\",\"root\":\"C\",\"type\":\"maj\"")) << run.out;
        MIDIData read;
        FileByteSource source(file);
        ASSERT_TRUE(read.Read(source));
        std::vector<int> notes;
        std::vector<uint32_t> ticks;
        for (const MIDIEvent& event : read.Track(0)->events)
            if ((event.status & 0xF0) == kNoteOn) {
                notes.push_back(event.data1);
                ticks.push_back(event.tick);
            }
        EXPECT_EQ(notes, c.notes) << run.out;
        EXPECT_EQ(ticks, c.onTicks) << run.out;
    }
}

TEST(TonveraQuery, DrawsDiagramsAndSheets)
{
    const QueryFolder data(Chords, Piano, Guitar);
    const TempFolder outputs;
    const std::string box = outputs.path() + "/c.svg", sheet = outputs.path() + "/sheet.svg",
                      picture = outputs.path() + "/sheet.PNG";
    ASSERT_EQ(data({"--guitar", "diagram", "C", "maj", "--degrees", "-o", box}).status, 0);
    const std::string boxText = readFile(box);
    EXPECT_NE(boxText.find(">Cmaj</text>"), std::string::npos);
    EXPECT_NE(boxText.find("class=\"label\" x=\"54\" y=\"162\" font-size=\"11\" text-anchor=\"middle\" fill=\"#222222\">R<"),
              std::string::npos)
        << "degree labels under the strings:\n"
        << boxText;

    const QueryRun sheetRun = data({"diagram", "--sheet", "C:maj", "b:\xc3\xb8" "7", "C:maj:0", "--columns", "2", "-o", sheet});
    ASSERT_EQ(sheetRun.status, 0) << sheetRun.err;
    EXPECT_EQ(sheetRun.out, "{\"file\":\"" + sheet + "\",\"diagrams\":3}\n");
    const std::string sheetText = readFile(sheet);
    EXPECT_NE(sheetText.find(">B\xc3\xb8" "7</text>"), std::string::npos) << "UTF-8 names as written";
    std::size_t titles = 0;
    for (std::size_t at = sheetText.find("class=\"title\""); at != std::string::npos;
         at = sheetText.find("class=\"title\"", at + 1))
        ++titles;
    EXPECT_EQ(titles, 3u);

    ASSERT_EQ(data({"diagram", "--sheet", "C:maj", "A:m", "-o", picture}).status, 0);
    const std::string png = readFile(picture);
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    const auto be32 = [&](std::size_t at) {
        return uint32_t(uint8_t(png[at])) << 24 | uint32_t(uint8_t(png[at + 1])) << 16 |
               uint32_t(uint8_t(png[at + 2])) << 8 | uint32_t(uint8_t(png[at + 3]));
    };
    EXPECT_GT(be32(16), be32(20)) << "two keyboards side by side make a wide picture";
}
