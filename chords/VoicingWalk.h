// What the variation list and the reverse finder share inside the chord knowledge: which
// voicings a walk visits, which pitches a voicing sounds, and adding accepted voicings.
#pragma once

#include "chords/ChordBook.h"
#include "chords/ChordVariations.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The positions in book.Voicings a variation walk visits: each run of equally named voicings
// to its end plus the one voicing after it (which may be stored under an alias); without
// runs, every voicing.
std::vector<std::size_t> WalkOrder(const ChordBook& book, const std::string& type,
                                   const std::vector<const TChord*>* runs);

// The pitches voicing v sounds (unplayed guitar strings left out).
std::vector<std::int64_t> SoundingPitches(const ChordBook& book, const TChord& v);

// BuildVariations' fixed inputs, by reference.
struct VariationWalk {
    const std::string& type;
    int root;
    bool filterByMarks;
    const std::string& prefix;
    const VariationOptions& options;
    const std::map<int, std::string>& marks;
};

// Adds to added every voicing at positions that walk accepts, spelled against chord, numbered
// after the lines of listed and added, unless listed or added already holds its notes.
void AddVariations(const ChordBook& book, const TChordVariation& chord, const std::vector<std::size_t>& positions,
                   const VariationWalk& walk, const VariationList& listed, VariationList& added);


