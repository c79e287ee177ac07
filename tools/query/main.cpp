// tonvera-query: spells chords, lists voicings and runs the reverse finder from a shell,
// on the same data files and chord knowledge as the program. Prints one JSON object per run.
#include "chords/ChordBook.h"
#include "chords/ChordCalculation.h"
#include "chords/ChordVariations.h"
#include "chords/ReverseFinder.h"
#include "chords/ChordButtons.h"
#include "chords/Notes.h"
#include "base/Files.h"
#include "base/TextUtil.h"
#include "layout/Layout.h"
#include "tools/query/QueryJson.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <optional>

namespace {

const char* const Usage =
    "usage: tonvera-query [--data DIR] [--guitar | --piano] COMMAND [ARGUMENTS]\n"
    "commands:\n"
    "  chord ROOT TYPE                                      the chord's notes, names and degree labels\n"
    "  variations ROOT TYPE [--category NAME] [--convert-dbl]\n"
    "                                                       the stored voicings of a chord\n"
    "  find [--mode 0|1] [--types NAME,NAME,...] MARK...    chords (mode 0) or voicings (mode 1)\n"
    "                                                       containing the marks; a MARK is a MIDI note\n"
    "                                                       (piano) or STRING/FRET (guitar), optionally\n"
    "                                                       followed by =LABEL (\"60=R\", \"1/3=b3\")\n"
    "  types                                                the chord types and lists\n";

struct UsageError {};

struct Invocation {
    std::string dataFolder;
    std::optional<GameType> forcedGame;
    std::string command;
    std::vector<std::string> arguments;
};

std::string programFolder()
{
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : exe.parent_path().string();
}

Invocation parseInvocation(int argc, char** argv)
{
    Invocation call;
    int i = 1;
    for (; i < argc && call.command.empty(); ++i) {
        const std::string arg = argv[i];
        if (arg == "--data") {
            if (++i >= argc)
                throw UsageError();
            call.dataFolder = argv[i];
        } else if (arg == "--guitar" || arg == "--piano") {
            const GameType game = arg == "--guitar" ? gtGuitar : gtPiano;
            if (call.forcedGame && *call.forcedGame != game)
                throw UsageError();
            call.forcedGame = game;
        } else if (arg.starts_with("-")) {
            throw UsageError();
        } else {
            call.command = arg;
        }
    }
    if (call.command.empty())
        throw UsageError();
    call.arguments.assign(argv + i, argv + argc);
    if (call.dataFolder.empty())
        call.dataFolder = programFolder();
    return call;
}

// The instrument as the program chooses it at start-up without a parameter:
// the piano unless only the guitar's voicing file is there.
GameType chooseGame(const Invocation& call)
{
    if (call.forcedGame)
        return *call.forcedGame;
    return FileExists(JoinPath(call.dataFolder, "pianochords.def")) ? gtPiano : gtGuitar;
}

// Splits a command's arguments into positionals and "--name [value]" options.
struct CommandArguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
};

CommandArguments splitArguments(const std::vector<std::string>& arguments, const std::vector<std::string>& withValue,
                                const std::vector<std::string>& flags)
{
    CommandArguments result;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (std::find(withValue.begin(), withValue.end(), arg) != withValue.end()) {
            if (i + 1 >= arguments.size())
                throw UsageError();
            result.options[arg] = arguments[++i];
        } else if (std::find(flags.begin(), flags.end(), arg) != flags.end()) {
            result.options[arg] = "";
        } else if (arg.starts_with("--")) {
            throw UsageError();
        } else {
            result.positional.push_back(arg);
        }
    }
    return result;
}

std::optional<int> parseInt(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

int rootIndex(const std::string& name)
{
    const int root = FindRoot(name);
    if (root < 0)
        throw ChordError("unknown root: " + name);
    return root;
}

std::string variationsJson(const VariationList& list)
{
    std::string out = "{\"lines\":" + JsonStrings(list.Lines) + ",\"variations\":[";
    for (std::size_t i = 0; i < list.Variations.size(); ++i)
        out.append(i ? "," : "").append(JsonVariation(list.Variations[i]));
    return out + "]}";
}

std::string chordCommand(const ChordBook& book, const std::vector<std::string>& arguments)
{
    const CommandArguments args = splitArguments(arguments, {}, {});
    if (args.positional.size() != 2)
        throw UsageError();
    const int root = rootIndex(args.positional[0]);
    const std::string type = LowerCase(args.positional[1]);
    const TChordVariation chord = CalculateChord(book, type, root);
    return "{\"root\":" + JsonString(RootTable[root].name) + ",\"type\":" + JsonString(type) +
           ",\"notes\":" + JsonInts(chord.notes) + ",\"names\":" + JsonStrings(chord.noteNames) +
           ",\"labels\":" + JsonStrings(chord.degreeLabels) + "}";
}

std::string variationsCommand(const ChordBook& book, const std::vector<std::string>& arguments)
{
    const CommandArguments args = splitArguments(arguments, {"--category"}, {"--convert-dbl"});
    if (args.positional.size() != 2)
        throw UsageError();
    const int root = rootIndex(args.positional[0]);
    VariationOptions options;
    options.convertDbl = args.options.count("--convert-dbl") > 0;
    if (const auto category = args.options.find("--category"); category != args.options.end()) {
        if (book.Game == gtGuitar)
            options.guitarCategory = category->second;
        else
            options.categoryFilter = category->second;
    }
    return variationsJson(ShowCurrentChord(book, root, LowerCase(args.positional[1]), false, options).list);
}

// "60", "60=R" on the piano; "1/3", "1/3=b3" on the guitar (string 0 the lowest).
std::pair<int, std::string> parseMark(const std::string& text, GameType game)
{
    std::string rest = text;
    std::string position;
    const bool hasLabel = NextToken(rest, position, "=") == '=';
    if (hasLabel && rest.empty())
        throw UsageError();
    if (game == gtPiano) {
        const auto note = parseInt(position);
        if (!note || *note < 0 || *note > 127)
            throw UsageError();
        return {*note, rest};
    }
    std::string string;
    if (NextToken(position, string, "/") != '/')
        throw UsageError();
    const auto stringNumber = parseInt(string);
    const auto fret = parseInt(position);
    if (!stringNumber || !fret || *stringNumber < 0 || *stringNumber >= int(OpenStringNote.size()) || *fret < 0 ||
        *fret > 255)
        throw UsageError();
    return {*stringNumber * 256 + *fret, rest};
}

std::string findCommand(const ChordBook& book, const std::vector<std::string>& arguments)
{
    const CommandArguments args = splitArguments(arguments, {"--mode", "--types"}, {});
    FinderQuery query;
    if (const auto mode = args.options.find("--mode"); mode != args.options.end()) {
        if (mode->second != "0" && mode->second != "1")
            throw UsageError();
        query.mode = mode->second == "1" ? 1 : 0;
    }
    for (const std::string& mark : args.positional) {
        const auto [code, label] = parseMark(mark, book.Game);
        SetMarkLabel(query.marks, code, label, book.Game, query.mode);
    }
    if (const auto types = args.options.find("--types"); types != args.options.end()) {
        // Each name stands for its button: a list name for its members, any other for that chord type.
        std::vector<CheckedButton> buttons;
        std::string rest = types->second;
        std::string name;
        while (!rest.empty()) {
            NextToken(rest, name, ",");
            if (!name.empty())
                buttons.push_back({name, name.find("List") != std::string::npos});
        }
        query.typeFilter = ChordTypeFilter(buttons, book.ListMembers);
    } else {
        query.typeFilter = AllButtonsFilter(layout::ChordTypeButtons, book.ListMembers);
    }
    FinderResult found = ReverseFind(book, query);
    if (!found.error.empty())
        throw ChordError(found.error);
    return variationsJson(found.list);
}

std::string typesCommand(const ChordBook& book, const std::vector<std::string>& arguments)
{
    if (!arguments.empty())
        throw UsageError();
    std::string out = "{\"types\":[";
    bool first = true;
    for (const auto& [name, type] : book.ChordTypes) {
        out.append(first ? "" : ",").append("{\"name\":" + JsonString(name) +
                                                         ",\"degrees\":" + JsonStrings(type.degrees) + ",\"line\":" + std::to_string(type.line) + "}");
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

std::string runCommand(const ChordBook& book, const Invocation& call)
{
    if (call.command == "chord")
        return chordCommand(book, call.arguments);
    if (call.command == "variations")
        return variationsCommand(book, call.arguments);
    if (call.command == "find")
        return findCommand(book, call.arguments);
    if (call.command == "types")
        return typesCommand(book, call.arguments);
    throw UsageError();
}

bool isKnownCommand(const std::string& command)
{
    return command == "chord" || command == "variations" || command == "find" || command == "types";
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
            std::cout << Usage;
            return 0;
        }
        const Invocation call = parseInvocation(argc, argv);
        if (!isKnownCommand(call.command))
            throw UsageError();
        const ChordBook book = LoadChordDefinitions(call.dataFolder, chooseGame(call));
        std::cout << runCommand(book, call) << "\n";
        return 0;
    } catch (const UsageError&) {
        std::cerr << Usage;
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
    }
    return 2;
}
