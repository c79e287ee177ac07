// Writes the two voicing files from the chord vocabulary.
#include "tools/voicings/VoicingWriter.h"

#include "chords/Notes.h"
#include "tools/voicings/GuitarVoicings.h"
#include "tools/voicings/PianoVoicings.h"
#include "tools/voicings/Vocabulary.h"

#include <array>
#include <map>
#include <string>

namespace {

const char* const GuitarHeader =
    "; guitarchords.def - guitar voicings, written by tonvera-voicegen from chords.def.\n"
    ";\n"
    "; A line is  root,type,offset,s1,s2,s3,s4,s5,s6  e.g.  C,maj7,0,x,-3,2,0,0,0\n"
    ";   root    one of C C# Db D D# Eb E F F# Gb G G# Ab A A# Bb B (Db and C# are listed apart)\n"
    ";   type    a chord type of chords.def (or one of its aliases)\n"
    ";   offset  added to every fret; 0 here, so the strings give the real frets\n"
    ";   s1..s6  the frets from the low E string to the high E string, 0 = open string,\n"
    ";           x = not played; a negative fret marks a root tone (drawn as a square)\n"
    "; [FOLK], [POP] and [JAZZ] start the categories. The FOLK button lists everything from\n"
    "; [FOLK] on, POP lists POP and JAZZ, JAZZ lists JAZZ alone: keep the headers in this order.\n"
    ";   FOLK  chords at the nut, the open chords of the chord books first\n"
    ";   POP   movable barre forms, the lower position first\n"
    ";   JAZZ  shells, drop-2 and drop-3 forms, rootless forms off the low E string\n"
    "; Every voicing has its root in the bass (rootless JAZZ forms leave it to the bass player);\n"
    "; open inversions such as C/G are not stored.\n"
    "; Running the generator again rewrites this file: add your own voicings to its rules or\n"
    "; keep a copy of the lines you add.\n";

const char* const PianoHeader =
    "; pianochords.def - piano voicings, written by tonvera-voicegen from chords.def.\n"
    ";\n"
    "; A line is  root,type,offset,note,note,...  e.g.  C,maj7,0,-48,52,55,59\n"
    ";   root    one of C C# Db D D# Eb E F F# Gb G G# Ab A A# Bb B (Db and C# are listed apart)\n"
    ";   type    a chord type of chords.def (or one of its aliases)\n"
    ";   offset  added to every note; 0 here, so the notes are the real MIDI notes\n"
    ";   note    a MIDI note (60 = middle C; the keyboard shows 36 to 83), in any order;\n"
    ";           a negative note marks a root tone (drawn as a square)\n"
    "; A line [name] starts a category; the category filter offers every name used. A chord's\n"
    "; list shows its voicings in this order:\n"
    ";   Close            one hand (at most 14 semitones): root position, then the inversions\n"
    ";   Shell            root between E2 and D#3 with third and seventh (R-3-7) or seventh and\n"
    ";                    third (R-7-3), and the tones the chord needs above\n"
    ";   Rootless         the two rootless jazz forms, A from the third and B from the seventh\n"
    ";   Drop-2           a close form with its second voice from the top an octave down\n"
    ";   Quartal          stacks of fourths, and the So What shape (three fourths, a major third)\n"
    ";   Upper structure  R-7-3 shell and a major triad of tensions above (altered dominants)\n"
    ";   Two hands        left hand root and fifth, right hand the other tones\n"
    "; No two neighbouring notes sit lower than the usual limits (a minor second not below E3,\n"
    "; a major second not below Eb3, a minor third not below C3, a major third or a fourth\n"
    "; not below Bb2, a tritone not below B2, a fifth not below Bb1).\n"
    "; Running the generator again rewrites this file.\n";

// Roots in the order a musician reads them: C, C#, Db, D ... B.
std::array<int, RootCount> rootsUpward()
{
    std::array<int, RootCount> roots{};
    for (int i = 0; i < RootCount; ++i)
        roots[i] = RootCount - 1 - i;
    return roots;
}

std::string linePrefix(int root, const std::string& type)
{
    return std::string(RootTable[root].name) + "," + type + ",0";
}

std::string guitarValue(int fret, int string, int rootPc)
{
    if (fret == MutedString)
        return "x";
    const bool root = fret > 0 && PitchClassOf(OpenStringNote[string] + fret - rootPc) == 0;
    return (root ? "-" : "") + std::to_string(fret);
}

// Writes one voicing file: its header, then under each category header the voicings of
// every chord type on every root. find gives the voicings of a shape on a pitch class;
// writeValues writes one voicing's numbers after its root, type and offset.
template <typename Voicing, typename Find, typename WriteValues>
void writeVoicings(const ChordBook& vocabulary, std::ostream& out, const char* header,
                   const std::vector<std::string>& categories, Find find, WriteValues writeValues)
{
    out << header;
    const std::vector<std::string> types = RealChordTypes(vocabulary);
    const std::map<std::string, ChordShape> shapes = AnalyseVocabulary(vocabulary);
    // A chord's voicings depend only on its pitch class: build them once per pitch class.
    std::vector<std::array<std::vector<Voicing>, 12>> found(types.size());
    for (std::size_t t = 0; t < types.size(); ++t)
        for (int pc = 0; pc < 12; ++pc)
            found[t][pc] = find(shapes.at(types[t]), pc);
    for (const std::string& category : categories) {
        out << "\n[" << category << "]\n";
        for (std::size_t t = 0; t < types.size(); ++t)
            for (int root : rootsUpward()) {
                const int pc = RootTable[root].pitchClass;
                for (const Voicing& v : found[t][pc]) {
                    if (v.category != category)
                        continue;
                    out << linePrefix(root, types[t]);
                    writeValues(v, pc);
                    out << '\n';
                }
            }
    }
}

}  // namespace

void WriteGuitarVoicings(const ChordBook& vocabulary, std::ostream& out)
{
    writeVoicings<GuitarVoicing>(vocabulary, out, GuitarHeader, GuitarCategories(), GuitarVoicingsFor,
                                 [&out](const GuitarVoicing& v, int pc) {
                                     for (int s = 0; s < 6; ++s)
                                         out << ',' << guitarValue(v.frets[s], s, pc);
                                 });
}

void WritePianoVoicings(const ChordBook& vocabulary, std::ostream& out)
{
    writeVoicings<PianoVoicing>(vocabulary, out, PianoHeader, PianoCategories(), PianoVoicingsFor,
                                [&out](const PianoVoicing& v, int pc) {
                                    for (int note : v.notes)
                                        out << ',' << (PitchClassOf(note - pc) == 0 ? -note : note);
                                });
}
