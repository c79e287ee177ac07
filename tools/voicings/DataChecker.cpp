// Checks the shipped data files.
#include "tools/voicings/DataChecker.h"

#include "chords/ChordBook.h"
#include "chords/Notes.h"
#include "chords/TextUtil.h"
#include "layout/Layout.h"
#include "tools/voicings/GuitarVoicings.h"
#include "tools/voicings/PianoVoicings.h"
#include "tools/voicings/Vocabulary.h"
#include "tools/voicings/VoicingRules.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

namespace {

// Voicing counts of one chord type on one root, by category.
using Counts = std::map<std::string, int>;

struct Checker {
    DataReport report;
    ChordBook vocabulary;
    std::vector<std::string> types;
    std::map<std::string, ChordShape> shapes;
    // [instrument][type][root] -> counts by category
    std::map<GameType, std::map<std::string, std::array<Counts, RootCount>>> counts;

    void fault(const std::string& text) { report.faults.push_back(text); }

    void checkVocabulary()
    {
        // Every chord-type button names a chord type or a chord list of chords.def.
        for (const layout::ChordTypeButton& button : layout::ChordTypeButtons) {
            const std::string name(button.name);
            if (button.isList) {
                if (vocabulary.ChordLists[name].empty())
                    fault("chords.def: the list '" + name + "' is empty");
            } else if (const std::string type = LowerCase(name);
                       !vocabulary.ChordTypes.count(type) || IsAlias(vocabulary, type)) {
                fault("chords.def: the button chord type '" + type + "' is not defined");
            }
        }
        for (const auto& [name, type] : vocabulary.ChordTypes) {
            if (name.find_first_of(" \t") != std::string::npos)
                fault("chords.def: the name '" + name + "' contains a blank");
            for (int root = 0; root < RootCount; ++root) {
                try {
                    vocabulary.CalculateChord(name, root);
                } catch (const std::exception& e) {
                    fault("chords.def: " + name + " on " + std::string(RootTable[root].name) + ": " + e.what());
                    break;
                }
            }
        }
        types = RealChordTypes(vocabulary);
        for (const std::string& t : types)
            shapes[t] = AnalyseChord(t, vocabulary.ChordTypes.at(t).degrees);
    }

    std::string unknownTypeFault(const std::string& name) const
    {
        std::string lower = name;
        for (char& ch : lower)
            ch = char(std::tolower(static_cast<unsigned char>(ch)));
        if (shapes.count(lower))
            return "write the chord type in lower case, as chords.def does";
        if (vocabulary.ChordTypes.count(lower))
            return "an alias: voicings of aliases are not found by the chord finder, use its target";
        return "not a chord type of chords.def";
    }

    std::string where(const char* file, const TChord& v) const
    {
        std::string text = std::string(file) + ": " + v.root + "," + v.name;
        for (int n : v.numbers)
            text += "," + (n == UnplayedString ? std::string("x") : std::to_string(n));
        return text + ": ";
    }

    void checkVoicings(const ChordBook& book, GameType game)
    {
        const char* file = game == gtGuitar ? "guitarchords.def" : "pianochords.def";
        if (game == gtGuitar)
            checkGuitarHeaders(book);
        std::set<std::string> seen;
        for (const TChord& v : book.Voicings) {
            const std::string at = where(file, v);
            const int root = FindRoot(v.root);
            const auto shape = shapes.find(v.name);
            if (root < 0 || shape == shapes.end()) {
                fault(at + (root < 0 ? "unknown root" : unknownTypeFault(v.name)));
                continue;
            }
            if (!v.category) {
                fault(at + "stands before the first category header");
                continue;
            }
            if (!seen.insert(at).second)
                fault(at + "is listed twice");
            const int rootPc = RootTable[root].pitchClass;
            const std::vector<std::string> faults = game == gtGuitar ? checkGuitarVoicing(v, rootPc, shape->second)
                                                                     : checkPianoVoicing(v, rootPc, shape->second);
            for (const std::string& f : faults)
                fault(at + f);
            ++counts[game][v.name][root][*v.category];
        }
    }

    void checkGuitarHeaders(const ChordBook& book)
    {
        const auto& order = GuitarCategories();
        int previous = -1;
        for (const std::string& category : order) {
            const auto it = book.VoicingCategories.find(category);
            if (it == book.VoicingCategories.end() || it->second < previous) {
                fault("guitarchords.def: the headers [FOLK], [POP], [JAZZ] are missing or out of order");
                return;
            }
            previous = it->second;
        }
        if (book.VoicingCategories.size() != order.size())
            fault("guitarchords.def: a header other than [FOLK], [POP], [JAZZ]");
    }

    static GuitarFrets guitarFrets(const TChord& v)
    {
        GuitarFrets frets;
        for (int s = 0; s < 6; ++s) {
            const int value = v.numbers[s + 1];
            frets[s] = std::abs(value) > 20 ? MutedString : std::abs(value) + v.numbers[0];
        }
        return frets;
    }

    static std::vector<SoundingNote> guitarNotes(const TChord& v)
    {
        std::vector<SoundingNote> notes;
        const GuitarFrets frets = guitarFrets(v);
        for (int s = 0; s < 6; ++s)
            if (frets[s] != MutedString)
                notes.push_back({OpenStringNote[s] + frets[s], v.numbers[s + 1] < 0, frets[s] == 0});
        return notes;
    }

    std::vector<std::string> checkGuitarVoicing(const TChord& v, int rootPc, const ChordShape& shape)
    {
        if (v.numbers.size() != 7)
            return {"has " + std::to_string(int(v.numbers.size()) - 1) + " string values instead of 6"};
        for (int s = 1; s <= 6; ++s)
            if (std::abs(v.numbers[s]) > 20 && v.numbers[s] != UnplayedString)
                return {"writes an unplayed string as " + std::to_string(v.numbers[s]) + " instead of x"};
        std::vector<std::string> faults = CheckGuitarHand(guitarFrets(v));
        if (!faults.empty())
            return faults;  // frets off the board sound no meaningful notes
        faults = CheckGuitarCategory(*v.category, guitarFrets(v));
        for (const std::string& f : CheckTones(shape, rootPc, guitarNotes(v), GuitarPlacement(*v.category)))
            faults.push_back(f);
        return faults;
    }

    std::vector<std::string> checkPianoVoicing(const TChord& v, int rootPc, const ChordShape& shape)
    {
        std::vector<SoundingNote> notes;
        for (std::size_t k = 1; k < v.numbers.size(); ++k) {
            const int midi = std::abs(v.numbers[k]) + v.numbers[0];
            if (midi < LowestPianoNote || midi > HighestPianoNote)
                return {"note " + std::to_string(midi) + " is off the keyboard (" + std::to_string(LowestPianoNote) +
                        "-" + std::to_string(HighestPianoNote) + ")"};
            notes.push_back({midi, v.numbers[k] < 0, false});
        }
        const auto& categories = PianoCategories();
        if (std::find(categories.begin(), categories.end(), *v.category) == categories.end())
            return {"unknown piano category '" + *v.category + "'"};
        return CheckTones(shape, rootPc, notes, PianoPlacement(*v.category));
    }

    int total(GameType game, const std::string& type, int root, std::initializer_list<const char*> categories)
    {
        int n = 0;
        const Counts& c = counts[game][type][root];
        for (const auto& [category, count] : c)
            if (categories.size() == 0 ||
                std::any_of(categories.begin(), categories.end(), [&](const char* x) { return category == x; }))
                n += count;
        return n;
    }

    void checkCoverage()
    {
        for (const std::string& t : types)
            for (int root = 0; root < RootCount; ++root) {
                const std::string chord = std::string(RootTable[root].name) + t;
                if (total(gtGuitar, t, root, {}) < 3)
                    fault("coverage: " + chord + " has fewer than three guitar voicings");
                if (total(gtGuitar, t, root, {"POP", "JAZZ"}) < 1)
                    fault("coverage: " + chord + " has no POP or JAZZ guitar voicing");
                if (shapes[t].tones.size() >= 4 && total(gtGuitar, t, root, {"JAZZ"}) < 1)
                    fault("coverage: " + chord + " has no JAZZ guitar voicing");
                if (total(gtPiano, t, root, {}) < 4)
                    fault("coverage: " + chord + " has fewer than four piano voicings");
            }
    }

    void writeCoverage()
    {
        std::vector<std::string> columns = GuitarCategories();
        for (const std::string& c : PianoCategories())
            columns.push_back(c);
        std::ostringstream out;
        char cell[64];
        std::snprintf(cell, sizeof cell, "%-10s", "type");
        out << cell;
        for (const std::string& c : columns) {
            std::snprintf(cell, sizeof cell, " %9s", c.c_str());
            out << cell;
        }
        out << "   (voicings over all 17 roots; FOLK POP JAZZ guitar, the rest piano)\n";
        std::map<std::string, int> sums;
        for (const std::string& t : types) {
            std::snprintf(cell, sizeof cell, "%-10s", t.c_str());
            out << cell;
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const GameType game = i < GuitarCategories().size() ? gtGuitar : gtPiano;
                int n = 0;
                for (int root = 0; root < RootCount; ++root)
                    n += counts[game][t][root][columns[i]];
                sums[columns[i]] += n;
                std::snprintf(cell, sizeof cell, " %9d", n);
                out << cell;
            }
            out << '\n';
        }
        std::snprintf(cell, sizeof cell, "%-10s", "all");
        out << cell;
        for (const std::string& c : columns) {
            std::snprintf(cell, sizeof cell, " %9d", sums[c]);
            out << cell;
        }
        out << "\n" << types.size() << " chord types, " << vocabulary.ChordTypes.size() - types.size()
            << " aliases\n";
        report.coverage = out.str();
    }
};

}  // namespace

DataReport CheckDataFolder(const std::string& folder)
{
    Checker checker;
    try {
        checker.vocabulary = LoadVocabulary(folder + "/chords.def");
        checker.checkVocabulary();
        for (GameType game : {gtGuitar, gtPiano}) {
            ChordBook book;
            book.LoadChordDefinitions(folder, game);
            checker.checkVoicings(book, game);
        }
    } catch (const std::exception& e) {
        checker.fault(e.what());
        return checker.report;
    }
    checker.checkCoverage();
    checker.writeCoverage();
    return checker.report;
}
