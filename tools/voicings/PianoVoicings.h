// The piano voicings the generator writes for one chord on one root, in the order a pianist
// reaches for them: close position and inversions, shells, the two rootless jazz forms,
// drop-2, quartal stacks, upper-structure triads and two-hand voicings.
#pragma once

#include "tools/voicings/VoicingRules.h"

#include <string>
#include <vector>

struct PianoVoicing {
    std::string category;
    std::vector<int> notes;  // MIDI notes, ascending
};

// The piano categories in the order the file lists them, which is the order of a chord's list.
const std::vector<std::string>& PianoCategories();

// Voicings of shape (linked to its smaller chords) on the root of rootPitchClass, each obeying
// every voicing rule, without duplicates, in category order.
std::vector<PianoVoicing> PianoVoicingsFor(const ChordShape& shape, int rootPitchClass);
