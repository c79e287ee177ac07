// The definitions file as start-up reads it: one lookup per control that may have a hint
// (105 in the main window), the colours and the first-run sections, all on one IniFile.
#include "platform/IniFile.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kStartupLookups = 105;

// A copy of the shipped file, left alone until its time stamps are older than the file
// system's resolution, as an installed file's are (a younger file is read again on every
// lookup, though parsed only when its bytes change).
std::string installedDefinitions()
{
    const fs::path copy = fs::temp_directory_path() / ("tonvera-bench-" + std::to_string(getpid()) + ".def");
    fs::copy_file(fs::path(TONVERA_SOURCE_DIR) / "data" / "Tonvera.def", copy, fs::copy_options::overwrite_existing);
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    return copy.string();
}

void readLikeStartup(const IniFile& definitions)
{
    const std::vector<std::string> hints = definitions.ReadSection("Hints");
    for (int i = 0; i < kStartupLookups; ++i) {
        const std::string key = i < static_cast<int>(hints.size()) ? hints[i] : "Control" + std::to_string(i);
        benchmark::DoNotOptimize(definitions.ReadString("Hints", key, ""));
    }
    for (const std::string& key : definitions.ReadSection("Colors"))
        benchmark::DoNotOptimize(definitions.ReadString("Colors", key, ""));
    for (const std::string& section : definitions.ReadSections())
        benchmark::DoNotOptimize(definitions.ReadSectionValues(section));
}

// A fresh IniFile each time: what one start-up pays for the definitions file.
void BM_DefinitionsFileAtStartup(benchmark::State& state)
{
    const std::string path = installedDefinitions();
    int parses = 0;
    for (auto _ : state) {
        const IniFile definitions(path);
        readLikeStartup(definitions);
        parses = definitions.Parses();
    }
    state.counters["parses"] = parses;
    fs::remove(path);
}

// One lookup in a file already read: a stat of the file and a search of the parsed lines.
void BM_LookupInAnUnchangedFile(benchmark::State& state)
{
    const std::string path = installedDefinitions();
    const IniFile definitions(path);
    for (auto _ : state)
        benchmark::DoNotOptimize(definitions.ReadString("Hints", "SettingsButton", ""));
    state.counters["parses"] = definitions.Parses();
    fs::remove(path);
}

BENCHMARK(BM_DefinitionsFileAtStartup)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LookupInAnUnchangedFile)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
