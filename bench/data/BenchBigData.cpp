// Data files far beyond the shipped ones, as a damaged or generated file can be: the cost
// must grow with the size of the data, not with its square, so no such file stalls the
// program. Start-up on a file with one very long line (the argument is the line's length in
// bytes; the time per byte should stay flat), and a click on a chord with thousands of
// voicings (the argument is their number).
#include "chords/ChordBook.h"
#include "chords/ChordVariations.h"
#include "chords/Notes.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// A private folder with a chords file and a piano voicing file, removed afterwards.
class DataFolder {
public:
    DataFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "tonvera-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        path_ = pattern;
    }
    ~DataFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    void write(const char* name, const std::string& text) const { std::ofstream(path_ + "/" + name) << text; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// "head" followed by ",field" repeated until the line is at least bytes long.
std::string longLine(const std::string& head, const std::string& field, std::int64_t bytes)
{
    std::string line = head;
    line.reserve(std::size_t(bytes) + field.size() + 2);
    while (std::int64_t(line.size()) < bytes)
        line.append(1, ',').append(field);
    return line + "\n";
}

void load(benchmark::State& state, const DataFolder& folder)
{
    for (auto _ : state) {
        ChordBook book = LoadChordDefinitions(folder.path(), gtPiano);
        benchmark::DoNotOptimize(book.ChordTypes.size());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

// One chord type with a very long list of degree codes (the same tone over and over). It
// has no voicings, so the load does not calculate it: the figure is the reader's alone.
void BM_LongChordTypeLine(benchmark::State& state)
{
    DataFolder folder;
    folder.write("chords.def", "maj,0100,0304,0507\n" + longLine("long", "0100", state.range(0)));
    folder.write("pianochords.def", "C,maj,0,60\n");
    load(state, folder);
}

// One voicing with a very long list of notes.
void BM_LongVoicingLine(benchmark::State& state)
{
    DataFolder folder;
    folder.write("chords.def", "maj,0100,0304,0507\n");
    folder.write("pianochords.def", longLine("C,maj,0", "60", state.range(0)));
    load(state, folder);
}

// The variation list of C maj when the voicing file holds count different voicings of it.
void BM_ManyVoicingsOfOneChord(benchmark::State& state)
{
    DataFolder folder;
    folder.write("chords.def", "maj,0100,0304,0507\n");
    std::string voicings = "[Close]\n";
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        // Three notes from a range of 48, different for every i below 48^3.
        voicings += "C,maj,0," + std::to_string(36 + i % 48) + "," + std::to_string(36 + i / 48 % 48) + "," +
                    std::to_string(36 + i / (48 * 48) % 48) + "\n";
    }
    folder.write("pianochords.def", voicings);
    const ChordBook book = LoadChordDefinitions(folder.path(), gtPiano);
    const int c = FindRoot("C");
    for (auto _ : state) {
        ShowResult shown = ShowCurrentChord(book, c, "maj", false, VariationOptions());
        benchmark::DoNotOptimize(shown.list.Lines.size());
    }
    state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK(BM_ManyVoicingsOfOneChord)
    ->RangeMultiplier(4)
    ->Range(256, 16384)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_LongChordTypeLine)->RangeMultiplier(4)->Range(1 << 14, 3 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LongVoicingLine)->RangeMultiplier(4)->Range(1 << 14, 3 << 20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
