// Start-up of the program (process start to the first painted main window) beside a bare Qt
// window's, for the piano and the guitar, with the built-in synthesizer's SoundFont and
// without one, without a JACK server and with one; and a chord-type press to the repainted
// window. Start-up runs in child processes of this program, so each start pays for the
// process and Qt's own start; the starts take turns, so a machine shared with other work
// slows them alike. The press runs in this process.
#include "app/Startup.h"
#include "controls/Nxpanel.h"
#include "controls/Timage.h"
#include "midi/Player.h"
#include "midi/Tmidicontent.h"
#include "platform/MIDIOut.h"
#include "platform/ProgramFolder.h"
#include "platform/SystemFonts.h"

#include "tests/support/JackTestServer.h"
#include "tests/support/SoundTestSupport.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

long long monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The program's set-up on the build's data.
MainFormSetup programSetup(Player& player, TMIDIContent& content, const std::string& parameter = "")
{
    MainFormSetup setup;
    setup.folder = TONVERA_PROGRAM_DIR;
    setup.firstParameter = parameter;
    setup.settingsFile = std::string(std::getenv("TONVERA_BENCH_INI"));
    setup.player = &player;
    setup.content = &content;
    return setup;
}

// The program's windows, settings dialog included.
ProgramWindows createWindows(Player& player, TMIDIContent& content)
{
    const MainFormSetup setup = programSetup(player, content);
    ProgramWindows windows = CreateProgramWindows(setup);
    AddDialogs(windows, setup);
    return windows;
}

// Prints the time of the first paint of the watched window and ends the program as closing
// it would: a JACK server then sees its clients leave at once, instead of waiting for them
// to answer before the next start's clients may join.
class FirstPaint : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            std::printf("%lld\n", monotonicNs());
            std::fflush(stdout);
            QCoreApplication::quit();
        }
        return false;
    }

private:
    bool done_ = false;
};

int runChild(int argc, char** argv, bool program)
{
    const std::shared_future<void> fontConfiguration =
        program ? ReadFontConfigurationInBackground() : std::shared_future<void>();
    QApplication application(argc, argv);
    FirstPaint watcher;
    if (!program) {
        QWidget bare;
        bare.setWindowTitle("Tonvera");
        bare.resize(1046, 717);
        bare.installEventFilter(&watcher);
        bare.show();
        return QApplication::exec();
    }
    // As the program starts (main.cpp).
    ProgramSound sound = MakeProgramSound(std::getenv("TONVERA_BENCH_INI"), "");
    _player = sound.player.get();
    TMIDIContent content;
    MainFormSetup setup = programSetup(*sound.player, content, argc > 2 ? argv[2] : "");
    setup.fontConfiguration = fontConfiguration;
    ProgramWindows windows = CreateProgramWindows(setup);
    // The instrument view is the last part of the window to be painted.
    windows.main->Controls().BottomImage->installEventFilter(&watcher);
    windows.main->show();
    AfterFirstPaint(*windows.main, [&] {
        sound.hold.reset();
        AddDialogs(windows, setup);
    });
    return QApplication::exec();
}

std::string self;

// One child start; the time from just before the start to its first paint, in ms.
double startChild(const std::string& command)
{
    const long long before = monotonicNs();
    FILE* child = popen(command.c_str(), "r");
    long long painted = 0;
    if (!child || std::fscanf(child, "%lld", &painted) != 1) {
        if (child)
            pclose(child);
        return -1;
    }
    pclose(child);
    return (painted - before) * 1e-6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct StartKind {
    std::string name;
    std::string command;
};

// Every kind of start once per iteration, in turn; the counters are each kind's median in ms
// and its ratio to the bare window's. The iteration time is the piano's start.
// Argument 0: no JACK server (the JACK rows list nothing); 1: a JACK server of the
// benchmark's own (jackd1, dummy back end), whose ports the program lists and where it opens
// its own input and output ports.
void BM_StartupSideBySide(benchmark::State& state)
{
    ScopedEnvironment environment;
    std::unique_ptr<JackTestServer> server;
    if (state.range(0) == 0) {
        environment.Set("JACK_DEFAULT_SERVER", "tonvera-bench-no-such-server");
    } else {
        server = std::make_unique<JackTestServer>();
        if (!server->Running()) {
            state.SkipWithError("jackd (jackd1) did not start");
            return;
        }
    }
    // Without a SoundFont there is no built-in synthesizer: the program runs silent.
    const std::string silent = "TONVERA_SOUNDFONT=/nonexistent.sf2 ";
    const StartKind kinds[] = {
        {"bare", self + " --child-bare"},
        {"piano", self + " --child-tonvera"},
        {"guitar", self + " --child-tonvera guitar"},
        {"piano_no_sf", silent + self + " --child-tonvera"},
        {"guitar_no_sf", silent + self + " --child-tonvera guitar"},
    };
    std::vector<std::vector<double>> times(std::size(kinds));
    for (auto _ : state) {
        for (std::size_t k = 0; k < std::size(kinds); ++k) {
            const double ms = startChild(kinds[k].command);
            if (ms < 0) {
                state.SkipWithError("the child did not paint");
                return;
            }
            times[k].push_back(ms);
        }
        state.SetIterationTime(times[1].back() / 1000.0);
    }
    const double bare = median(times[0]);
    for (std::size_t k = 0; k < std::size(kinds); ++k) {
        state.counters[kinds[k].name + "_ms"] = median(times[k]);
        if (k > 0)
            state.counters[kinds[k].name + "_x"] = median(times[k]) / bare;
    }
}

// A press on a chord-type button until the whole window has been painted again.
void BM_ChordTypePressToRepaint(benchmark::State& state)
{
    Player player(MakeSystemMIDIDevices());
    _player = &player;
    TMIDIContent content;
    ProgramWindows windows = createWindows(player, content);
    TMainForm& form = *windows.main;
    form.show();
    QApplication::processEvents();
    TNXPanel* buttons[] = {form.Controls().ChordTypeButtons[0], form.Controls().ChordTypeButtons[2]};
    int next = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QTest::mousePress(buttons[next], Qt::LeftButton, Qt::NoModifier, QPoint(10, 8));
        form.repaint();
        const auto end = std::chrono::steady_clock::now();
        QTest::mouseRelease(buttons[next], Qt::LeftButton, Qt::NoModifier, QPoint(10, 8));
        next = 1 - next;
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    windows = {};
    _player = nullptr;
}

BENCHMARK(BM_StartupSideBySide)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_ChordTypePressToRepaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

} // namespace

int main(int argc, char** argv)
{
    // The synthesizer renders into nothing, the settings go to a scratch file, no display is needed.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("TONVERA_AUDIO_DRIVER", "file", 0);
    setenv("TONVERA_AUDIO_FILE", "/dev/null", 0);
    setenv("TONVERA_BENCH_INI", "/tmp/tonvera-bench.ini", 0);
    if (argc > 1 && std::string(argv[1]) == "--child-bare")
        return runChild(argc, argv, false);
    if (argc > 1 && std::string(argv[1]) == "--child-tonvera")
        return runChild(argc, argv, true);
    self = ExecutablePath();
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
