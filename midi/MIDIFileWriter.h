// Writing a sequence as a Standard MIDI File: the counterpart of MIDIData::Read, for saving a
// chord or handing it to another program. Used on the GUI thread.
#pragma once

#include "midi/MIDIData.h"

#include <string>

// The sequence as the bytes of a Standard MIDI File: format 0 for one track, format 1 for more.
// The first track starts with trackName (when not empty) and carries the tempo, time and key
// signatures in tick order among its events; a time signature's clocks per click and 32nd notes
// per quarter of 0, which a file may not hold, are written as the usual 24 and 8. Channel events
// follow in track order with their status written out each time; anything that is no channel
// message is left out. Each track ends at its last event.
std::string StandardMIDIFileBytes(const MIDIData& data, const std::string& trackName = "");

// Writes those bytes to path as one atomic replacement. Throws std::runtime_error
// ("Cannot write <path>: <reason>").
void SaveStandardMIDIFile(const MIDIData& data, const std::string& path, const std::string& trackName = "");
