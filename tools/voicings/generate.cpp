// tonvera-voicegen: writes pianochords.def and guitarchords.def from chords.def, so that
// every chord type gets voicings on all 17 roots by the same shape rules.
#include "tools/voicings/Vocabulary.h"
#include "tools/voicings/VoicingWriter.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

// Writes through a temporary file, so a failed run never leaves a torn voicing file.
bool writeFile(const std::filesystem::path& path, void (*write)(const ChordBook&, std::ostream&),
               const ChordBook& vocabulary)
{
    const std::filesystem::path temporary = path.string() + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary);
        write(vocabulary, out);
        if (!out.flush()) {
            std::cerr << "tonvera-voicegen: cannot write " << temporary << "\n";
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::cerr << "tonvera-voicegen: cannot write " << path << ": " << error.message() << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: tonvera-voicegen CHORDS_DEF OUTPUT_FOLDER\n"
                     "writes OUTPUT_FOLDER/pianochords.def and OUTPUT_FOLDER/guitarchords.def\n";
        return 2;
    }
    try {
        const ChordBook vocabulary = LoadVocabulary(argv[1]);
        const std::filesystem::path folder = argv[2];
        const bool ok = writeFile(folder / "guitarchords.def", WriteGuitarVoicings, vocabulary) &&
                        writeFile(folder / "pianochords.def", WritePianoVoicings, vocabulary);
        return ok ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "tonvera-voicegen: " << e.what() << "\n";
        return 1;
    }
}
