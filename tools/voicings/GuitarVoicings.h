// The guitar voicings the generator writes for one chord on one root: open-position chords
// (FOLK), movable barre forms (POP), and shells, drop-2, drop-3 and rootless forms (JAZZ).
#pragma once

#include "tools/voicings/VoicingRules.h"

#include <string>
#include <vector>

struct GuitarVoicing {
    std::string category;  // "FOLK", "POP" or "JAZZ"
    GuitarFrets frets;
};

// The guitar categories in the order the file lists them (each shows itself and those after it).
const std::vector<std::string>& GuitarCategories();

// Searches every fingering of shape on the root of rootPitchClass that obeys the voicing rules
// and the style of each category, and keeps the best few of each: in category order.
std::vector<GuitarVoicing> GuitarVoicingsFor(const ChordShape& shape, int rootPitchClass);
