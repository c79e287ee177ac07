// The rules every shipped voicing obeys: which tones it must and may sound, which chord it
// names, where its root lies, how low its intervals may sit and what a hand can hold.
// Shared by the voicing generator and its checker.
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

// A chord type with fewer tones than a larger one, all of them tones of the larger one.
// A voicing of the larger chord that sounds only these tones, and all this type needs,
// is this smaller chord: it is stored under the smaller chord's name alone.
struct SmallerChord {
    std::string name;
    unsigned toneMask = 0;
    unsigned requiredMask = 0;
    bool rootlessAllowed = false;
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
    std::vector<SmallerChord> smallerChords;  // filled by LinkSmallerChords
};

// Reads the degree codes of a chord type. The fifth may always be left out; so may the 9th
// of a chord with an 11th or 13th and the 11th of a chord with a 13th. The third always
// sounds. The fifth of a chord that has nothing else beside its root (the power chord) is
// required. Which further tones a voicing needs to stay this chord, LinkSmallerChords says.
ChordShape AnalyseChord(const std::string& name, const std::vector<std::string>& degrees);

// Gives each shape the chord types of fewer tones that lie inside it (same root), except its
// own form without the fifth (7no5 inside 7): leaving out the fifth keeps a chord's name.
void LinkSmallerChords(std::vector<ChordShape>& shapes);

// The smaller chord that a voicing sounding the relative pitch classes `sounded` (bit 0 =
// the root) is, or nullptr when the voicing is a voicing of shape's own chord.
const SmallerChord* SmallerChordHolding(const ChordShape& shape, unsigned sounded);

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

// Checks the tones of a voicing of shape on a root of rootPitchClass, and that it is not a
// voicing of a smaller chord. Returns one text per broken rule (empty when the voicing is sound).
std::vector<std::string> CheckTones(const ChordShape& shape, int rootPitchClass,
                                    const std::vector<SoundingNote>& notes, RootPlacement placement);

// The lowest note on which each small interval between neighbouring notes of a voicing may
// start before it sounds muddy. Intervals not in a table are free at any height.
struct LowIntervalLimit {
    int semitones;
    int lowestNote;     // MIDI note of the interval's lower note
    const char* name;
};
using LowIntervalTable = std::vector<LowIntervalLimit>;
const LowIntervalTable& PianoLowIntervals();
const LowIntervalTable& GuitarLowIntervals();

// Checks every pair of neighbouring notes (in any order given) against table.
std::vector<std::string> CheckLowIntervals(std::vector<int> notes, const LowIntervalTable& table);

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

// A chord at the nut: fretted notes on the first four frets, with open strings or a barre.
bool IsOpenPosition(const HandShape& hand);

// Muted strings between the lowest and the highest played string.
int InnerMutedStrings(const GuitarFrets& frets);

// Checks what the guitar categories promise: FOLK holds chords at the nut (IsOpenPosition),
// POP and JAZZ hold movable forms without open strings. A rootless JAZZ form leaves the low
// E string to the bass and mutes at most one string between its played strings.
std::vector<std::string> CheckGuitarCategory(const std::string& category, const GuitarFrets& frets,
                                             int rootPitchClass);

// The root placements the categories allow on each instrument.
RootPlacement GuitarPlacement(const std::string& category);
RootPlacement PianoPlacement(const std::string& category);

// Every rule a guitar voicing of shape in category obeys: the hand, the category, the tones
// (notes: its sounding notes, marks as written) and the low intervals.
std::vector<std::string> CheckGuitarVoicing(const ChordShape& shape, int rootPitchClass, const std::string& category,
                                            const GuitarFrets& frets, const std::vector<SoundingNote>& notes);

inline constexpr int LowestPianoNote = layout::FirstKey;   // the keys the keyboard shows
inline constexpr int HighestPianoNote = layout::LastKey;

// What a piano category promises: Close is one hand (at most five notes within 14
// semitones); a Shell has its root between E2 and D#3.
inline constexpr int OneHandSpan = 14;
inline constexpr int LowestShellRoot = 40;
inline constexpr int HighestShellRoot = 51;
std::vector<std::string> CheckPianoCategory(const std::string& category, const std::vector<int>& notes,
                                            int rootPitchClass);

// Every rule a piano voicing of shape in category obeys: the tones, the low intervals and
// the category.
std::vector<std::string> CheckPianoVoicing(const ChordShape& shape, int rootPitchClass, const std::string& category,
                                           const std::vector<SoundingNote>& notes);

inline int PitchClassOf(int midi) { return ((midi % 12) + 12) % 12; }
