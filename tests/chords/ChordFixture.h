// Temporary data folders for the chord knowledge tests: each test writes the few
// definition lines it needs and loads them into a fresh ChordBook.
#pragma once

#include "chords/ChordBook.h"
#include "chords/ChordCalculation.h"
#include "chords/ChordVariations.h"
#include "chords/ReverseFinder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tonvera-chords-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    void write(const std::string& name, const std::string& text) const
    {
        std::ofstream(path_ / name, std::ios::binary) << text;
    }
    std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

// Chord types as usually defined, with the lists the chord-type buttons name.
inline const char* const StandardChords =
    "; test chord types\n"
    "list:majList\n"
    "maj,0100,0304,0507\n"
    "maj7,0100,0304,0507,0711\n"
    "maj9,0100,0304,0507,0711,0914\n"
    "list:minList\n"
    "m,0100,0303,0507\n"
    "m7,0100,0303,0507,0710\n"
    "list:\n"
    "7,0100,0304,0507,0710\n"
    "dim7,0100,0303,0506,0709\n"
    "13,0100,0304,0507,0710,0914,1321\n";

// A ChordBook loaded from a temporary folder holding the given files.
struct LoadedBook {
    TempFolder folder;
    ChordBook book;

    LoadedBook(const std::string& chords, const std::string& voicings, GameType game = gtPiano)
    {
        folder.write("chords.def", chords);
        folder.write(game == gtPiano ? "pianochords.def" : "guitarchords.def", voicings);
        book = LoadChordDefinitions(folder.path(), game);
    }
};

// The message of the ChordError that f throws, or "" when it throws none.
template <typename F>
std::string chordErrorOf(F&& f)
{
    try {
        f();
    } catch (const ChordError& error) {
        return error.what();
    }
    return "";
}
