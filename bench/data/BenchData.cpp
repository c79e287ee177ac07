// Start-up and per-click cost of the shipped data files: loading chords.def with each voicing
// file, and refreshing the chord display for a common chord on each instrument.
#include "chords/ChordBook.h"
#include "chords/ChordVariations.h"
#include "chords/Notes.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

// The program folder holds the data files; benchmarks live one folder below it.
std::string programFolder()
{
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).parent_path().parent_path().string();
}

void load(benchmark::State& state, GameType game)
{
    const std::string folder = programFolder();
    for (auto _ : state) {
        ChordBook book;
        try {
            book = LoadChordDefinitions(folder, game);
        } catch (const ChordError& e) {
            return state.SkipWithError(e.what());
        }
        benchmark::DoNotOptimize(book.Voicings.data());
        state.counters["voicings"] = double(book.Voicings.size());
    }
}

// One click on a chord-type button: the chord, its variations, the list lines.
void showChord(benchmark::State& state, GameType game, const char* category)
{
    ChordBook book;
    try {
        book = LoadChordDefinitions(programFolder(), game);
    } catch (const ChordError& e) {
        return state.SkipWithError(e.what());
    }
    VariationOptions options;
    options.guitarCategory = category;
    const int c = FindRoot("C");
    ShowResult shown;
    for (auto _ : state) {
        shown = ShowCurrentChord(book, c, "maj7", false, options);
        benchmark::DoNotOptimize(shown.list.Lines.data());
    }
    state.counters["lines"] = double(shown.list.Lines.size());
}

void BM_LoadShippedPiano(benchmark::State& state) { load(state, gtPiano); }
void BM_LoadShippedGuitar(benchmark::State& state) { load(state, gtGuitar); }
void BM_ShowChordPiano(benchmark::State& state) { showChord(state, gtPiano, ""); }
void BM_ShowChordGuitarFolk(benchmark::State& state) { showChord(state, gtGuitar, "FOLK"); }

}  // namespace

BENCHMARK(BM_LoadShippedPiano)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadShippedGuitar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowChordPiano)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShowChordGuitarFolk)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
