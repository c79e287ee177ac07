// Piano voicings built from the chord's tones by the rules pianists voice them with.
#include "tools/voicings/PianoVoicings.h"

#include <algorithm>

namespace {

// The lowest note of pitch class pc at or above floor.
int noteAtOrAbove(int pc, int floor) { return floor + PitchClassOf(pc - floor); }

bool isThirdRole(const ChordTone& t) { return t.degree >= 2 && t.degree <= 4; }
bool isSeventhRole(const ChordTone& t) { return t.degree == 6 || t.degree == 7; }

// Stacks the tones closely upwards: the first at bottom, each next one the nearest above.
std::vector<int> stackAbove(int bottom, std::vector<int> pitchClasses)
{
    std::vector<int> notes{bottom};
    const int bottomPc = PitchClassOf(bottom);
    std::sort(pitchClasses.begin(), pitchClasses.end(),
              [bottomPc](int a, int b) { return PitchClassOf(a - bottomPc) < PitchClassOf(b - bottomPc); });
    for (int pc : pitchClasses) {
        if (PitchClassOf(pc - bottomPc) == 0)
            continue;
        notes.push_back(noteAtOrAbove(pc, notes.back() + 1));
    }
    return notes;
}

// Moves the voicing by octaves into the keyboard's range; empty when it does not fit.
std::vector<int> fitKeyboard(std::vector<int> notes)
{
    std::sort(notes.begin(), notes.end());
    while (notes.back() > HighestPianoNote && notes.front() - 12 >= LowestPianoNote)
        for (int& n : notes)
            n -= 12;
    while (notes.front() < LowestPianoNote)
        for (int& n : notes)
            n += 12;
    if (notes.back() > HighestPianoNote)
        return {};
    return notes;
}

std::vector<int> relativeTo(int rootNote, const std::vector<int>& semitones)
{
    std::vector<int> notes;
    for (int s : semitones)
        notes.push_back(rootNote + s);
    return notes;
}

std::vector<int> allSemitones(const ChordShape& shape)
{
    std::vector<int> s;
    for (const ChordTone& t : shape.tones)
        s.push_back(t.semitones);
    std::sort(s.begin(), s.end());
    s.erase(std::unique(s.begin(), s.end()), s.end());
    if (s.size() == 2)
        s.push_back(12);  // a power chord rings with its octave
    return s;
}

// Root position and inversions, each with its lowest note in the octave below middle C.
std::vector<std::vector<int>> closeVoicings(const ChordShape& shape, int rootPc)
{
    std::vector<int> notes = relativeTo(noteAtOrAbove(rootPc, 48), allSemitones(shape));
    std::vector<std::vector<int>> result{notes};
    if (shape.tones.size() <= 2)
        result.push_back({notes[0], notes[1], notes[2], notes[1] + 12});  // and with its fifth doubled
    const int inversions = shape.tones.size() <= 2 ? 0 : shape.tones.size() == 3 ? 2 : 1;
    for (int k = 0; k < inversions; ++k) {
        std::sort(notes.begin(), notes.end());
        notes.front() += 12;
        std::sort(notes.begin(), notes.end());
        std::vector<int> placed = notes;
        const int shift = noteAtOrAbove(PitchClassOf(placed.front()), 48) - placed.front();
        for (int& n : placed)
            n += shift;
        result.push_back(placed);
    }
    return result;
}

// Root, fifth and seventh (or sixth) below, third and extensions an octave higher.
std::vector<int> openVoicing(const ChordShape& shape, int rootPc)
{
    const int root = noteAtOrAbove(rootPc, 43);
    std::vector<int> notes{root};
    std::vector<int> upper;
    for (const ChordTone& t : shape.tones) {
        if (t.pitchClass == 0)
            continue;
        if (t.degree == 5 || isSeventhRole(t))
            notes.push_back(root + t.semitones);
        else
            upper.push_back(root + (t.semitones < 12 ? t.semitones + 12 : t.semitones));
    }
    const int lowerTop = *std::max_element(notes.begin(), notes.end());
    for (int n : upper)
        notes.push_back(n > lowerTop ? n : n + 12);
    if (shape.tones.size() == 2) {
        const int low = noteAtOrAbove(rootPc, 36);
        notes = {low, low + 7, low + 12, low + 19, low + 24};
    }
    return notes;
}

// Left hand root and seventh (or sixth), the third a tenth above the root, upper tones above.
std::vector<int> shellVoicing(const ChordShape& shape, int rootPc)
{
    const int root = noteAtOrAbove(rootPc, 36);
    std::vector<int> notes{root};
    for (const ChordTone& t : shape.tones)
        if (isSeventhRole(t))
            notes.push_back(root + t.semitones);
    for (const ChordTone& t : shape.tones)
        if (isThirdRole(t) && t.required)
            notes.push_back(root + 12 + t.semitones);
    for (const ChordTone& t : shape.tones) {
        if (t.pitchClass == 0 || t.code == "0507" || isSeventhRole(t) || isThirdRole(t) || !t.required)
            continue;
        notes.push_back(noteAtOrAbove(rootPc + t.pitchClass, *std::max_element(notes.begin(), notes.end()) + 1));
    }
    return notes;
}

// The tones a rootless form sounds: the required ones, then the ninth and the fifth
// until there are four.
std::vector<const ChordTone*> rootlessTones(const ChordShape& shape)
{
    std::vector<const ChordTone*> tones;
    for (const ChordTone& t : shape.tones)
        if (t.required)
            tones.push_back(&t);
    for (const char* code : {"0914", "0507"})
        for (const ChordTone& t : shape.tones)
            if (tones.size() < 4 && t.code == code && !t.required)
                tones.push_back(&t);
    return tones;
}

// Form A starts from the third, form B from the seventh (or sixth); both stack closely
// around middle C, where a left hand plays them.
std::vector<std::vector<int>> rootlessVoicings(const ChordShape& shape, int rootPc)
{
    const std::vector<const ChordTone*> tones = rootlessTones(shape);
    std::vector<int> pcs;
    const ChordTone* third = nullptr;
    const ChordTone* seventh = nullptr;
    for (const ChordTone* t : tones) {
        pcs.push_back(rootPc + t->pitchClass);
        if (isThirdRole(*t) && !third)
            third = t;
        if (isSeventhRole(*t) && !seventh)
            seventh = t;
    }
    std::vector<std::vector<int>> result;
    for (const ChordTone* bottom : {third, seventh})
        if (bottom)
            result.push_back(stackAbove(noteAtOrAbove(rootPc + bottom->pitchClass, 50), pcs));
    return result;
}

// Left hand root and fifth (or octave), right hand the upper structure in close position.
std::vector<int> twoHandVoicing(const ChordShape& shape, int rootPc)
{
    const int root = noteAtOrAbove(rootPc, 36);
    const bool fifth = shape.toneOfPitchClass(7) && shape.toneOfPitchClass(7)->code == "0507";
    std::vector<int> notes{root, fifth ? root + 7 : root + 12};
    const bool small = shape.tones.size() <= 4;
    std::vector<int> pcs;
    const ChordTone* bottom = nullptr;
    for (const ChordTone& t : shape.tones) {
        if (t.pitchClass == 0 || (!small && t.code == "0507") || (t.code == "0304" && !t.required))
            continue;
        pcs.push_back(rootPc + t.pitchClass);
        if (!bottom || (isThirdRole(t) && !isThirdRole(*bottom)))
            bottom = &t;
    }
    if (shape.tones.size() <= 3)
        pcs.push_back(rootPc);
    const int bottomPc = bottom ? rootPc + bottom->pitchClass : pcs.front();
    for (int n : stackAbove(noteAtOrAbove(bottomPc, std::max(55, notes.back() + 3)), pcs))
        notes.push_back(n);
    return notes;
}

}  // namespace

const std::vector<std::string>& PianoCategories()
{
    static const std::vector<std::string> categories{"Close", "Open", "Shell", "Rootless", "Two hands"};
    return categories;
}

std::vector<PianoVoicing> PianoVoicingsFor(const ChordShape& shape, int rootPc)
{
    std::vector<PianoVoicing> candidates;
    for (auto& notes : closeVoicings(shape, rootPc))
        candidates.push_back({"Close", notes});
    candidates.push_back({"Open", openVoicing(shape, rootPc)});
    if (shape.hasSeventh || shape.hasSixth)
        candidates.push_back({"Shell", shellVoicing(shape, rootPc)});
    if (shape.rootlessAllowed())
        for (auto& notes : rootlessVoicings(shape, rootPc))
            candidates.push_back({"Rootless", notes});
    candidates.push_back({"Two hands", twoHandVoicing(shape, rootPc)});

    std::vector<PianoVoicing> result;
    for (PianoVoicing& v : candidates) {
        v.notes = fitKeyboard(v.notes);
        if (v.notes.empty())
            continue;
        const bool repeated = std::any_of(result.begin(), result.end(),
                                          [&v](const PianoVoicing& r) { return r.notes == v.notes; });
        if (!repeated)
            result.push_back(v);
    }
    return result;
}
