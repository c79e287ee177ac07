// The commands of tonvera-query.
#include "tools/query/QueryCommands.h"

#include "base/TextUtil.h"
#include "chords/ChordButtons.h"
#include "chords/ChordCalculation.h"
#include "chords/ChordText.h"
#include "chords/ChordVariations.h"
#include "chords/Notes.h"
#include "chords/ReverseFinder.h"
#include "diagram/DiagramImage.h"
#include "layout/Layout.h"
#include "midi/Tmidicontent.h"
#include "platform/IniFile.h"
#include "tools/query/QueryJson.h"

#include <QGuiApplication>

#include <algorithm>
#include <map>
#include <optional>

namespace {

constexpr int MaxStaggerMs = 1000;
constexpr int DefaultSheetColumns = 4;
constexpr int MaxSheetColumns = 12;

// A command's arguments split into positionals and "--name [value]" options.
struct CommandArguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;

    bool has(const std::string& name) const { return options.count(name) > 0; }
    std::optional<std::string> value(const std::string& name) const
    {
        const auto found = options.find(name);
        return found == options.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
};

CommandArguments splitArguments(const std::string& command, const std::vector<std::string>& arguments,
                                const std::vector<std::string>& withValue, const std::vector<std::string>& flags)
{
    const auto listed = [](const std::vector<std::string>& names, const std::string& arg) {
        return std::find(names.begin(), names.end(), arg) != names.end();
    };
    CommandArguments result;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (listed(withValue, arg)) {
            if (i + 1 >= arguments.size())
                throw UsageError(arg + " needs a value");
            result.options[arg] = arguments[++i];
        } else if (listed(flags, arg)) {
            result.options[arg] = "";
        } else if (arg.size() > 1 && arg[0] == '-' && !std::isdigit(static_cast<unsigned char>(arg[1]))) {
            throw UsageError("unknown option for " + command + ": " + arg);
        } else {
            result.positional.push_back(arg);
        }
    }
    return result;
}

void requirePositionals(const CommandArguments& args, std::size_t count, const std::string& form)
{
    if (args.positional.size() < count)
        throw UsageError(form + ": missing " + (count - args.positional.size() == 1 ? "an argument" : "arguments"));
    if (args.positional.size() > count)
        throw UsageError(form + ": unexpected argument " + args.positional[count]);
}

int numberOption(const CommandArguments& args, const std::string& name, int lowest, int highest, int fallback)
{
    const auto text = args.value(name);
    if (!text)
        return fallback;
    const auto value = ParseWholeNumber(*text);
    if (!value || *value < lowest || *value > highest)
        throw UsageError(name + " " + *text + ": expected a number from " + std::to_string(lowest) + " to " +
                         std::to_string(highest));
    return *value;
}

// Roots match without regard to case, as in the window.
int rootArgument(const std::string& text)
{
    const int root = FindRootAnyCase(text);
    if (root < 0)
        throw UsageError("unknown root: " + text);
    return root;
}

// Chord types are stored in lower case; the window matches them that way too.
std::string typeArgument(const ChordBook& book, const std::string& text)
{
    const std::string type = LowerCase(text);
    const auto found = book.ChordTypes.find(type);
    if (found == book.ChordTypes.end() || found->second.degrees.empty())
        throw UsageError("invalid chord type: " + text);
    return type;
}

VariationOptions variationOptions(const ChordBook& book, const CommandArguments& args)
{
    VariationOptions options;
    options.convertDbl = args.has("--convert-dbl");
    if (const auto category = args.value("--category")) {
        if (book.Game == gtGuitar)
            options.guitarCategory = *category;
        else
            options.categoryFilter = *category;
    }
    return options;
}

std::string listJson(const VariationList& list, GameType game)
{
    std::string out = "{\"lines\":" + JsonStrings(list.Lines) + ",\"variations\":[";
    for (std::size_t i = 0; i < list.Variations.size(); ++i)
        out.append(i ? "," : "").append(JsonVariation(list.Variations[i]));
    return out + "],\"results\":" + JsonResults(list, game) + "}";
}

// The chord a file is made of: a voicing of the variation list, or the calculated chord.
struct ChosenChord {
    std::string title;          // root and type, "Cmaj7"
    std::string root;
    std::string type;
    int variation = 0;          // 1-based line of the variation list; 0 for the calculated chord
    TChordVariation chord;
};

// variation: none picks the first voicing, as the window shows a new chord, or the calculated
// chord when the chord has none; 0 the calculated chord.
ChosenChord chooseChord(const ChordBook& book, const std::string& rootText, const std::string& typeText,
                        const VariationOptions& options, std::optional<int> variation)
{
    const int root = rootArgument(rootText);
    ChosenChord chosen;
    chosen.type = typeArgument(book, typeText);
    chosen.root = std::string(RootTable[std::size_t(root)].name);
    chosen.title = chosen.root + chosen.type;
    ShowResult shown = ShowCurrentChord(book, root, chosen.type, false, options);
    const int count = int(shown.list.Variations.size());
    chosen.variation = variation.value_or(count > 0 ? 1 : 0);
    if (chosen.variation > count)
        throw UsageError("--variation " + std::to_string(chosen.variation) + ": " + chosen.title + " has " +
                         std::to_string(count) + (count == 1 ? " variation" : " variations"));
    chosen.chord = chosen.variation == 0 ? std::move(shown.CurrentChord)
                                         : std::move(shown.list.Variations[std::size_t(chosen.variation - 1)]);
    return chosen;
}

std::optional<int> variationArgument(const CommandArguments& args)
{
    if (!args.has("--variation"))
        return std::nullopt;
    return numberOption(args, "--variation", 0, 1 << 20, 0);
}

std::string outputArgument(const CommandArguments& args, const std::string& command, const std::string& form)
{
    const auto output = args.value("-o");
    if (!output || output->empty())
        throw UsageError(command + " needs -o " + form);
    return *output;
}

std::string chordCommand(const QueryData& data, const std::vector<std::string>& arguments)
{
    const ChordBook& book = data.book;
    const CommandArguments args = splitArguments("chord", arguments, {}, {});
    requirePositionals(args, 2, "chord ROOT TYPE");
    const int root = rootArgument(args.positional[0]);
    const std::string type = typeArgument(book, args.positional[1]);
    const TChordVariation chord = CalculateChord(book, type, root);
    return "{\"root\":" + JsonString(RootTable[std::size_t(root)].name) + ",\"type\":" + JsonString(type) +
           ",\"notes\":" + JsonInts(chord.notes) + ",\"names\":" + JsonStrings(chord.noteNames) +
           ",\"labels\":" + JsonStrings(chord.degreeLabels) + "}";
}

std::string variationsCommand(const QueryData& data, const std::vector<std::string>& arguments)
{
    const ChordBook& book = data.book;
    const CommandArguments args = splitArguments("variations", arguments, {"--category"}, {"--convert-dbl"});
    requirePositionals(args, 2, "variations ROOT TYPE");
    const int root = rootArgument(args.positional[0]);
    const std::string type = typeArgument(book, args.positional[1]);
    return listJson(ShowCurrentChord(book, root, type, false, variationOptions(book, args)).list, book.Game);
}

// Each name stands for its button: a chord list's name for its members, any other for that chord type.
std::string typeFilterArgument(const ChordBook& book, const std::string& names)
{
    std::vector<CheckedButton> buttons;
    std::string rest = names;
    std::string name;
    while (!rest.empty()) {
        NextToken(rest, name, ",");
        if (name.empty())
            continue;
        if (book.ChordLists.count(name))
            buttons.push_back({name, true});
        else if (const auto type = book.ChordTypes.find(LowerCase(name));
                 type != book.ChordTypes.end() && !type->second.degrees.empty())
            buttons.push_back({type->first, false});
        else
            throw UsageError("--types " + names + ": no chord type or chord list is named " + name);
    }
    if (buttons.empty())
        throw UsageError("--types names no chord type");
    return ChordTypeFilter(buttons, book.ListMembers);
}

std::string findCommand(const QueryData& data, const std::vector<std::string>& arguments)
{
    const ChordBook& book = data.book;
    const CommandArguments args = splitArguments("find", arguments, {"--mode", "--types"}, {"--bass", "--no-bass"});
    if (args.has("--bass") && args.has("--no-bass"))
        throw UsageError("--bass and --no-bass exclude each other");
    FinderQuery query;
    query.mode = numberOption(args, "--mode", 0, 1, 0);
    query.nameFromBass = args.has("--bass") || (data.nameFromLowestNote && !args.has("--no-bass"));
    if (args.positional.size() < 2)
        throw UsageError("find needs at least two marks");
    for (const std::string& text : args.positional) {
        const ParsedMark mark = ParseMark(text, book.Game);
        if (!mark.error.empty())
            throw UsageError(mark.error);
        SetMarkLabel(query.marks, mark.code, mark.label, book.Game, query.mode);
    }
    const auto types = args.value("--types");
    query.typeFilter = types ? typeFilterArgument(book, *types)
                             : AllButtonsFilter(layout::ChordTypeButtons, book.ListMembers);
    FinderResult found = ReverseFind(book, query);
    if (!found.error.empty())
        throw ChordError(found.error);
    return listJson(found.list, book.Game);
}

std::string typesCommand(const QueryData& data, const std::vector<std::string>& arguments)
{
    const ChordBook& book = data.book;
    const CommandArguments args = splitArguments("types", arguments, {}, {});
    requirePositionals(args, 0, "types");
    std::string out = "{\"types\":[";
    bool first = true;
    for (const auto& [name, type] : book.ChordTypes) {
        out.append(first ? "" : ",")
            .append("{\"name\":" + JsonString(name) + ",\"degrees\":" + JsonStrings(type.degrees) +
                    ",\"line\":" + std::to_string(type.line) + "}");
        first = false;
    }
    out += "],\"lists\":{";
    first = true;
    for (const auto& [name, members] : book.ChordLists) {
        out.append(first ? "" : ",").append(JsonString(name) + ":" + JsonStrings(members));
        first = false;
    }
    return out + "}}";
}

std::string fileJson(const std::string& file, const ChosenChord& chosen)
{
    return "{\"file\":" + JsonString(file) + ",\"root\":" + JsonString(chosen.root) + ",\"type\":" +
           JsonString(chosen.type) + ",\"variation\":" + std::to_string(chosen.variation) + "}";
}

std::string midiCommand(const QueryData& data, const std::vector<std::string>& arguments)
{
    const ChordBook& book = data.book;
    const CommandArguments args =
        splitArguments("midi", arguments, {"--variation", "--category", "--stagger", "-o"}, {"--arpeggio"});
    requirePositionals(args, 2, "midi ROOT TYPE");
    const std::string output = outputArgument(args, "midi", "FILE.mid");
    PlaybackSettings settings;
    settings.arpeggio = args.has("--arpeggio");
    settings.staggerMs = numberOption(args, "--stagger", 0, MaxStaggerMs, settings.staggerMs);
    const ChosenChord chosen = chooseChord(book, args.positional[0], args.positional[1], variationOptions(book, args),
                                           variationArgument(args));
    const bool frets = book.Game == gtGuitar && chosen.variation > 0;
    const ChordToPlay chord{SoundingNotes(chosen.chord, frets), chosen.chord.degreeLabels};
    WriteTextFileAtomically(output, ChordMIDIFile(chord, settings, chosen.title));
    return fileJson(output, chosen);
}

diagram::Drawing diagramOf(const ChordBook& book, const ChosenChord& chosen, bool degrees)
{
    const auto drawing = diagram::ChordDiagram(chosen.title, chosen.chord, book.Game, chosen.variation > 0, degrees);
    if (!drawing)
        throw UsageError(chosen.title + ": no guitar voicing to draw");
    return *drawing;
}

// PNG pictures need Qt's fonts, and so an application object; the command line never shows a
// window, so it runs on the offscreen platform.
void saveDiagram(const diagram::Drawing& drawing, const std::string& output)
{
    if (QGuiApplication::instance()) {
        diagram::SaveDiagram(drawing, output);
        return;
    }
    static char name[] = "tonvera-query";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's notes about the session (no runtime folder ...) are no concern of a command's output.
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QGuiApplication application(argc, argv);
    qInstallMessageHandler(previous);
    diagram::SaveDiagram(drawing, output);
}

// "C:maj7" or "C:maj7:2" (the second variation).
ChosenChord sheetEntry(const ChordBook& book, const std::string& text, const VariationOptions& options)
{
    std::vector<std::string> parts;
    std::string rest = text, part;
    while (NextToken(rest, part, ":") == ':')
        parts.push_back(part);
    parts.push_back(part);
    if (parts.size() < 2 || parts.size() > 3)
        throw UsageError("--sheet entry " + text + ": expected ROOT:TYPE or ROOT:TYPE:VARIATION");
    std::optional<int> variation;
    if (parts.size() == 3) {
        variation = ParseWholeNumber(parts[2]);
        if (!variation || *variation < 0)
            throw UsageError("--sheet entry " + text + ": the variation is a number (0 = the calculated chord)");
    }
    return chooseChord(book, parts[0], parts[1], options, variation);
}

std::string diagramCommand(const QueryData& data, const std::vector<std::string>& arguments)
{
    const ChordBook& book = data.book;
    const CommandArguments args = splitArguments("diagram", arguments, {"--variation", "--category", "--columns", "-o"},
                                                 {"--sheet", "--degrees"});
    const std::string output = outputArgument(args, "diagram", "FILE.svg or FILE.png");
    if (!diagram::IsDiagramFileName(output))
        throw UsageError("-o " + output + ": a diagram is written as .svg or .png");
    const bool degrees = args.has("--degrees");
    const VariationOptions options = variationOptions(book, args);
    if (!args.has("--sheet")) {
        if (args.has("--columns"))
            throw UsageError("--columns belongs to --sheet");
        requirePositionals(args, 2, "diagram ROOT TYPE");
        const ChosenChord chosen =
            chooseChord(book, args.positional[0], args.positional[1], options, variationArgument(args));
        saveDiagram(diagramOf(book, chosen, degrees), output);
        return fileJson(output, chosen);
    }
    if (args.has("--variation"))
        throw UsageError("--variation does not go with --sheet: write ROOT:TYPE:VARIATION");
    if (args.positional.empty())
        throw UsageError("--sheet needs ROOT:TYPE entries");
    std::vector<diagram::Drawing> drawings;
    for (const std::string& entry : args.positional)
        drawings.push_back(diagramOf(book, sheetEntry(book, entry, options), degrees));
    saveDiagram(diagram::Sheet(drawings, numberOption(args, "--columns", 1, MaxSheetColumns, DefaultSheetColumns)),
                output);
    return "{\"file\":" + JsonString(output) + ",\"diagrams\":" + std::to_string(drawings.size()) + "}";
}

using Command = std::string (*)(const QueryData&, const std::vector<std::string>&);

const std::map<std::string, Command>& commands()
{
    static const std::map<std::string, Command> table = {
        {"chord", chordCommand}, {"variations", variationsCommand}, {"find", findCommand},
        {"types", typesCommand}, {"midi", midiCommand},             {"diagram", diagramCommand},
    };
    return table;
}

} // namespace

bool IsQueryCommand(const std::string& name) { return commands().count(name) > 0; }

std::string RunQueryCommand(const QueryData& data, const std::string& command, const std::vector<std::string>& arguments)
{
    const auto found = commands().find(command);
    if (found == commands().end())
        throw UsageError("unknown command: " + command);
    return found->second(data, arguments);
}
