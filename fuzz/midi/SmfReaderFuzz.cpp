// Feeds arbitrary bytes to the Standard MIDI File reader: a read or a clean refusal,
// never a fault; whatever was read packs without one too.
#include "midi/MIDIData.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryByteSource source(data, size);
    MIDIData sequence;
    sequence.Read(source);
    uint32_t sum = 0;
    for (const auto& track : sequence.tracks)
        for (const MIDIEvent& event : track->events)
            sum += event.Pack();
    return static_cast<int>(sum & 0);
}
