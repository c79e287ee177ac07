// Chord calculation: the spelled, labelled and coloured tones of a chord type on a root,
// and the MIDI notes a calculated chord or a voicing sounds.
#pragma once

#include "chords/ChordBook.h"

#include <optional>
#include <string>
#include <vector>

// The tones of chord type name (a lower-case key of book.ChordTypes) on RootTable[root],
// coloured from book.ColourMap. Throws "invalid chord type: " + name, "Root not selected!"
// for a root outside 0..16, "Internal error: calculate chord, fd>2!", or "'<code>' is not a
// valid integer value" for a malformed degree code.
TChordVariation CalculateChord(const ChordBook& book, const std::string& name, int root);

// The definition of chord type name, checked for a calculation on root: throws "invalid chord
// type: " + name or "Root not selected!" as CalculateChord does.
const TChordStruct& CheckedChordType(const ChordBook& book, const std::string& name, int root);

// The MIDI note each tone of chord sounds, none for an unplayed string. guitarFrets: the
// tones are frets of the strings (a guitar voicing), else MIDI notes; the sign is dropped.
std::vector<std::optional<int>> SoundingNotes(const TChordVariation& chord, bool guitarFrets);
