// Any voicing file either loads or fails with a ChordError, on either instrument; the
// voicings then go through the variation list and the voicing finder without faults.
#include "chords/ChordBook.h"
#include "chords/ReverseFinder.h"
#include "chords/ChordButtons.h"
#include "fuzz/chords/FuzzFolder.h"
#include "layout/Layout.h"

namespace {

const char* const Chords = "list:majList\nmaj,0100,0304,0507\nma7=maj\nm7,0100,0303,0507,0710\n";

void exercise(const ChordBook& book)
{
    VariationOptions options;
    options.convertDbl = true;
    for (int root : {16, 2, 7})
        for (const char* type : {"maj", "m7", "ma7"}) {
            try {
                ShowCurrentChord(book, root, type, false, options);
            } catch (const ChordError&) {
            }
        }
    FinderQuery query;
    query.mode = 1;
    query.typeFilter = AllButtonsFilter(layout::ChordTypeButtons, book.ListMembers) + "(ma7)";
    query.marks = book.Game == gtPiano ? std::map<int, std::string>{{60, ""}, {64, "3"}}
                                       : std::map<int, std::string>{{1 * 256 + 3, ""}, {3 * 256, ""}};
    ReverseFind(book, query);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const FuzzFolder folder;
    static const bool seeded = (folder.write("chords.def", Chords), true);
    (void)seeded;
    folder.write("pianochords.def", data, size);
    folder.write("guitarchords.def", data, size);
    for (GameType game : {gtPiano, gtGuitar}) {
        try {
            exercise(LoadChordDefinitions(folder.path(), game));
        } catch (const ChordError&) {
        }
    }
    return 0;
}
