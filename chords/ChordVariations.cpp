// The variations of a chord: stored voicings spelled and labelled against CurrentChord.
#include "chords/ChordBook.h"
#include "chords/DegreeCode.h"
#include "chords/Notes.h"
#include "chords/TextUtil.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <numeric>

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

}  // namespace

std::size_t ChordBook::categoryStart(const VariationOptions& options) const
{
    if (Game != gtGuitar)
        return 0;
    const auto start = VoicingCategories.find(options.guitarCategory);
    return start == VoicingCategories.end() ? 0 : std::size_t(start->second);
}

bool ChordBook::acceptVoicing(const TChord& v, const std::string& type, int root,
                              const VariationOptions& options) const
{
    if (!SameText(v.root, RootTable[root].name))
        return false;
    if (options.categoryFilter != "All" && (!v.category || *v.category != options.categoryFilter))
        return false;
    if (SameText(v.name, type))
        return true;
    const auto aliases = ChordAliases.find(type);
    if (aliases == ChordAliases.end())
        return false;
    const std::string lowerName = LowerCase(v.name);
    return std::find(aliases->second.begin(), aliases->second.end(), lowerName) != aliases->second.end();
}

std::vector<std::int64_t> ChordBook::soundingPitches(const TChord& v) const
{
    std::vector<std::int64_t> pitches;
    for (std::size_t k = 1; k < v.numbers.size(); ++k) {
        VoicingNote note;
        if (voicingNote(Game, v.numbers, k, note))
            pitches.push_back(magnitude(note.note) + (Game == gtGuitar ? OpenStringNote[k - 1] : 0));
    }
    return pitches;
}

bool ChordBook::soundsEveryMark(const TChord& v, const std::map<int, std::string>& marks) const
{
    const std::vector<std::int64_t> pitches = soundingPitches(v);
    return std::all_of(marks.begin(), marks.end(), [&](const auto& mark) {
        return std::find(pitches.begin(), pitches.end(), MarkSoundingNote(Game, mark.first)) != pitches.end();
    });
}

TChordVariation ChordBook::buildCandidate(const TChord& v, const VariationOptions& options, std::string& text) const
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
        if (!voicingNote(Game, n, k, note))
            continue;   // unplayed string
        const auto pc = std::size_t(FloorMod(note.pitch, 12));

        // A pitch class that is a chord tone takes that tone's spelling, label and colour.
        int tone = -1;
        std::string_view spelling;
        for (std::size_t row = 0; row < NoteSpellingTable.size() && tone < 0; ++row) {
            spelling = NoteSpellingTable[row][pc];
            tone = toneNamed(CurrentChord, spelling);
        }
        if (!text.empty())
            text += ", ";

        const std::size_t e = k - 1;
        if (tone >= 0) {
            candidate.degreeLabels[e] = CurrentChord.degreeLabels[std::size_t(tone)];
            candidate.colours[e] = CurrentChord.colours[std::size_t(tone)];
        } else {
            // Any other note is spelled with the letter of some chord tone when it can be.
            spelling = NoteSpellingTable[0][pc];
            for (std::size_t row = 0; row < NoteSpellingTable.size(); ++row) {
                if (hasToneWithLetter(CurrentChord, NoteSpellingTable[row][pc][0])) {
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

bool ChordBook::containsMarks(const TChordVariation& candidate, const std::map<int, std::string>& marks) const
{
    const std::size_t size = candidate.notes.size();
    for (const auto& [code, label] : marks) {
        const std::int64_t sounding = MarkSoundingNote(Game, code);
        bool found = false;
        for (std::size_t i = 0; i < size && !found; ++i) {
            std::int64_t pitch = magnitude(candidate.notes[i]);
            if (Game == gtGuitar) {
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

bool ChordBook::isDuplicate(const TChordVariation& candidate) const
{
    return std::any_of(Variations.begin(), Variations.end(),
                       [&](const TChordVariation& v) { return v.notes == candidate.notes; });
}

void ChordBook::addVariation(std::size_t position, const std::string& type, int root, const VariationQuery& query)
{
    const TChord& v = Voicings[position];
    if (position < query.firstVoicing || !acceptVoicing(v, type, root, query.options))
        return;
    // Most voicings miss a mark's pitch; rule them out before spelling them.
    if (query.filterByMarks && !soundsEveryMark(v, query.marks))
        return;
    std::string text;
    TChordVariation candidate = buildCandidate(v, query.options, text);
    if (query.filterByMarks && !containsMarks(candidate, query.marks))
        return;
    if (isDuplicate(candidate))
        return;
    const std::string number = std::to_string(Lines.size() + 1);
    const std::string& prefix = query.prefix;
    if (Game == gtPiano && v.category)
        Lines.push_back(prefix.empty() ? *v.category + " " + number + "\t" + text : prefix + *v.category + ": " + text);
    else
        Lines.push_back(prefix.empty() ? "Variation " + number + "\t" + text : prefix + ": " + text);
    Variations.push_back(std::move(candidate));
}

std::vector<std::size_t> ChordBook::walkOrder(const std::string& type, const std::vector<const TChord*>* runs) const
{
    // Each run of equally named voicings is walked to its end plus the one voicing after
    // it (which may be stored under an alias); without runs every voicing is visited.
    std::vector<std::size_t> order;
    if (!runs || runs->empty()) {
        order.resize(Voicings.size());
        std::iota(order.begin(), order.end(), 0);
        return order;
    }
    for (const TChord* start : *runs)
        for (auto position = std::size_t(start - Voicings.data()); position < Voicings.size(); ++position) {
            order.push_back(position);
            if (!SameText(Voicings[position].name, type))
                break;
        }
    return order;
}

void ChordBook::BuildVariations(const std::string& type, int root, const std::vector<const TChord*>* runs,
                                bool filterByMarks, const std::string& prefix, const VariationOptions& options,
                                const std::map<int, std::string>& marks)
{
    const auto chordType = ChordTypes.find(type);
    if (chordType == ChordTypes.end() || chordType->second.degrees.empty())
        throw ChordError("invalid chord type: " + type);
    if (root < 0 || root >= RootCount)
        throw ChordError("Root not selected!");
    const VariationQuery query{filterByMarks, prefix, options, marks, categoryStart(options)};
    for (std::size_t position : walkOrder(type, runs))
        addVariation(position, type, root, query);
}

ShowResult ChordBook::ShowCurrentChord(int root, const std::string& chordTypeName, bool reverseFinderOn,
                                       const VariationOptions& options)
{
    if (!reverseFinderOn) {
        Lines.clear();
        Variations.clear();
    }
    if (root < 0)
        throw ChordError("Root not selected!");
    if (chordTypeName.empty())
        throw ChordError("chord type not selected!");
    CalculateChord(chordTypeName, root);

    ShowResult result;
    if (!reverseFinderOn) {
        const auto runs = VoicingIndex.find(LowerCase(chordTypeName));
        BuildVariations(chordTypeName, root, runs == VoicingIndex.end() ? nullptr : &runs->second, false, "",
                        options);
        if (!Variations.empty()) {
            result.draw = DrawTarget::FirstVariation;
        } else {
            Lines.push_back("No variations found!");
            result.draw = DrawTarget::CurrentChord;
        }
        result.selectLine = Lines.empty() ? -1 : 0;
    }
    // Variations are spelled against the unconverted names, so the chord is converted last.
    if (options.convertDbl)
        for (std::string& name : CurrentChord.noteNames)
            ConvertToEnharmonic(name);
    return result;
}
