// Runs the real tonvera-query program on fixture folders.
#include "tests/chords/ChordFixture.h"

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
};

const char* const Chords = "list:majList\nmaj,0100,0304,0507\nmaj7,0100,0304,0507,0711\nlist:\nm,0100,0303,0507\n";
const char* const Piano = "C,maj,0,48,52,55\n[Caf\xe9 \"x\\\"]\nC,maj,0,60,64,67\nA,m,0,57,60,64\n";
const char* const Guitar = "C,maj,0,x,3,2,0,1,0\n[POP]\nC,maj,0,8,7,5,x,x,x\n";

}  // namespace

TEST(TonveraQuery, SpellsAChord)
{
    const QueryFolder data(Chords, Piano, Guitar);
    const QueryRun run = data({"chord", "A#", "MAJ"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "{\"root\":\"A#\",\"type\":\"maj\",\"notes\":[58,62,65],\"names\":[\"A#\",\"C##\",\"E#\"],"
              "\"labels\":[\"R\",\"3\",\"5\"]}\n");
}

TEST(TonveraQuery, ListsTypesInKeyOrder)
{
    const QueryFolder data(Chords, Piano, "");
    EXPECT_EQ(data({"types"}).out,
              "{\"types\":[{\"name\":\"m\",\"degrees\":[\"0100\",\"0303\",\"0507\"],\"line\":4},"
              "{\"name\":\"maj\",\"degrees\":[\"0100\",\"0304\",\"0507\"],\"line\":1},"
              "{\"name\":\"maj7\",\"degrees\":[\"0100\",\"0304\",\"0507\",\"0711\"],\"line\":2}],"
              "\"lists\":{\"majList\":[\"maj\",\"maj7\"]}}\n");
}

TEST(TonveraQuery, VariationsOnEitherInstrumentWithEscapedText)
{
    const QueryFolder data(Chords, Piano, Guitar);
    EXPECT_EQ(data({"variations", "C", "maj", "--category", "Caf\xe9 \"x\\\""}).out,
              "{\"lines\":[\"Caf\\u00e9 \\\"x\\\\\\\" 1\\tC (R) , E (3) , G (5) \"],"
              "\"variations\":[{\"notes\":[60,64,67],\"names\":[\"C\",\"E\",\"G\"],\"labels\":[\"R\",\"3\",\"5\"]}]}\n");
    EXPECT_EQ(data({"variations", "Bb", "maj"}).out, "{\"lines\":[\"No variations found!\"],\"variations\":[]}\n");
    EXPECT_EQ(data({"--guitar", "variations", "C", "maj", "--category", "POP"}).out,
              "{\"lines\":[\"Variation 1\\tC (R) , E (3) , G (5) \"],"
              "\"variations\":[{\"notes\":[8,7,5,65535,65535,65535],\"names\":[\"C\",\"E\",\"G\",\"\",\"\",\"\"],"
              "\"labels\":[\"R\",\"3\",\"5\",\"\",\"\",\"\"]}]}\n");
}

TEST(TonveraQuery, FindsChordsAndVoicings)
{
    const QueryFolder data(Chords, Piano, Guitar);
    EXPECT_EQ(data({"find", "60", "64"}).out, "{\"lines\":[\"Cmaj \",\"Am \"],\"variations\":[]}\n");
    EXPECT_EQ(data({"find", "--types", "maj", "60", "64"}).out, "{\"lines\":[\"Cmaj \"],\"variations\":[]}\n");
    EXPECT_EQ(data({"find", "--types", "majList", "60=b3", "64"}).out, "{\"lines\":[],\"variations\":[]}\n");
    const QueryRun voicings = data({"find", "--mode", "1", "60=b3", "64"});
    EXPECT_EQ(voicings.out,
              "{\"lines\":[\"Am - Caf\\u00e9 \\\"x\\\\\\\": A (R) , C (b3) , E (5) \"],"
              "\"variations\":[{\"notes\":[57,60,64],\"names\":[\"A\",\"C\",\"E\"],\"labels\":[\"R\",\"b3\",\"5\"]}]}\n");
    // On the guitar in mode 1 the second mark on string 1 replaces the first.
    EXPECT_EQ(data({"--guitar", "find", "--mode", "1", "1/5", "1/3", "3/0"}).out,
              "{\"lines\":[\"Cmaj - : C (R) , E (3) , G (5) , C (R) , E (3) \",\"Cmaj - : C (R) , E (3) , G (5) \"],"
              "\"variations\":[{\"notes\":[65535,3,2,0,1,0],\"names\":[\"\",\"C\",\"E\",\"G\",\"C\",\"E\"],"
              "\"labels\":[\"\",\"R\",\"3\",\"5\",\"R\",\"3\"]},{\"notes\":[8,7,5,65535,65535,65535],"
              "\"names\":[\"C\",\"E\",\"G\",\"\",\"\",\"\"],\"labels\":[\"R\",\"3\",\"5\",\"\",\"\",\"\"]}]}\n");
}

TEST(TonveraQuery, ChoosesThePianoUnlessOnlyGuitarVoicingsExist)
{
    const QueryFolder both(Chords, Piano, Guitar), guitarOnly(Chords, "", Guitar);
    EXPECT_EQ(both({"find", "1/3", "3/0"}).status, 2);  // piano marks are note numbers
    EXPECT_EQ(guitarOnly({"find", "1/3", "3/0"}).out, "{\"lines\":[\"Cmaj \"],\"variations\":[]}\n");
    EXPECT_EQ(guitarOnly({"--piano", "types"}).err, "File not found: pianochords.def\n");
}

TEST(TonveraQuery, ErrorsGoToStandardErrorWithStatusTwo)
{
    const QueryFolder data(Chords, Piano, Guitar), broken("maj,0100\n\n; c\n,0304\n", Piano, "");
    const TempFolder empty;
    struct Case {
        QueryRun run;
        const char* err;
    };
    const Case cases[] = {
        {query(empty.path(), {"types"}), "File not found: chords.def\n"},
        {broken({"types"}), "syntax error: line=3, file=chords.def\n"},
        {data({"chord", "C", "xyz"}), "invalid chord type: xyz\n"},
        {data({"chord", "H", "maj"}), "unknown root: H\n"},
        {data({"variations", "c", "maj"}), "unknown root: c\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.run.status, 2);
        EXPECT_EQ(c.run.err, c.err);
        EXPECT_EQ(c.run.out, "");
    }
    const std::vector<std::vector<std::string>> usageErrors = {
        {},
        {"play"},
        {"chord", "C"},
        {"--guitar", "--piano", "types"},
        {"--data"},
        {"find", "--mode", "2", "60", "64"},
        {"find", "60=", "64"},
        {"find", "128", "64"},
        {"variations", "C", "maj", "--category"},
        {"types", "extra"},
    };
    for (const auto& args : usageErrors) {
        const QueryRun run = data(args);
        EXPECT_EQ(run.status, 2) << (args.empty() ? "" : args[0]);
        EXPECT_TRUE(run.err.starts_with("usage: tonvera-query")) << run.err;
        EXPECT_EQ(run.out, "");
    }
}
