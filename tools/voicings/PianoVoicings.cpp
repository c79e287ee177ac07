// Piano voicings built from the chord's tones by the rules pianists voice them with, each
// placed as low as the low-interval limits allow, and kept only when it obeys every rule.
#include "tools/voicings/PianoVoicings.h"

#include <algorithm>

namespace {

// The lowest note of pitch class pc at or above floor.
int noteAtOrAbove(int pc, int floor) { return floor + PitchClassOf(pc - floor); }

bool isThirdRole(const ChordTone& t) { return t.degree >= 2 && t.degree <= 4; }
bool isSeventhRole(const ChordTone& t) { return t.degree == 6 || t.degree == 7; }
bool isTension(const ChordTone& t) { return t.degree >= 9 || t.code == "0506" || t.code == "0508"; }

const ChordTone* firstTone(const ChordShape& shape, bool (*role)(const ChordTone&))
{
    for (const ChordTone& t : shape.tones)
        if (role(t))
            return &t;
    return nullptr;
}

unsigned maskOf(const std::vector<const ChordTone*>& tones)
{
    unsigned mask = 0;
    for (const ChordTone* t : tones)
        mask |= 1u << t->pitchClass;
    return mask;
}

// The tones a voicing sounds: every required one (and the root when withRoot), the fewest
// optional ones that keep it from naming a smaller chord, then more optional ones (the
// ninth, the eleventh, the fifth) while there are fewer than `most`. Empty when no choice
// names this chord.
std::vector<const ChordTone*> tonesToSound(const ChordShape& shape, bool withRoot, std::size_t most)
{
    std::vector<const ChordTone*> base, optional;
    for (const ChordTone& t : shape.tones)
        if (t.pitchClass == 0) {
            if (withRoot)
                base.push_back(&t);
        } else {
            (t.required ? base : optional).push_back(&t);
        }
    std::stable_sort(optional.begin(), optional.end(), [](const ChordTone* a, const ChordTone* b) {
        const auto rank = [](const ChordTone* t) { return t->code == "0507" ? 99 : t->degree; };
        return rank(a) < rank(b);
    });
    // Subsets of the optional tones, smallest first, in the order of preference.
    const std::size_t n = optional.size();
    std::vector<unsigned> subsets;
    for (unsigned bits = 0; bits < (1u << n); ++bits)
        subsets.push_back(bits);
    std::stable_sort(subsets.begin(), subsets.end(),
                     [](unsigned a, unsigned b) { return __builtin_popcount(a) < __builtin_popcount(b); });
    for (unsigned bits : subsets) {
        std::vector<const ChordTone*> tones = base;
        for (std::size_t i = 0; i < n; ++i)
            if (bits >> i & 1u)
                tones.push_back(optional[i]);
        if (SmallerChordHolding(shape, maskOf(tones)))
            continue;
        for (const ChordTone* extra : optional)
            if (tones.size() < most && std::find(tones.begin(), tones.end(), extra) == tones.end())
                tones.push_back(extra);
        return tones;
    }
    return {};
}

std::vector<int> semitonesOf(std::vector<const ChordTone*> tones)
{
    std::vector<int> s;
    for (const ChordTone* t : tones)
        s.push_back(t->semitones);
    std::sort(s.begin(), s.end());
    return s;
}

// Moves the voicing by octaves so that its lowest note is the lowest at or above floor
// whose intervals keep the low-interval limits; empty when the keyboard ends first.
std::vector<int> placeLowest(std::vector<int> notes, int floor)
{
    if (notes.empty())
        return {};
    std::sort(notes.begin(), notes.end());
    const int shift = noteAtOrAbove(notes.front(), floor) - notes.front();
    for (int& n : notes)
        n += shift;
    while (!CheckLowIntervals(notes, PianoLowIntervals()).empty() && notes.back() + 12 <= HighestPianoNote)
        for (int& n : notes)
            n += 12;
    if (notes.back() > HighestPianoNote || !CheckLowIntervals(notes, PianoLowIntervals()).empty())
        return {};
    return notes;
}

// Voicings written in semitones above a root of pitch class 0, moved onto rootPc and each
// placed as low as the limits allow from floor up.
std::vector<std::vector<int>> placeOnRoot(std::vector<std::vector<int>> forms, int rootPc, int floor)
{
    for (auto& v : forms) {
        for (int& n : v)
            n += rootPc;
        v = placeLowest(v, floor);
    }
    return forms;
}

// Each pitch class at the nearest note above the one before, from bottom up.
std::vector<int> stackAbove(int bottom, const std::vector<int>& pitchClasses)
{
    std::vector<int> notes{bottom};
    for (int pc : pitchClasses)
        notes.push_back(noteAtOrAbove(pc, notes.back() + 1));
    return notes;
}

// The pitch classes of tones in close order upwards from the one of `bottom`.
std::vector<int> closeOrderFrom(const ChordTone& bottom, const std::vector<const ChordTone*>& tones, int rootPc)
{
    std::vector<int> pcs;
    for (const ChordTone* t : tones)
        if (t != &bottom)
            pcs.push_back(PitchClassOf(t->pitchClass - bottom.pitchClass));
    std::sort(pcs.begin(), pcs.end());
    for (int& pc : pcs)
        pc = PitchClassOf(pc + bottom.pitchClass + rootPc);
    return pcs;
}

bool powerChord(const ChordShape& shape) { return shape.tones.size() == 2; }

// Inversions keep a third, fifth, sixth or seventh in the bass. A tension there turns the
// chord into another, and so does a sus chord's second or fourth (Csus4 over F is Fsus2).
bool bassKeepsTheChord(const ChordShape& shape, int lowest, int rootPc)
{
    const ChordTone* bass = shape.toneOfPitchClass(PitchClassOf(lowest - rootPc));
    return bass && bass->degree != 2 && bass->degree != 4 && bass->degree < 9;
}

// Root position in one hand: the tones stacked as written (third, fifth, seventh, ninth ...),
// the highest ones an octave down until the hand spans them; then, for chords of up to four
// tones, every inversion of the tones in close order whose bass keeps the chord.
std::vector<std::vector<int>> closeVoicings(const ChordShape& shape, int rootPc)
{
    const std::vector<const ChordTone*> tones = tonesToSound(shape, true, 5);
    std::vector<int> s = semitonesOf(tones);
    if (s.empty() || s.size() > 5)
        return {};
    if (powerChord(shape))
        return placeOnRoot({{0, 7, 12}, {0, 7}}, rootPc, 48);
    while (s.back() - s.front() > OneHandSpan && s.back() >= 12) {
        s.back() -= 12;
        std::sort(s.begin(), s.end());
    }
    std::vector<std::vector<int>> result{s};
    std::vector<int> inversion;
    for (int semitones : s)
        inversion.push_back(semitones % 12);
    std::sort(inversion.begin(), inversion.end());
    for (std::size_t k = 1; s.size() <= 4 && k < s.size(); ++k) {
        inversion.front() += 12;
        std::sort(inversion.begin(), inversion.end());
        if (bassKeepsTheChord(shape, inversion.front(), 0))
            result.push_back(inversion);
    }
    return placeOnRoot(result, rootPc, 48);
}

// Left hand root (E2 to D#3) with third and seventh, or seventh and third: R-3-7 and R-7-3,
// the other tones the chord needs above the seventh. A third too low for the limits goes up
// an octave (root, then a tenth).
std::vector<std::vector<int>> shellVoicings(const ChordShape& shape, int rootPc)
{
    const ChordTone* third = firstTone(shape, isThirdRole);
    const ChordTone* seventh = firstTone(shape, isSeventhRole);
    const std::vector<const ChordTone*> tones = tonesToSound(shape, true, 0);
    if (!third || !seventh || tones.empty())
        return {};
    const int root = noteAtOrAbove(rootPc, LowestShellRoot);
    const auto shell = [&](const ChordTone* first, const ChordTone* second, int lift) {
        std::vector<int> notes = stackAbove(root, {rootPc + first->pitchClass});
        notes[1] += lift;
        notes.push_back(noteAtOrAbove(rootPc + second->pitchClass, notes[1] + 1));
        const int seventhNote = first == seventh ? notes[1] : notes[2];
        for (const ChordTone* t : tones)
            if (t->pitchClass != 0 && t != third && t != seventh)
                notes.push_back(noteAtOrAbove(rootPc + t->pitchClass, seventhNote + 1));
        std::sort(notes.begin(), notes.end());
        return notes;
    };
    std::vector<int> rootThirdSeventh = shell(third, seventh, 0);
    if (!CheckLowIntervals(rootThirdSeventh, PianoLowIntervals()).empty())
        rootThirdSeventh = shell(third, seventh, 12);
    return {rootThirdSeventh, shell(seventh, third, 0)};
}

// Form A from the third, form B from the seventh (or sixth), closely stacked from about D3,
// where a left hand plays them.
std::vector<std::vector<int>> rootlessVoicings(const ChordShape& shape, int rootPc)
{
    const std::vector<const ChordTone*> tones = tonesToSound(shape, false, 4);
    std::vector<std::vector<int>> result;
    for (bool (*role)(const ChordTone&) : {isThirdRole, isSeventhRole}) {
        const auto bottom = std::find_if(tones.begin(), tones.end(), [role](const ChordTone* t) { return role(*t); });
        if (bottom == tones.end())
            continue;
        const int start = rootPc + (*bottom)->pitchClass;
        result.push_back(placeLowest(stackAbove(start, closeOrderFrom(**bottom, tones, rootPc)), 50));
    }
    return result;
}

// The second voice from the top of a four-note close voicing dropped an octave (a three-note
// one drops its middle voice), when its bass keeps the chord. Root-position drops first.
std::vector<std::vector<int>> drop2Voicings(const ChordShape& shape, const std::vector<std::vector<int>>& closeForms,
                                            int rootPc)
{
    std::vector<std::vector<int>> result;
    for (std::vector<int> v : closeForms) {
        if (v.size() < 3 || v.size() > 4)
            continue;
        v[v.size() - 2] -= 12;
        std::sort(v.begin(), v.end());
        if (bassKeepsTheChord(shape, v.front(), rootPc))
            result.push_back(placeLowest(v, 43));
    }
    std::stable_sort(result.begin(), result.end(), [rootPc](const std::vector<int>& a, const std::vector<int>& b) {
        const auto rootBass = [rootPc](const std::vector<int>& v) { return !v.empty() && PitchClassOf(v[0] - rootPc) == 0; };
        return rootBass(a) && !rootBass(b);
    });
    return result;
}

// Stacks of perfect fourths through the chord's tones, and the "So What" shape: three
// fourths with a major third on top. Fuller stacks first.
std::vector<std::vector<int>> quartalVoicings(const ChordShape& shape, int rootPc)
{
    std::vector<std::vector<int>> stacks;
    const auto inChord = [&shape](int relative) { return (shape.toneMask >> PitchClassOf(relative) & 1u) != 0; };
    for (int start = 0; start < 12; ++start) {
        if (!inChord(start))
            continue;
        std::vector<int> chain{start};
        while (chain.size() < 6 && inChord(chain.back() + 5))
            chain.push_back(chain.back() + 5);
        for (std::size_t length = 3; length <= chain.size(); ++length)
            stacks.emplace_back(chain.begin(), chain.begin() + length);
        if (chain.size() >= 4 && inChord(chain[3] + 4)) {
            std::vector<int> soWhat(chain.begin(), chain.begin() + 4);
            soWhat.push_back(soWhat.back() + 4);
            stacks.push_back(soWhat);
        }
    }
    std::stable_sort(stacks.begin(), stacks.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
    return placeOnRoot(stacks, rootPc, 48);
}

// Dominant chords with altered tensions: the R-7-3 shell in the left hand, and in the right
// a major triad that adds at least two tensions, in the inversion that sits lowest above
// the shell. The usual ones first: II, VI, bV, bVI, bIII, bII.
std::vector<std::vector<int>> upperStructureVoicings(const ChordShape& shape, int rootPc)
{
    const ChordTone* third = shape.toneOfPitchClass(4);
    const ChordTone* seventh = shape.toneOfPitchClass(10);
    if (!third || !seventh || third->degree != 3 || seventh->degree != 7)
        return {};
    const int root = noteAtOrAbove(rootPc, LowestShellRoot);
    const int seventhNote = root + 10;
    const int thirdNote = noteAtOrAbove(rootPc + 4, seventhNote + 1);
    std::vector<std::vector<int>> result;
    for (int triadRoot : {2, 9, 6, 8, 3, 1}) {
        const int triad[3] = {triadRoot, triadRoot + 4, triadRoot + 7};
        int tensions = 0;
        bool fits = true;
        for (int relative : triad) {
            const ChordTone* tone = shape.toneOfPitchClass(PitchClassOf(relative));
            fits = fits && tone;
            tensions += tone && isTension(*tone);
        }
        if (!fits || tensions < 2)
            continue;
        // The inversion whose lowest note lies nearest above the third.
        std::vector<int> best;
        for (int k = 0; k < 3; ++k) {
            const int bottom = noteAtOrAbove(rootPc + triad[k], thirdNote + 1);
            std::vector<int> rightHand = stackAbove(bottom, {rootPc + triad[(k + 1) % 3], rootPc + triad[(k + 2) % 3]});
            if (best.empty() || rightHand.front() < best.front())
                best = rightHand;
        }
        std::vector<int> notes{root, seventhNote, thirdNote};
        notes.insert(notes.end(), best.begin(), best.end());
        result.push_back(notes);
    }
    return result;
}

// Left hand root and fifth (or octave) in the low octave, right hand the other tones in close
// position from the third up, around middle C. A power chord: root and fifth in each hand,
// or the left hand's root under fifth and octave.
std::vector<std::vector<int>> twoHandVoicings(const ChordShape& shape, int rootPc)
{
    const int root = noteAtOrAbove(rootPc, 36);
    if (powerChord(shape))
        return {{root, root + 7, root + 24, root + 31, root + 36}, {root, root + 12, root + 19, root + 24}};
    const ChordTone* fifth = shape.toneOfPitchClass(7);
    const bool leftFifth = fifth && fifth->code == "0507";
    std::vector<int> notes{root, leftFifth ? root + 7 : root + 12};
    const bool small = shape.tones.size() <= 4;
    std::vector<const ChordTone*> upper;
    for (const ChordTone* t : tonesToSound(shape, true, 7))
        if (t->pitchClass != 0 && (small || t->code != "0507"))
            upper.push_back(t);
    if (upper.empty())
        return {};
    const auto third = std::find_if(upper.begin(), upper.end(), [](const ChordTone* t) { return isThirdRole(*t); });
    const ChordTone* bottom = third != upper.end() ? *third : upper.front();
    std::vector<int> pcs = closeOrderFrom(*bottom, upper, rootPc);
    if (shape.tones.size() <= 3)
        pcs.push_back(rootPc);  // a triad's right hand doubles the root on top
    for (int n : stackAbove(noteAtOrAbove(rootPc + bottom->pitchClass, std::max(55, notes.back() + 3)), pcs))
        notes.push_back(n);
    return {notes};
}

std::vector<SoundingNote> soundingNotes(const std::vector<int>& notes, int rootPc)
{
    std::vector<SoundingNote> sounding;
    for (int n : notes)
        sounding.push_back({n, PitchClassOf(n - rootPc) == 0, false});
    return sounding;
}

// How many voicings of one chord a category keeps: the few a pianist uses most.
long mostOf(const std::string& category)
{
    return category == "Drop-2" || category == "Quartal" || category == "Upper structure" ? 2 : 10;
}

}  // namespace

const std::vector<std::string>& PianoCategories()
{
    static const std::vector<std::string> categories{"Close",   "Shell",           "Rootless", "Drop-2",
                                                     "Quartal", "Upper structure", "Two hands"};
    return categories;
}

std::vector<PianoVoicing> PianoVoicingsFor(const ChordShape& shape, int rootPc)
{
    std::vector<PianoVoicing> candidates;
    const auto add = [&candidates](const char* category, const std::vector<std::vector<int>>& forms) {
        for (const auto& notes : forms)
            candidates.push_back({category, notes});
    };
    const std::vector<std::vector<int>> close = closeVoicings(shape, rootPc);
    add("Close", close);
    if (shape.hasSeventh || shape.hasSixth)
        add("Shell", shellVoicings(shape, rootPc));
    std::vector<std::vector<int>> rootless;
    if (shape.rootlessAllowed())
        rootless = rootlessVoicings(shape, rootPc);
    add("Rootless", rootless);
    if (!powerChord(shape))
        add("Drop-2", drop2Voicings(shape, shape.rootlessAllowed() ? rootless : close, rootPc));
    add("Quartal", quartalVoicings(shape, rootPc));
    add("Upper structure", upperStructureVoicings(shape, rootPc));
    add("Two hands", twoHandVoicings(shape, rootPc));

    std::vector<PianoVoicing> result;
    for (PianoVoicing& v : candidates) {
        if (v.notes.empty() || v.notes.front() < LowestPianoNote || v.notes.back() > HighestPianoNote)
            continue;
        if (!CheckPianoVoicing(shape, rootPc, v.category, soundingNotes(v.notes, rootPc)).empty())
            continue;
        const bool repeated = std::any_of(result.begin(), result.end(),
                                          [&v](const PianoVoicing& r) { return r.notes == v.notes; });
        const auto inCategory = std::count_if(result.begin(), result.end(),
                                              [&v](const PianoVoicing& r) { return r.category == v.category; });
        if (!repeated && inCategory < mostOf(v.category))
            result.push_back(v);
    }
    return result;
}
