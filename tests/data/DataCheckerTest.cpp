// The data checker: passes the shipped files and names each rule a broken voicing breaks.
#include "tools/voicings/DataChecker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const std::string DataDir = TONVERA_DATA_DIR;

// A copy of the shipped data files in a temporary folder, to break on purpose.
class DataCopy : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("tonvera-data-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        for (const char* name : {"chords.def", "guitarchords.def", "pianochords.def"})
            fs::copy_file(fs::path(DataDir) / name, folder / name);
    }
    void TearDown() override { fs::remove_all(folder); }

    void append(const char* file, const std::string& lines)
    {
        std::ofstream(folder / file, std::ios::app) << lines;
    }

    bool hasFault(const DataReport& report, const std::string& text)
    {
        for (const std::string& f : report.faults)
            if (f.find(text) != std::string::npos)
                return true;
        return false;
    }

    fs::path folder;
};

TEST_F(DataCopy, ShippedFilesHoldEveryRule)
{
    const DataReport report = CheckDataFolder(folder.string());
    EXPECT_TRUE(report.faults.empty()) << report.faults.front();
    EXPECT_NE(report.coverage.find("maj7 "), std::string::npos);
    EXPECT_NE(report.coverage.find("103 chord types, 82 aliases"), std::string::npos);
    // Per chord, the first guitar and piano voicing of its list.
    EXPECT_NE(report.firstShapes.find("\nCmaj7          x32000               C3 E3 G3 B3\n"), std::string::npos);
    EXPECT_NE(report.firstShapes.find("\nDm7            xx0211               D3 F3 A3 C4\n"), std::string::npos);
}

TEST_F(DataCopy, BrokenVoicingsAreNamed)
{
    struct BrokenCase { const char* file; const char* line; const char* fault; };  // fault nullptr: sound
    const BrokenCase cases[] = {
        {"guitarchords.def", "C,maj7,0,x,-3,2,0,0,1", "F4 is not a tone of maj7"},
        {"guitarchords.def", "C,maj7,0,x,3,2,0,0,0", "root C3 is not marked"},
        {"guitarchords.def", "C,maj7,0,0,-3,2,0,0,0", "its lowest note E2 is not the root"},
        {"guitarchords.def", "C,maj7,0,x,-3,2,0,-1,0,0", "has 7 string values instead of 6"},
        {"guitarchords.def", "C,maj7,0,-8,x,x,9,x,7", nullptr},  // a sound shell: no fault
        {"guitarchords.def", "C,maj7,0,-8,7,x,x,x,15", "fretted notes lie more than four frets apart"},
        {"guitarchords.def", "C,maj7,0,-8,x,9,9,x,x", "is listed twice in JAZZ"},
        {"guitarchords.def", "C,ma7,0,x,-3,2,0,0,0", "an alias: voicings of aliases are not found by the chord finder, use its target"},
        {"guitarchords.def", "C,Maj7,0,x,-3,2,0,0,0", "write the chord type in lower case, as chords.def does"},
        {"guitarchords.def", "C,maj7,0,25,-3,2,0,0,0", "writes an unplayed string as 25 instead of x"},
        {"guitarchords.def", "H,maj7,0,x,-3,2,0,0,0", "unknown root"},
        {"guitarchords.def", "C,maj7,0,x,-3,5,4,5,0", "JAZZ voicing with an open string"},
        {"guitarchords.def", "C,9,0,6,7,5,7,x,x", "rootless voicing with its bass on the low E string"},
        {"guitarchords.def", "C,9,0,x,7,x,x,11,10", "rootless voicing that mutes two strings between its notes"},
        {"guitarchords.def", "A,2,0,-5,2,2,x,x,x", "the major second A2-B2 lies below C3"},
        {"guitarchords.def", "C,11,0,-8,x,8,10,x,x", "is a voicing of 7sus, a chord of fewer tones: store it there"},
        {"pianochords.def", "C,maj7,0,-48,52,55", "leaves out its 0711 tone"},
        {"pianochords.def", "C,maj7,0,-48,52,55,59,84", "note 84 is off the keyboard (36-83)"},
        {"pianochords.def", "C,maj,0,-36,40,43", "the major third C2-E2 lies below Bb2"},
        {"pianochords.def", "C,11,0,-36,46,53", "is a voicing of 7sus, a chord of fewer tones: store it there"},
        {"pianochords.def", "C,7add11,0,-36,46,53", "leaves out its 0304 tone"},
        {"pianochords.def", "[Close]\nC,maj7,0,-48,52,55,59,76", "Close voicing that one hand cannot hold (5 notes over 28 semitones)"},
    };
    std::string guitar, piano;
    for (const BrokenCase& c : cases)
        (std::string(c.file) == "guitarchords.def" ? guitar : piano) += std::string(c.line) + "\n";
    append("guitarchords.def", guitar);  // lands in the JAZZ section
    append("pianochords.def", piano);    // lands in the Two hands section, the last in Close
    const DataReport report = CheckDataFolder(folder.string());
    for (const BrokenCase& c : cases) {
        const std::string line = c.line;
        const std::string voicing = line.substr(line.rfind('\n') + 1);  // after a header
        if (c.fault)
            EXPECT_TRUE(hasFault(report, voicing + ": " + c.fault)) << c.line;
        else
            EXPECT_FALSE(hasFault(report, voicing + ":")) << c.line;
    }
}

TEST_F(DataCopy, MissingCoverageAndBadHeadersFail)
{
    // A new chord type without voicings, and a header that is not a guitar category.
    append("chords.def", "list:majList\nmaj7#9,0100,0304,0507,0711,0915\n");
    append("guitarchords.def", "[Funk]\n");
    const DataReport report = CheckDataFolder(folder.string());
    EXPECT_TRUE(hasFault(report, "coverage: Cmaj7#9 has fewer than three guitar voicings"));
    EXPECT_TRUE(hasFault(report, "coverage: Dbmaj7#9 has fewer than four piano voicings"));
    EXPECT_TRUE(hasFault(report, "coverage: Bmaj7#9 has no JAZZ guitar voicing"));
    EXPECT_TRUE(hasFault(report, "a header other than [FOLK], [POP], [JAZZ]"));
}

TEST_F(DataCopy, VocabularyRulesAreNamed)
{
    append("chords.def",
           "x7=ma7\n"                          // an alias of an alias finds no voicing
           "samechord,0100,0405,0507,0202\n"   // the tones of sus24
           "odd,0100,0304,0203\n"              // an augmented second has no label
           "list:majList\n"
           "m(add2)=madd9\n");                 // "(add2)" would select add2 in the finder
    const DataReport report = CheckDataFolder(folder.string());
    EXPECT_TRUE(hasFault(report, "chords.def: the alias 'x7' points at 'ma7', another alias: point it at a chord type"));
    EXPECT_TRUE(hasFault(report, "chords.def: 'sus24' and 'samechord' hold the same tones: make the second an alias"));
    EXPECT_TRUE(hasFault(report, "chords.def: odd: the tone 0203 has no degree label"));
    EXPECT_TRUE(hasFault(report, "chords.def: the list 'majList' also selects 'add2' in the finder: keep names with brackets out of lists"));
}

TEST_F(DataCopy, BrokenVocabularyStopsTheCheck)
{
    append("chords.def", "bad,0100,0301\n");
    EXPECT_TRUE(hasFault(CheckDataFolder(folder.string()), "chords.def: bad on Bb: Internal error: calculate chord, fd>2!"));
    fs::remove(folder / "pianochords.def");
    EXPECT_TRUE(hasFault(CheckDataFolder(folder.string()), "File not found: pianochords.def"));
}

}  // namespace
