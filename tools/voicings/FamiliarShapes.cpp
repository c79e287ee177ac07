// The open chords of a beginner's chord book.
#include "tools/voicings/FamiliarShapes.h"

namespace {

enum PitchClass { C = 0, Db = 1, D = 2, Eb = 3, E = 4, F = 5, Gb = 6, G = 7, Ab = 8, A = 9, Bb = 10, B = 11 };

}  // namespace

const std::vector<FamiliarShape>& FamiliarShapes()
{
    static const std::vector<FamiliarShape> shapes{
        // major
        {"maj", C, "x32010"}, {"maj", D, "xx0232"}, {"maj", E, "022100"}, {"maj", F, "133211"},
        {"maj", F, "xx3211"}, {"maj", G, "320003"}, {"maj", G, "320033"}, {"maj", A, "x02220"},
        {"maj", B, "x24442"}, {"maj", Bb, "x13331"}, {"maj", Gb, "244322"},
        // minor
        {"m", A, "x02210"}, {"m", E, "022000"}, {"m", D, "xx0231"}, {"m", B, "x24432"},
        {"m", F, "133111"}, {"m", Gb, "244222"}, {"m", Bb, "x13321"},
        // seventh
        {"7", E, "020100"}, {"7", E, "022130"}, {"7", A, "x02020"}, {"7", A, "x02223"},
        {"7", D, "xx0212"}, {"7", G, "320001"}, {"7", C, "x32310"}, {"7", B, "x21202"},
        {"7", F, "131211"},
        // major seventh
        {"maj7", C, "x32000"}, {"maj7", D, "xx0222"}, {"maj7", E, "021100"}, {"maj7", F, "xx3210"},
        {"maj7", F, "1x3210"}, {"maj7", G, "320002"}, {"maj7", A, "x02120"},
        // minor seventh
        {"m7", A, "x02010"}, {"m7", E, "022030"}, {"m7", E, "020000"}, {"m7", D, "xx0211"},
        {"m7", B, "x20202"}, {"m7", B, "x24232"}, {"m7", Gb, "242222"},
        // sus2 and sus4
        {"2", C, "x30033"}, {"2", C, "x30013"}, {"2", D, "xx0230"}, {"2", A, "x02200"},
        {"sus", A, "x02230"}, {"sus", E, "022200"}, {"sus", D, "xx0233"}, {"sus", C, "x33011"},
        {"sus", G, "330013"},
        // add9
        {"add9", C, "x32030"}, {"add9", C, "x32033"}, {"add9", G, "320203"}, {"add9", E, "024100"},
        {"add9", A, "x02420"},
        // sixth and minor sixth
        {"maj6", C, "x32210"}, {"maj6", A, "x02222"}, {"maj6", D, "xx0202"}, {"maj6", E, "022120"},
        {"maj6", G, "320000"}, {"m6", A, "x02212"}, {"m6", D, "xx0201"}, {"m6", E, "022020"},
        // seventh sus4
        {"7sus", A, "x02030"}, {"7sus", D, "xx0213"}, {"7sus", E, "020200"}, {"7sus", G, "330011"},
        {"7sus", C, "x33311"},
        // ninth
        {"9", E, "020102"}, {"9", A, "x02423"}, {"9", G, "3x0201"},
        // diminished seventh
        {"dim7", A, "x01212"}, {"dim7", D, "xx0101"}, {"dim7", E, "012020"},
        // power chords, augmented, minor-major seventh, minor add9 and minor and major ninths
        {"5", E, "022xxx"}, {"5", A, "x022xx"}, {"5", D, "xx023x"},
        {"aug", C, "x32110"}, {"aug", E, "032110"}, {"aug", A, "x03221"}, {"aug", G, "321003"},
        {"aug", D, "xx0332"},
        {"mmaj7", A, "x02110"}, {"mmaj7", E, "021000"}, {"mmaj7", D, "xx0221"},
        {"madd9", E, "022002"}, {"madd9", A, "x02410"},
        {"m9", E, "022032"}, {"maj9", C, "x30000"},
    };
    return shapes;
}

GuitarFrets FretsOf(const char* frets)
{
    GuitarFrets result{};
    for (int s = 0; s < 6; ++s)
        result[s] = frets[s] == 'x' ? MutedString : frets[s] - '0';
    return result;
}

std::vector<GuitarFrets> FamiliarShapesOf(const std::string& type, int pitchClass)
{
    std::vector<GuitarFrets> result;
    for (const FamiliarShape& shape : FamiliarShapes())
        if (shape.type == type && shape.pitchClass == pitchClass)
            result.push_back(FretsOf(shape.frets));
    return result;
}
