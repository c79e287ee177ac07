// Checks the shipped data files.
#include "tools/voicings/DataChecker.h"

#include "base/TextUtil.h"

#include "chords/ChordBook.h"
#include "chords/ChordCalculation.h"
#include "chords/Notes.h"
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
    // [type][root][instrument] -> the first voicing of the chord's list
    std::map<std::string, std::array<std::map<GameType, std::string>, RootCount>> firstShapes;

    void fault(const std::string& text) { report.faults.push_back(text); }

    // The one place the checker calculates chords: every chord type spells on every root.
    void checkCalculation(const std::string& name)
    {
        for (int root = 0; root < RootCount; ++root) {
            try {
                CalculateChord(vocabulary, name, root);
            } catch (const std::exception& e) {
                fault("chords.def: " + name + " on " + std::string(RootTable[root].name) + ": " + e.what());
                return;
            }
        }
    }

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
            checkCalculation(name);
        }
        types = RealChordTypes(vocabulary);
        shapes = AnalyseVocabulary(vocabulary);
        checkAliasTargets();
        checkToneLabels();
        checkSameTones();
        checkListMembers();
    }

    // An alias points at a chord type: voicings are stored under chord types only, so an
    // alias of an alias would find none.
    void checkAliasTargets()
    {
        for (const auto& [name, type] : vocabulary.ChordTypes) {
            if (!IsAlias(vocabulary, name))
                continue;
            for (const std::string& link : vocabulary.ChordAliases.at(name))
                if (IsAlias(vocabulary, link) && vocabulary.ChordTypes.at(link).line < type.line)
                    fault("chords.def: the alias '" + name + "' points at '" + link +
                          "', another alias: point it at a chord type");
        }
    }

    // Every tone of a chord type is drawn with its degree label.
    void checkToneLabels()
    {
        for (const std::string& t : types)
            for (const std::string& code : vocabulary.ChordTypes.at(t).degrees)
                if (DegreeLabel(code).empty())
                    fault("chords.def: " + t + ": the tone " + code + " has no degree label");
    }

    // Two chord types with the same tones are one chord under two names.
    void checkSameTones()
    {
        for (std::size_t a = 0; a < types.size(); ++a)
            for (std::size_t b = a + 1; b < types.size(); ++b)
                if (shapes.at(types[a]).toneMask == shapes.at(types[b]).toneMask)
                    fault("chords.def: '" + types[a] + "' and '" + types[b] +
                          "' hold the same tones: make the second an alias");
    }

    // The finder takes a chord type into a checked list's search when "(type)" occurs in the
    // list's members text: a member with brackets must not select another type that way.
    void checkListMembers()
    {
        for (const auto& [list, members] : vocabulary.ChordLists) {
            std::string text;
            for (const std::string& m : members)
                text += "(" + m + ")";
            for (const auto& [name, type] : vocabulary.ChordTypes)
                if (text.find("(" + name + ")") != std::string::npos &&
                    std::find(members.begin(), members.end(), name) == members.end())
                    fault("chords.def: the list '" + list + "' also selects '" + name +
                          "' in the finder: keep names with brackets out of lists");
        }
    }

    std::string unknownTypeFault(const std::string& name) const
    {
        const std::string lower = LowerCase(name);
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
        std::set<std::pair<std::string, int>> chordsSeen;
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
            if (!seen.insert(*v.category + at).second)
                fault(at + "is listed twice in " + *v.category);
            const int rootPc = RootTable[root].pitchClass;
            if (chordsSeen.insert({v.name, root}).second)
                firstShapes[v.name][root][game] = shapeText(v, game);
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
        return CheckGuitarVoicing(shape, rootPc, *v.category, guitarFrets(v), guitarNotes(v));
    }

    static std::vector<SoundingNote> pianoNotes(const TChord& v)
    {
        std::vector<SoundingNote> notes;
        for (std::size_t k = 1; k < v.numbers.size(); ++k)
            notes.push_back({std::abs(v.numbers[k]) + v.numbers[0], v.numbers[k] < 0, false});
        return notes;
    }

    std::vector<std::string> checkPianoVoicing(const TChord& v, int rootPc, const ChordShape& shape)
    {
        const std::vector<SoundingNote> notes = pianoNotes(v);
        for (const SoundingNote& n : notes)
            if (n.midi < LowestPianoNote || n.midi > HighestPianoNote)
                return {"note " + std::to_string(n.midi) + " is off the keyboard (" + std::to_string(LowestPianoNote) +
                        "-" + std::to_string(HighestPianoNote) + ")"};
        const auto& categories = PianoCategories();
        if (std::find(categories.begin(), categories.end(), *v.category) == categories.end())
            return {"unknown piano category '" + *v.category + "'"};
        return CheckPianoVoicing(shape, rootPc, *v.category, notes);
    }

    // A voicing as a player reads it: frets low string first ("x32010", with dashes when a
    // fret has two digits), or note names from the bottom ("C3 E3 G3 B3").
    static std::string shapeText(const TChord& v, GameType game)
    {
        std::string text;
        if (game == gtGuitar) {
            const GuitarFrets frets = guitarFrets(v);
            const bool wide = std::any_of(frets.begin(), frets.end(), [](int f) { return f >= 10; });
            for (int s = 0; s < 6; ++s)
                text += (wide && s > 0 ? "-" : "") +
                        (frets[s] == MutedString ? std::string("x") : std::to_string(frets[s]));
            return text;
        }
        for (const SoundingNote& n : pianoNotes(v))
            text += (text.empty() ? "" : " ") + std::string(NoteNameTable[PitchClassOf(n.midi)]) +
                    std::to_string(n.midi / 12 - 1);
        return text;
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
                if (shapes.at(t).tones.size() >= 4 && total(gtGuitar, t, root, {"JAZZ"}) < 1)
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
        std::vector<int> widths;
        for (const std::string& c : columns)
            widths.push_back(std::max(9, int(c.size())));
        std::snprintf(cell, sizeof cell, "%-10s", "type");
        out << cell;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            std::snprintf(cell, sizeof cell, " %*s", widths[i], columns[i].c_str());
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
                std::snprintf(cell, sizeof cell, " %*d", widths[i], n);
                out << cell;
            }
            out << '\n';
        }
        std::snprintf(cell, sizeof cell, "%-10s", "all");
        out << cell;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            std::snprintf(cell, sizeof cell, " %*d", widths[i], sums[columns[i]]);
            out << cell;
        }
        out << "\n" << types.size() << " chord types, " << vocabulary.ChordTypes.size() - types.size()
            << " aliases\n";
        report.coverage = out.str();
    }

    void writeFirstShapes()
    {
        std::ostringstream out;
        char line[128];
        std::snprintf(line, sizeof line, "%-14s %-20s %s\n", "chord", "guitar", "piano (first voicing listed)");
        out << line;
        for (const std::string& t : types)
            for (int root = RootCount - 1; root >= 0; --root) {
                auto& first = firstShapes[t][root];
                const std::string chord = std::string(RootTable[root].name) + t;
                std::snprintf(line, sizeof line, "%-14s %-20s %s\n", chord.c_str(), first[gtGuitar].c_str(),
                              first[gtPiano].c_str());
                out << line;
            }
        report.firstShapes = out.str();
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
            checker.checkVoicings(LoadChordDefinitions(folder, game), game);
        }
    } catch (const std::exception& e) {
        checker.fault(e.what());
        return checker.report;
    }
    checker.checkCoverage();
    checker.writeCoverage();
    checker.writeFirstShapes();
    return checker.report;
}
