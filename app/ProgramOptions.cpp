#include "app/ProgramOptions.h"

ProgramOptions ParseProgramOptions(const std::vector<std::string>& arguments)
{
    ProgramOptions options;
    std::vector<std::string> rest;
    for (const std::string& argument : arguments) {
        if (argument == "--portable")
            options.portable = true;
        else
            rest.push_back(argument);
    }
    if (rest.empty())
        return options;
    options.help = rest.front() == "--help" || rest.front() == "-h";
    options.version = rest.front() == "--version";
    if (!options.help && !options.version)
        options.firstParameter = rest.front();
    return options;
}

std::string ProgramHelpText()
{
    return "usage: tonvera [--portable] [MODE]\n"
           "       tonvera --help | --version\n"
           "Tonvera is a chord reference for piano and guitar players: pick a root and a chord type to\n"
           "see, hear and copy the chord, or mark notes to find the chords that hold them.\n"
           "  MODE        guitar shows the guitar when both voicing files are installed; each MODE\n"
           "              keeps settings and screen state of its own\n"
           "  --portable  keep the settings file Tonvera.ini beside the program instead of in\n"
           "              $XDG_CONFIG_HOME/tonvera/ (~/.config/tonvera/)\n"
           "  --help      print this text and exit\n"
           "  --version   print the version and exit\n"
           "See also tonvera-query --help.\n";
}
