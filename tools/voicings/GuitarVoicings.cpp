// Guitar voicings found by searching the fretboard: every fingering within a four-fret box
// that sounds the chord is scored by how a guitarist of each style would play it. The open
// chords of the chord books come first.
#include "tools/voicings/GuitarVoicings.h"

#include "chords/Notes.h"
#include "tools/voicings/FamiliarShapes.h"

#include <algorithm>
#include <map>
#include <optional>

namespace {

// The shapes a jazz guitarist's chord book is made of, in the order we prefer them.
enum class JazzForm { Rootless, Shell, Drop3Low, Drop2Middle, Drop2Top, Drop3Middle, FiveLow, FiveMiddle, Triad, Other };

struct Candidate {
    GuitarFrets frets{};
    HandShape hand;
    std::vector<int> strings;  // played strings, lowest first
    int gaps = 0;              // muted strings between played ones
    bool gapAboveBass = false; // the one gap lies right above the bass string (drop-3, shells)
    bool rooted = false;
    bool fifth = false;        // sounds the chord's natural fifth
    bool doubled = false;      // some pitch class sounds twice
};

int bass(const Candidate& c) { return c.strings.front(); }
int span(const Candidate& c) { return c.hand.highestFret - c.hand.lowestFret; }

// Tensions and sevenths are never doubled.
bool doublesOnlyPlainTones(const ChordShape& shape, const std::vector<int>& pitches, int rootPc)
{
    std::map<int, int> count;
    for (int p : pitches)
        ++count[PitchClassOf(p - rootPc)];
    for (const auto& [pc, n] : count) {
        const ChordTone* tone = shape.toneOfPitchClass(pc);
        const bool plain = pc == 0 || tone->code == "0507" || tone->degree == 3 || tone->code == "0202" ||
                           tone->code == "0405";
        if (n > 1 && !plain)
            return false;
    }
    return true;
}

// maxSpan 3 keeps the hand in a four-fret box; 4 allows the stretch some rich chords need.
std::optional<Candidate> evaluate(const ChordShape& shape, int rootPc, const GuitarFrets& frets, int maxSpan)
{
    Candidate c;
    c.frets = frets;
    c.hand = DescribeHand(frets);
    if (c.hand.playedStrings < 2 || span(c) > maxSpan || c.hand.fingers > 4)
        return std::nullopt;
    std::vector<int> pitches;
    unsigned sounded = 0;
    int lowest = 1000;
    for (int s = 0; s < 6; ++s) {
        if (frets[s] == MutedString)
            continue;
        const int pitch = OpenStringNote[s] + frets[s];
        if (std::find(pitches.begin(), pitches.end(), pitch) != pitches.end())
            return std::nullopt;  // a unison wastes a string
        pitches.push_back(pitch);
        const unsigned bit = 1u << PitchClassOf(pitch - rootPc);
        c.doubled |= (sounded & bit) != 0;
        sounded |= bit;
        lowest = std::min(lowest, pitch);
        if (!c.strings.empty())
            c.gaps += s - c.strings.back() - 1;
        c.strings.push_back(s);
    }
    if ((sounded & shape.requiredMask) != shape.requiredMask || SmallerChordHolding(shape, sounded))
        return std::nullopt;
    c.rooted = (sounded & 1u) != 0;
    if (c.rooted && PitchClassOf(lowest - rootPc) != 0)
        return std::nullopt;
    if (!c.rooted && !shape.rootlessAllowed())
        return std::nullopt;
    const ChordTone* fifth = shape.toneOfPitchClass(7);
    c.fifth = fifth && fifth->code == "0507" && (sounded >> 7 & 1u);
    c.gapAboveBass = c.gaps == 1 && c.strings.size() > 1 && c.strings[1] == c.strings[0] + 2;
    if (!CheckLowIntervals(pitches, GuitarLowIntervals()).empty())
        return std::nullopt;
    if (maxSpan <= 3 && !doublesOnlyPlainTones(shape, pitches, rootPc))
        return std::nullopt;
    return c;
}

// Every sound fingering of the chord, found box by box along the neck; each is taken from
// the box that starts at its lowest fretted note, so none is found twice.
std::vector<Candidate> searchFretboard(const ChordShape& shape, int rootPc, int maxSpan)
{
    std::vector<Candidate> found;
    for (int box = 1; box <= HighestFret; ++box) {
        std::array<std::vector<int>, 6> options;
        for (int s = 0; s < 6; ++s) {
            options[s].push_back(MutedString);
            const auto inChord = [&](int fret) {
                return (shape.toneMask >> PitchClassOf(OpenStringNote[s] + fret - rootPc) & 1u) != 0;
            };
            if (inChord(0))
                options[s].push_back(0);
            for (int f = box; f <= std::min(box + maxSpan, HighestFret); ++f)
                if (inChord(f))
                    options[s].push_back(f);
        }
        GuitarFrets frets{};
        const auto recurse = [&](auto&& self, int s) -> void {
            if (s == 6) {
                if (auto c = evaluate(shape, rootPc, frets, maxSpan))
                    if (c->hand.lowestFret == box || (c->hand.frettedNotes == 0 && box == 1))
                        found.push_back(*c);
                return;
            }
            for (int f : options[s]) {
                frets[s] = f;
                self(self, s + 1);
            }
        };
        recurse(recurse, 0);
    }
    return found;
}

bool powerChord(const ChordShape& shape) { return shape.tones.size() <= 2; }

// Open-position chords: open strings, the first four frets, the root in the bass.
std::optional<double> folkScore(const ChordShape& shape, const Candidate& c)
{
    const int minStrings = powerChord(shape) ? 3 : 4;
    if (!c.rooted || c.gaps > 0 || c.hand.highestFret > 4 || int(c.strings.size()) < minStrings || bass(c) > 2)
        return std::nullopt;
    if (!IsOpenPosition(c.hand))
        return std::nullopt;
    // An open triad without its fifth sounds thin: that root has no good open form.
    const ChordTone* fifth = shape.toneOfPitchClass(7);
    if (shape.tones.size() == 3 && fifth && fifth->code == "0507" && !c.fifth)
        return std::nullopt;
    return 10.0 * c.strings.size() - 5.0 * c.hand.fingers + 3.0 * c.hand.openStrings - 2.0 * c.hand.highestFret +
           (c.fifth ? 4 : 0) - bass(c);
}

// Movable forms: no open string, the root on one of the three bass strings, every string
// from the bass up played; full barres preferred.
std::optional<double> popScore(const ChordShape& shape, const Candidate& c)
{
    const int minStrings = powerChord(shape) ? 3 : 4;
    if (!c.rooted || c.gaps > 0 || c.hand.openStrings > 0 || int(c.strings.size()) < minStrings || bass(c) > 2 ||
        c.frets[bass(c)] > 12)
        return std::nullopt;
    return 10.0 * c.strings.size() - 4.0 * c.hand.fingers + (c.hand.barre ? 5 : 0) - 0.3 * c.hand.lowestFret +
           (c.fifth ? 3 : 0) - 2.0 * span(c);
}

std::optional<JazzForm> jazzForm(const ChordShape& shape, const Candidate& c, bool relaxed)
{
    const int n = int(c.strings.size());
    if (c.hand.openStrings > 0 || n < 3 || n > (relaxed ? 6 : 5))
        return std::nullopt;
    if (c.gaps > (relaxed ? 2 : 1) || (c.gaps == 1 && !c.gapAboveBass && !relaxed))
        return std::nullopt;
    const bool smallChord = shape.tones.size() <= 3;
    if (c.doubled && !smallChord && !relaxed)
        return std::nullopt;
    if (!c.rooted)
        // Off the low E string, which the bass player's root needs, and with at most one
        // string muted in between; best on the middle four or top four strings.
        return n >= 4 && bass(c) >= 1 && c.gaps <= 1 && (relaxed || (c.gaps == 0 && bass(c) <= 2))
                   ? std::optional(JazzForm::Rootless)
                   : std::nullopt;
    const int b = bass(c);
    if (n == 3 && c.gaps == 0 && smallChord && b <= 3)
        return JazzForm::Triad;
    if (b > 2)
        return std::nullopt;
    if (n == 3 && b <= 1 && !smallChord)
        return JazzForm::Shell;
    if (n == 4 && c.gapAboveBass)
        return b == 0 ? JazzForm::Drop3Low : b == 1 ? std::optional(JazzForm::Drop3Middle) : std::nullopt;
    if (n == 4 && c.gaps == 0)
        return b == 1 ? JazzForm::Drop2Middle : b == 2 ? std::optional(JazzForm::Drop2Top) : std::nullopt;
    if (n == 5 && b <= 1)
        return b == 0 ? JazzForm::FiveLow : JazzForm::FiveMiddle;
    return relaxed ? std::optional(JazzForm::Other) : std::nullopt;
}

// Compact shapes in the middle of the neck, the fifth left out when the chord is rich.
double jazzScore(const ChordShape& shape, const Candidate& c)
{
    const double middle = (c.hand.lowestFret + c.hand.highestFret) / 2.0;
    return -3.0 * span(c) - 2.0 * c.hand.fingers - 0.6 * std::abs(middle - 6.0) -
           (c.fifth && shape.tones.size() >= 5 ? 3 : 0) + (c.strings.back() >= 4 ? 1 : 0);
}

// The best candidate of each key, in key order.
template <typename Key>
std::map<Key, std::pair<double, const Candidate*>> bestByKey(
    const std::vector<Candidate>& candidates, const auto& keyAndScore)
{
    std::map<Key, std::pair<double, const Candidate*>> best;
    for (const Candidate& c : candidates) {
        const auto scored = keyAndScore(c);
        if (!scored)
            continue;
        const auto& [key, score] = *scored;
        auto it = best.find(key);
        if (it == best.end() || score > it->second.first)
            best[key] = {score, &c};
    }
    return best;
}

// category empty: in any category.
bool alreadyChosen(const std::vector<GuitarVoicing>& chosen, const GuitarFrets& frets,
                   const std::string& category = {})
{
    return std::any_of(chosen.begin(), chosen.end(), [&](const GuitarVoicing& v) {
        return v.frets == frets && (category.empty() || v.category == category);
    });
}

// A familiar shape goes in when it obeys every rule the checker holds the file to.
bool obeysTheRules(const ChordShape& shape, int rootPc, const GuitarFrets& frets)
{
    return CheckGuitarVoicing(shape, rootPc, "FOLK", frets, GuitarNotes(frets, rootPc)).empty();
}

inline constexpr std::size_t FolkShapes = 3;

void chooseFolk(const ChordShape& shape, int rootPc, const std::vector<Candidate>& all,
                std::vector<GuitarVoicing>& chosen)
{
    // The shapes of the chord books first, then the best open chords the search finds
    // (one per bass string), while they are nearly as good as the best of them.
    for (const GuitarFrets& frets : FamiliarShapesOf(shape.name, rootPc))
        if (obeysTheRules(shape, rootPc, frets) && !alreadyChosen(chosen, frets))
            chosen.push_back({"FOLK", frets});
    const auto best = bestByKey<int>(all, [&](const Candidate& c) -> std::optional<std::pair<int, double>> {
        if (alreadyChosen(chosen, c.frets))
            return std::nullopt;
        if (auto s = folkScore(shape, c))
            return std::pair(bass(c), *s);
        return std::nullopt;
    });
    std::vector<std::pair<double, const Candidate*>> ranked;
    for (const auto& [b, entry] : best)
        ranked.push_back(entry);
    std::stable_sort(ranked.begin(), ranked.end(), [](auto& a, auto& b) { return a.first > b.first; });
    for (std::size_t i = 0; i < ranked.size() && chosen.size() < FolkShapes; ++i)
        if (ranked[i].first >= ranked[0].first - 12)
            chosen.push_back({"FOLK", ranked[i].second->frets});
}

void choosePop(const ChordShape& shape, const std::vector<Candidate>& all, std::vector<GuitarVoicing>& chosen)
{
    // E-form (root on the low E string) and A-form (root on the A string); the D-form stands in
    // for either when it cannot be played. The lower position comes first. A barre at the nut
    // that FOLK holds too stays here, where the movable forms are looked up.
    const auto best = bestByKey<int>(all, [&](const Candidate& c) -> std::optional<std::pair<int, double>> {
        if (auto s = popScore(shape, c))
            return std::pair(bass(c), *s);
        return std::nullopt;
    });
    std::vector<const Candidate*> forms;
    for (const auto& [b, entry] : best)
        if (forms.size() < 2 && !alreadyChosen(chosen, entry.second->frets, "POP"))
            forms.push_back(entry.second);
    std::stable_sort(forms.begin(), forms.end(),
                     [](const Candidate* a, const Candidate* b) { return a->hand.lowestFret < b->hand.lowestFret; });
    for (const Candidate* c : forms)
        chosen.push_back({"POP", c->frets});
}

int chooseJazz(const ChordShape& shape, const std::vector<Candidate>& all, std::vector<GuitarVoicing>& chosen,
               int wanted, bool relaxed)
{
    // The best voicing of each form; when relaxed, simply the best ones, whatever their form.
    std::vector<std::pair<double, const Candidate*>> ranked;
    if (relaxed) {
        for (const Candidate& c : all)
            if (jazzForm(shape, c, true))
                ranked.push_back({jazzScore(shape, c), &c});
        std::stable_sort(ranked.begin(), ranked.end(), [](auto& a, auto& b) { return a.first > b.first; });
    } else {
        const auto best = bestByKey<JazzForm>(all, [&](const Candidate& c) -> std::optional<std::pair<JazzForm, double>> {
            if (auto form = jazzForm(shape, c, false))
                return std::pair(*form, jazzScore(shape, c));
            return std::nullopt;
        });
        for (const auto& [form, entry] : best)
            ranked.push_back(entry);
    }
    int taken = 0;
    for (const auto& [score, c] : ranked)
        if (taken < wanted && !alreadyChosen(chosen, c->frets)) {
            chosen.push_back({"JAZZ", c->frets});
            ++taken;
        }
    return taken;
}

}  // namespace

const std::vector<std::string>& GuitarCategories()
{
    static const std::vector<std::string> categories{"FOLK", "POP", "JAZZ"};
    return categories;
}

std::vector<GuitarVoicing> GuitarVoicingsFor(const ChordShape& shape, int rootPc)
{
    const std::vector<Candidate> all = searchFretboard(shape, rootPc, 3);
    std::vector<GuitarVoicing> chosen;
    chooseFolk(shape, rootPc, all, chosen);
    choosePop(shape, all, chosen);
    // Four jazz forms (shell or rootless, drop-3, drop-2 on the middle and on the top strings),
    // or as many as it takes to give the chord three voicings in all.
    const int jazz = chooseJazz(shape, all, chosen, 4, false);
    // Rich chords may need looser jazz forms: any string set, doubled tones, then a stretch.
    if (jazz == 0 || chosen.size() < 3)
        chooseJazz(shape, all, chosen, std::max(1, 3 - int(chosen.size())), true);
    if (chosen.size() < 3 || std::none_of(chosen.begin(), chosen.end(), [](auto& v) { return v.category == "JAZZ"; }))
        chooseJazz(shape, searchFretboard(shape, rootPc, 4), chosen, std::max(1, 3 - int(chosen.size())), true);
    std::stable_sort(chosen.begin(), chosen.end(), [](const GuitarVoicing& a, const GuitarVoicing& b) {
        const auto& order = GuitarCategories();
        return std::find(order.begin(), order.end(), a.category) < std::find(order.begin(), order.end(), b.category);
    });
    return chosen;
}
