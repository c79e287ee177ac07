// tonvera-voicecheck: checks the data files of a folder (chords.def and both voicing files)
// against the voicing rules and the coverage rule, and prints the coverage table and, per
// chord, the first guitar and piano voicing its list shows.
// Exits with 1 when a rule is broken.
#include "tools/voicings/DataChecker.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: tonvera-voicecheck DATA_FOLDER\n";
        return 2;
    }
    const DataReport report = CheckDataFolder(argv[1]);
    std::cout << report.coverage << '\n' << report.firstShapes;
    for (const std::string& fault : report.faults)
        std::cout << "FAULT " << fault << '\n';
    if (!report.faults.empty()) {
        std::cout << report.faults.size() << " broken rules\n";
        return 1;
    }
    std::cout << "all rules hold\n";
    return 0;
}
