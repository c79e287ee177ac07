// The rules every shipped voicing obeys: which tones it must and may sound, where its root
// lies, and what a guitar hand can hold. Shared by the voicing generator and its checker.
#pragma once

#include "layout/Layout.h"

#include <array>
#include <string>
#include <vector>

// One tone of a chord type, read from its degree code.
struct ChordTone {
    std::string code;   // "0304"
    int degree = 0;     // 3
    int semitones = 0;  // 4
    int pitchClass = 0; // semitones mod 12, relative to the root
    bool required = true;
};

// What the rules need to know about a chord type.
struct ChordShape {
    std::string name;
    std::vector<ChordTone> tones;
    unsigned toneMask = 0;      // relative pitch classes of all tones (bit 0 = root)
    unsigned requiredMask = 0;  // relative pitch classes every voicing sounds (root excluded)
    bool hasSeventh = false;    // a 7th-degree tone
    bool hasSixth = false;      // a 6th-degree tone
    bool hasExtension = false;  // a 9th, 11th or 13th
    // Rootless forms are the jazz voicings of extended chords with a seventh or sixth.
    bool rootlessAllowed() const { return hasExtension && (hasSeventh || hasSixth); }
    const ChordTone* toneOfPitchClass(int relativePitchClass) const;
};

// Reads the degree codes of a chord type. The fifth may always be left out; so may the 9th
// of a chord with an 11th or 13th, the 11th of a chord with a 13th, and the major third of
// a seventh chord with an 11th (the 11th takes its place, as players voice it).
// The fifth of a chord that has nothing else beside its root (the power chord) is required.
ChordShape AnalyseChord(const std::string& name, const std::vector<std::string>& degrees);

// One sounding note of a voicing.
struct SoundingNote {
    int midi = 0;
    bool marked = false;   // written negative: drawn as a root square
    bool open = false;     // an open guitar string, which cannot carry the mark
};

// Where the root may lie, decided by the voicing's category.
struct RootPlacement {
    bool inversionAllowed = false;  // piano inversions: root present but not lowest
    bool rootlessAllowed = false;   // rootless forms of extended chords
};

// Checks the tones of a voicing of shape on a root of rootPitchClass. Returns one text per
// broken rule (empty when the voicing is sound).
std::vector<std::string> CheckTones(const ChordShape& shape, int rootPitchClass,
                                    const std::vector<SoundingNote>& notes, RootPlacement placement);

inline constexpr int MutedString = -1;
inline constexpr int HighestFret = layout::FretCount - 1;   // the highest the fretboard shows
using GuitarFrets = std::array<int, 6>;  // string 0 (low E) .. 5; MutedString when not played

// What the fretting hand needs: fretted notes within four frets of each other, and at most
// four fingers, where an index-finger barre across the lowest fret counts as one.
struct HandShape {
    int playedStrings = 0;
    int frettedNotes = 0;
    int openStrings = 0;
    int lowestFret = 0;   // of the fretted notes; 0 when none is fretted
    int highestFret = 0;
    bool barre = false;   // the lowest fret is held by one finger across two or more strings
    int fingers = 0;
};
HandShape DescribeHand(const GuitarFrets& frets);

// Checks that frets are 0..15, lie within four frets of each other and need at most four fingers.
std::vector<std::string> CheckGuitarHand(const GuitarFrets& frets);

// The sounding notes of a guitar voicing, lowest string first; root notes are marked.
std::vector<SoundingNote> GuitarNotes(const GuitarFrets& frets, int rootPitchClass);

// Checks what the guitar categories promise: FOLK holds open-position chords (frets 0-4,
// with open strings or a first-fret barre), POP and JAZZ hold movable forms without open strings.
std::vector<std::string> CheckGuitarCategory(const std::string& category, const GuitarFrets& frets);

// The root placements the categories allow on each instrument.
RootPlacement GuitarPlacement(const std::string& category);
RootPlacement PianoPlacement(const std::string& category);

inline constexpr int LowestPianoNote = layout::FirstKey;   // the keys the keyboard shows
inline constexpr int HighestPianoNote = layout::LastKey;

inline int PitchClassOf(int midi) { return ((midi % 12) + 12) % 12; }
