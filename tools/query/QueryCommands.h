// The commands of tonvera-query: each takes its arguments and returns the line of JSON it
// prints; midi and diagram also write the file named by -o.
#pragma once

#include "chords/ChordBook.h"

#include <stdexcept>
#include <string>
#include <vector>

// An argument the command cannot use; what() names it and says what is wrong. Exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the commands work on: the data files and the defaults of the settings file.
struct QueryData {
    ChordBook book;
    bool nameFromLowestNote = false;   // "Name chords from the lowest note" in Tonvera.def
};

bool IsQueryCommand(const std::string& name);

// Runs the command on the loaded data. Throws UsageError for a wrong argument, ChordError for a
// fault of the data files and std::runtime_error when an output file cannot be written.
std::string RunQueryCommand(const QueryData& data, const std::string& command, const std::vector<std::string>& arguments);
