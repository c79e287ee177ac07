// The chord vocabulary as the voicing tools see it.
#include "tools/voicings/Vocabulary.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

ChordBook LoadVocabulary(const std::string& chordsFile)
{
    // The loader always reads a voicing file too: give it an empty one beside a copy.
    std::string pattern = (fs::temp_directory_path() / "tonvera-vocabulary-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw ChordError("cannot create a temporary folder");
    const fs::path folder = pattern;
    ChordBook book;
    try {
        if (!fs::exists(chordsFile))
            throw ChordError("File not found: " + chordsFile);
        fs::copy_file(chordsFile, folder / "chords.def");
        std::ofstream(folder / "pianochords.def").flush();
        book = LoadChordDefinitions(folder.string(), gtPiano);
    } catch (...) {
        fs::remove_all(folder);
        throw;
    }
    fs::remove_all(folder);
    return book;
}

bool IsAlias(const ChordBook& book, const std::string& name)
{
    const auto links = book.ChordAliases.find(name);
    const auto self = book.ChordTypes.find(name);
    if (links == book.ChordAliases.end() || self == book.ChordTypes.end())
        return false;
    return std::any_of(links->second.begin(), links->second.end(), [&](const std::string& other) {
        const auto target = book.ChordTypes.find(other);
        return target != book.ChordTypes.end() && target->second.line < self->second.line;
    });
}

std::vector<std::string> RealChordTypes(const ChordBook& book)
{
    std::vector<std::string> names;
    for (const auto& [name, type] : book.ChordTypes)
        if (!IsAlias(book, name))
            names.push_back(name);
    std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
        return book.ChordTypes.at(a).line < book.ChordTypes.at(b).line;
    });
    return names;
}

std::map<std::string, ChordShape> AnalyseVocabulary(const ChordBook& book)
{
    std::vector<ChordShape> shapes;
    for (const std::string& name : RealChordTypes(book))
        shapes.push_back(AnalyseChord(name, book.ChordTypes.at(name).degrees));
    LinkSmallerChords(shapes);
    std::map<std::string, ChordShape> byName;
    for (ChordShape& shape : shapes)
        byName[shape.name] = std::move(shape);
    return byName;
}
