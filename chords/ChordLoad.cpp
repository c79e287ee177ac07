// Readers of the chord types file and the voicing files.
#include "chords/ChordBook.h"
#include "base/Files.h"
#include "base/TextUtil.h"
#include "chords/ReverseFinder.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>

namespace {

const char* const ChordsFileName = "chords.def";

// The whole file; a file that cannot be opened counts as missing.
std::string readText(const std::string& folder, const std::string& name)
{
    const std::string path = JoinPath(folder, name);
    std::error_code error;
    std::ifstream in;
    if (!std::filesystem::is_directory(path, error))
        in.open(path, std::ios::binary);
    if (!in.is_open())
        throw ChordError("File not found: " + name);
    std::string text;
    const auto size = std::filesystem::file_size(path, error);
    if (!error) {
        text.resize(size);
        in.read(text.data(), std::streamsize(size));
        text.resize(std::size_t(in.gcount()));
    }
    return text;
}

// A line trimmed, cut at its first ";" and trimmed again.
std::string_view stripComment(std::string_view raw)
{
    std::string_view line = TrimmedView(raw);
    const std::size_t semicolon = line.find(';');
    if (semicolon != std::string_view::npos)
        line = TrimmedView(line.substr(0, semicolon));
    return line;
}

ChordError syntaxError(int index, const std::string& fileName)
{
    return ChordError("syntax error: line=" + std::to_string(index) + ", file=" + fileName);
}

// A decimal integer with optional leading blanks and sign, and nothing after it;
// anything else, and a value outside int, reads as 65535.
int voicingNumber(std::string_view field)
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


void processChordLine(ChordBook& book, std::string_view line, int index, std::string& currentList)
{
    if (line.empty())
        return;
    std::string_view token;
    const char delimiter = NextToken(line, token, ",=:");
    if (token.empty())
        throw syntaxError(index, ChordsFileName);
    const std::string head = LowerCase(token);

    if (delimiter == ':' && head == "list") {
        NextToken(line, token, ",");
        currentList = token;
        return;
    }

    TChordStruct& chord = book.ChordTypes[head];
    chord.line = index;
    if (!currentList.empty())
        book.ChordLists[currentList].push_back(head);

    if (delimiter == ',') {
        std::string_view piece;
        while (!line.empty()) {
            NextToken(line, piece, ",");
            if (!piece.empty())
                chord.degrees.emplace_back(piece);
        }
    } else if (delimiter == '=') {
        std::string_view targetName;
        NextToken(line, targetName, ",");
        const std::string target(targetName);
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

// Sorts the notes by magnitude, keeping the file order of equal ones (a voicing has a
// handful of notes, so insertion sort beats a general stable sort and allocates nothing).
void sortByMagnitude(std::vector<int>::iterator first, std::vector<int>::iterator last)
{
    for (auto i = first; i != last; ++i)
        for (auto j = i; j != first && magnitude(*(j - 1)) > magnitude(*j); --j)
            std::iter_swap(j - 1, j);
}

void processVoicingLine(ChordBook& book, std::string_view line, int index, const std::string& fileName,
                        const std::string*& currentCategory, std::string& previousKey)
{
    if (line.empty())
        return;
    if (line.front() == '[') {
        std::string name(line.substr(1));
        if (!name.empty() && name.back() == ']')
            name.pop_back();
        auto entry = book.VoicingCategories.insert_or_assign(name, int(book.Voicings.size())).first;
        currentCategory = &entry->first;
        return;
    }

    std::string_view root, name, field;
    NextToken(line, root, ",");
    NextToken(line, name, ",");
    if (root.empty() || name.empty())
        throw syntaxError(index, fileName);
    TChord chord;
    chord.numbers.reserve(8);
    while (!line.empty()) {
        NextToken(line, field, ",");
        if (!field.empty())
            chord.numbers.push_back(voicingNumber(field));
    }
    if (chord.numbers.empty())
        return;
    chord.root = root;
    chord.name = name;
    if (book.Game == gtPiano)
        sortByMagnitude(chord.numbers.begin() + 1, chord.numbers.end());
    chord.category = currentCategory;

    // Consecutive lines of one name form a run: only a run's first line is indexed.
    const bool sameRun = SameText(name, previousKey);
    book.Voicings.push_back(std::move(chord));
    if (!sameRun) {
        previousKey = LowerCase(name);
        book.VoicingIndex[previousKey].push_back(&book.Voicings.back());
    }
}

void loadChordTypes(ChordBook& book, const std::string& folder)
{
    const std::string text = readText(folder, ChordsFileName);
    const std::vector<std::string_view> lines = SplitLineViews(text);
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
    const std::string text = readText(folder, fileName);
    const std::vector<std::string_view> lines = SplitLineViews(text);
    // Every line holds at most one voicing, so this capacity is never exceeded.
    book.Voicings.reserve(lines.size());
    const std::string* currentCategory = nullptr;
    std::string previousKey;
    for (std::size_t j = 0; j < lines.size(); ++j)
        processVoicingLine(book, stripComment(lines[j]), int(j), fileName, currentCategory, previousKey);
}

}  // namespace

ChordBook LoadChordTables(const std::string& folder, GameType game)
{
    ChordBook book;
    book.Game = game;
    loadChordTypes(book, folder);
    loadVoicings(book, folder);
    return book;
}

ChordBook LoadChordDefinitions(const std::string& folder, GameType game)
{
    ChordBook book = LoadChordTables(folder, game);
    BuildFinderIndex(book);
    return book;
}
