// The chord knowledge of one run: the chord types and voicings read from the definition
// files, chord calculation, the variations of a chord and the reverse chord finder.
// Pure C++: what the window decides comes in as plain arguments, and the variation
// list's lines come out in Lines for the window's list box to mirror.
// Called on the GUI thread only.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

// A failure of the chord knowledge; what() is the message shown to the user.
class ChordError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum GameType { gtGuitar = 0, gtPiano = 1 };

// One chord type of "chords.def".
struct TChordStruct {
    std::vector<std::string> degrees;   // degree codes in file order, e.g. "0304"
    int line = 0;                       // 0-based file line that last defined it
};

// One voicing line of the voicing file.
struct TChord {
    std::string name;                      // chord type as written; matched without case
    std::string root;                      // root as written; matched without case
    const std::string* category = nullptr; // key of its VoicingCategories entry, or none
    // Piano: [0] offset, then note values (sorted by magnitude); MIDI note = |v| + [0].
    // Guitar: [0] fret offset, [1..6] strings 0..5; fret = |v| + [0]; |v| > 20 = unplayed.
    // A negative value marks the note. Non-numbers are stored as 65535. Never empty.
    std::vector<int> numbers;
};

// A chord or voicing ready to draw and play: four parallel sequences, one element per tone.
struct TChordVariation {
    std::vector<int> notes;                 // MIDI note (piano) or fret (guitar, 65535 = unplayed);
                                            // negative when the voicing marks the note
    std::vector<long> colours;              // red + 256*green + 65536*blue; 0 = no own colour
    std::vector<std::string> degreeLabels;  // from DegreeLabelTable, or ""
    std::vector<std::string> noteNames;     // spelled name; "" for an unplayed string
};

inline constexpr int UnplayedString = 65535;

// What the window decides for the variation list.
struct VariationOptions {
    std::string guitarCategory;          // caption of the checked FOLK/POP/JAZZ button; "" on the piano
    std::string categoryFilter = "All";  // the piano category filter's text ("All" = no filter)
    bool convertDbl = false;             // the "convert double accidentals" setting
};

// What the window must do after ShowCurrentChord.
enum class DrawTarget { Nothing, FirstVariation, CurrentChord };
struct ShowResult {
    DrawTarget draw = DrawTarget::Nothing;
    int selectLine = -1;   // list line to select, -1 for none
};

// The reverse finder's input.
struct FinderQuery {
    std::map<int, std::string> marks;  // FinderMarks: note code -> required degree label or ""
    int mode = 0;                      // FinderMode: 0 "Show all chords", 1 "Show specific voicings"
    std::string typeFilter;            // from ChordTypeFilter (ChordButtons.h)
    VariationOptions options;
};

// Captions of the two finder modes, indexed by FinderMode.
inline constexpr const char* FinderModeCaptions[2] = {"Show all chords", "Show specific voicings"};

class ChordBook {
public:
    ChordBook() = default;
    // The voicing tables point into each other, so a copy would point into its original.
    ChordBook(const ChordBook&) = delete;
    ChordBook& operator=(const ChordBook&) = delete;
    ChordBook(ChordBook&&) = default;
    ChordBook& operator=(ChordBook&&) = default;

    // Reads folder/"chords.def", then folder/"pianochords.def" (gtPiano) or
    // folder/"guitarchords.def". Throws ChordError with the user's message, which names
    // the bare file ("File not found: chords.def", "syntax error: line=3, file=chords.def",
    // "error 'maj7' not yet defined: line=5, file=chords.def"). Line numbers are 0-based.
    // Every table is rebuilt from scratch. The window sets its category filter to "All" afterwards.
    void LoadChordDefinitions(const std::string& folder, GameType game);

    // Fills CurrentChord with the tones of chord type name (a lower-case key of ChordTypes)
    // on RootTable[root]. Throws "invalid chord type: " + name, "Internal error: calculate
    // chord, fd>2!", or "'<code>' is not a valid integer value" for a malformed degree code.
    // A root outside 0..16 fails with "Root not selected!". On failure CurrentChord is partly
    // filled and must not be used.
    void CalculateChord(const std::string& name, int root);

    // Appends to Lines and Variations the accepted voicings of type on root (never clears).
    // runs: the VoicingIndex entry of type, or nullptr to walk every voicing (which finds
    // voicings stored under an alias name). With filterByMarks, a voicing must also contain
    // every mark of marks. prefix: "" for the plain list, "<root><type> - " from the finder.
    // CurrentChord must hold the calculation of the same type and root.
    void BuildVariations(const std::string& type, int root, const std::vector<const TChord*>* runs,
                         bool filterByMarks, const std::string& prefix, const VariationOptions& options,
                         const std::map<int, std::string>& marks = {});

    // Refreshes the chord display for root (-1 = none) and chordTypeName (the window's
    // CurrentChordTypeName). Outside reverse-finder mode it clears and rebuilds Lines and
    // Variations ("No variations found!" when there is none); the window must then set its
    // list's Tag to -1, draw what the result says (Variations[0] or CurrentChord) and select
    // the given line. In reverse-finder mode only CurrentChord is recalculated. With convertDbl
    // the names of CurrentChord are converted last (the variations are spelled against the
    // unconverted ones), so the window draws the chord already converted, like the variations.
    // Throws "Root not selected!", "chord type not selected!" and CalculateChord's errors.
    ShowResult ShowCurrentChord(int root, const std::string& chordTypeName, bool reverseFinderOn,
                                const VariationOptions& options);

    // Rebuilds Lines and Variations with the chords (mode 0) or voicings (mode 1) that contain
    // the marks, best matches first; empty with fewer than two marks. The window must set its
    // list's Tag to -1. CurrentChord is restored afterwards. On an error the search stops,
    // Lines and Variations keep what was added (unsorted) and the error propagates.
    void ReverseFind(const FinderQuery& query);

    // Chord types by lower-case name.
    std::map<std::string, TChordStruct> ChordTypes;
    // List name -> member chord types in file order (duplicates kept).
    std::map<std::string, std::vector<std::string>> ChordLists;
    // Chord type -> the names it is linked to by alias lines.
    std::map<std::string, std::vector<std::string>> ChordAliases;
    // List name -> "(member)(member)...".
    std::map<std::string, std::string> ListMembers;
    // Every voicing line in file order. Reserved before the first store and never
    // reallocated afterwards, so the pointers of VoicingIndex stay valid. Read-only after the load.
    std::vector<TChord> Voicings;
    // Lower-case voicing name -> first voicing of every run of consecutive lines of that name.
    std::map<std::string, std::vector<const TChord*>> VoicingIndex;
    // Category name (as written in its header) -> index of the next voicing after the header.
    std::map<std::string, int> VoicingCategories;
    // Colour per key of the definitions file's Colors section; degree-code keys colour tones.
    // Set by the window before the first calculation.
    std::map<std::string, long> ColourMap;

    TChordVariation CurrentChord;
    std::deque<TChordVariation> Variations;   // element i belongs to line i when variations are listed
    std::vector<std::string> Lines;           // the variation list's lines

    GameType Game = gtPiano;                  // instrument of the last load

private:
    // What the voicing finder reuses between searches; rebuilt after a load.
    struct FinderIndex {
        // Per chord type, the positions BuildVariations walks, split by the RootTable index of their root.
        std::map<std::string, std::vector<std::vector<std::size_t>>> walks;
        // Sounding pitch -> the voicings (positions, ascending) that play it.
        std::unordered_map<std::int64_t, std::vector<std::size_t>> voicingsWithPitch;
        bool pitchesIndexed = false;
        // Per chord type, the roots on which CalculateChord is known to succeed.
        std::map<std::string, std::vector<bool>> calculable;
    };
    FinderIndex finderIndex_;

    // One BuildVariations call's fixed inputs.
    struct VariationQuery {
        bool filterByMarks;
        const std::string& prefix;
        const VariationOptions& options;
        const std::map<int, std::string>& marks;
        std::size_t firstVoicing;   // start of the guitar category
    };
    std::vector<std::size_t> walkOrder(const std::string& type, const std::vector<const TChord*>* runs) const;
    void addVariation(std::size_t position, const std::string& type, int root, const VariationQuery& query);
    void addVoicings(const std::vector<std::size_t>& positions, const std::string& type, int root,
                     const std::string& prefix, const FinderQuery& query);
    const std::vector<std::vector<std::size_t>>& finderWalks(const std::string& type,
                                                             const std::vector<const TChord*>& runs);
    std::vector<char> voicingsSoundingMarks(const std::map<int, std::string>& marks);
    void findVoicings(const std::string& name, const std::vector<const TChord*>& runs, int root,
                      const std::vector<char>& soundsMarks, const FinderQuery& query);
    void loadChordTypes(const std::string& folder);
    void loadVoicings(const std::string& folder, GameType game);
    void processChordLine(std::string line, int index, std::string& currentList);
    void processVoicingLine(const std::string& line, int index, const std::string& fileName,
                            const std::string*& currentCategory, std::string& previousKey);
    std::size_t categoryStart(const VariationOptions& options) const;
    bool acceptVoicing(const TChord& v, const std::string& type, int root, const VariationOptions& options) const;
    std::vector<std::int64_t> soundingPitches(const TChord& v) const;
    bool soundsEveryMark(const TChord& v, const std::map<int, std::string>& marks) const;
    TChordVariation buildCandidate(const TChord& v, const VariationOptions& options,
                                   std::string& text) const;
    bool containsMarks(const TChordVariation& candidate, const std::map<int, std::string>& marks) const;
    bool isDuplicate(const TChordVariation& candidate) const;
};

// The pitch a finder mark sounds: the code itself on the piano, OpenStringNote[string] + fret
// on the guitar (code = string * 256 + fret). -1 for a guitar code whose string is not 0..5.
int MarkSoundingNote(GameType game, int code);

// The MIDI note each tone of chord sounds, none for an unplayed string. guitarFrets: the
// tones are frets of the strings (a guitar voicing), else MIDI notes; the sign is dropped.
std::vector<std::optional<int>> SoundingNotes(const TChordVariation& chord, bool guitarFrets);

// Stores a finder mark as the instrument view does. On the guitar in mode 1 every mark on the
// same string (code div 256) is removed first, so a voicing search has one mark per string.
// A negative code stores nothing.
void SetMarkLabel(std::map<int, std::string>& marks, int code, const std::string& label,
                  GameType game, int finderMode);
