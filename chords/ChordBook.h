// The tables of the chord knowledge: the chord types and voicings read from the definition
// files, loaded once and read-only afterwards, and the plain records the chord functions
// hand back (ChordCalculation.h, ChordVariations.h, ReverseFinder.h). Pure C++, no Qt.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

// A failure of the chord knowledge; what() is the message shown to the user.
class ChordError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum GameType { gtGuitar = 0, gtPiano = 1 };

// One chord type of "chords.def".
struct TChordStruct {
    std::vector<std::string> degrees;   // degree codes in file order, e.g. "0304"
    int line = 0;                       // 0-based file line that last defined it
};

// One voicing line of the voicing file.
struct TChord {
    std::string name;                      // chord type as written; matched without case
    std::string root;                      // root as written; matched without case
    const std::string* category = nullptr; // key of its VoicingCategories entry, or none
    // Piano: [0] offset, then note values (sorted by magnitude); MIDI note = |v| + [0].
    // Guitar: [0] fret offset, [1..6] strings 0..5; fret = |v| + [0]; |v| > 20 = unplayed.
    // A negative value marks the note. Non-numbers are stored as 65535. Never empty.
    std::vector<int> numbers;
};

// A chord or voicing ready to draw and play: four parallel sequences, one element per tone.
struct TChordVariation {
    std::vector<int> notes;                 // MIDI note (piano) or fret (guitar, 65535 = unplayed);
                                            // negative when the voicing marks the note
    std::vector<long> colours;              // red + 256*green + 65536*blue; 0 = no own colour
    std::vector<std::string> degreeLabels;  // from DegreeLabelTable, or ""
    std::vector<std::string> noteNames;     // spelled name; "" for an unplayed string
};

inline constexpr int UnplayedString = 65535;

// What the voicing finder reuses between searches, built with the tables.
struct FinderIndex {
    // Per voicing name (lower case), the positions a variation walk visits, split by the
    // RootTable index of their root. Hashed: a search looks names up per chord type and root.
    std::unordered_map<std::string, std::vector<std::vector<std::size_t>>> walks;
    // Sounding pitch -> the voicings (positions, ascending) that play it.
    std::unordered_map<std::int64_t, std::vector<std::size_t>> voicingsWithPitch;
    // Per voicing name, the roots on which CalculateChord succeeds.
    std::unordered_map<std::string, std::vector<bool>> calculable;
    bool built = false;   // set by BuildFinderIndex; ReverseFind needs it
};

// The chord types, chord lists, aliases and voicings of one run.
struct ChordBook {
    ChordBook() = default;
    // The voicing tables point into each other, so a copy would point into its original.
    ChordBook(const ChordBook&) = delete;
    ChordBook& operator=(const ChordBook&) = delete;
    ChordBook(ChordBook&&) = default;
    ChordBook& operator=(ChordBook&&) = default;

    // Chord types by lower-case name.
    std::map<std::string, TChordStruct> ChordTypes;
    // List name -> member chord types in file order (duplicates kept).
    std::map<std::string, std::vector<std::string>> ChordLists;
    // Chord type -> the names it is linked to by alias lines.
    std::map<std::string, std::vector<std::string>> ChordAliases;
    // List name -> "(member)(member)...".
    std::map<std::string, std::string> ListMembers;
    // Every voicing line in file order. Reserved before the first store and never
    // reallocated afterwards, so the pointers of VoicingIndex stay valid.
    std::vector<TChord> Voicings;
    // Lower-case voicing name -> first voicing of every run of consecutive lines of that name.
    std::map<std::string, std::vector<const TChord*>> VoicingIndex;
    // Category name (as written in its header) -> index of the next voicing after the header.
    std::map<std::string, int> VoicingCategories;
    // Colour per key of the definitions file's Colors section; degree-code keys colour tones.
    // Set by the window before the first calculation.
    std::map<std::string, long> ColourMap;
    // The reverse finder's index of the voicings.
    FinderIndex Index;

    GameType Game = gtPiano;   // instrument of the load
};

// Reads folder/"chords.def", then folder/"pianochords.def" (gtPiano) or
// folder/"guitarchords.def", and builds the finder's index. Throws ChordError with the
// user's message, which names the bare file ("File not found: chords.def", "syntax error:
// line=3, file=chords.def", "error 'maj7' not yet defined: line=5, file=chords.def").
// Line numbers are 0-based. The window sets its category filter to "All" afterwards.
ChordBook LoadChordDefinitions(const std::string& folder, GameType game);
// The same without the finder's index, for a caller that builds it later with
// BuildFinderIndex (ReverseFinder.h), before its first search.
ChordBook LoadChordTables(const std::string& folder, GameType game);
