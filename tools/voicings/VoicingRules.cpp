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
    if (tone.code == "0304")
        return shape.hasSeventh &&
               std::any_of(shape.tones.begin(), shape.tones.end(),
                           [](const ChordTone& t) { return t.code == "1117"; });
    return false;
}

std::string noteName(int midi) { return std::string(NoteNameTable[PitchClassOf(midi)]) + std::to_string(midi / 12 - 1); }

}  // namespace

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

std::vector<std::string> CheckGuitarCategory(const std::string& category, const GuitarFrets& frets)
{
    const HandShape hand = DescribeHand(frets);
    if (category == "FOLK") {
        if (hand.highestFret > 4)
            return {"FOLK voicing above the fourth fret"};
        if (hand.openStrings == 0 && !(hand.lowestFret == 1 && hand.barre))
            return {"FOLK voicing with neither open strings nor a first-fret barre"};
    } else if (category == "POP" || category == "JAZZ") {
        if (hand.openStrings > 0)
            return {category + " voicing with an open string"};
    } else {
        return {"unknown guitar category '" + category + "'"};
    }
    return {};
}

RootPlacement GuitarPlacement(const std::string& category)
{
    return {false, category == "JAZZ"};
}

RootPlacement PianoPlacement(const std::string& category)
{
    return {category == "Close", category == "Rootless"};
}
