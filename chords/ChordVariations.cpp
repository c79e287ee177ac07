// The variations of a chord: stored voicings spelled and labelled against the calculated chord.
#include "chords/ChordVariations.h"

#include "chords/ChordCalculation.h"
#include "chords/DegreeCode.h"
#include "chords/Notes.h"
#include "chords/ReverseFinder.h"
#include "base/TextUtil.h"
#include "chords/VoicingWalk.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <numeric>
#include <unordered_set>

namespace {

std::int64_t magnitude(std::int64_t value) { return value < 0 ? -value : value; }

// Extreme offsets in a voicing file can give pitches beyond int; such notes are never
// drawn or played, so saturating them keeps the tables in int without overflow.
int saturate(std::int64_t value)
{
    return int(std::clamp<std::int64_t>(value, -INT_MAX, INT_MAX));
}

// The first chord tone spelled exactly name, or -1.
int toneNamed(const TChordVariation& chord, std::string_view name)
{
    for (std::size_t j = 0; j < chord.noteNames.size(); ++j)
        if (chord.noteNames[j] == name)
            return int(j);
    return -1;
}

// The sounding pitch of voicing number k and the value stored for it (MIDI note on the
// piano, fret on the guitar, negative when marked). False for an unplayed guitar string.
struct VoicingNote {
    std::int64_t pitch = 0;
    int note = 0;
};

bool voicingNote(GameType game, const std::vector<int>& n, std::size_t k, VoicingNote& result)
{
    if (game == gtPiano) {
        result.pitch = magnitude(n[k]) + n[0];
        result.note = saturate(n[k] < 0 ? -result.pitch : result.pitch);
        return true;
    }
    if (k > 6 || magnitude(n[k]) > 20)
        return false;
    const std::int64_t fret = magnitude(n[k]) + n[0];
    result.pitch = fret + OpenStringNote[k - 1];
    result.note = saturate(n[k] < 0 ? -fret : fret);
    return true;
}

bool hasToneWithLetter(const TChordVariation& chord, char letter)
{
    return std::any_of(chord.noteNames.begin(), chord.noteNames.end(),
                       [letter](const std::string& name) { return !name.empty() && name[0] == letter; });
}


std::size_t categoryStart(const ChordBook& book, const VariationOptions& options)
{
    if (book.Game != gtGuitar)
        return 0;
    const auto start = book.VoicingCategories.find(options.guitarCategory);
    return start == book.VoicingCategories.end() ? 0 : std::size_t(start->second);
}

bool acceptVoicing(const ChordBook& book, const TChord& v, const std::string& type, int root,
                   const VariationOptions& options)
{
    if (!SameText(v.root, RootTable[root].name))
        return false;
    if (options.categoryFilter != "All" && (!v.category || *v.category != options.categoryFilter))
        return false;
    if (SameText(v.name, type))
        return true;
    const auto aliases = book.ChordAliases.find(type);
    if (aliases == book.ChordAliases.end())
        return false;
    const std::string lowerName = LowerCase(v.name);
    return std::find(aliases->second.begin(), aliases->second.end(), lowerName) != aliases->second.end();
}

bool soundsEveryMark(const ChordBook& book, const TChord& v, const std::map<int, std::string>& marks)
{
    const std::vector<std::int64_t> pitches = SoundingPitches(book, v);
    return std::all_of(marks.begin(), marks.end(), [&](const auto& mark) {
        return std::find(pitches.begin(), pitches.end(), MarkSoundingNote(book.Game, mark.first)) != pitches.end();
    });
}

// The voicing spelled and labelled against chord; text gets its list text.
TChordVariation buildCandidate(GameType game, const TChord& v, const TChordVariation& chord,
                               const VariationOptions& options, std::string& text)
{
    const std::vector<int>& n = v.numbers;
    const std::size_t count = n.size() - 1;
    TChordVariation candidate;
    candidate.notes.assign(count, UnplayedString);
    candidate.colours.assign(count, 0);
    candidate.degreeLabels.assign(count, std::string());
    candidate.noteNames.assign(count, std::string());

    for (std::size_t k = 1; k < n.size(); ++k) {
        VoicingNote note;
        if (!voicingNote(game, n, k, note))
            continue;   // unplayed string
        const auto pc = std::size_t(FloorMod(note.pitch, 12));

        // A pitch class that is a chord tone takes that tone's spelling, label and colour.
        int tone = -1;
        std::string_view spelling;
        for (std::size_t row = 0; row < NoteSpellingTable.size() && tone < 0; ++row) {
            spelling = NoteSpellingTable[row][pc];
            tone = toneNamed(chord, spelling);
        }
        if (!text.empty())
            text += ", ";

        const std::size_t e = k - 1;
        if (tone >= 0) {
            candidate.degreeLabels[e] = chord.degreeLabels[std::size_t(tone)];
            candidate.colours[e] = chord.colours[std::size_t(tone)];
        } else {
            // Any other note is spelled with the letter of some chord tone when it can be.
            spelling = NoteSpellingTable[0][pc];
            for (std::size_t row = 0; row < NoteSpellingTable.size(); ++row) {
                if (hasToneWithLetter(chord, NoteSpellingTable[row][pc][0])) {
                    spelling = NoteSpellingTable[row][pc];
                    break;
                }
            }
        }
        std::string name(spelling);
        if (options.convertDbl)
            ConvertToEnharmonic(name);

        candidate.notes[e] = note.note;
        const std::string& label = candidate.degreeLabels[e];
        text += label.empty() ? name + " " : name + " (" + label + ") ";
        candidate.noteNames[e] = std::move(name);
    }
    return candidate;
}

bool containsMarks(GameType game, const TChordVariation& candidate, const std::map<int, std::string>& marks)
{
    const std::size_t size = candidate.notes.size();
    for (const auto& [code, label] : marks) {
        const std::int64_t sounding = MarkSoundingNote(game, code);
        bool found = false;
        for (std::size_t i = 0; i < size && !found; ++i) {
            std::int64_t pitch = magnitude(candidate.notes[i]);
            if (game == gtGuitar) {
                if (i >= OpenStringNote.size() || candidate.noteNames[i].empty())
                    continue;   // strings beyond the sixth and unplayed strings sound nothing
                pitch += OpenStringNote[i];
            }
            found = pitch == sounding && (label.empty() || candidate.degreeLabels[i] == label);
        }
        if (!found)
            return false;
    }
    return true;
}

// The notes of every variation of two lists, to leave out a voicing whose notes are listed
// already in time independent of the lists' length. Filled on first use, since most walks
// accept nothing. It points into the lists' deques, whose elements stay where they are.
class ListedNotes {
public:
    ListedNotes(const VariationList& listed, const VariationList& added) : listed_(listed), added_(added) {}

    bool contains(const std::vector<int>& notes)
    {
        fill();
        return notes_.count(&notes) > 0;
    }
    // added has just received a variation.
    void addedOne()
    {
        if (filled_)
            notes_.insert(&added_.Variations.back().notes);
    }

private:
    struct Hash {
        std::size_t operator()(const std::vector<int>* notes) const
        {
            std::size_t hash = notes->size();
            for (int note : *notes)
                hash = hash * 1000003u ^ std::hash<int>()(note);
            return hash;
        }
    };
    struct Same {
        bool operator()(const std::vector<int>* a, const std::vector<int>* b) const { return *a == *b; }
    };

    void fill()
    {
        if (filled_)
            return;
        filled_ = true;
        for (const VariationList* list : {&listed_, &added_})
            for (const TChordVariation& variation : list->Variations)
                notes_.insert(&variation.notes);
    }

    const VariationList& listed_;
    const VariationList& added_;
    bool filled_ = false;
    std::unordered_set<const std::vector<int>*, Hash, Same> notes_;
};

void appendLine(VariationList& added, std::size_t number, const TChord& v, const VariationWalk& walk, GameType game,
                const std::string& text, TChordVariation&& candidate)
{
    const std::string& prefix = walk.prefix;
    const std::string n = std::to_string(number);
    if (game == gtPiano && v.category)
        added.Lines.push_back(prefix.empty() ? *v.category + " " + n + "\t" + text : prefix + *v.category + ": " + text);
    else
        added.Lines.push_back(prefix.empty() ? "Variation " + n + "\t" + text : prefix + ": " + text);
    added.Variations.push_back(std::move(candidate));
    added.Sources.push_back({walk.root, walk.type, v.category ? *v.category : std::string()});
}

}  // namespace

void VariationList::Append(VariationList&& other)
{
    std::move(other.Lines.begin(), other.Lines.end(), std::back_inserter(Lines));
    std::move(other.Variations.begin(), other.Variations.end(), std::back_inserter(Variations));
    std::move(other.Sources.begin(), other.Sources.end(), std::back_inserter(Sources));
}

std::vector<std::int64_t> SoundingPitches(const ChordBook& book, const TChord& v)
{
    std::vector<std::int64_t> pitches;
    for (std::size_t k = 1; k < v.numbers.size(); ++k) {
        VoicingNote note;
        if (voicingNote(book.Game, v.numbers, k, note))
            pitches.push_back(magnitude(note.note) + (book.Game == gtGuitar ? OpenStringNote[k - 1] : 0));
    }
    return pitches;
}

std::vector<std::size_t> WalkOrder(const ChordBook& book, const std::string& type,
                                   const std::vector<const TChord*>* runs)
{
    const std::vector<TChord>& voicings = book.Voicings;
    std::vector<std::size_t> order;
    if (!runs || runs->empty()) {
        order.resize(voicings.size());
        std::iota(order.begin(), order.end(), 0);
        return order;
    }
    for (const TChord* start : *runs)
        for (auto position = std::size_t(start - voicings.data()); position < voicings.size(); ++position) {
            order.push_back(position);
            if (!SameText(voicings[position].name, type))
                break;
        }
    return order;
}

void AddVariations(const ChordBook& book, const TChordVariation& chord, const std::vector<std::size_t>& positions,
                   const VariationWalk& walk, const VariationList& listed, VariationList& added)
{
    const std::size_t firstVoicing = categoryStart(book, walk.options);
    ListedNotes listedNotes(listed, added);
    for (std::size_t position : positions) {
        const TChord& v = book.Voicings[position];
        if (position < firstVoicing || !acceptVoicing(book, v, walk.type, walk.root, walk.options))
            continue;
        // Most voicings miss a mark's pitch; rule them out before spelling them.
        if (walk.filterByMarks && !soundsEveryMark(book, v, walk.marks))
            continue;
        std::string text;
        TChordVariation candidate = buildCandidate(book.Game, v, chord, walk.options, text);
        if (walk.filterByMarks && !containsMarks(book.Game, candidate, walk.marks))
            continue;
        if (listedNotes.contains(candidate.notes))
            continue;
        const std::size_t number = listed.Lines.size() + added.Lines.size() + 1;
        appendLine(added, number, v, walk, book.Game, text, std::move(candidate));
        listedNotes.addedOne();
    }
}

VariationList BuildVariations(const ChordBook& book, const TChordVariation& chord, const VariationRequest& request,
                              const VariationList& listed)
{
    CheckedChordType(book, request.type, request.root);
    const VariationWalk walk{request.type, request.root, request.filterByMarks, request.prefix, request.options,
                             request.marks};
    VariationList added;
    AddVariations(book, chord, WalkOrder(book, request.type, request.runs), walk, listed, added);
    return added;
}

ShowResult ShowCurrentChord(const ChordBook& book, int root, const std::string& chordTypeName, bool reverseFinderOn,
                            const VariationOptions& options)
{
    if (root < 0)
        throw ChordError("Root not selected!");
    if (chordTypeName.empty())
        throw ChordError("chord type not selected!");
    ShowResult result;
    result.CurrentChord = CalculateChord(book, chordTypeName, root);

    if (!reverseFinderOn) {
        const auto runs = book.VoicingIndex.find(LowerCase(chordTypeName));
        VariationRequest request;
        request.type = chordTypeName;
        request.root = root;
        request.runs = runs == book.VoicingIndex.end() ? nullptr : &runs->second;
        request.options = options;
        result.list = BuildVariations(book, result.CurrentChord, request);
        result.listRebuilt = true;
        if (!result.list.Variations.empty()) {
            result.draw = DrawTarget::FirstVariation;
        } else {
            result.list.Lines.push_back("No variations found!");
            result.draw = DrawTarget::CurrentChord;
        }
        result.selectLine = 0;
    }
    // Variations are spelled against the unconverted names, so the chord is converted last.
    if (options.convertDbl)
        for (std::string& name : result.CurrentChord.noteNames)
            ConvertToEnharmonic(name);
    return result;
}
