// The open chords of a beginner's chord book, as guitarists learn them: the generator lists
// them first among a chord's FOLK voicings, in the order the books give them.
#pragma once

#include "tools/voicings/VoicingRules.h"

#include <string>
#include <vector>

struct FamiliarShape {
    const char* type;   // a chord type of chords.def
    int pitchClass;     // of the root: the shape serves every spelling of that key
    const char* frets;  // low E string first, "x" = not played, "022100"
};

// Every familiar shape, chord by chord, the most familiar shape of a chord first.
const std::vector<FamiliarShape>& FamiliarShapes();

// The frets written in a FamiliarShape.
GuitarFrets FretsOf(const char* frets);

// The familiar shapes of type on a root of pitchClass, in book order.
std::vector<GuitarFrets> FamiliarShapesOf(const std::string& type, int pitchClass);
