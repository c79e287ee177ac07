// Readers of the chord types file and the voicing files.
#include "chords/ChordBook.h"
#include "base/Files.h"
#include "base/TextUtil.h"
#include "chords/VoicingWalk.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

const char* const ChordsFileName = "chords.def";

// The whole file split into lines; a file that cannot be opened counts as missing.
std::vector<std::string> readLines(const std::string& folder, const std::string& name)
{
    const std::string path = JoinPath(folder, name);
    std::error_code error;
    std::ifstream in;
    if (!std::filesystem::is_directory(path, error))
        in.open(path, std::ios::binary);
    if (!in.is_open())
        throw ChordError("File not found: " + name);
    std::ostringstream text;
    text << in.rdbuf();
    return SplitLines(text.str());
}

// A line trimmed, cut at its first ";" and trimmed again.
std::string stripComment(const std::string& raw)
{
    std::string line = TrimBlanks(raw);
    const std::size_t semicolon = line.find(';');
    if (semicolon != std::string::npos)
        line = TrimBlanks(std::string_view(line).substr(0, semicolon));
    return line;
}

ChordError syntaxError(int index, const std::string& fileName)
{
    return ChordError("syntax error: line=" + std::to_string(index) + ", file=" + fileName);
}

// A decimal integer with optional leading blanks and sign, and nothing after it;
// anything else, and a value outside int, reads as 65535.
int voicingNumber(const std::string& field)
{
    std::size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-'))
        negative = field[i++] == '-';
    if (i == field.size())
        return UnplayedString;
    std::int64_t value = 0;
    for (; i < field.size(); ++i) {
        if (field[i] < '0' || field[i] > '9')
            return UnplayedString;
        value = value * 10 + (field[i] - '0');
        if (value > std::int64_t(INT_MAX) + 1)
            return UnplayedString;
    }
    if (negative)
        value = -value;
    if (value < INT_MIN || value > INT_MAX)
        return UnplayedString;
    return int(value);
}

std::int64_t magnitude(int value) { return value < 0 ? -std::int64_t(value) : value; }


void processChordLine(ChordBook& book, const std::string& stripped, int index, std::string& currentList)
{
    std::string_view line = stripped;
    if (line.empty())
        return;
    std::string head;
    const char delimiter = NextToken(line, head, ",=:");
    if (head.empty())
        throw syntaxError(index, ChordsFileName);
    head = LowerCase(head);

    if (delimiter == ':' && head == "list") {
        NextToken(line, currentList, ",");
        return;
    }

    TChordStruct& chord = book.ChordTypes[head];
    chord.line = index;
    if (!currentList.empty())
        book.ChordLists[currentList].push_back(head);

    if (delimiter == ',') {
        std::string piece;
        while (!line.empty()) {
            NextToken(line, piece, ",");
            if (!piece.empty())
                chord.degrees.push_back(piece);
        }
    } else if (delimiter == '=') {
        std::string target;
        NextToken(line, target, ",");
        const auto found = book.ChordTypes.find(target);
        if (found == book.ChordTypes.end() || found->second.degrees.empty())
            throw ChordError("error '" + target + "' not yet defined: line=" + std::to_string(index) +
                             ", file=" + ChordsFileName);
        book.ChordAliases[head].push_back(target);
        book.ChordAliases[target].push_back(head);
        std::vector<std::string> degrees = found->second.degrees;
        chord.degrees = std::move(degrees);
    }
}

void processVoicingLine(ChordBook& book, const std::string& stripped, int index, const std::string& fileName,
                        const std::string*& currentCategory, std::string& previousKey)
{
    if (stripped.empty())
        return;
    if (stripped.front() == '[') {
        std::string name = stripped.substr(1);
        if (!name.empty() && name.back() == ']')
            name.pop_back();
        auto entry = book.VoicingCategories.insert_or_assign(name, int(book.Voicings.size())).first;
        currentCategory = &entry->first;
        return;
    }

    std::string_view line = stripped;
    TChord chord;
    NextToken(line, chord.root, ",");
    NextToken(line, chord.name, ",");
    if (chord.root.empty() || chord.name.empty())
        throw syntaxError(index, fileName);
    std::string field;
    while (!line.empty()) {
        NextToken(line, field, ",");
        if (!field.empty())
            chord.numbers.push_back(voicingNumber(field));
    }
    if (chord.numbers.empty())
        return;
    if (book.Game == gtPiano)
        std::stable_sort(chord.numbers.begin() + 1, chord.numbers.end(),
                         [](int a, int b) { return magnitude(a) < magnitude(b); });
    chord.category = currentCategory;

    const std::string key = LowerCase(chord.name);
    book.Voicings.push_back(std::move(chord));
    auto& runs = book.VoicingIndex[key];
    if (runs.empty() || key != previousKey)
        runs.push_back(&book.Voicings.back());
    previousKey = key;
}

void loadChordTypes(ChordBook& book, const std::string& folder)
{
    const std::vector<std::string> lines = readLines(folder, ChordsFileName);
    std::string currentList;
    for (std::size_t i = 0; i < lines.size(); ++i)
        processChordLine(book, stripComment(lines[i]), int(i), currentList);
    for (const auto& [list, members] : book.ChordLists) {
        std::string text;
        for (const std::string& member : members)
            text += "(" + member + ")";
        book.ListMembers[list] = text;
    }
}

void loadVoicings(ChordBook& book, const std::string& folder)
{
    const std::string fileName = book.Game == gtPiano ? "pianochords.def" : "guitarchords.def";
    const std::vector<std::string> lines = readLines(folder, fileName);
    // Every line holds at most one voicing, so this capacity is never exceeded.
    book.Voicings.reserve(lines.size());
    const std::string* currentCategory = nullptr;
    std::string previousKey;
    for (std::size_t j = 0; j < lines.size(); ++j)
        processVoicingLine(book, stripComment(lines[j]), int(j), fileName, currentCategory, previousKey);
}

}  // namespace

ChordBook LoadChordDefinitions(const std::string& folder, GameType game)
{
    ChordBook book;
    book.Game = game;
    loadChordTypes(book, folder);
    loadVoicings(book, folder);
    BuildFinderIndex(book);
    return book;
}
