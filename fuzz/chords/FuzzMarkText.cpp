// Any text given as a finder mark, on either instrument, is a mark or a clean refusal, never a
// fault; an accepted mark is a position of the instrument with a known label, and every
// accepted note name formats back to the same note.
#include "chords/ChordText.h"
#include "chords/Notes.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const GameType game : {gtPiano, gtGuitar}) {
        const ParsedMark mark = ParseMark(text, game);
        if (!mark.error.empty())
            continue;
        const int highest = game == gtPiano ? 127 : int(OpenStringNote.size() - 1) * 256 + HighestMarkFret;
        if (mark.code < 0 || mark.code > highest || (!mark.label.empty() && !IsDegreeLabel(mark.label)))
            std::abort();
    }
    if (const auto note = ParsePitchName(text))
        if (ParsePitchName(PitchName(text.substr(0, text.find_first_of("-0123456789")), *note)) != note)
            std::abort();
    return 0;
}
