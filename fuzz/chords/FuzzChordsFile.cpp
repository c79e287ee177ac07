// Any chords file either loads or fails with a ChordError, with either instrument's voicing
// file beside it; every chord type it defines then calculates on every root or fails the
// same way.
#include "chords/ChordBook.h"
#include "chords/ChordCalculation.h"
#include "chords/Notes.h"
#include "fuzz/chords/FuzzFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const FuzzFolder folder;
    static const bool seeded = (folder.write("pianochords.def", "C,maj,0,48,52,55\nC,m7,0,48,51,55,58\n"),
                                folder.write("guitarchords.def", "C,maj,0,x,3,2,0,1,0\nC,m7,0,x,3,1,3,1,x\n"), true);
    (void)seeded;
    folder.write("chords.def", data, size);
    for (GameType game : {gtPiano, gtGuitar}) {
        ChordBook book;
        try {
            book = LoadChordDefinitions(folder.path(), game);
        } catch (const ChordError&) {
            return 0;
        }
        if (game != gtPiano)
            continue;   // the calculation does not depend on the instrument
        for (const auto& entry : book.ChordTypes)
            for (int root = 0; root < RootCount; ++root) {
                try {
                    CalculateChord(book, entry.first, root);
                } catch (const ChordError&) {
                }
            }
    }
    return 0;
}
