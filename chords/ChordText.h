// Text forms of pitches, finder marks and whole chords, for the command line and the
// clipboard: scientific pitch names (C4 = middle C = MIDI 60), the finder's mark syntax,
// guitar fret strings ("x32010") and the chord as plain text. Pure C++, no Qt.
#pragma once

#include "chords/ChordBook.h"

#include <optional>
#include <string>
#include <string_view>

// The MIDI note of a scientific pitch name: a letter (either case), up to two accidentals of
// one kind ("#" or "b") and an octave from -1 to 9: "C4" = 60, "Cb4" = 59, "B#3" = 60, "bb3" = 58.
// None when the text is no such name or the note lies outside 0..127.
std::optional<int> ParsePitchName(std::string_view text);

// The spelled name with its octave ("B#3" for B# sounding MIDI 60): the octave number follows the
// letter, so a spelling across the octave line keeps its letter's octave. A name that is not
// spelled ("") takes the plain name of the pitch.
std::string PitchName(std::string_view spelled, int note);

// Whether label is one of the degree labels of DegreeLabelTable (exact, case-sensitive).
bool IsDegreeLabel(std::string_view label);

// A finder mark as typed on a command line.
struct ParsedMark {
    int code = -1;        // note code: MIDI note (piano) or string * 256 + fret (guitar)
    std::string label;    // required degree label, "" for none
    std::string error;    // why the text is no mark, naming the text; "" when it is one
};

inline constexpr int HighestMarkFret = 24;

// "60", "C4", "Eb3=b3" on the piano; "1/3", "1/3=R" on the guitar (string 0 the lowest E,
// frets 0 to HighestMarkFret). A label must be a degree label. Never throws.
ParsedMark ParseMark(std::string_view text, GameType game);

// Whether tone i is a root tone: marked as one in its voicing (a negative value) or labelled "R".
bool IsRootTone(const TChordVariation& chord, std::size_t i);

// A guitar voicing's frets from the low E string up: "x" for a string not played, "x32010";
// with a fret above 9 the frets are joined by "-" ("x-10-12-12-12-x").
std::string FretString(const TChordVariation& voicing);

// The chord as text for the clipboard: its name, its notes and degrees (from chord, the
// calculated chord), and the voicing when there is one: frets on the guitar, pitch names with
// octaves on the piano. Lines end with "\n".
struct ChordTextParts {
    std::string name;                          // "Cmaj7"
    const TChordVariation* chord = nullptr;    // the calculated chord
    const TChordVariation* voicing = nullptr;  // the voicing as the window holds it, or none
    GameType game = gtPiano;
};
std::string ChordAsText(const ChordTextParts& parts);
