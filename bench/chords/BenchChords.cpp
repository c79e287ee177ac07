// Speed of chord calculation and of the reverse finder, which runs on a click and so
// must stay well below one frame. Runs on the shipped data when it lies in the program
// folder, and always on a synthetic set of the same shape and one ten times its size.
#include "chords/ChordBook.h"
#include "chords/ChordCalculation.h"
#include "chords/ReverseFinder.h"
#include "chords/ChordButtons.h"
#include "chords/Notes.h"
#include "layout/Layout.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

// Third, fifth, seventh and extension choices combine into distinct chord types.
const char* const Thirds[] = {"0304", "0303", "0405", "0202"};
const char* const Fifths[] = {"0507", "0506", "0508"};
const char* const Sevenths[] = {"", "0711", "0710", "0709", "0609"};
const char* const Extensions[] = {"", "0914", "0913", "0915", "1117", "1118", "1321", "1320"};

struct SyntheticType {
    std::string name;
    std::vector<std::string> codes;
};

// Built with appends: GCC 12 warns falsely about "t" + std::to_string(...).
std::string syntheticName(int index, int round)
{
    std::string name(1, 't');
    name.append(std::to_string(index)).append(1, 'r').append(std::to_string(round));
    return name;
}

std::vector<SyntheticType> syntheticTypes(int count)
{
    std::vector<SyntheticType> types;
    int index = 0;
    for (int round = 0; int(types.size()) < count; ++round)
        for (const char* e : Extensions)
            for (const char* s : Sevenths)
                for (const char* f : Fifths)
                    for (const char* t : Thirds) {
                        if (int(types.size()) == count)
                            return types;
                        SyntheticType type;
                        const std::size_t button = std::size_t(index);
                        const auto& buttons = layout::ChordTypeButtons;
                        type.name = button < buttons.size() && !buttons[button].isList
                                        ? std::string(buttons[button].name)
                                        : syntheticName(index, round);
                        type.codes = {"0100", t, f};
                        if (*s)
                            type.codes.push_back(s);
                        if (*e)
                            type.codes.push_back(e);
                        types.push_back(type);
                        ++index;
                    }
    return types;
}

// count chord types, each with six piano voicings on all 17 roots.
std::string writeSyntheticData(int count)
{
    std::string folder = (fs::temp_directory_path() / "tonvera-bench-XXXXXX").string();
    if (!mkdtemp(folder.data()))
        std::abort();
    std::ofstream chords(folder + "/chords.def"), voicings(folder + "/pianochords.def");
    const std::vector<SyntheticType> types = syntheticTypes(count);
    const char* const lists[] = {"majList", "minList", "domList"};
    for (std::size_t i = 0; i < types.size(); ++i) {
        if (i % 30 == 20)
            chords << "list:" << lists[(i / 30) % 3] << "\n";
        chords << types[i].name;
        for (const std::string& code : types[i].codes)
            chords << "," << code;
        chords << "\n";
    }
    // Six voicings per chord and root, one per category, about as many as the shipped piano file.
    const char* const categories[] = {"Close", "First", "Second", "Open", "Spread", "Low"};
    for (int category = 0; category < 6; ++category) {
        voicings << "[" << categories[category] << "]\n";
        for (const SyntheticType& type : types)
            for (const TRootInfo& root : RootTable) {
                voicings << root.name << "," << type.name << "," << (category == 5 ? -12 : 0);
                for (std::size_t k = 0; k < type.codes.size(); ++k) {
                    int note = 48 + root.pitchClass + std::atoi(type.codes[k].c_str() + 2);
                    if ((category == 1 && k == 0) || (category == 2 && k < 2) || (category == 3 && k % 2 == 1) ||
                        (category == 4 && k >= 2))
                        note += 12;
                    voicings << "," << (k == 0 ? -note : note);
                }
                voicings << "\n";
            }
    }
    return folder;
}

// The loaded book of each data set, built once per process.
struct DataSet {
    std::string folder;
    ChordBook book;
    bool loaded = false;
    bool temporary = false;
    ~DataSet()
    {
        std::error_code ignored;
        if (temporary)
            fs::remove_all(folder, ignored);
    }
};

DataSet& syntheticSet(int types)
{
    static std::map<int, std::unique_ptr<DataSet>> sets;
    auto& set = sets[types];
    if (!set) {
        set = std::make_unique<DataSet>();
        set->folder = writeSyntheticData(types);
        set->temporary = true;
        set->book = LoadChordDefinitions(set->folder, gtPiano);
        set->loaded = true;
    }
    return *set;
}

// The shipped chords file with the given instrument's voicing file, from the program folder.
DataSet& shippedSet(GameType game)
{
    static std::map<GameType, std::unique_ptr<DataSet>> sets;
    auto& set = sets[game];
    if (!set) {
        set = std::make_unique<DataSet>();
        std::error_code error;
        set->folder = fs::read_symlink("/proc/self/exe", error).parent_path().parent_path().string();
        try {
            set->book = LoadChordDefinitions(set->folder, game);
            set->loaded = true;
        } catch (const ChordError&) {
        }
    }
    return *set;
}

void calculate(benchmark::State& state, DataSet& set)
{
    if (!set.loaded || set.book.ChordTypes.empty())
        return state.SkipWithError("no data");
    const std::string type = set.book.ChordTypes.rbegin()->first;
    for (auto _ : state)
        for (int root = 0; root < RootCount; ++root) {
            const TChordVariation chord = CalculateChord(set.book, type, root);
            benchmark::DoNotOptimize(chord.noteNames.data());
        }
    state.SetItemsProcessed(state.iterations() * RootCount);
}

void find(benchmark::State& state, DataSet& set, int mode)
{
    if (!set.loaded)
        return state.SkipWithError("no data");
    FinderQuery query;
    query.mode = mode;
    query.typeFilter = AllButtonsFilter(layout::ChordTypeButtons, set.book.ListMembers);
    for (const auto& type : set.book.ChordTypes)
        query.typeFilter += "(" + type.first + ")";
    query.marks = set.book.Game == gtPiano ? std::map<int, std::string>{{60, ""}, {64, ""}, {67, ""}}
                                           : std::map<int, std::string>{{256 + 3, ""}, {2 * 256 + 2, ""}, {3 * 256, ""}};
    FinderResult found;
    for (auto _ : state) {
        found = ReverseFind(set.book, query);
        benchmark::DoNotOptimize(found.list.Lines.data());
    }
    state.counters["lines"] = double(found.list.Lines.size());
    state.counters["voicings"] = double(set.book.Voicings.size());
}

void BM_CalculateChord17Roots_Shipped(benchmark::State& s) { calculate(s, shippedSet(gtPiano)); }
void BM_CalculateChord17Roots_Synthetic(benchmark::State& s) { calculate(s, syntheticSet(100)); }
void BM_ReverseFindChords_Shipped(benchmark::State& s) { find(s, shippedSet(gtPiano), 0); }
void BM_ReverseFindVoicings_Shipped(benchmark::State& s) { find(s, shippedSet(gtPiano), 1); }
void BM_ReverseFindChords_ShippedGuitar(benchmark::State& s) { find(s, shippedSet(gtGuitar), 0); }
void BM_ReverseFindVoicings_ShippedGuitar(benchmark::State& s) { find(s, shippedSet(gtGuitar), 1); }
void BM_ReverseFindChords_Synthetic(benchmark::State& s) { find(s, syntheticSet(100), 0); }
void BM_ReverseFindVoicings_Synthetic(benchmark::State& s) { find(s, syntheticSet(100), 1); }
void BM_ReverseFindChords_Synthetic10x(benchmark::State& s) { find(s, syntheticSet(1000), 0); }
void BM_ReverseFindVoicings_Synthetic10x(benchmark::State& s) { find(s, syntheticSet(1000), 1); }

}  // namespace

BENCHMARK(BM_CalculateChord17Roots_Shipped);
BENCHMARK(BM_CalculateChord17Roots_Synthetic);
BENCHMARK(BM_ReverseFindChords_Shipped)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReverseFindVoicings_Shipped)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReverseFindChords_ShippedGuitar)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReverseFindVoicings_ShippedGuitar)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReverseFindChords_Synthetic)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReverseFindVoicings_Synthetic)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReverseFindChords_Synthetic10x)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReverseFindVoicings_Synthetic10x)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
