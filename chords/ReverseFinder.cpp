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
    int rootNote = RootTable[root].pitchClass + 48;
    if (rootNote < 49)
        rootNote = 60;
    for (const auto& mark : marks) {
        const std::string& label = mark.second;
        const long long markClass = FloorMod(MarkSoundingNote(game, mark.first), 12);
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

const std::vector<std::vector<std::int64_t>>& ChordBook::finderPitches()
{
    if (finderIndex_.pitches.size() != Voicings.size()) {
        finderIndex_.pitches.clear();
        for (const TChord& v : Voicings)
            finderIndex_.pitches.push_back(soundingPitches(v));
    }
    return finderIndex_.pitches;
}

void ChordBook::addVoicings(const std::vector<std::size_t>& positions, const std::string& type, int root,
                            const std::string& prefix, const FinderQuery& query)
{
    const VariationQuery variation{true, prefix, query.options, query.marks, categoryStart(query.options)};
    for (std::size_t position : positions)
        addVariation(position, type, root, variation);
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
    // Whether voicing i sounds every marked pitch (-1 = not yet known), worked out once per search.
    std::vector<signed char> soundsAll(voicingMode ? Voicings.size() : 0, -1);
    std::vector<std::int64_t> markPitches;
    for (const auto& mark : query.marks)
        markPitches.push_back(MarkSoundingNote(Game, mark.first));
    const auto soundsMarks = [&](std::size_t position) {
        if (soundsAll[position] < 0) {
            const std::vector<std::int64_t>& pitches = finderPitches()[position];
            soundsAll[position] = std::all_of(markPitches.begin(), markPitches.end(), [&](std::int64_t pitch) {
                return std::find(pitches.begin(), pitches.end(), pitch) != pitches.end();
            });
        }
        return soundsAll[position] == 1;
    };
    for (const auto& entry : ChordTypes) {
        const std::string& name = entry.first;   // a plain reference: lambdas below capture it
        const TChordStruct& type = entry.second;
        if (!filter.contains(name))
            continue;
        const auto runs = VoicingIndex.find(name);
        if (runs == VoicingIndex.end())
            continue;
        const std::vector<ChordTone> tones = voicingMode ? std::vector<ChordTone>() : chordTones(type);
        // The voicings BuildVariations would walk for this type and root, without those that
        // miss a marked pitch: they could never be listed.
        const auto candidates = [&](int r) {
            std::vector<std::size_t> positions;
            for (std::size_t position : finderWalks(name, runs->second)[std::size_t(r)])
                if (soundsMarks(position))
                    positions.push_back(position);
            return positions;
        };
        for (int r = 0; r < RootCount; ++r) {
            const TRootInfo& root = RootTable[r];
            if (!isFinderRoot(root))
                continue;
            const std::size_t before = Lines.size();
            const std::string rootAndType = std::string(root.name) + name;
            if (!voicingMode) {
                if (chordContainsMarks(tones, r, Game, query.marks))
                    Lines.push_back(rootAndType + " ");
            } else {
                CalculateChord(name, r);
                addVoicings(candidates(r), name, r, rootAndType + " - ", query);
            }
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
