// Rules every shipped voicing obeys.
#include "tools/voicings/VoicingRules.h"

#include "chords/Notes.h"

#include <algorithm>

namespace {

int twoDigits(const std::string& code, std::size_t first)
{
    if (code.size() < first + 2)
        return -1;
    const char a = code[first], b = code[first + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9')
        return -1;
    return (a - '0') * 10 + (b - '0');
}

bool hasDegree(const ChordShape& shape, int degree)
{
    return std::any_of(shape.tones.begin(), shape.tones.end(),
                       [degree](const ChordTone& t) { return t.degree == degree; });
}

bool isOptional(const ChordShape& shape, const ChordTone& tone)
{
    if (tone.code == "0507")
        return shape.tones.size() > 2;
    if (tone.code == "0914")
        return hasDegree(shape, 11) || hasDegree(shape, 13);
    if (tone.code == "1117")
        return hasDegree(shape, 13);
    return false;
}

std::string noteName(int midi) { return std::string(NoteNameTable[PitchClassOf(midi)]) + std::to_string(midi / 12 - 1); }

std::vector<std::string> sortedCodes(const ChordShape& shape)
{
    std::vector<std::string> codes;
    for (const ChordTone& t : shape.tones)
        codes.push_back(t.code);
    std::sort(codes.begin(), codes.end());
    return codes;
}

// smaller is larger written with its fifth left out (7no5 and 7).
bool isFormWithoutFifth(const ChordShape& smaller, const ChordShape& larger)
{
    std::vector<std::string> codes = sortedCodes(larger);
    const auto fifth = std::find(codes.begin(), codes.end(), "0507");
    if (fifth == codes.end())
        return false;
    codes.erase(fifth);
    return codes == sortedCodes(smaller);
}

}  // namespace

void LinkSmallerChords(std::vector<ChordShape>& shapes)
{
    for (ChordShape& larger : shapes) {
        larger.smallerChords.clear();
        for (const ChordShape& smaller : shapes)
            if (smaller.tones.size() < larger.tones.size() && (smaller.toneMask & ~larger.toneMask) == 0 &&
                !isFormWithoutFifth(smaller, larger))
                larger.smallerChords.push_back(
                    {smaller.name, smaller.toneMask, smaller.requiredMask, smaller.rootlessAllowed()});
    }
}

const SmallerChord* SmallerChordHolding(const ChordShape& shape, unsigned sounded)
{
    for (const SmallerChord& smaller : shape.smallerChords)
        if ((sounded & ~smaller.toneMask) == 0 && (smaller.requiredMask & ~sounded) == 0 &&
            ((sounded & 1u) || smaller.rootlessAllowed))
            return &smaller;
    return nullptr;
}

const ChordTone* ChordShape::toneOfPitchClass(int relativePitchClass) const
{
    for (const ChordTone& t : tones)
        if (t.pitchClass == relativePitchClass)
            return &t;
    return nullptr;
}

ChordShape AnalyseChord(const std::string& name, const std::vector<std::string>& degrees)
{
    ChordShape shape;
    shape.name = name;
    for (const std::string& code : degrees) {
        ChordTone tone;
        tone.code = code;
        tone.degree = twoDigits(code, 0);
        tone.semitones = twoDigits(code, 2);
        if (tone.degree < 0 || tone.semitones < 0)
            continue;  // not a degree code: CalculateChord reports it
        tone.pitchClass = tone.semitones % 12;
        shape.toneMask |= 1u << tone.pitchClass;
        shape.hasSeventh |= tone.degree == 7;
        shape.hasSixth |= tone.degree == 6;
        shape.hasExtension |= tone.degree >= 9;
        shape.tones.push_back(tone);
    }
    for (ChordTone& tone : shape.tones) {
        tone.required = tone.pitchClass != 0 && !isOptional(shape, tone);
        if (tone.required)
            shape.requiredMask |= 1u << tone.pitchClass;
    }
    return shape;
}

std::vector<std::string> CheckTones(const ChordShape& shape, int rootPitchClass,
                                    const std::vector<SoundingNote>& notes, RootPlacement placement)
{
    std::vector<std::string> faults;
    if (notes.empty())
        return {"sounds no note"};
    unsigned sounded = 0;
    const SoundingNote* lowest = &notes.front();
    bool rootSounds = false;
    std::vector<int> seen;
    for (const SoundingNote& n : notes) {
        const int relative = PitchClassOf(n.midi - rootPitchClass);
        if (!(shape.toneMask >> relative & 1u))
            faults.push_back(noteName(n.midi) + " is not a tone of " + shape.name);
        sounded |= 1u << relative;
        rootSounds |= relative == 0;
        if (n.midi < lowest->midi)
            lowest = &n;
        if (relative == 0 && !n.marked && !n.open)
            faults.push_back("root " + noteName(n.midi) + " is not marked");
        if (relative != 0 && n.marked)
            faults.push_back(noteName(n.midi) + " is marked but is no root");
        if (std::find(seen.begin(), seen.end(), n.midi) != seen.end())
            faults.push_back(noteName(n.midi) + " sounds twice");
        seen.push_back(n.midi);
    }
    for (const ChordTone& t : shape.tones)
        if (t.required && !(sounded >> t.pitchClass & 1u))
            faults.push_back("leaves out its " + t.code + " tone");
    if (const SmallerChord* smaller = SmallerChordHolding(shape, sounded))
        faults.push_back("is a voicing of " + smaller->name + ", a chord of fewer tones: store it there");
    if (rootSounds) {
        if (PitchClassOf(lowest->midi - rootPitchClass) != 0 && !placement.inversionAllowed)
            faults.push_back("its lowest note " + noteName(lowest->midi) + " is not the root");
    } else if (!(placement.rootlessAllowed && shape.rootlessAllowed())) {
        faults.push_back("leaves out the root");
    }
    return faults;
}

HandShape DescribeHand(const GuitarFrets& frets)
{
    HandShape hand;
    for (int f : frets) {
        if (f == MutedString)
            continue;
        ++hand.playedStrings;
        if (f == 0) {
            ++hand.openStrings;
            continue;
        }
        ++hand.frettedNotes;
        hand.lowestFret = hand.lowestFret == 0 ? f : std::min(hand.lowestFret, f);
        hand.highestFret = std::max(hand.highestFret, f);
    }
    if (hand.frettedNotes == 0)
        return hand;
    // The index finger can lie across the lowest fret from its first to its last string
    // there, when every string in between is pressed at that fret or higher.
    int first = -1, last = -1, atLowest = 0;
    for (int s = 0; s < 6; ++s)
        if (frets[s] == hand.lowestFret) {
            if (first < 0)
                first = s;
            last = s;
            ++atLowest;
        }
    bool covered = atLowest >= 2;
    for (int s = first; covered && s <= last; ++s)
        covered = frets[s] != MutedString && frets[s] >= hand.lowestFret;
    hand.barre = covered;
    const int above = hand.frettedNotes - atLowest;
    hand.fingers = hand.barre ? 1 + above : hand.frettedNotes;
    return hand;
}

std::vector<std::string> CheckGuitarHand(const GuitarFrets& frets)
{
    std::vector<std::string> faults;
    for (int f : frets)
        if (f != MutedString && (f < 0 || f > HighestFret))
            faults.push_back("fret " + std::to_string(f) + " is off the fretboard");
    if (!faults.empty())
        return faults;
    const HandShape hand = DescribeHand(frets);
    if (hand.playedStrings == 0)
        faults.push_back("plays no string");
    if (hand.highestFret - hand.lowestFret > 4)
        faults.push_back("fretted notes lie more than four frets apart");
    if (hand.fingers > 4)
        faults.push_back("needs more than four fingers");
    return faults;
}

std::vector<SoundingNote> GuitarNotes(const GuitarFrets& frets, int rootPitchClass)
{
    std::vector<SoundingNote> notes;
    for (int s = 0; s < 6; ++s) {
        if (frets[s] == MutedString)
            continue;
        SoundingNote n;
        n.midi = OpenStringNote[s] + frets[s];
        n.open = frets[s] == 0;
        n.marked = !n.open && PitchClassOf(n.midi - rootPitchClass) == 0;
        notes.push_back(n);
    }
    return notes;
}

bool IsOpenPosition(const HandShape& hand)
{
    return hand.highestFret <= 4 && (hand.openStrings > 0 || hand.barre);
}

int InnerMutedStrings(const GuitarFrets& frets)
{
    int first = -1, last = -1, muted = 0;
    for (int s = 0; s < 6; ++s)
        if (frets[s] != MutedString) {
            if (first < 0)
                first = s;
            last = s;
        }
    for (int s = first + 1; first >= 0 && s < last; ++s)
        muted += frets[s] == MutedString;
    return muted;
}

std::vector<std::string> CheckGuitarCategory(const std::string& category, const GuitarFrets& frets,
                                             int rootPitchClass)
{
    const HandShape hand = DescribeHand(frets);
    if (category == "FOLK") {
        if (hand.highestFret > 4)
            return {"FOLK voicing above the fourth fret"};
        if (!IsOpenPosition(hand))
            return {"FOLK voicing with neither open strings nor a barre"};
        return {};
    }
    if (category != "POP" && category != "JAZZ")
        return {"unknown guitar category '" + category + "'"};
    if (hand.openStrings > 0)
        return {category + " voicing with an open string"};
    const std::vector<SoundingNote> notes = GuitarNotes(frets, rootPitchClass);
    const bool rootless = std::none_of(notes.begin(), notes.end(), [rootPitchClass](const SoundingNote& n) {
        return PitchClassOf(n.midi - rootPitchClass) == 0;
    });
    std::vector<std::string> faults;
    if (rootless && frets[0] != MutedString)
        faults.push_back("rootless voicing with its bass on the low E string");
    if (rootless && InnerMutedStrings(frets) > 1)
        faults.push_back("rootless voicing that mutes two strings between its notes");
    return faults;
}

const LowIntervalTable& PianoLowIntervals()
{
    // The usual low-interval limits of keyboard harmony.
    static const LowIntervalTable table{
        {1, 52, "minor second"},  // E3
        {2, 51, "major second"},  // Eb3
        {3, 48, "minor third"},   // C3
        {4, 46, "major third"},   // Bb2
        {5, 46, "fourth"},        // Bb2
        {6, 47, "tritone"},       // B2
        {7, 34, "fifth"},         // Bb1
    };
    return table;
}

const LowIntervalTable& GuitarLowIntervals()
{
    // The guitar's open chords sound their thirds from G2 up (open G: G2 B2) and its sus
    // chords their seconds from C3 (Csus2: C3 D3); lower than that they blur.
    static const LowIntervalTable table{
        {1, 48, "minor second"},  // C3
        {2, 48, "major second"},  // C3
        {3, 43, "minor third"},   // G2
        {4, 43, "major third"},   // G2
    };
    return table;
}

std::vector<std::string> CheckLowIntervals(std::vector<int> notes, const LowIntervalTable& table)
{
    std::vector<std::string> faults;
    std::sort(notes.begin(), notes.end());
    for (std::size_t i = 1; i < notes.size(); ++i)
        for (const LowIntervalLimit& limit : table)
            if (notes[i] - notes[i - 1] == limit.semitones && notes[i - 1] < limit.lowestNote)
                faults.push_back(std::string("the ") + limit.name + " " + noteName(notes[i - 1]) + "-" +
                                 noteName(notes[i]) + " lies below " + noteName(limit.lowestNote));
    return faults;
}

std::vector<std::string> CheckPianoCategory(const std::string& category, const std::vector<int>& notes,
                                            int rootPitchClass)
{
    if (notes.empty())
        return {};
    const auto [low, high] = std::minmax_element(notes.begin(), notes.end());
    if (category == "Close" && (*high - *low > OneHandSpan || notes.size() > 5))
        return {"Close voicing that one hand cannot hold (" + std::to_string(notes.size()) + " notes over " +
                std::to_string(*high - *low) + " semitones)"};
    if (category == "Shell" && PitchClassOf(*low - rootPitchClass) == 0 &&
        (*low < LowestShellRoot || *low > HighestShellRoot))
        return {"Shell voicing with its root " + noteName(*low) + " outside E2 to D#3"};
    return {};
}

RootPlacement GuitarPlacement(const std::string& category)
{
    return {false, category == "JAZZ"};
}

RootPlacement PianoPlacement(const std::string& category)
{
    // Close positions and drop voicings come in every inversion; quartal stacks rarely
    // start on the root. Rootless forms, drop voicings made of them and quartal stacks may
    // leave the root to the bass player.
    const bool anyInversion = category == "Close" || category == "Drop-2" || category == "Quartal";
    const bool rootless = category == "Rootless" || category == "Drop-2" || category == "Quartal";
    return {anyInversion, rootless};
}

namespace {

std::vector<int> midiOf(const std::vector<SoundingNote>& notes)
{
    std::vector<int> midi;
    for (const SoundingNote& n : notes)
        midi.push_back(n.midi);
    return midi;
}

void append(std::vector<std::string>& faults, const std::vector<std::string>& more)
{
    faults.insert(faults.end(), more.begin(), more.end());
}

}  // namespace

std::vector<std::string> CheckGuitarVoicing(const ChordShape& shape, int rootPitchClass, const std::string& category,
                                            const GuitarFrets& frets, const std::vector<SoundingNote>& notes)
{
    std::vector<std::string> faults = CheckGuitarHand(frets);
    if (!faults.empty())
        return faults;  // frets off the board sound no meaningful notes
    append(faults, CheckGuitarCategory(category, frets, rootPitchClass));
    append(faults, CheckTones(shape, rootPitchClass, notes, GuitarPlacement(category)));
    append(faults, CheckLowIntervals(midiOf(notes), GuitarLowIntervals()));
    return faults;
}

std::vector<std::string> CheckPianoVoicing(const ChordShape& shape, int rootPitchClass, const std::string& category,
                                           const std::vector<SoundingNote>& notes)
{
    std::vector<std::string> faults = CheckTones(shape, rootPitchClass, notes, PianoPlacement(category));
    append(faults, CheckLowIntervals(midiOf(notes), PianoLowIntervals()));
    append(faults, CheckPianoCategory(category, midiOf(notes), rootPitchClass));
    return faults;
}
