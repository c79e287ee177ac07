// Chord calculation: letters from the degrees, accidentals from the semitones.
#include "chords/ChordCalculation.h"

#include "chords/DegreeCode.h"
#include "chords/Notes.h"

#include <cstdlib>

const TChordStruct& CheckedChordType(const ChordBook& book, const std::string& name, int root)
{
    const auto type = book.ChordTypes.find(name);
    if (type == book.ChordTypes.end() || type->second.degrees.empty())
        throw ChordError("invalid chord type: " + name);
    if (root < 0 || root >= RootCount)
        throw ChordError("Root not selected!");
    return type->second;
}

TChordVariation CalculateChord(const ChordBook& book, const std::string& name, int root)
{
    const std::vector<std::string>& codes = CheckedChordType(book, name, root).degrees;
    const std::size_t n = codes.size();
    TChordVariation chord;
    chord.notes.assign(n, 0);
    chord.colours.assign(n, 0);
    chord.degreeLabels.assign(n, std::string());
    chord.noteNames.assign(n, std::string());

    const TRootInfo& info = RootTable[root];
    const int rootNote = ChordRootNote(info);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string& code = codes[i];
        chord.degreeLabels[i] = DegreeLabel(code);
        if (const auto colour = book.ColourMap.find(code); colour != book.ColourMap.end())
            chord.colours[i] = colour->second;
        const int step = DegreeNumber(code) - 1;
        const int semitones = DegreeSemitones(code);
        chord.notes[i] = rootNote + semitones;

        // The letter follows the degree; "natural" is that letter's pitch counted from
        // the C at or below the root (a degree "00" reaches the B below it).
        const int letter = info.letter + step;
        const int octaves = int((letter - FloorMod(letter, 7)) / 7);
        const int natural = LetterSemitones[FloorMod(letter, 7)] + 12 * octaves;
        const int d = info.pitchClass + semitones - natural;
        chord.noteNames[i] = LetterNames[FloorMod(letter, 7)];
        if (d > 2 || d < -2)
            throw ChordError("Internal error: calculate chord, fd>2!");
        chord.noteNames[i].append(d > 0 ? d : -d, d > 0 ? '#' : 'b');
    }
    return chord;
}

std::vector<std::optional<int>> SoundingNotes(const TChordVariation& chord, bool guitarFrets)
{
    std::vector<std::optional<int>> notes;
    for (std::size_t i = 0; i < chord.notes.size(); ++i) {
        const int value = chord.notes[i];
        if (value == UnplayedString)
            notes.push_back(std::nullopt);
        else if (guitarFrets && i < OpenStringNote.size())
            notes.push_back(std::abs(value) + OpenStringNote[i]);
        else
            notes.push_back(std::abs(value));
    }
    return notes;
}
