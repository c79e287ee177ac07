#include "chords/ChordButtons.h"
#include "chords/Notes.h"
#include "base/TextUtil.h"
#include "layout/Layout.h"

#include <gtest/gtest.h>

TEST(ConvertToEnharmonic, ReplacesOnlyTableSpellingsExactly)
{
    const std::pair<const char*, const char*> cases[] = {
        {"B#", "C"}, {"Cbb", "Bb"}, {"E##", "F#"}, {"Cb", "B"}, {"Fbb", "Eb"},  // converted once
        {"Db", "Db"}, {"G#", "G#"}, {"Eb", "Eb"}, {"C", "C"},                   // single accidentals stay
        {"bb", "bb"}, {"ebb", "ebb"}, {"", ""},                                 // case-sensitive
    };
    for (const auto& [in, out] : cases) {
        std::string name = in;
        ConvertToEnharmonic(name);
        EXPECT_EQ(name, out) << in;
    }
}

TEST(NoteTables, EveryReplacementIsTheDefaultSpellingOfItsPitchClass)
{
    for (const EnharmonicPair& pair : EnharmonicTable) {
        int spellingClass = -1, replacementClass = -1;
        for (int row = 0; row < 3; ++row)
            for (int pc = 0; pc < 12; ++pc) {
                if (NoteSpellingTable[row][pc] == pair.spelling)
                    spellingClass = pc;
                if (row == 0 && NoteSpellingTable[row][pc] == pair.replacement)
                    replacementClass = pc;
            }
        EXPECT_GE(spellingClass, 0) << pair.spelling;
        EXPECT_EQ(spellingClass, replacementClass) << pair.spelling;
    }
    EXPECT_EQ(NoteSpellingTable[2][8], "Ab");
    EXPECT_EQ(NoteNameTable[8], "Ab");
}

TEST(DegreeLabel, LooksUpWithoutInserting)
{
    EXPECT_EQ(DegreeLabel("0710"), "b7");
    EXPECT_EQ(DegreeLabel("0709"), "o7");
    EXPECT_EQ(DegreeLabel("1119"), "");
    EXPECT_EQ(DegreeLabel(""), "");
    for (std::size_t i = 1; i < DegreeLabelTable.size(); ++i)
        EXPECT_LT(DegreeLabelTable[i - 1].code, DegreeLabelTable[i].code);
}

TEST(IsNoteName, LettersWithUpToTwoAccidentalsOfOneKind)
{
    for (const char* name : {"C", "F#", "Ebb", "B##", "Cb"})
        EXPECT_TRUE(IsNoteName(name)) << name;
    for (const char* name : {"", "H", "c", "E#b", "F###", "maj", "9"})
        EXPECT_FALSE(IsNoteName(name)) << name;
}

TEST(RootTable, EnharmonicRootsHaveTheirOwnLetters)
{
    EXPECT_EQ(RootTable[2].name, "A#");
    EXPECT_EQ(RootTable[2].letter, 5);
    EXPECT_EQ(RootTable[2].pitchClass, 10);
    EXPECT_EQ(RootTable[1].name, "Bb");
    EXPECT_EQ(RootTable[1].letter, 6);
    EXPECT_EQ(RootTable[1].pitchClass, 10);
    EXPECT_EQ(FindRoot("C"), 16);
    EXPECT_EQ(FindRoot("c"), -1);
    EXPECT_EQ(FindRoot("H"), -1);
    for (const TRootInfo& root : RootTable)  // every name is spelled by its letter and pitch class
        EXPECT_EQ(root.name[0], LetterNames[root.letter][0]);
}

TEST(NextToken, CutsAtTheFirstDelimiter)
{
    struct Case {
        const char* line;
        char delimiter;
        const char* token;
        const char* rest;
    };
    const Case cases[] = {
        {"maj7,0100,0304", ',', "maj7", "0100,0304"},
        {"ma7=maj7", '=', "ma7", "maj7"},
        {"list:majList", ':', "list", "majList"},
        {",,x", ',', "", ",x"},
        {" no delimiter ", '\0', " no delimiter ", ""},
        {"", '\0', "", ""},
    };
    for (const Case& c : cases) {
        std::string_view view = c.line;
        std::string token = "stale";
        EXPECT_EQ(NextToken(view, token, ",=:"), c.delimiter) << c.line;
        EXPECT_EQ(token, c.token) << c.line;
        EXPECT_EQ(view, c.rest) << c.line;
        // The owned form cuts the same way.
        std::string line = c.line;
        token = "stale";
        EXPECT_EQ(NextToken(line, token, ",=:"), c.delimiter) << c.line;
        EXPECT_EQ(token, c.token) << c.line;
        EXPECT_EQ(line, c.rest) << c.line;
    }
}

TEST(TextUtil, SplitsAtEveryKindOfLineBreakAndTrimsControlCharacters)
{
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitLines("a\r\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(TrimBlanks("\t\x01 x y \x1f"), "x y");
    EXPECT_EQ(TrimBlanks("\xe9t\xe9"), "\xe9t\xe9");  // bytes above 0x7F are text, not blanks
    EXPECT_TRUE(SameText("mMaj7", "MMAJ7"));
}

TEST(ChordTypeFilter, ListButtonsAddTheirMembersOtherButtonsTheirLowerCaseType)
{
    const std::map<std::string, std::string> members = {{"majList", "(maj13)(add9)"}};
    EXPECT_EQ(ChordTypeFilter({{"mMaj7", false}, {"majList", true}, {"domList", true}}, members),
              "(mmaj7)((maj13)(add9))()");
    const std::string all = AllButtonsFilter(layout::ChordTypeButtons, members);
    for (const char* type : {"(maj)", "(mmaj7)", "(7sus)", "(maj13)", "(add9)", "(13)"})
        EXPECT_NE(all.find(type), std::string::npos) << type;
    EXPECT_EQ(all.find("(majlist)"), std::string::npos);
}
