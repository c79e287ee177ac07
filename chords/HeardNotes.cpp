// Placing heard notes on the keyboard and the fretboard.
#include "chords/HeardNotes.h"

#include "chords/DegreeCode.h"
#include "chords/Notes.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace {

constexpr int kStrings = static_cast<int>(OpenStringNote.size());
// From the first finger to the little finger: frets 1 to 5 is a stretch a hand still makes.
constexpr int kWidestStretch = 4;

int foldInto(int note, int low, int high)
{
    while (note < low)
        note += 12;
    while (note > high)
        note -= 12;
    return note;
}

struct Fretboard {
    int low = OpenStringNote.front();
    int high = OpenStringNote.back();
    int frets = 16;

    explicit Fretboard(const InstrumentRange& range)
        : high(OpenStringNote.back() + range.fretCount - 1), frets(range.fretCount)
    {
    }
};

// The notes to place, ascending: on the fretboard, each once, at most one per string, the
// heard bass still lowest; octave doublings of the upper notes give way first.
std::vector<int> notesToPlace(const std::set<int>& heard, const Fretboard& board)
{
    const int bass = foldInto(*heard.begin(), board.low, board.high);
    std::set<int> folded{bass};
    for (int note : heard) {
        int pitch = foldInto(note, board.low, board.high);
        while (pitch < bass)
            pitch += 12;
        folded.insert(pitch);
    }
    std::vector<int> notes(folded.begin(), folded.end());
    for (size_t i = notes.size(); i-- > 1 && notes.size() > size_t(kStrings);) {
        const bool doubled = std::any_of(notes.begin(), notes.begin() + long(i),
                                         [&](int lower) { return FloorMod(lower, 12) == FloorMod(notes[i], 12); });
        if (doubled)
            notes.erase(notes.begin() + long(i));
    }
    if (notes.size() > size_t(kStrings))
        notes.resize(kStrings);
    return notes;
}

// A candidate shape and what makes it better or worse, compared in this order.
struct Shape {
    std::set<int> codes;
    std::array<int, 4> cost{}; // notes moved by an octave, stretch, muted inner strings, position
};

// Every way to put the ascending pitches on ascending strings; visit(strings) for each.
template <typename Visit>
void forEachStringing(const std::vector<int>& pitches, const Fretboard& board, std::vector<int>& strings, Visit visit)
{
    const size_t k = strings.size();
    if (k == pitches.size()) {
        visit(strings);
        return;
    }
    for (int s = k == 0 ? 0 : strings.back() + 1; s < kStrings; ++s) {
        const int fret = pitches[k] - OpenStringNote[size_t(s)];
        if (fret < 0 || fret >= board.frets)
            continue;
        strings.push_back(s);
        forEachStringing(pitches, board, strings, visit);
        strings.pop_back();
    }
}

std::array<int, 4> costOf(const std::vector<int>& pitches, const std::vector<int>& strings, int moved)
{
    int lowestFret = 0, highestFret = 0;
    for (size_t i = 0; i < pitches.size(); ++i) {
        const int fret = pitches[i] - OpenStringNote[size_t(strings[i])];
        if (fret == 0)
            continue; // an open string costs the hand nothing
        lowestFret = lowestFret == 0 ? fret : std::min(lowestFret, fret);
        highestFret = std::max(highestFret, fret);
    }
    const int muted = strings.back() - strings.front() + 1 - int(strings.size());
    return {moved, highestFret - lowestFret, muted, lowestFret};
}

// The best shape for the ascending notes, each at its own pitch or an octave away, the first
// (the bass) still lowest; none when no shape fits within widest frets.
std::optional<Shape> bestShape(const std::vector<int>& notes, const Fretboard& board, int widest)
{
    std::optional<Shape> best;
    std::vector<int> pitches;
    int moved = 0;
    // Chooses each note's octave in turn, then tries every stringing of the chosen pitches.
    const auto choose = [&](const auto& self, size_t i) -> void {
        if (i == notes.size()) {
            std::vector<int> sorted = pitches;
            std::sort(sorted.begin(), sorted.end());
            if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end() ||
                FloorMod(sorted.front(), 12) != FloorMod(notes.front(), 12))
                return;
            std::vector<int> strings;
            forEachStringing(sorted, board, strings, [&](const std::vector<int>& chosen) {
                const std::array<int, 4> cost = costOf(sorted, chosen, moved);
                if (cost[1] > widest || (best && best->cost <= cost))
                    return;
                Shape shape{{}, cost};
                for (size_t n = 0; n < sorted.size(); ++n)
                    shape.codes.insert(chosen[n] * 256 + sorted[n] - OpenStringNote[size_t(chosen[n])]);
                best = std::move(shape);
            });
            return;
        }
        for (int shift : {0, -12, 12}) {
            const int pitch = notes[i] + shift;
            if (pitch < board.low || pitch > board.high)
                continue;
            pitches.push_back(pitch);
            moved += shift != 0;
            self(self, i + 1);
            moved -= shift != 0;
            pitches.pop_back();
        }
    };
    choose(choose, 0);
    return best;
}

} // namespace

int PianoCodeForNote(int note, const InstrumentRange& range) { return foldInto(note, range.firstKey, range.lastKey); }

std::set<int> GuitarCodesForNotes(const std::set<int>& notes, const InstrumentRange& range)
{
    if (notes.empty())
        return {};
    const Fretboard board(range);
    std::vector<int> toPlace = notesToPlace(notes, board);
    // Fewer notes always fit in the end: a single note has a place on some string.
    for (; !toPlace.empty(); toPlace.pop_back()) {
        if (auto shape = bestShape(toPlace, board, kWidestStretch))
            return shape->codes;
        if (auto shape = bestShape(toPlace, board, board.frets))
            return shape->codes;
    }
    return {};
}

std::set<int> MarkCodesForNotes(GameType game, const std::set<int>& notes, const InstrumentRange& range)
{
    if (game == gtGuitar)
        return GuitarCodesForNotes(notes, range);
    std::set<int> codes;
    for (int note : notes)
        codes.insert(PianoCodeForNote(note, range));
    return codes;
}
