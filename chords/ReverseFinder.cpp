// The reverse chord finder: which chords or stored voicings contain the marked notes.
#include "chords/ChordBook.h"
#include "chords/DegreeCode.h"
#include "chords/Notes.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

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

}  // namespace

bool ChordBook::chordContainsMarks(const TChordStruct& type, int root, const std::map<int, std::string>& marks) const
{
    const std::vector<ChordTone> tones = chordTones(type);
    int rootNote = RootTable[root].pitchClass + 48;
    if (rootNote < 49)
        rootNote = 60;
    for (const auto& [code, label] : marks) {
        const long long markClass = FloorMod(MarkSoundingNote(Game, code), 12);
        const bool found = std::any_of(tones.begin(), tones.end(), [&](const ChordTone& tone) {
            return FloorMod(rootNote + tone.semitones, 12) == markClass && (label.empty() || tone.label == label);
        });
        if (!found)
            return false;
    }
    return true;
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

    for (const auto& [name, type] : ChordTypes) {
        if (query.typeFilter.find("(" + name + ")") == std::string::npos)
            continue;
        const auto runs = VoicingIndex.find(name);
        if (runs == VoicingIndex.end())
            continue;
        for (int r = 0; r < RootCount; ++r) {
            const TRootInfo& root = RootTable[r];
            if (!isFinderRoot(root))
                continue;
            const std::size_t before = Lines.size();
            const std::string rootAndType = std::string(root.name) + name;
            if (!voicingMode) {
                if (chordContainsMarks(type, r, query.marks))
                    Lines.push_back(rootAndType + " ");
            } else {
                CalculateChord(name, r);
                BuildVariations(name, r, &runs->second, true, rootAndType + " - ", query.options, query.marks);
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
