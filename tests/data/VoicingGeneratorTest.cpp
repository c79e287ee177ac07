// The voicing generator: the chords every player knows come out as they are played, and the
// shipped files are exactly its output.
#include "tools/voicings/FamiliarShapes.h"
#include "tools/voicings/GuitarVoicings.h"
#include "tools/voicings/PianoVoicings.h"
#include "tools/voicings/Vocabulary.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

const std::string DataDir = TONVERA_DATA_DIR;

const ChordBook& vocabulary()
{
    static const ChordBook book = LoadVocabulary(DataDir + "/chords.def");
    return book;
}

const ChordShape& shape(const std::string& type)
{
    static const std::map<std::string, ChordShape> shapes = AnalyseVocabulary(vocabulary());
    return shapes.at(type);
}

// "x32010", or with dashes when a fret has two digits: "8-10-10-9-8-8".
std::string fretText(const GuitarFrets& frets)
{
    const bool wide = std::any_of(frets.begin(), frets.end(), [](int f) { return f >= 10; });
    std::string text;
    for (int f : frets)
        text += (wide && !text.empty() ? "-" : "") + (f == MutedString ? std::string("x") : std::to_string(f));
    return text;
}

std::vector<std::string> voicings(const std::string& type, int pc, const std::string& category)
{
    std::vector<std::string> result;
    for (const GuitarVoicing& v : GuitarVoicingsFor(shape(type), pc))
        if (v.category == category)
            result.push_back(fretText(v.frets));
    return result;
}

TEST(GuitarGenerator, OpenChordsAreTheOnesEveryGuitaristLearns)
{
    // The chord books' shapes open each FOLK list, in the books' order.
    std::map<std::pair<std::string, int>, std::vector<std::string>> books;
    for (const FamiliarShape& f : FamiliarShapes())
        books[{f.type, f.pitchClass}].push_back(f.frets);
    for (const auto& [chord, shapes] : books) {
        auto folk = voicings(chord.first, chord.second, "FOLK");
        EXPECT_LE(folk.size(), std::max<std::size_t>(3, shapes.size())) << chord.first << " on " << chord.second;
        folk.resize(std::min(folk.size(), shapes.size()));
        EXPECT_EQ(folk, shapes) << chord.first << " on pitch class " << chord.second;
    }
    // What a teacher expects first, and what the search puts first where no book shape is seeded.
    struct OpenCase { const char* type; int pc; const char* frets; };
    const OpenCase cases[] = {
        {"maj", 0, "x32010"},  {"maj", 7, "320003"}, {"maj", 5, "133211"},  {"maj", 10, "x13331"},
        {"m", 11, "x24432"},   {"maj7", 5, "xx3210"}, {"sus", 9, "x02230"},  {"sus", 4, "022200"},
        {"m6", 9, "x02212"},   {"2", 0, "x30033"},    {"maj", 1, "x43121"},  {"m", 7, "310033"},
    };
    for (const OpenCase& c : cases) {
        const auto folk = voicings(c.type, c.pc, "FOLK");
        ASSERT_FALSE(folk.empty()) << c.type << " on " << c.pc;
        EXPECT_EQ(folk.front(), c.frets) << c.type << " on pitch class " << c.pc;
    }
}

TEST(GuitarGenerator, MovableFormsAndJazzShapes)
{
    // C and C7: the A-form and the E-form barre, the lower position first.
    EXPECT_EQ(voicings("maj", 0, "POP"), (std::vector<std::string>{"x35553", "8-10-10-9-8-8"}));
    EXPECT_EQ(voicings("7", 0, "POP"), (std::vector<std::string>{"x35353", "8-10-8-9-8-8"}));
    // The F barre at the nut is FOLK's and POP's: each button lists it.
    EXPECT_EQ(voicings("maj", 5, "POP").front(), "133211");
    // Shell, drop-3 from the low E string, drop-2 on the middle and on the top four strings.
    EXPECT_EQ(voicings("maj7", 0, "JAZZ"), (std::vector<std::string>{"8x99xx", "8x998x", "x3545x", "x-x-10-12-12-12"}));
    for (const GuitarVoicing& v : GuitarVoicingsFor(shape("13"), 0)) {
        if (v.category == "FOLK")
            continue;
        for (int f : v.frets)
            EXPECT_NE(f, 0) << "open string in a movable C13";
    }
}

std::map<std::string, std::vector<std::vector<int>>> pianoVoicings(const std::string& type, int pc)
{
    std::map<std::string, std::vector<std::vector<int>>> byCategory;
    for (const PianoVoicing& v : PianoVoicingsFor(shape(type), pc))
        byCategory[v.category].push_back(v.notes);
    return byCategory;
}

TEST(PianoGenerator, TheFormsPianistsUse)
{
    auto c9 = pianoVoicings("9", 0);
    EXPECT_EQ(c9["Close"].front(), (std::vector<int>{48, 52, 55, 58, 62}));
    // Form A from the third (E G Bb D), form B from the seventh (Bb D E G).
    EXPECT_EQ(c9["Rootless"], (std::vector<std::vector<int>>{{52, 55, 58, 62}, {58, 62, 64, 67}}));
    // R-3-7 and R-7-3 with the ninth above, the root C3.
    EXPECT_EQ(c9["Shell"], (std::vector<std::vector<int>>{{48, 52, 58, 62}, {48, 58, 62, 64}}));
    // Every close position of a seventh chord, root position first; drop-2 with the root in the bass.
    auto cmaj7 = pianoVoicings("maj7", 0);
    EXPECT_EQ(cmaj7["Close"], (std::vector<std::vector<int>>{
                                  {48, 52, 55, 59}, {52, 55, 59, 60}, {55, 59, 60, 64}, {59, 60, 64, 67}}));
    EXPECT_EQ(cmaj7["Drop-2"].front(), (std::vector<int>{48, 55, 59, 64}));
    // A low root takes its third a tenth up (E2 G#3 D4), its seventh stays down (E2 D3 G#3).
    EXPECT_EQ(pianoVoicings("7", 4)["Shell"], (std::vector<std::vector<int>>{{40, 56, 62}, {40, 50, 56}}));
    // G13 in one hand: G3 B3 E4 F4 A4, the thirteenth brought down an octave.
    EXPECT_EQ(pianoVoicings("13", 7)["Close"].front(), (std::vector<int>{55, 59, 64, 65, 69}));
    // The So What chord over D (D G C F A) is Dm7add11; Ab over C7 is the altered dominant.
    const auto dm7add11 = pianoVoicings("m7add11", 2)["Quartal"];
    EXPECT_NE(std::find(dm7add11.begin(), dm7add11.end(), std::vector<int>{50, 55, 60, 65, 69}), dm7add11.end());
    EXPECT_EQ(pianoVoicings("7#5#9", 0)["Upper structure"].front(), (std::vector<int>{48, 58, 64, 68, 72, 75}));
}

TEST(PianoGenerator, EachChordsListStartsWhereAPianistStarts)
{
    // The categories in the file's order, root position close first where one hand can play it.
    const auto order = PianoCategories();
    for (const std::string& type : RealChordTypes(vocabulary())) {
        const std::vector<PianoVoicing> list = PianoVoicingsFor(shape(type), 0);
        ASSERT_FALSE(list.empty()) << type;
        for (std::size_t i = 1; i < list.size(); ++i)
            EXPECT_LE(std::find(order.begin(), order.end(), list[i - 1].category),
                      std::find(order.begin(), order.end(), list[i].category)) << type;
        if (list.front().category == "Close") {
            EXPECT_EQ(PitchClassOf(list.front().notes.front()), 0) << type;
        }
    }
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The generator's output for the shipped chords file, written once per build beside the tests.
const std::string GeneratedDir = TONVERA_GENERATED_DIR;

TEST(VoicingWriter, ShippedFilesAreTheGeneratorsOutput)
{
    for (const char* file : {"guitarchords.def", "pianochords.def"}) {
        const std::string generated = fileText(GeneratedDir + "/" + file);
        ASSERT_FALSE(generated.empty()) << file;
        EXPECT_TRUE(generated == fileText(DataDir + "/" + file))
            << file << " is stale: run tonvera-voicegen data/chords.def data";
    }
}

TEST(VoicingWriter, EachRootUnderItsOwnSpelling)
{
    const std::string text = fileText(GeneratedDir + "/guitarchords.def");
    // C# and Db sound alike but are written apart, with the same frets.
    EXPECT_NE(text.find("\nC#,maj,0,x,-4,3,1,-2,1\n"), std::string::npos);
    EXPECT_NE(text.find("\nDb,maj,0,x,-4,3,1,-2,1\n"), std::string::npos);
    EXPECT_NE(text.find("\nA,maj,0,x,0,2,-2,2,0\n"), std::string::npos);  // open root A stays unmarked
}

}  // namespace
