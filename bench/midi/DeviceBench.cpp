// What the MIDI device layer costs and gives: start-up on the GUI thread with and without
// a JACK server, opening the built-in synthesizer off the GUI thread, the audio buffer read
// back from the opened driver and the click-to-ear time it makes, and the CPU an idle
// program uses with the synthesizer open. The JACK figures come from a real jackd1 server
// with its dummy back end (48 kHz, 64-frame periods).
#include "midi/Player.h"
#include "platform/FluidSynthOut.h"
#include "platform/JackServer.h"

#include "tests/support/JackTestServer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <sys/resource.h>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

constexpr const char* kNoServer = "tonvera-bench-no-such-server";

// libjack's first call in a process asks jackd where servers live (a few ms); every later
// probe without a server costs microseconds. Both run on the background opener in the
// program, never on the GUI thread.
void BM_JackProbeWithoutServer(benchmark::State& state)
{
    ScopedEnvironment environment;
    environment.Set("JACK_DEFAULT_SERVER", kNoServer);
    std::vector<double> times;
    for (auto _ : state) {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(ProbeJackServer().running);
        times.push_back(msSince(start));
    }
    state.counters["first_ms"] = times.front();
    state.counters["median_ms"] = median(times);
}

// What making the device list and the player costs the GUI thread at start-up, with the
// whole table and without the JACK row, side by side; then the first listing of every
// port (the settings dialog's): at once, when it waits for the background JACK probe, and
// 30 ms later as in the program. Argument: 1 = the whole table, 0 = without JACK.
void BM_StartupOnTheGuiThreadWithoutJackServer(benchmark::State& state)
{
    ScopedEnvironment environment;
    environment.Set("JACK_DEFAULT_SERVER", kNoServer).Set("TONVERA_AUDIO_DRIVER", "file").Set("TONVERA_AUDIO_FILE",
                                                                                               "/dev/null");
    const std::vector<std::string> rows =
        state.range(0) ? std::vector<std::string>{} : std::vector<std::string>{"built-in synthesizer", "ALSA"};
    std::vector<double> construction, listingAtOnce, listingLater;
    // Makes the player, lists every port after a pause (untimed), and cleans up untimed.
    const auto startAndList = [&](int pauseMs, std::vector<double>& listing) {
        auto start = Clock::now();
        auto player = std::make_unique<Player>(MakeSystemMIDIDevices(rows));
        if (pauseMs == 0)
            construction.push_back(msSince(start));
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        state.ResumeTiming();
        start = Clock::now();
        benchmark::DoNotOptimize(player->DeviceCount());
        listing.push_back(msSince(start));
        state.PauseTiming();
        player->Devices()->WaitForBackground();
        player.reset();
        state.ResumeTiming();
    };
    for (auto _ : state) {
        startAndList(0, listingAtOnce);
        // As in the program: the settings dialog lists the ports after the main window
        // is built, tens of milliseconds after the player.
        startAndList(30, listingLater);
    }
    state.counters["construct_ms"] = median(construction);
    state.counters["construct_first_ms"] = construction.front();
    state.counters["listing_at_once_ms"] = median(listingAtOnce);
    state.counters["listing_30ms_later_ms"] = median(listingLater);
}

// The built-in synthesizer through JACK: what opening it costs the GUI thread, how long
// until it sounds, and what the driver buffers, read back from the opened driver.
void BM_BuiltInSynthOverJack(benchmark::State& state)
{
    JackTestServer server;
    if (!server.Running() || FindGeneralMIDISoundFont().empty()) {
        state.SkipWithError("no jackd or no SoundFont");
        return;
    }
    ScopedEnvironment environment;
    environment.Set("TONVERA_AUDIO_DRIVER", "jack");
    std::vector<double> onGuiThread, untilReady;
    AudioOutputInfo output;
    for (auto _ : state) {
        auto devices = MakeSystemMIDIDevices({"built-in synthesizer"});
        const auto start = Clock::now();
        MIDIOutHandle synth = devices->Open(0); // what Player::OpenDevice(0) does
        onGuiThread.push_back(msSince(start));
        synth->WaitUntilSettled(10000);
        untilReady.push_back(msSince(start));
        if (!ReadAudioOutput(synth, output)) {
            state.SkipWithError(synth->Problem().c_str());
            return;
        }
        synth->Close();
    }
    state.counters["open_on_gui_thread_ms"] = median(onGuiThread);
    state.counters["open_until_ready_ms"] = median(untilReady);
    state.counters["rate"] = output.sampleRate;
    state.counters["period_frames"] = output.periodFrames;
    state.counters["buffer_ms"] = output.bufferMs;
}

// CPU of the whole process over 10 s with the synthesizer open and nothing playing (a
// note, then silence), in percent of one core. Arguments: 0 = SDL's dummy audio device
// (a real-time output like a sound card's), the output kept open as before; 1 = the same,
// the output closing after the usual silence; 2 = a JACK server and the whole table: the
// synthesizer's JACK output (which stays open), Tonvera's own JACK MIDI port (RtMidi's
// client, woken every 64-frame period) and the monitor client.
void BM_IdleCpuWithSynthOpen(benchmark::State& state)
{
    const bool overJack = state.range(0) == 2;
    ScopedEnvironment environment;
    std::unique_ptr<JackTestServer> server;
    if (overJack) {
        server = std::make_unique<JackTestServer>();
        environment.Set("TONVERA_AUDIO_DRIVER", "jack");
    } else if (StartSdlDummyAudio(environment)) {
        environment.Set("TONVERA_AUDIO_DRIVER", "sdl2");
    }
    if ((overJack && !server->Running()) || FindGeneralMIDISoundFont().empty()) {
        state.SkipWithError("no jackd or no SoundFont");
        return;
    }
    SynthOptions options;
    const bool closesWhenIdle = state.range(0) == 1;
    options.idleCloseMs = state.range(0) == 0 ? 24 * 3600 * 1000 : kIdleCloseMs;
    double percent = 0, reopenMs = 0;
    for (auto _ : state) {
        auto devices = MakeSystemMIDIDevices(overJack ? std::vector<std::string>{}
                                                      : std::vector<std::string>{"built-in synthesizer"});
        devices->Configure(options);
        MIDIOutHandle synth = devices->Open(0);
        devices->WaitForBackground();
        if (synth->State() != DeviceState::Ready) {
            state.SkipWithError(synth->Problem().c_str());
            return;
        }
        synth->Send(0x643C90);
        synth->Send(0x3C80);
        const double cpuBefore = cpuSeconds();
        const auto start = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        percent = (cpuSeconds() - cpuBefore) / (msSince(start) / 1000) * 100;
        if (closesWhenIdle) {
            // The next note after the rest: how long until the audio output is open again.
            const auto noteAt = Clock::now();
            synth->Send(0x643C90);
            while (!AudioOutputActive(synth) && msSince(noteAt) < 5000)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            reopenMs = msSince(noteAt);
        }
        synth->Close();
    }
    state.counters["cpu_percent_of_a_core"] = percent;
    if (closesWhenIdle)
        state.counters["reopen_after_rest_ms"] = reopenMs;
}

} // namespace

BENCHMARK(BM_JackProbeWithoutServer)->Iterations(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StartupOnTheGuiThreadWithoutJackServer)->Arg(1)->Arg(0)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuiltInSynthOverJack)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleCpuWithSynthOpen)->Arg(0)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char** argv)
{
    SilenceAudioLibraries();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
