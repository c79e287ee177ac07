// The reverse chord finder: which chords or stored voicings contain the marked notes.
#include "chords/ChordBook.h"
#include "chords/DegreeCode.h"
#include "chords/Notes.h"
#include "chords/TextUtil.h"

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

}  // namespace

const std::vector<std::vector<std::size_t>>& ChordBook::finderWalks(const std::string& type,
                                                                    const std::vector<const TChord*>& runs)
{
    auto [entry, added] = finderIndex_.walks.try_emplace(type);
    if (added) {
        entry->second.resize(RootCount);
        for (std::size_t position : walkOrder(type, &runs))
            for (int r = 0; r < RootCount; ++r)
                if (SameText(Voicings[position].root, RootTable[r].name)) {
                    entry->second[std::size_t(r)].push_back(position);
                    break;
                }
    }
    return entry->second;
}

std::vector<char> ChordBook::voicingsSoundingMarks(const std::map<int, std::string>& marks)
{
    FinderIndex& index = finderIndex_;
    if (!index.pitchesIndexed) {
        for (std::size_t position = 0; position < Voicings.size(); ++position)
            for (std::int64_t pitch : soundingPitches(Voicings[position])) {
                std::vector<std::size_t>& voicings = index.voicingsWithPitch[pitch];
                if (voicings.empty() || voicings.back() != position)
                    voicings.push_back(position);
            }
        index.pitchesIndexed = true;
    }
    // Count, per voicing, how many of the marked pitches it plays.
    std::vector<std::int64_t> pitches;
    for (const auto& mark : marks)
        pitches.push_back(MarkSoundingNote(Game, mark.first));
    std::sort(pitches.begin(), pitches.end());
    pitches.erase(std::unique(pitches.begin(), pitches.end()), pitches.end());
    std::vector<std::size_t> hits(Voicings.size(), 0);
    for (std::int64_t pitch : pitches)
        if (const auto voicings = index.voicingsWithPitch.find(pitch); voicings != index.voicingsWithPitch.end())
            for (std::size_t position : voicings->second)
                ++hits[position];
    std::vector<char> sounds(Voicings.size(), 0);
    for (std::size_t position = 0; position < Voicings.size(); ++position)
        sounds[position] = hits[position] == pitches.size();
    return sounds;
}

void ChordBook::addVoicings(const std::vector<std::size_t>& positions, const std::string& type, int root,
                            const std::string& prefix, const FinderQuery& query)
{
    const VariationQuery variation{true, prefix, query.options, query.marks, categoryStart(query.options)};
    for (std::size_t position : positions)
        addVariation(position, type, root, variation);
}

void ChordBook::findVoicings(const std::string& name, const std::vector<const TChord*>& runs, int root,
                             const std::vector<char>& soundsMarks, const FinderQuery& query)
{
    // Only the voicings that play every marked pitch can be listed.
    std::vector<std::size_t> positions;
    for (std::size_t position : finderWalks(name, runs)[std::size_t(root)])
        if (soundsMarks[position])
            positions.push_back(position);
    // With nothing to list, the calculation matters only for its errors: once it has
    // succeeded on this type and root it always will.
    std::vector<bool>& calculable = finderIndex_.calculable[name];
    calculable.resize(RootCount);
    if (positions.empty() && calculable[std::size_t(root)])
        return;
    CalculateChord(name, root);
    calculable[std::size_t(root)] = true;
    addVoicings(positions, name, root, std::string(RootTable[root].name) + name + " - ", query);
}

void ChordBook::ReverseFind(const FinderQuery& query)
{
    Lines.clear();
    Variations.clear();
    if (query.marks.size() < 2)
        return;

    const bool voicingMode = query.mode == 1;
    const TChordVariation savedChord = CurrentChord;
    std::vector<std::int64_t> scores;

    const TypeFilter filter(query.typeFilter);
    const std::vector<char> soundsMarks = voicingMode ? voicingsSoundingMarks(query.marks) : std::vector<char>();
    for (const auto& [name, type] : ChordTypes) {
        if (!filter.contains(name))
            continue;
        const auto runs = VoicingIndex.find(name);
        if (runs == VoicingIndex.end())
            continue;
        const std::vector<ChordTone> tones = voicingMode ? std::vector<ChordTone>() : chordTones(type);
        for (int r = 0; r < RootCount; ++r) {
            if (!isFinderRoot(RootTable[r]))
                continue;
            const std::size_t before = Lines.size();
            if (voicingMode)
                findVoicings(name, runs->second, r, soundsMarks, query);
            else if (chordContainsMarks(tones, r, Game, query.marks))
                Lines.push_back(std::string(RootTable[r].name) + name + " ");
            scores.insert(scores.end(), Lines.size() - before, resultScore(type, r));
        }
    }

    // A stable sort by score gives exactly the order of repeated adjacent swaps on
    // "score i > score i+1", without its quadratic cost on long result lists.
    std::vector<std::size_t> order(Lines.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return scores[a] < scores[b]; });
    std::vector<std::string> lines;
    lines.reserve(order.size());
    for (std::size_t i : order)
        lines.push_back(std::move(Lines[i]));
    Lines = std::move(lines);
    if (voicingMode) {
        std::deque<TChordVariation> variations;
        for (std::size_t i : order)
            variations.push_back(std::move(Variations[i]));
        Variations = std::move(variations);
    }
    CurrentChord = savedChord;
}
