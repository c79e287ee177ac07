// The JACK probe: a short-lived client opened with JackNoStartServer.
#include "platform/JackServer.h"

#include "platform/AudioLibraries.h"
#include "platform/MIDIBackEnd.h"

#include <jack/jack.h>

#include <algorithm>
#include <memory>

namespace {

struct ClientCloser {
    void operator()(jack_client_t* client) const { jack_client_close(client); }
};
using ClientPtr = std::unique_ptr<jack_client_t, ClientCloser>;

// jack_get_ports' array, freed with jack_free.
std::vector<std::string> portNames(jack_client_t* client, const char* type, unsigned long flags)
{
    std::vector<std::string> names;
    const char** ports = jack_get_ports(client, nullptr, type, flags);
    for (size_t i = 0; ports && ports[i]; ++i)
        if (!IsTonveraPort(ports[i]))
            names.emplace_back(ports[i]);
    if (ports)
        jack_free(ports);
    return names;
}

unsigned playbackLatency(jack_client_t* client)
{
    unsigned latency = 0;
    const char** ports = jack_get_ports(client, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsPhysical | JackPortIsInput);
    for (size_t i = 0; ports && ports[i]; ++i)
        if (jack_port_t* port = jack_port_by_name(client, ports[i])) {
            jack_latency_range_t range{};
            jack_port_get_latency_range(port, JackPlaybackLatency, &range);
            latency = std::max(latency, range.max);
        }
    if (ports)
        jack_free(ports);
    return latency;
}

} // namespace

JackServerInfo ProbeJackServer()
{
    SilenceAudioLibraries();
    JackServerInfo info;
    jack_status_t status{};
    ClientPtr client(jack_client_open("tonvera-probe", JackNoStartServer, &status));
    if (!client)
        return info;
    info.running = true;
    info.sampleRate = jack_get_sample_rate(client.get());
    info.bufferFrames = jack_get_buffer_size(client.get());
    info.playbackLatencyFrames = playbackLatency(client.get());
    info.midiSinks = portNames(client.get(), JACK_DEFAULT_MIDI_TYPE, JackPortIsInput);
    info.midiSources = portNames(client.get(), JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput);
    return info;
}
