// Any chords file either loads or fails with a ChordError; every chord type it defines
// then calculates on every root or fails the same way.
#include "chords/ChordBook.h"
#include "chords/ChordCalculation.h"
#include "chords/Notes.h"
#include "fuzz/chords/FuzzFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const FuzzFolder folder;
    static const bool seeded = (folder.write("pianochords.def", "C,maj,0,48,52,55\n"), true);
    (void)seeded;
    folder.write("chords.def", data, size);
    ChordBook book;
    try {
        book = LoadChordDefinitions(folder.path(), gtPiano);
    } catch (const ChordError&) {
        return 0;
    }
    for (const auto& entry : book.ChordTypes)
        for (int root = 0; root < RootCount; ++root) {
            try {
                CalculateChord(book, entry.first, root);
            } catch (const ChordError&) {
            }
        }
    return 0;
}
