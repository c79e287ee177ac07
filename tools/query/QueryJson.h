// A minimal one-line JSON writer for tonvera-query. The data files' text is UTF-8 and is
// written as it is; a byte that is no valid UTF-8 is taken as its Latin-1 character.
#pragma once

#include "chords/ChordBook.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

std::string JsonString(std::string_view text);
std::string JsonStrings(const std::vector<std::string>& items);
std::string JsonInts(const std::vector<int>& items);

struct VariationList;
// {"notes":[...],"names":[...],"labels":[...]}: the values as the list holds them (guitar frets,
// 65535 for a string not played, negative for a marked root tone).
std::string JsonVariation(const TChordVariation& variation);

// The list's results as data, one object per result line: "root", "type" and "bass" (the name of
// the lowest note), and for a voicing also "category", "notes" (the MIDI notes it sounds, low
// string or low note first), "roots" (whether each of those notes is a root tone) and on the
// guitar "frets" (per string from the low E, null for a string not played).
std::string JsonResults(const VariationList& list, GameType game);
