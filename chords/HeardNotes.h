// Where notes heard from a MIDI keyboard are marked on the instrument, so the reverse finder
// can name what is played: on the piano each note is its own key, on the guitar the notes
// become a shape a guitarist could fret. Pure functions; the instrument's size comes in.
#pragma once

#include "chords/ChordBook.h"

#include <set>

// The positions the instrument view has: piano keys firstKey..lastKey, guitar frets
// 0..fretCount-1 on every string.
struct InstrumentRange {
    int firstKey = 36;
    int lastKey = 83;
    int fretCount = 16;
};

// The heard note moved by whole octaves into firstKey..lastKey (the note itself when it is
// on the keyboard). The range must span at least an octave.
int PianoCodeForNote(int note, const InstrumentRange& range);

// One position per string (code string * 256 + fret) for the heard notes:
// - each note is first moved by octaves onto the fretboard (open low E up to the top
//   string's last fret), and the lowest note heard stays the lowest (the finder names
//   chords from it);
// - with more than six notes, octave doublings go first (the bass stays), then the highest;
// - lower notes go on lower strings, and among those shapes the one with the fewest notes
//   moved by an octave wins, then the narrowest stretch of the fretting hand (at most four
//   frets from the first finger to the little finger while any shape allows it), then the
//   fewest muted strings inside the shape, then the position nearest the nut.
// A note that no shape can hold together with the others (two notes a semitone apart on
// the low E string) is moved by an octave; so every pitch class heard is kept while there
// are at most six.
std::set<int> GuitarCodesForNotes(const std::set<int>& notes, const InstrumentRange& range);

// The finder's mark codes for the heard notes on the instrument of the run.
std::set<int> MarkCodesForNotes(GameType game, const std::set<int>& notes, const InstrumentRange& range);
