// Text forms of pitches, marks and chords.
#include "chords/ChordText.h"

#include "base/TextUtil.h"
#include "chords/DegreeCode.h"
#include "chords/Notes.h"

#include <cstdlib>

namespace {

constexpr int LowestOctave = -1;
constexpr int HighestOctave = 9;

// Letter index of a letter name in either case, or -1.
int letterIndex(char c)
{
    const char upper = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    for (std::size_t i = 0; i < LetterNames.size(); ++i)
        if (LetterNames[i][0] == upper)
            return int(i);
    return -1;
}

// Semitones the accidentals after the letter add: +1 per "#", -1 per "b".
int accidentalOffset(std::string_view accidentals)
{
    int offset = 0;
    for (const char c : accidentals)
        offset += c == '#' ? 1 : c == 'b' ? -1 : 0;
    return offset;
}

ParsedMark failed(std::string_view text, const std::string& why)
{
    ParsedMark mark;
    mark.error = "mark '" + std::string(text) + "': " + why;
    return mark;
}

std::string joined(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text.append(text.empty() ? "" : " ").append(item.empty() ? "-" : item);
    return text;
}

} // namespace

std::optional<int> ParsePitchName(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    const int letter = letterIndex(text[0]);
    if (letter < 0)
        return std::nullopt;
    std::size_t octaveStart = 1;
    while (octaveStart < text.size() && octaveStart < 3 && text[octaveStart] == text[1] &&
           (text[octaveStart] == '#' || text[octaveStart] == 'b'))
        ++octaveStart;
    const auto octave = ParseWholeNumber(text.substr(octaveStart));
    if (!octave || *octave < LowestOctave || *octave > HighestOctave)
        return std::nullopt;
    const int note = (*octave + 1) * 12 + LetterSemitones[std::size_t(letter)] +
                     accidentalOffset(text.substr(1, octaveStart - 1));
    if (note < 0 || note > 127)
        return std::nullopt;
    return note;
}

std::string PitchName(std::string_view spelled, int note)
{
    const int letter = spelled.empty() ? -1 : letterIndex(spelled[0]);
    if (letter < 0)
        return PitchName(NoteNameTable[std::size_t(FloorMod(note, 12))], note);
    // The pitch of the bare letter, in the octave the name is counted in.
    const long long letterPitch = note - accidentalOffset(spelled.substr(1)) - LetterSemitones[std::size_t(letter)];
    const long long octave = (letterPitch - FloorMod(letterPitch, 12)) / 12 - 1;
    return std::string(spelled) + std::to_string(octave);
}

bool IsDegreeLabel(std::string_view label)
{
    for (const DegreeLabelEntry& entry : DegreeLabelTable)
        if (entry.label == label)
            return true;
    return false;
}

ParsedMark ParseMark(std::string_view text, GameType game)
{
    const std::size_t equals = text.find('=');
    const std::string_view position = text.substr(0, equals);
    ParsedMark mark;
    if (equals != std::string_view::npos) {
        mark.label = std::string(text.substr(equals + 1));
        if (mark.label.empty())
            return failed(text, "no degree label after '='");
        if (!IsDegreeLabel(mark.label))
            return failed(text, "unknown degree label '" + mark.label + "'");
    }
    if (game == gtPiano) {
        std::optional<int> note = ParseWholeNumber(position);
        if (!note)
            note = ParsePitchName(position);
        if (!note || *note < 0 || *note > 127)
            return failed(text, "not a MIDI note (0 to 127) or a note name such as C4");
        mark.code = *note;
        return mark;
    }
    const std::size_t slash = position.find('/');
    const auto string = ParseWholeNumber(position.substr(0, slash));
    const auto fret = slash == std::string_view::npos ? std::nullopt : ParseWholeNumber(position.substr(slash + 1));
    if (!string || !fret || *string < 0 || *string >= int(OpenStringNote.size()) || *fret < 0 ||
        *fret > HighestMarkFret)
        return failed(text, "not STRING/FRET (string 0 to 5 from the low E, fret 0 to " +
                                std::to_string(HighestMarkFret) + ")");
    mark.code = *string * 256 + *fret;
    return mark;
}

bool IsRootTone(const TChordVariation& chord, std::size_t i)
{
    return (i < chord.notes.size() && chord.notes[i] < 0) ||
           (i < chord.degreeLabels.size() && chord.degreeLabels[i] == "R");
}

std::string FretString(const TChordVariation& voicing)
{
    std::vector<std::string> frets;
    bool wide = false;
    for (std::size_t i = 0; i < voicing.notes.size() && i < OpenStringNote.size(); ++i) {
        const int value = voicing.notes[i];
        if (value == UnplayedString) {
            frets.push_back("x");
            continue;
        }
        const int fret = std::abs(value);
        wide = wide || fret > 9;
        frets.push_back(std::to_string(fret));
    }
    std::string text;
    for (const std::string& fret : frets)
        text.append(wide && !text.empty() ? "-" : "").append(fret);
    return text;
}

std::string ChordAsText(const ChordTextParts& parts)
{
    std::string text = parts.name + "\n";
    if (parts.chord) {
        text += "Notes: " + joined(parts.chord->noteNames) + "\n";
        text += "Degrees: " + joined(parts.chord->degreeLabels) + "\n";
    }
    if (!parts.voicing)
        return text;
    if (parts.game == gtGuitar)
        return text + "Voicing: " + FretString(*parts.voicing) + "\n";
    std::vector<std::string> pitches;
    for (std::size_t i = 0; i < parts.voicing->notes.size(); ++i) {
        const std::string spelled = i < parts.voicing->noteNames.size() ? parts.voicing->noteNames[i] : std::string();
        pitches.push_back(PitchName(spelled, std::abs(parts.voicing->notes[i])));
    }
    return text + "Voicing: " + joined(pitches) + "\n";
}
