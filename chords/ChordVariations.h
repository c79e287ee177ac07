// The variations of a chord: its stored voicings spelled and labelled against the
// calculated chord, with the variation list's lines, and the refresh of the chord display.
#pragma once

#include "chords/ChordBook.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

// What the window decides for the variation list.
struct VariationOptions {
    std::string guitarCategory;          // caption of the checked FOLK/POP/JAZZ button; "" on the piano
    std::string categoryFilter = "All";  // the piano category filter's text ("All" = no filter)
    bool convertDbl = false;             // the "convert double accidentals" setting
};

// What a result line of the variation list stands for, as data rather than display text.
struct LineSource {
    int root = -1;          // RootTable index
    std::string type;       // chord type name
    std::string category;   // the voicing's category, "" for a chord or a voicing without one
    std::string bass;       // the finder's bass, named when it is not the root, else ""
};

// The variation list: its lines, and the variation of each line while variations are listed.
struct VariationList {
    std::vector<std::string> Lines;
    std::deque<TChordVariation> Variations;   // element i belongs to line i
    std::vector<LineSource> Sources;          // element i belongs to line i; a message line
                                              // ("No variations found!") has none

    // Appends other's lines, variations and sources.
    void Append(VariationList&& other);
};

// Which voicings BuildVariations visits and how it lists them.
struct VariationRequest {
    std::string type;                                 // chord type
    int root = -1;                                    // RootTable index
    const std::vector<const TChord*>* runs = nullptr; // the VoicingIndex entry of type, or none to walk
                                                      // every voicing (which finds those stored under an alias)
    bool filterByMarks = false;                       // a voicing must also contain every mark
    std::string prefix;                               // "" for the plain list, "<root><type> - " from the finder
    VariationOptions options;
    std::map<int, std::string> marks;                 // FinderMarks, with filterByMarks
};

// The accepted voicings of request.type on request.root as new list entries, numbered
// after listed and leaving out any whose notes listed already holds. chord must hold the
// calculation of the same type and root. Throws "invalid chord type: " + type and
// "Root not selected!".
VariationList BuildVariations(const ChordBook& book, const TChordVariation& chord, const VariationRequest& request,
                              const VariationList& listed = {});

// What the window must draw after ShowCurrentChord.
enum class DrawTarget { Nothing, FirstVariation, CurrentChord };

struct ShowResult {
    TChordVariation CurrentChord;   // the chord, its names converted last with convertDbl
    VariationList list;             // the new variation list (outside reverse-finder mode)
    bool listRebuilt = false;       // false in reverse-finder mode: the finder's list stays
    DrawTarget draw = DrawTarget::Nothing;
    int selectLine = -1;            // list line to select, -1 for none
};

// The chord display for root (-1 = none) and chordTypeName (the window's
// CurrentChordTypeName). Outside reverse-finder mode it builds the variation list ("No
// variations found!" when there is none); the window then sets its list's Tag to -1, draws
// what the result says (Variations[0] or CurrentChord) and selects the given line. In
// reverse-finder mode only the chord is calculated. With convertDbl the chord's names are
// converted after the variations are spelled against the unconverted ones. Throws "Root not
// selected!", "chord type not selected!" and CalculateChord's errors.
ShowResult ShowCurrentChord(const ChordBook& book, int root, const std::string& chordTypeName, bool reverseFinderOn,
                            const VariationOptions& options);
