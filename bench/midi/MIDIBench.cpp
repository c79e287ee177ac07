// Timing of the player on real timers: how late each message reaches the device, how long
// a click takes to sound, and what opening the built-in synthesizer costs.
#include "midi/Player.h"
#include "midi/Tmidicontent.h"
#include "platform/FluidSynthOut.h"
#include "platform/RecordingMIDIOut.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>

namespace {

constexpr double kMsPerTick = 500000 * 0.001 / 120;

bool isReset(uint32_t m)
{
    const uint32_t controller = (m >> 8) & 0xFF;
    return (m & 0xF0) == 0xB0 && (controller == 121 || controller == 123);
}

MIDIEvent noteEvent(uint32_t tick, unsigned key, unsigned velocity)
{
    return MakeNote(tick, 0, key, velocity);
}

// A 4-note arpeggio, 50 ms (12 ticks) apart, each held 100 ms.
std::vector<MIDIEvent> arpeggio()
{
    std::vector<MIDIEvent> events;
    for (uint32_t k = 0; k < 4; ++k) {
        events.push_back(noteEvent(12 + 12 * k, 60 + 4 * k, 100));
        events.push_back(noteEvent(36 + 12 * k, 60 + 4 * k, 0));
    }
    events.push_back(noteEvent(200, 1, 0)); // the final, unsent entry
    return events;
}

// 200 events, one every 2 ticks (8.3 ms).
std::vector<MIDIEvent> longSequence()
{
    std::vector<MIDIEvent> events;
    for (uint32_t i = 0; i < 200; ++i)
        events.push_back(noteEvent(2 + 2 * i, 40 + i % 40, i % 2 ? 0 : 90));
    events.push_back(noteEvent(410, 1, 0));
    return events;
}

// Keeps one core busy while it lives.
class BusyCore {
public:
    explicit BusyCore(bool on)
    {
        if (on)
            thread_ = std::thread([this] {
                unsigned long spin = 0;
                while (!stop_)
                    benchmark::DoNotOptimize(++spin);
            });
    }
    ~BusyCore()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, static_cast<size_t>(p * (values.size() - 1) + 0.5));
    return values[index];
}

void reportLateness(benchmark::State& state, const std::vector<double>& lateness)
{
    state.counters["median_ms"] = percentile(lateness, 0.5);
    state.counters["p99_ms"] = percentile(lateness, 0.99);
    state.counters["max_ms"] = percentile(lateness, 1.0);
    state.counters["min_ms"] = percentile(lateness, 0.0); // below 0 would be early
    state.counters["messages"] = static_cast<double>(lateness.size());
}

// Plays the events once per iteration and measures each message against its ideal time.
void dispatchLateness(benchmark::State& state, const std::vector<MIDIEvent>& events)
{
    BusyCore busy(state.range(0) != 0);
    auto devices = std::make_shared<RecordingMIDIDevices>(1);
    Player player(devices);
    std::vector<double> lateness;
    for (auto _ : state) {
        MIDIData data(1, 120);
        data.tempos.emplace_back(0, 500000);
        data.Track(0)->events = events;
        devices->ClearMessages();
        const double start = TimerService::PreciseNowMs();
        player.Play(data);
        const size_t expected = events.size() - 1 + 32; // the reset of the first Stop too
        devices->WaitForMessages(expected, 10000);
        std::vector<RecordedMessage> sent;
        for (const RecordedMessage& m : devices->Messages())
            if (!isReset(m.message))
                sent.push_back(m);
        // The player's list is stably sorted by tick, so the order matches the events'.
        std::vector<MIDIEvent> sorted(events.begin(), events.end() - 1);
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const MIDIEvent& a, const MIDIEvent& b) { return a.tick < b.tick; });
        for (size_t i = 0; i < sent.size() && i < sorted.size(); ++i)
            lateness.push_back(sent[i].timeMs - start - sorted[i].tick * kMsPerTick);
        player.Stop();
    }
    reportLateness(state, lateness);
}

void BM_DispatchLatenessArpeggio(benchmark::State& state) { dispatchLateness(state, arpeggio()); }
void BM_DispatchLateness200Events(benchmark::State& state) { dispatchLateness(state, longSequence()); }

// From PlayChord to the first note-on at the device (the first timer is due at tick 1),
// and the click-to-ear time that makes with the built-in synthesizer: one 64-frame
// synthesizer block and the audio buffer it asks for with the default setting at 48 kHz
// (bench_sound reads the buffer back from an opened driver).
void BM_ClickToSound(benchmark::State& state)
{
    auto devices = std::make_shared<RecordingMIDIDevices>(1);
    Player player(devices);
    _player = &player;
    TMIDIContent content;
    PlaybackSettings settings;
    const ChordToPlay chord{{60, 64, 67}, {"R", "3", "5"}};
    std::vector<double> delays;
    for (auto _ : state) {
        devices->ClearMessages();
        const double start = TimerService::PreciseNowMs();
        PlayChord(_player, content, chord, settings);
        devices->WaitForMessages(32 + 5, 2000);
        for (const RecordedMessage& m : devices->Messages())
            if ((m.message & 0xF0) == 0x90) {
                delays.push_back(m.timeMs - start);
                break;
            }
        player.Stop();
    }
    _player = nullptr;
    state.counters["median_ms"] = percentile(delays, 0.5);
    state.counters["p99_ms"] = percentile(delays, 0.99);
    state.counters["max_ms"] = percentile(delays, 1.0);
    const AudioBuffer buffer = AudioBufferFor(kDefaultAudioBufferMs, kDeviceSampleRate);
    const double bufferMs = buffer.periodFrames * buffer.periods * 1000.0 / kDeviceSampleRate;
    const double blockMs = 64 * 1000.0 / kDeviceSampleRate;
    state.counters["synth_buffer_ms"] = bufferMs;
    state.counters["click_to_ear_ms"] = percentile(delays, 0.5) + blockMs + bufferMs;
}

// Filling the playback content for a chord of state.range(0) tones, without playing it: a
// chord type of a damaged or generated file can hold thousands of degree codes.
void BM_ChordContentManyTones(benchmark::State& state)
{
    TMIDIContent content;
    PlaybackSettings settings;
    settings.arpeggio = true;
    ChordToPlay chord;
    for (int i = 0; i < state.range(0); ++i) {
        chord.notes.push_back(36 + i % 48);
        chord.labels.push_back(i % 4 == 0 ? "R" : "3");
    }
    for (auto _ : state) {
        PlayChord(nullptr, content, chord, settings);
        benchmark::DoNotOptimize(content.Data().tracks.size());
    }
    state.SetComplexityN(state.range(0));
}

// Loading the SoundFont is what opening the built-in synthesizer costs at start-up.
void BM_OpenBuiltInSynth(benchmark::State& state, const std::string& soundFont)
{
    for (auto _ : state) {
        auto synth = OfflineSynth::Open(soundFont);
        if (!synth) {
            state.SkipWithError("SoundFont did not load");
            break;
        }
        benchmark::DoNotOptimize(synth);
    }
}

void registerSynthBenchmarks()
{
    for (const char* path : {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2"})
        if (std::filesystem::exists(path))
            benchmark::RegisterBenchmark(
                ("BM_OpenBuiltInSynth/" + std::filesystem::path(path).filename().string()).c_str(),
                [p = std::string(path)](benchmark::State& state) { BM_OpenBuiltInSynth(state, p); })
                ->Unit(benchmark::kMillisecond)
                ->Iterations(10);
}

} // namespace

// Argument: 0 = idle, 1 = with the other core busy.
BENCHMARK(BM_DispatchLatenessArpeggio)->Arg(0)->Arg(1)->Iterations(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DispatchLateness200Events)->Arg(0)->Arg(1)->Iterations(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClickToSound)->Iterations(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChordContentManyTones)
    ->RangeMultiplier(8)
    ->Range(8, 32768)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

int main(int argc, char** argv)
{
    SilenceAudioLibraries();
    registerSynthBenchmarks();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
