// Writes the two voicing files from the chord vocabulary: every chord type that is not an
// alias, on all 17 roots, each root under its own spelling.
#pragma once

#include "chords/ChordBook.h"

#include <ostream>

void WriteGuitarVoicings(const ChordBook& vocabulary, std::ostream& out);
void WritePianoVoicings(const ChordBook& vocabulary, std::ostream& out);
