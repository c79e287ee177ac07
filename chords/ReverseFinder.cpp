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
std::int64_t resultScore(const TChordStruct& type, int root)
{
    return std::int64_t(type.degrees.size()) * 100000 + std::int64_t(type.line) * 100 + 32 - root;
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

// Sorts the lines (and in voicing mode their variations) by score; equal scores keep their order.
void sortByScore(VariationList& found, const std::vector<std::int64_t>& scores, bool voicingMode)
{
    // A stable sort by score gives exactly the order of repeated adjacent swaps on
    // "score i > score i+1", without its quadratic cost on long result lists.
    std::vector<std::size_t> order(found.Lines.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return scores[a] < scores[b]; });
    VariationList sorted;
    sorted.Lines.reserve(order.size());
    for (std::size_t i : order)
        sorted.Lines.push_back(std::move(found.Lines[i]));
    if (voicingMode)
        for (std::size_t i : order)
            sorted.Variations.push_back(std::move(found.Variations[i]));
    found = std::move(sorted);
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

FinderResult ReverseFind(const ChordBook& book, const FinderQuery& query)
{
    FinderResult result;
    if (query.marks.size() < 2)
        return result;

    const bool voicingMode = query.mode == 1;
    VariationList& found = result.list;
    std::vector<std::int64_t> scores;
    const TypeFilter filter(query.typeFilter);
    const std::vector<char> soundsMarks = voicingMode ? voicingsSoundingMarks(book, query.marks) : std::vector<char>();
    try {
        for (const auto& [name, type] : book.ChordTypes) {
            if (!filter.contains(name) || book.VoicingIndex.count(name) == 0)
                continue;
            const std::vector<ChordTone> tones = voicingMode ? std::vector<ChordTone>() : chordTones(type);
            for (int r = 0; r < RootCount; ++r) {
                if (!isFinderRoot(RootTable[r]))
                    continue;
                const std::size_t before = found.Lines.size();
                if (voicingMode)
                    findVoicings(book, name, r, soundsMarks, query, found);
                else if (chordContainsMarks(tones, r, book.Game, query.marks))
                    found.Lines.push_back(std::string(RootTable[r].name) + name + " ");
                scores.insert(scores.end(), found.Lines.size() - before, resultScore(type, r));
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
