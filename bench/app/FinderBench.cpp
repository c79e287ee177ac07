// The reverse finder through the real window on ten times the shipped data: every search a
// user can start (a mark set or removed, a chord type switched, the sub-mode changed), from
// the press to the repainted window with its marks and rebuilt list, must stay within one
// frame (16 ms), the first search after start-up included. The window is built and shown as
// at start-up, and the event loop runs for a moment before the first search, as it does
// while a user reaches for the finder; the index the finder needs is built in that moment.
#include "app/Startup.h"
#include "chords/ChordBook.h"
#include "chords/ReverseFinder.h"
#include "controls/Nxpanel.h"
#include "controls/Timage.h"
#include "layout/Layout.h"
#include "midi/Player.h"
#include "midi/Tmidicontent.h"
#include "platform/RecordingMIDIOut.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kCopies = 10;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

// The name of copy k of a chord type: copy 0 is the type itself.
std::string copyName(const std::string& name, int k)
{
    return k == 0 ? name : name + "v" + std::to_string(k);
}

// The shipped chords file with nine renamed copies of every chord type, all in a chord list,
// so every copy takes part in a finder search with all buttons checked.
std::string tenfoldChords(const std::string& shipped)
{
    std::string text = shipped + "\nlist:majList\n";
    for (int k = 1; k < kCopies; ++k)
        for (const std::string& line : lines(shipped)) {
            const std::size_t comma = line.find(',');
            if (line.empty() || line[0] == ';' || comma == std::string::npos || line.find('=') != std::string::npos)
                continue;
            text += copyName(line.substr(0, comma), k) + line.substr(comma) + "\n";
        }
    return text;
}

// The shipped voicing file followed by its voicings under each copy's name.
std::string tenfoldVoicings(const std::string& shipped)
{
    std::string text = shipped;
    for (int k = 1; k < kCopies; ++k)
        for (const std::string& line : lines(shipped)) {
            const std::size_t first = line.find(',');
            const std::size_t second = first == std::string::npos ? first : line.find(',', first + 1);
            if (line.empty() || line[0] == ';' || line[0] == '[' || second == std::string::npos)
                continue;
            const std::string name = line.substr(first + 1, second - first - 1);
            text += line.substr(0, first + 1) + copyName(name, k) + line.substr(second) + "\n";
        }
    return text;
}

// A program folder with the build's pictures and definitions and ten times its chord data.
class TenfoldFolder {
public:
    TenfoldFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "tonvera-finder-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        folder_ = pattern;
        const fs::path program = TONVERA_PROGRAM_DIR;
        fs::create_directory_symlink(program / "pics", folder_ / "pics");
        fs::copy_file(program / "Tonvera.def", folder_ / "Tonvera.def");
        std::ofstream(folder_ / "chords.def") << tenfoldChords(readFile(program / "chords.def"));
        for (const char* voicings : {"pianochords.def", "guitarchords.def"})
            std::ofstream(folder_ / voicings) << tenfoldVoicings(readFile(program / voicings));
    }
    ~TenfoldFolder()
    {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    std::string Path() const { return folder_.string(); }

private:
    fs::path folder_;
};

const TenfoldFolder& tenfold()
{
    static const TenfoldFolder folder;
    return folder;
}

// The program's windows on the tenfold data, silent, shown, after a moment of idle time.
struct ShownWindow {
    explicit ShownWindow(const std::string& parameter)
        : devices(std::make_shared<RecordingMIDIDevices>(1)), player(devices)
    {
        _player = &player;
        MainFormSetup setup;
        setup.folder = tenfold().Path();
        setup.firstParameter = parameter;
        setup.settingsFile = tenfold().Path() + "/Tonvera.ini";
        setup.player = &player;
        setup.content = &content;
        windows = CreateProgramWindows(setup);
        windows.main->show();
        AddDialogs(windows, setup);
        QElapsedTimer idle;
        idle.start();
        while (idle.elapsed() < 300)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    ~ShownWindow()
    {
        windows = {};
        _player = nullptr;
    }
    TMainForm& Form() { return *windows.main; }

    std::shared_ptr<RecordingMIDIDevices> devices;
    Player player;
    TMIDIContent content;
    ProgramWindows windows;
};

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec * 1e-6;
}

// What one user action costs through the real window, until every part of the window it
// changed is painted again (the update the event loop would make next): wall and CPU ms.
struct Cost {
    double wall = 0;
    double cpu = 0;
};

Cost timed(TMainForm& form, const std::function<void()>& action)
{
    const auto start = std::chrono::steady_clock::now();
    const double cpu = threadCpuMs();
    action();
    QEvent update(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&form, &update);
    return {std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
            threadCpuMs() - cpu};
}

// A left or right press on the instrument at the marker centre of a note code, after the
// pointer rested there so the view knows the note under it.
void pressNote(TMainForm& form, const layout::Point& centre)
{
    TImage* view = form.Controls().BottomImage;
    QCursor::setPos(view->mapToGlobal(QPoint(centre.x, centre.y)));
    form.MoveEchoTimerTimer();
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(centre.x, centre.y));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(centre.x, centre.y));
}

struct Scenario {
    std::vector<layout::Point> marks;        // set in this order, in sub-mode 0
    std::vector<layout::Point> voicingMarks; // then set in sub-mode 1
};

Scenario pianoScenario()
{
    const auto key = [](int note) { return *layout::KeyCentre(note); };
    return {{key(60), key(64), key(67), key(70)}, {key(72)}};
}

Scenario guitarScenario()
{
    const auto fret = [](int string, int f) { return *layout::FretCentre(string, f); };
    // Open C: A string fret 3, D string fret 2, G open, B fret 1, high E open.
    return {{fret(1, 3), fret(2, 2), fret(3, 0), fret(4, 1)}, {fret(1, 3), fret(2, 2), fret(4, 1)}};
}

// Every kind of search once: finder on, marks one by one, a chord type off and on again,
// sub-mode 1, marks there, one removed. Returns each search's cost.
std::vector<Cost> runScenario(TMainForm& form, const Scenario& scenario)
{
    std::vector<Cost> times;
    TNXPanel* finder = form.Controls().ReverseFinder;
    const QPoint finderSwitch(10, finder->height() / 2);
    times.push_back(timed(form, [&] { QTest::mousePress(finder, Qt::LeftButton, Qt::NoModifier, finderSwitch); }));
    QTest::mouseRelease(finder, Qt::LeftButton, Qt::NoModifier, finderSwitch);
    for (const layout::Point& mark : scenario.marks)
        times.push_back(timed(form, [&] { pressNote(form, mark); }));
    TNXPanel* maj = form.Controls().ChordTypeButtons.front();
    for (int i = 0; i < 2; ++i)
        times.push_back(timed(form, [&] { QTest::mousePress(maj, Qt::LeftButton, Qt::NoModifier, QPoint(10, 8)); }));
    times.push_back(timed(form, [&] { form.FinderModeItemClick(1); }));
    for (const layout::Point& mark : scenario.voicingMarks)
        times.push_back(timed(form, [&] { pressNote(form, mark); }));
    times.push_back(timed(form, [&] { pressNote(form, scenario.voicingMarks.front()); }));   // removed again
    times.push_back(timed(form, [&] { form.FinderModeItemClick(0); }));
    // Finder off, ready for the next round.
    QTest::mousePress(finder, Qt::LeftButton, Qt::NoModifier, finderSwitch);
    QTest::mouseRelease(finder, Qt::LeftButton, Qt::NoModifier, finderSwitch);
    return times;
}

// Each iteration runs the scenario; its time is the slowest search in it (wall clock). The
// counters give the very first search after start-up, the slowest of all, and the slowest
// in CPU time of this thread, which other programs on a shared machine do not inflate.
void searches(benchmark::State& state, const std::string& parameter, const Scenario& scenario)
{
    ShownWindow shown(parameter);
    TMainForm& form = shown.Form();
    Cost first{-1, -1};
    Cost slowest;
    for (auto _ : state) {
        const std::vector<Cost> costs = runScenario(form, scenario);
        if (first.wall < 0)
            first = costs[2];   // the finder switched on and one mark set: no search before
        double worst = 0;
        for (const Cost& cost : costs) {
            worst = std::max(worst, cost.wall);
            slowest.cpu = std::max(slowest.cpu, cost.cpu);
        }
        slowest.wall = std::max(slowest.wall, worst);
        state.SetIterationTime(worst / 1000.0);
    }
    state.counters["first_ms"] = first.wall;
    state.counters["first_cpu_ms"] = first.cpu;
    state.counters["slowest_ms"] = slowest.wall;
    state.counters["slowest_cpu_ms"] = slowest.cpu;
    state.counters["chord_types"] = double(form.Book.ChordTypes.size());
    state.counters["voicings"] = double(form.Book.Voicings.size());
}

void BM_FinderSearchesPiano10x(benchmark::State& state) { searches(state, "", pianoScenario()); }
void BM_FinderSearchesGuitar10x(benchmark::State& state) { searches(state, "guitar", guitarScenario()); }

// The index the window builds in idle time after its first paint, alone.
void buildIndex(benchmark::State& state, GameType game)
{
    const ChordBook tables = LoadChordTables(tenfold().Path(), game);
    for (auto _ : state) {
        ChordBook book = LoadChordTables(tenfold().Path(), game);
        const auto start = std::chrono::steady_clock::now();
        BuildFinderIndex(book);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["voicings"] = double(tables.Voicings.size());
}

void BM_FinderIndexPiano10x(benchmark::State& state) { buildIndex(state, gtPiano); }
void BM_FinderIndexGuitar10x(benchmark::State& state) { buildIndex(state, gtGuitar); }

BENCHMARK(BM_FinderSearchesPiano10x)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FinderSearchesGuitar10x)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FinderIndexPiano10x)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FinderIndexGuitar10x)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
