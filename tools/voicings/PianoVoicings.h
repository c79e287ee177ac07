// The piano voicings the generator writes for one chord on one root: close position and
// inversions, open (spread) position, shells, the two rootless jazz forms and two-hand voicings.
#pragma once

#include "tools/voicings/VoicingRules.h"

#include <string>
#include <vector>

struct PianoVoicing {
    std::string category;
    std::vector<int> notes;  // MIDI notes, ascending
};

// The piano categories in the order the file lists them.
const std::vector<std::string>& PianoCategories();

// Voicings of shape on the root of rootPitchClass, each within the keyboard's range,
// without duplicates, in category order.
std::vector<PianoVoicing> PianoVoicingsFor(const ChordShape& shape, int rootPitchClass);
