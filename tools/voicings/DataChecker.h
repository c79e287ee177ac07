// Checks the shipped data files: the chord vocabulary, and every voicing against the voicing
// rules, the categories and the coverage every chord type on every root must have.
#pragma once

#include <string>
#include <vector>

struct DataReport {
    std::vector<std::string> faults;  // one line per broken rule; empty when the data is sound
    std::string coverage;             // voicings per chord type and category, as a table
    std::string firstShapes;          // per chord, the first guitar and piano voicing listed
};

// Reads folder/chords.def, folder/guitarchords.def and folder/pianochords.def.
DataReport CheckDataFolder(const std::string& folder);
