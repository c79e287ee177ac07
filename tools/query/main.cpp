// tonvera-query: spells chords, lists voicings, runs the reverse finder and writes chords as
// MIDI files and diagrams from a shell, on the same data files and chord knowledge as the
// program. Prints one line of JSON per run. Exit status: 0 done, 1 a fault of the data files or
// of writing a file, 2 a wrong argument.
#include "base/Files.h"
#include "chords/ChordBook.h"
#include "platform/IniFile.h"
#include "tools/query/QueryCommands.h"

#include <filesystem>
#include <iostream>
#include <optional>

namespace {

const char* const Usage =
    "usage: tonvera-query [--data DIR] [--guitar | --piano] COMMAND [ARGUMENTS]\n"
    "       tonvera-query --help | --version\n"
    "commands:\n"
    "  chord ROOT TYPE             the chord's notes, names and degree labels\n"
    "  variations ROOT TYPE [--category NAME] [--convert-dbl]\n"
    "                              the stored voicings of a chord\n"
    "  find [--mode 0|1] [--types NAME,NAME,...] [--bass | --no-bass] MARK...\n"
    "                              chords (mode 0) or voicings (mode 1) containing the marks; a\n"
    "                              MARK is a MIDI note or a note name on the piano (60, C4, Eb3;\n"
    "                              C4 = 60), STRING/FRET on the guitar (string 0 the low E), each\n"
    "                              optionally followed by =LABEL (\"60=R\", \"C4=R\", \"1/3=b3\");\n"
    "                              --bass names chords from the lowest mark (\"Cmaj/E\"), --no-bass\n"
    "                              keeps the plain order; the default is Tonvera.def's setting\n"
    "  types                       the chord types and lists\n"
    "  midi ROOT TYPE [--variation N] [--category NAME] [--arpeggio] [--stagger MS] -o FILE.mid\n"
    "                              the chord as a Standard MIDI File, as the program plays it\n"
    "  diagram ROOT TYPE [--variation N] [--category NAME] [--degrees] -o FILE.svg|FILE.png\n"
    "  diagram --sheet ROOT:TYPE[:N]... [--columns N] [--degrees] -o FILE.svg|FILE.png\n"
    "                              a guitar chord box or a keyboard section; with --sheet one\n"
    "                              page of several chords\n"
    "ROOT is one of the 17 roots in either case (C, c#, Bb ...), TYPE a chord type of chords.def.\n"
    "--variation N takes line N of the variation list; the first is the default, and 0 or a chord\n"
    "without voicings gives the calculated chord.\n"
    "exit status: 0 done, 1 a fault of the data files or of writing FILE, 2 a wrong argument\n";

struct Invocation {
    std::string dataFolder;
    std::optional<GameType> forcedGame;
    std::string command;
    std::vector<std::string> arguments;
    bool help = false;
    bool version = false;
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
        if (arg == "--help" || arg == "-h") {
            call.help = true;
            return call;
        } else if (arg == "--version") {
            call.version = true;
            return call;
        } else if (arg == "--data") {
            if (++i >= argc)
                throw UsageError("--data needs a folder");
            call.dataFolder = argv[i];
        } else if (arg == "--guitar" || arg == "--piano") {
            const GameType game = arg == "--guitar" ? gtGuitar : gtPiano;
            if (call.forcedGame && *call.forcedGame != game)
                throw UsageError("--guitar and --piano exclude each other");
            call.forcedGame = game;
        } else if (arg.starts_with("-")) {
            throw UsageError("unknown option: " + arg);
        } else {
            call.command = arg;
        }
    }
    if (call.command.empty())
        throw UsageError("no command given");
    if (!IsQueryCommand(call.command))
        throw UsageError("unknown command: " + call.command);
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

int usageFailure(const std::string& what)
{
    std::cerr << "tonvera-query: " << what << "\nTry 'tonvera-query --help' for more information.\n";
    return 2;
}

int failure(const std::string& what)
{
    std::cerr << "tonvera-query: " << what << "\n";
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    Invocation call;
    try {
        call = parseInvocation(argc, argv);
    } catch (const UsageError& error) {
        return usageFailure(error.what());
    }
    if (call.help) {
        std::cout << Usage;
        return 0;
    }
    if (call.version) {
        std::cout << "tonvera-query " << TONVERA_VERSION << "\n";
        return 0;
    }
    QueryData data;
    try {
        data.book = LoadChordDefinitions(call.dataFolder, chooseGame(call));
        data.nameFromLowestNote =
            IniFile(JoinPath(call.dataFolder, "Tonvera.def")).ReadBool("Settings", "NameFromLowestNote", false);
    } catch (const std::exception& error) {
        return failure(std::string(error.what()) + " (data folder: " + call.dataFolder + ")");
    }
    try {
        std::cout << RunQueryCommand(data, call.command, call.arguments) << "\n";
        return 0;
    } catch (const UsageError& error) {
        return usageFailure(error.what());
    } catch (const std::exception& error) {
        return failure(error.what());
    }
}
