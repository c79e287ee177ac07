// The reverse chord finder: which chords or stored voicings contain the marked notes, and
// the rules for placing marks.
#pragma once

#include "chords/ChordBook.h"
#include "chords/ChordVariations.h"

#include <map>
#include <string>
#include <vector>

// The reverse finder's input.
struct FinderQuery {
    std::map<int, std::string> marks;  // FinderMarks: note code -> required degree label or ""
    int mode = 0;                      // FinderMode: 0 "Show all chords", 1 "Show specific voicings"
    std::string typeFilter;            // from ChordTypeFilter (ChordButtons.h)
    VariationOptions options;
    // "Name chords from the lowest note": among chords of as many tones, one whose root is the
    // bass ranks first (a common type still before a rare one: a type of a chord list), and a
    // mode-0 line of any other chord names its bass after a slash ("Cmaj/E "). In mode 1 the bass
    // is the voicing's lowest note, and voicings with no notes beyond the marks come first.
    // Off, the order is fewest tones, then the chords file's order, then roots from C up.
    bool nameFromBass = false;
};



// Captions of the two finder modes, indexed by FinderMode.
inline constexpr const char* FinderModeCaptions[2] = {"Show all chords", "Show specific voicings"};

// What a search found. On an error the search stops: list holds what was found before it,
// unsorted, and error its message.
struct FinderResult {
    VariationList list;   // mode 0 lists chords only; mode 1 one variation per line
    std::string error;
};

// Builds book.Index from the loaded voicings (LoadChordDefinitions does it already).
void BuildFinderIndex(ChordBook& book);
// The same index, made without touching the book, so that it can be made on a worker
// thread while other threads only read the book.
FinderIndex MakeFinderIndex(const ChordBook& book);

// The chords (mode 0) or voicings (mode 1) that contain the marks, best matches first;
// empty with fewer than two marks. The book's finder index must be built.
FinderResult ReverseFind(const ChordBook& book, const FinderQuery& query);

// The pitch a finder mark sounds: the code itself on the piano, OpenStringNote[string] + fret
// on the guitar (code = string * 256 + fret). -1 for a guitar code whose string is not 0..5.
int MarkSoundingNote(GameType game, int code);

// Stores a finder mark as the instrument view does. On the guitar in mode 1 every mark on the
// same string (code div 256) is removed first, so a voicing search has one mark per string.
// A negative code stores nothing.
void SetMarkLabel(std::map<int, std::string>& marks, int code, const std::string& label,
                  GameType game, int finderMode);
