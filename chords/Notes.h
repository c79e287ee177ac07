// The fixed musical vocabulary of the chord knowledge: letters, note spellings,
// enharmonic replacements, degree codes and their labels, and the 17 selectable roots.
#pragma once

#include <array>
#include <string>
#include <string_view>

// Letter index 0..6 = C D E F G A B.
inline constexpr std::array<std::string_view, 7> LetterNames = {"C", "D", "E", "F", "G", "A", "B"};

// Semitones of each natural letter above C, by letter index.
inline constexpr std::array<int, 7> LetterSemitones = {0, 2, 4, 5, 7, 9, 11};

// MIDI notes of the open guitar strings, string 0 (the lowest) first: E A D G B E.
inline constexpr std::array<int, 6> OpenStringNote = {40, 45, 50, 55, 59, 64};

// [row][pitch class]: every spelling of a pitch class with at most two accidentals.
// Row 0 is the default spelling; pitch class 8 has only two, so "Ab" is in rows 0 and 2.
inline constexpr std::array<std::array<std::string_view, 12>, 3> NoteSpellingTable = {{
    {"C", "C#", "D", "Eb", "E", "F", "F#", "G", "Ab", "A", "Bb", "B"},
    {"Dbb", "Db", "C##", "D#", "D##", "E#", "E##", "F##", "G#", "G##", "A#", "A##"},
    {"B#", "B##", "Ebb", "Fbb", "Fb", "Gbb", "Gb", "Abb", "Ab", "Bbb", "Cbb", "Cb"},
}};

// The name shown for a pitch class when no chord decides the spelling.
inline constexpr const std::array<std::string_view, 12>& NoteNameTable = NoteSpellingTable[0];

struct EnharmonicPair {
    std::string_view spelling;
    std::string_view replacement;
};

// Awkward spellings and their plain replacements, in search order.
inline constexpr std::array<EnharmonicPair, 18> EnharmonicTable = {{
    {"B#", "C"},   {"Dbb", "C"}, {"B##", "C#"}, {"C##", "D"}, {"Ebb", "D"},  {"Fbb", "Eb"},
    {"D##", "E"},  {"Fb", "E"},  {"E#", "F"},   {"Gbb", "F"}, {"E##", "F#"}, {"F##", "G"},
    {"Abb", "G"},  {"G##", "A"}, {"Bbb", "A"},  {"Cbb", "Bb"}, {"A##", "B"}, {"Cb", "B"},
}};

// Replaces name by its plain spelling when it is one of EnharmonicTable (exact, case-sensitive).
void ConvertToEnharmonic(std::string& name);

struct DegreeLabelEntry {
    std::string_view code;   // two digits degree number, two digits semitones above the root
    std::string_view label;
};

// The standard degree codes and their labels, in ascending code order (the order the
// label menu lists them). "o7" is the diminished seventh, "b6" the minor sixth.
inline constexpr std::array<DegreeLabelEntry, 21> DegreeLabelTable = {{
    {"0100", "R"},  {"0201", "b2"}, {"0202", "2"},  {"0303", "b3"}, {"0304", "3"},
    {"0405", "4"},  {"0506", "b5"}, {"0507", "5"},  {"0508", "#5"}, {"0608", "b6"}, {"0609", "6"},
    {"0709", "o7"}, {"0710", "b7"}, {"0711", "7"},  {"0913", "b9"}, {"0914", "9"},
    {"0915", "#9"}, {"1117", "11"}, {"1118", "#11"}, {"1320", "b13"}, {"1321", "13"},
}};

// The label of a degree code, or "" for a code not in DegreeLabelTable.
std::string_view DegreeLabel(std::string_view code);

// One root the user can pick. Where its button sits is the window's business.
struct TRootInfo {
    std::string_view name;
    int letter;       // letter index 0 (C) .. 6 (B)
    int pitchClass;   // 0..11
};

inline constexpr int RootCount = 17;

// Index 0 = B (highest) down to 16 = C; the index is the root index used everywhere.
inline constexpr std::array<TRootInfo, RootCount> RootTable = {{
    {"B", 6, 11},  {"Bb", 6, 10}, {"A#", 5, 10}, {"A", 5, 9},  {"Ab", 5, 8}, {"G#", 4, 8},
    {"G", 4, 7},   {"Gb", 4, 6},  {"F#", 3, 6},  {"F", 3, 5},  {"E", 2, 4},  {"Eb", 2, 3},
    {"D#", 1, 3},  {"D", 1, 2},   {"Db", 1, 1},  {"C#", 0, 1}, {"C", 0, 0},
}};

// The index of the root spelled exactly name, or -1.
int FindRoot(std::string_view name);

// Whether name is a note name: a letter C to B and up to two accidentals of one kind ("Ebb", "F#").
bool IsNoteName(std::string_view name);

// The index of the root spelled name in either case ("c#" is C#, "bb" is Bb), or -1.
int FindRootAnyCase(std::string_view name);
