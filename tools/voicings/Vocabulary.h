// The chord vocabulary as the voicing tools see it: "chords.def" read with the program's own
// loader, and its chord types told apart from their aliases.
#pragma once

#include "chords/ChordBook.h"
#include "tools/voicings/VoicingRules.h"

#include <string>
#include <vector>

// Reads chordsFile alone (no voicing file) into a ChordBook. Throws ChordError.
ChordBook LoadVocabulary(const std::string& chordsFile);

// A chord type defined by an alias line: it is linked to a type defined on an earlier line.
bool IsAlias(const ChordBook& book, const std::string& name);

// The chord types that are not aliases, in the order of their lines in the file.
std::vector<std::string> RealChordTypes(const ChordBook& book);

// The shape of every chord type that is not an alias, each linked to the smaller chord
// types inside it (LinkSmallerChords), by name.
std::map<std::string, ChordShape> AnalyseVocabulary(const ChordBook& book);
