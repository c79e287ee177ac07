// The reverse chord finder: which chords or stored voicings contain the marked notes.
#include "chords/ReverseFinder.h"

#include "chords/ChordCalculation.h"
#include "chords/DegreeCode.h"
#include "chords/Notes.h"
#include "base/TextUtil.h"
#include "chords/VoicingWalk.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string_view>
#include <unordered_set>

namespace {

// Only the sharp and natural spellings take part; their flat twins would list every chord twice.
bool isFinderRoot(const TRootInfo& root) { return root.name.size() == 1 || root.name[1] == '#'; }

// Fewer tones first, then the chords file's order, then roots from C upwards.
std::int64_t plainScore(const TChordStruct& type, int root)
{
    return std::int64_t(type.degrees.size()) * 100000 + std::int64_t(type.line) * 100 + 32 - root;
}

// The sort key of a result line. Without the bass rule only the plain score counts.
struct ResultScore {
    std::int64_t extraNotes = 0;   // mode 1: voicing notes beyond the marked ones
    std::int64_t tones = 0;
    int rare = 0;                  // a type of a chord list
    int offBass = 0;               // the root is not the bass
    std::int64_t plain = 0;
    auto operator<=>(const ResultScore&) const = default;
};

// A type the chords file puts in a chord list: a drop-down's further types are the rarer ones.
bool isListType(const ChordBook& book, const std::string& name)
{
    return std::any_of(book.ChordLists.begin(), book.ChordLists.end(), [&](const auto& list) {
        return std::find(list.second.begin(), list.second.end(), name) != list.second.end();
    });
}

// The lowest pitch the marks sound, or -1 without a playable mark.
int lowestMarkedPitch(GameType game, const std::map<int, std::string>& marks)
{
    int lowest = -1;
    for (const auto& mark : marks) {
        const int pitch = MarkSoundingNote(game, mark.first);
        if (pitch >= 0 && (lowest < 0 || pitch < lowest))
            lowest = pitch;
    }
    return lowest;
}

// The spelling of the pitch class of bassPitch as a tone of type on root, or its plain name when
// the chord cannot be calculated.
std::string bassName(const ChordBook& book, const std::string& type, int root, int bassPitch,
                     const VariationOptions& options)
{
    const auto pc = std::size_t(FloorMod(bassPitch, 12));
    std::string name(NoteNameTable[pc]);
    try {
        const TChordVariation chord = CalculateChord(book, type, root);
        for (std::size_t i = 0; i < chord.notes.size(); ++i)
            if (std::size_t(FloorMod(chord.notes[i], 12)) == pc)
                name = chord.noteNames[i];
    } catch (const ChordError&) {
    }
    if (options.convertDbl)
        ConvertToEnharmonic(name);
    return name;
}

// The lowest note a variation sounds: its pitch and its name, or pitch -1 when it sounds none.
struct LowestNote {
    std::int64_t pitch = -1;
    std::string name;
    std::int64_t played = 0;   // how many notes it sounds
};

LowestNote lowestNote(GameType game, const TChordVariation& variation)
{
    LowestNote lowest;
    for (std::size_t i = 0; i < variation.notes.size(); ++i) {
        if (variation.noteNames[i].empty() && game == gtGuitar)
            continue;   // an unplayed string
        std::int64_t pitch = variation.notes[i] < 0 ? -std::int64_t(variation.notes[i]) : variation.notes[i];
        if (game == gtGuitar)
            pitch += i < OpenStringNote.size() ? OpenStringNote[i] : 0;
        ++lowest.played;
        if (lowest.pitch < 0 || pitch < lowest.pitch) {
            lowest.pitch = pitch;
            lowest.name = variation.noteNames[i];
        }
    }
    return lowest;
}

struct ChordTone {
    int semitones;
    std::string_view label;
};

std::vector<ChordTone> chordTones(const TChordStruct& type)
{
    std::vector<ChordTone> tones;
    for (const std::string& code : type.degrees)
        tones.push_back({DegreeSemitones(code), DegreeLabel(code)});
    return tones;
}

// Mode 0: every mark's pitch class is a tone of the chord on that root (with the mark's label, if any).
bool chordContainsMarks(const std::vector<ChordTone>& tones, int root, GameType game,
                        const std::map<int, std::string>& marks)
{
    const int rootNote = ChordRootNote(RootTable[root]);
    for (const auto& mark : marks) {
        const std::string& label = mark.second;
        const int sounding = MarkSoundingNote(game, mark.first);
        if (sounding < 0)
            return false;   // not a position of the instrument
        const long long markClass = FloorMod(sounding, 12);
        const bool found = std::any_of(tones.begin(), tones.end(), [&](const ChordTone& tone) {
            return FloorMod(rootNote + tone.semitones, 12) == markClass && (label.empty() || tone.label == label);
        });
        if (!found)
            return false;
    }
    return true;
}

// Whether "(" + name + ")" occurs in the filter text. Names without parentheses are looked up
// among the filter's innermost "(...)" groups, which is the same test without a text search per type.
class TypeFilter {
public:
    explicit TypeFilter(const std::string& text) : text_(text)
    {
        std::size_t open = std::string::npos;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '(')
                open = i;
            else if (text[i] == ')' && open != std::string::npos) {
                groups_.insert(std::string_view(text).substr(open + 1, i - open - 1));
                open = std::string::npos;
            }
        }
    }
    bool contains(const std::string& name) const
    {
        if (name.find_first_of("()") == std::string::npos)
            return groups_.count(name) > 0;
        return text_.find("(" + name + ")") != std::string::npos;
    }

private:
    const std::string& text_;
    std::unordered_set<std::string_view> groups_;
};

// Which of the voicings play every marked pitch.
std::vector<char> voicingsSoundingMarks(const ChordBook& book, const std::map<int, std::string>& marks)
{
    const FinderIndex& index = book.Index;
    // Count, per voicing, how many of the marked pitches it plays.
    std::vector<std::int64_t> pitches;
    for (const auto& mark : marks)
        pitches.push_back(MarkSoundingNote(book.Game, mark.first));
    std::sort(pitches.begin(), pitches.end());
    pitches.erase(std::unique(pitches.begin(), pitches.end()), pitches.end());
    std::vector<std::size_t> hits(book.Voicings.size(), 0);
    for (std::int64_t pitch : pitches)
        if (const auto voicings = index.voicingsWithPitch.find(pitch); voicings != index.voicingsWithPitch.end())
            for (std::size_t position : voicings->second)
                ++hits[position];
    std::vector<char> sounds(book.Voicings.size(), 0);
    for (std::size_t position = 0; position < book.Voicings.size(); ++position)
        sounds[position] = hits[position] == pitches.size();
    return sounds;
}

// Mode 1 for one chord type and root: its voicings that contain the marks.
void findVoicings(const ChordBook& book, const std::string& name, int root, const std::vector<char>& soundsMarks,
                  const FinderQuery& query, VariationList& found)
{
    // Only the voicings that play every marked pitch can be listed.
    std::vector<std::size_t> positions;
    if (const auto walks = book.Index.walks.find(name); walks != book.Index.walks.end())
        for (std::size_t position : walks->second[std::size_t(root)])
            if (soundsMarks[position])
                positions.push_back(position);
    // With nothing to list, the calculation matters only for its errors, and where it is
    // known to succeed there are none.
    const auto calculable = book.Index.calculable.find(name);
    if (positions.empty() && calculable != book.Index.calculable.end() && calculable->second[std::size_t(root)])
        return;
    const TChordVariation chord = CalculateChord(book, name, root);
    const std::string prefix = std::string(RootTable[root].name) + name + " - ";
    const VariationWalk walk{name, root, true, prefix, query.options, query.marks};
    AddVariations(book, chord, positions, walk, VariationList(), found);
}

}  // namespace

FinderIndex MakeFinderIndex(const ChordBook& book)
{
    FinderIndex index;
    for (std::size_t position = 0; position < book.Voicings.size(); ++position)
        for (std::int64_t pitch : SoundingPitches(book, book.Voicings[position])) {
            std::vector<std::size_t>& voicings = index.voicingsWithPitch[pitch];
            if (voicings.empty() || voicings.back() != position)
                voicings.push_back(position);
        }
    for (const auto& [name, runs] : book.VoicingIndex) {
        std::vector<std::vector<std::size_t>>& byRoot = index.walks[name];
        byRoot.resize(RootCount);
        for (std::size_t position : WalkOrder(book, name, &runs))
            for (int r = 0; r < RootCount; ++r)
                if (SameText(book.Voicings[position].root, RootTable[r].name)) {
                    byRoot[std::size_t(r)].push_back(position);
                    break;
                }
        std::vector<bool>& calculable = index.calculable[name];
        calculable.resize(RootCount);
        for (int r = 0; r < RootCount; ++r) {
            try {
                CalculateChord(book, name, r);
                calculable[std::size_t(r)] = true;
            } catch (const ChordError&) {
                // Left false: a search calculates it again and reports the error.
            }
        }
    }
    index.built = true;
    return index;
}

void BuildFinderIndex(ChordBook& book)
{
    book.Index = MakeFinderIndex(book);
}

namespace {

// What ranks every line of one chord type alike: the lowest marked note and whether the
// type is one of the rarer list types.
struct TypeRank {
    int lowestMark = -1;
    bool rare = false;
};

// Ranks the lines the search added for type on root, from first on, and names their bass.
void describeLines(const ChordBook& book, const std::string& name, const TChordStruct& type, int root,
                   const FinderQuery& query, const TypeRank& rank, std::size_t first, VariationList& found,
                   std::vector<ResultScore>& scores)
{
    const bool voicingMode = query.mode == 1;
    const long long rootClass = RootTable[root].pitchClass;
    const int lowestMark = rank.lowestMark;
    for (std::size_t i = first; i < found.Lines.size(); ++i) {
        ResultScore score;
        score.plain = plainScore(type, root);
        if (query.nameFromBass) {
            std::string& bass = found.Sources[i].bass;
            std::int64_t bassPitch = lowestMark;
            if (voicingMode) {
                const LowestNote lowest = lowestNote(book.Game, found.Variations[i]);
                bassPitch = lowest.pitch;
                score.extraNotes = std::max<std::int64_t>(0, lowest.played - std::int64_t(query.marks.size()));
                if (bassPitch >= 0 && FloorMod(bassPitch, 12) != rootClass)
                    bass = lowest.name;
            } else if (bassPitch >= 0 && FloorMod(bassPitch, 12) != rootClass) {
                bass = bassName(book, name, root, int(bassPitch), query.options);
                found.Lines[i] = std::string(RootTable[root].name) + name + "/" + bass + " ";
            }
            score.tones = std::int64_t(type.degrees.size());
            score.rare = rank.rare ? 1 : 0;
            score.offBass = bass.empty() ? 0 : 1;
        }
        scores.push_back(score);
    }
}

// Sorts the lines, their sources and (in voicing mode) their variations by score; equal scores
// keep their order.
void sortByScore(VariationList& found, const std::vector<ResultScore>& scores, bool voicingMode)
{
    // A stable sort by score gives exactly the order of repeated adjacent swaps on
    // "score i > score i+1", without its quadratic cost on long result lists.
    std::vector<std::size_t> order(found.Lines.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return scores[a] < scores[b]; });
    VariationList sorted;
    for (std::size_t i : order) {
        sorted.Lines.push_back(std::move(found.Lines[i]));
        sorted.Sources.push_back(std::move(found.Sources[i]));
        if (voicingMode)
            sorted.Variations.push_back(std::move(found.Variations[i]));
    }
    found = std::move(sorted);
}

}  // namespace

FinderResult ReverseFind(const ChordBook& book, const FinderQuery& query)
{
    FinderResult result;
    if (query.marks.size() < 2)
        return result;

    const bool voicingMode = query.mode == 1;
    VariationList& found = result.list;
    std::vector<ResultScore> scores;
    const TypeFilter filter(query.typeFilter);
    const std::vector<char> soundsMarks = voicingMode ? voicingsSoundingMarks(book, query.marks) : std::vector<char>();
    TypeRank rank;
    rank.lowestMark = lowestMarkedPitch(book.Game, query.marks);
    try {
        for (const auto& [name, type] : book.ChordTypes) {
            if (!filter.contains(name) || book.VoicingIndex.count(name) == 0)
                continue;
            const std::vector<ChordTone> tones = voicingMode ? std::vector<ChordTone>() : chordTones(type);
            rank.rare = query.nameFromBass && isListType(book, name);
            for (int r = 0; r < RootCount; ++r) {
                if (!isFinderRoot(RootTable[r]))
                    continue;
                const std::size_t before = found.Lines.size();
                if (voicingMode)
                    findVoicings(book, name, r, soundsMarks, query, found);
                else if (chordContainsMarks(tones, r, book.Game, query.marks)) {
                    found.Lines.push_back(std::string(RootTable[r].name) + name + " ");
                    found.Sources.push_back({r, name, std::string()});
                }
                describeLines(book, name, type, r, query, rank, before, found, scores);
            }
        }
    } catch (const ChordError& error) {
        result.error = error.what();
        return result;
    }
    sortByScore(found, scores, voicingMode);
    return result;
}

int MarkSoundingNote(GameType game, int code)
{
    if (game == gtPiano)
        return code;
    const int string = code / 256;
    if (code < 0 || string >= int(OpenStringNote.size()))
        return -1;
    return OpenStringNote[string] + code % 256;
}

void SetMarkLabel(std::map<int, std::string>& marks, int code, const std::string& label,
                  GameType game, int finderMode)
{
    if (game == gtGuitar && finderMode == 1) {
        for (auto it = marks.begin(); it != marks.end();)
            it = it->first / 256 == code / 256 ? marks.erase(it) : std::next(it);
    }
    if (code >= 0)
        marks[code] = label;
}
