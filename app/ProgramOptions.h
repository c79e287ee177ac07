// The program's own command line: --help and --version answer and end the run before any
// window or settings file exists; --portable keeps the settings beside the program; the first
// other parameter is the start mode ("guitar" ...), which also names the settings sections.
#pragma once

#include <string>
#include <vector>

struct ProgramOptions {
    bool help = false;
    bool version = false;
    bool portable = false;
    std::string firstParameter;   // the start mode; "" for none
};

// arguments: the parameters after the program's name. --help (or -h) and --version count as
// the first parameter only, so "tonvera guitar --help" starts the guitar as before.
ProgramOptions ParseProgramOptions(const std::vector<std::string>& arguments);

// What --help prints.
std::string ProgramHelpText();
