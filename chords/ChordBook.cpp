// Chord calculation and the finder-mark rule.
#include "chords/ChordBook.h"
#include "chords/DegreeCode.h"
#include "chords/Notes.h"

#include <cstdlib>

int DegreeCodeField(const std::string& code, std::size_t first)
{
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (code.size() < first + 2 || !isDigit(code[first]) || !isDigit(code[first + 1]))
        throw ChordError("'" + code + "' is not a valid integer value");
    return (code[first] - '0') * 10 + (code[first + 1] - '0');
}

void ChordBook::CalculateChord(const std::string& name, int root)
{
    const auto type = ChordTypes.find(name);
    if (type == ChordTypes.end() || type->second.degrees.empty())
        throw ChordError("invalid chord type: " + name);
    if (root < 0 || root >= RootCount)
        throw ChordError("Root not selected!");

    const std::vector<std::string>& codes = type->second.degrees;
    const std::size_t n = codes.size();
    CurrentChord.notes.assign(n, 0);
    CurrentChord.colours.assign(n, 0);
    CurrentChord.degreeLabels.assign(n, std::string());
    CurrentChord.noteNames.assign(n, std::string());

    const TRootInfo& info = RootTable[root];
    const int rootNote = ChordRootNote(info);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string& code = codes[i];
        CurrentChord.degreeLabels[i] = DegreeLabel(code);
        if (const auto colour = ColourMap.find(code); colour != ColourMap.end())
            CurrentChord.colours[i] = colour->second;
        const int step = DegreeNumber(code) - 1;
        const int semitones = DegreeSemitones(code);
        CurrentChord.notes[i] = rootNote + semitones;

        // The letter follows the degree; "natural" is that letter's pitch counted from
        // the C at or below the root (a degree "00" reaches the B below it).
        const int letter = info.letter + step;
        const int octaves = int((letter - FloorMod(letter, 7)) / 7);
        const int natural = LetterSemitones[FloorMod(letter, 7)] + 12 * octaves;
        const int d = info.pitchClass + semitones - natural;
        CurrentChord.noteNames[i] = LetterNames[FloorMod(letter, 7)];
        if (d > 2 || d < -2)
            throw ChordError("Internal error: calculate chord, fd>2!");
        CurrentChord.noteNames[i].append(d > 0 ? d : -d, d > 0 ? '#' : 'b');
    }
}

int MarkSoundingNote(GameType game, int code)
{
    if (game == gtPiano)
        return code;
    const int string = code / 256;
    if (code < 0 || string >= int(OpenStringNote.size()))
        return -1;
    return OpenStringNote[string] + code % 256;
}

void SetMarkLabel(std::map<int, std::string>& marks, int code, const std::string& label,
                  GameType game, int finderMode)
{
    if (game == gtGuitar && finderMode == 1) {
        for (auto it = marks.begin(); it != marks.end();)
            it = it->first / 256 == code / 256 ? marks.erase(it) : std::next(it);
    }
    if (code >= 0)
        marks[code] = label;
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
