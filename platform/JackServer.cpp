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

namespace {

JackServerInfo describe(jack_client_t* client)
{
    JackServerInfo info;
    info.running = true;
    info.sampleRate = jack_get_sample_rate(client);
    info.bufferFrames = jack_get_buffer_size(client);
    info.playbackLatencyFrames = playbackLatency(client);
    info.midiSinks = portNames(client, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput);
    info.midiSources = portNames(client, JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput);
    return info;
}

jack_client_t* openClient(const char* name)
{
    SilenceAudioLibraries();
    jack_status_t status{};
    return jack_client_open(name, JackNoStartServer, &status);
}

} // namespace

JackServerInfo ProbeJackServer()
{
    ClientPtr client(openClient("tonvera-probe"));
    return client ? describe(client.get()) : JackServerInfo{};
}

std::shared_ptr<JackConnection> JackConnection::Open()
{
    jack_client_t* client = openClient("tonvera-monitor");
    if (!client)
        return nullptr;
    std::shared_ptr<JackConnection> connection(new JackConnection(client));
    jack_on_shutdown(client, &JackConnection::onShutdown, connection.get());
    // Only an active client hears of the server's end.
    if (jack_activate(client) != 0)
        return nullptr;
    return connection;
}

JackConnection::JackConnection(jack_client_t* client) : client_(client) {}

JackConnection::~JackConnection() { jack_client_close(client_); }

void JackConnection::onShutdown(void* self) { static_cast<JackConnection*>(self)->alive_ = false; }

JackServerInfo JackConnection::Info() const { return alive_ ? describe(client_) : JackServerInfo{}; }
