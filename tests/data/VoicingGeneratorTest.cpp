// The voicing generator: the chords every player knows come out as they are played, and the
// shipped files are exactly its output.
#include "tools/voicings/GuitarVoicings.h"
#include "tools/voicings/PianoVoicings.h"
#include "tools/voicings/Vocabulary.h"
#include "tools/voicings/VoicingWriter.h"

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

ChordShape shape(const std::string& type) { return AnalyseChord(type, vocabulary().ChordTypes.at(type).degrees); }

std::string fretText(const GuitarFrets& frets)
{
    std::string text;
    for (int f : frets)
        text += f == MutedString ? std::string("x") : std::to_string(f);
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
    struct OpenCase { const char* type; int pc; const char* frets; };
    const OpenCase cases[] = {
        {"maj", 0, "x32010"}, {"maj", 7, "320003"}, {"maj", 2, "xx0232"}, {"maj", 9, "x02220"},
        {"maj", 4, "022100"}, {"maj", 5, "133211"}, {"m", 9, "x02210"},   {"m", 4, "022000"},
        {"m", 2, "xx0231"},   {"7", 4, "020100"},   {"7", 9, "x02020"},   {"7", 2, "xx0212"},
        {"7", 11, "x21202"},  {"7", 0, "x32310"},   {"maj7", 0, "x32000"}, {"m7", 9, "x02010"},
        {"add9", 0, "x32030"},
    };
    for (const OpenCase& c : cases) {
        const auto folk = voicings(c.type, c.pc, "FOLK");
        ASSERT_FALSE(folk.empty()) << c.type << " on " << c.pc;
        EXPECT_EQ(folk.front(), c.frets) << c.type << " on pitch class " << c.pc;
    }
}

TEST(GuitarGenerator, MovableFormsAndJazzShapes)
{
    // C and C7: the E-form and the A-form barre.
    const auto popC = voicings("maj", 0, "POP");
    EXPECT_EQ(popC, (std::vector<std::string>{"81010988", "x35553"}));
    const auto popC7 = voicings("7", 0, "POP");
    EXPECT_EQ(popC7, (std::vector<std::string>{"8108988", "x35353"}));
    // Shell, drop-3 from the low E string, drop-2 on the middle and on the top four strings.
    EXPECT_EQ(voicings("maj7", 0, "JAZZ"), (std::vector<std::string>{"8x99xx", "8x998x", "x3545x", "xx10121212"}));
    // Rootless forms leave the low E string to the bass.
    for (int pc = 0; pc < 12; ++pc)
        for (const GuitarVoicing& v : GuitarVoicingsFor(shape("9"), pc)) {
            const auto notes = GuitarNotes(v.frets, pc);
            const bool rooted = std::any_of(notes.begin(), notes.end(),
                                            [pc](const SoundingNote& n) { return PitchClassOf(n.midi - pc) == 0; });
            EXPECT_TRUE(rooted || v.frets[0] == MutedString) << fretText(v.frets) << " on pitch class " << pc;
        }
    for (const GuitarVoicing& v : GuitarVoicingsFor(shape("13"), 0)) {
        if (v.category == "FOLK")
            continue;
        for (int f : v.frets)
            EXPECT_NE(f, 0) << "open string in a movable C13";
    }
}

TEST(PianoGenerator, CloseOpenAndRootlessForms)
{
    std::map<std::string, std::vector<std::vector<int>>> byCategory;
    for (const PianoVoicing& v : PianoVoicingsFor(shape("9"), 0))
        byCategory[v.category].push_back(v.notes);
    EXPECT_EQ(byCategory["Close"].front(), (std::vector<int>{48, 52, 55, 58, 62}));
    // Form A from the third (E G Bb D), form B from the seventh (Bb D E G).
    EXPECT_EQ(byCategory["Rootless"], (std::vector<std::vector<int>>{{52, 55, 58, 62}, {58, 62, 64, 67}}));
    EXPECT_EQ(byCategory["Shell"].front(), (std::vector<int>{36, 46, 52, 62}));
    // Every voicing of every chord type stays on the keyboard, for all twelve roots.
    for (const std::string& type : RealChordTypes(vocabulary()))
        for (int pc = 0; pc < 12; ++pc)
            for (const PianoVoicing& v : PianoVoicingsFor(shape(type), pc)) {
                EXPECT_GE(v.notes.front(), LowestPianoNote) << type;
                EXPECT_LE(v.notes.back(), HighestPianoNote) << type;
            }
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The generator's guitar file, written once for the tests that read it.
const std::string& generatedGuitarFile()
{
    static const std::string text = [] {
        std::ostringstream out;
        WriteGuitarVoicings(vocabulary(), out);
        return out.str();
    }();
    return text;
}

TEST(VoicingWriter, ShippedFilesAreTheGeneratorsOutput)
{
    std::ostringstream piano;
    WritePianoVoicings(vocabulary(), piano);
    EXPECT_TRUE(generatedGuitarFile() == fileText(DataDir + "/guitarchords.def"))
        << "guitarchords.def is stale: run tonvera-voicegen data/chords.def data";
    EXPECT_TRUE(piano.str() == fileText(DataDir + "/pianochords.def"))
        << "pianochords.def is stale: run tonvera-voicegen data/chords.def data";
}

TEST(VoicingWriter, EachRootUnderItsOwnSpelling)
{
    const std::string& text = generatedGuitarFile();
    // C# and Db sound alike but are written apart, with the same frets.
    EXPECT_NE(text.find("\nC#,maj,0,x,-4,3,1,-2,1\n"), std::string::npos);
    EXPECT_NE(text.find("\nDb,maj,0,x,-4,3,1,-2,1\n"), std::string::npos);
    EXPECT_NE(text.find("\nA,maj,0,x,0,2,-2,2,0\n"), std::string::npos);  // open root A stays unmarked
}

}  // namespace
