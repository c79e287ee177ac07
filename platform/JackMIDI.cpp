// The JACK back end through RtMidi. RtMidi's JACK API is touched only once a probe has
// found a running server (without one it crashes), and the ports are listed through the
// probe, so listing makes no client named "Tonvera". The first probe runs in the
// background: without a server, libjack's first call costs a few milliseconds.
#include "platform/BackgroundOpener.h"
#include "platform/JackServer.h"
#include "platform/RtMidiPorts.h"

#include <future>

namespace {

class JackBackEnd : public RtMidiBackEnd {
public:
    explicit JackBackEnd(const std::shared_ptr<BackgroundOpener>& opener) : RtMidiBackEnd(RtMidi::UNIX_JACK, " (JACK)")
    {
        auto probe = std::make_shared<std::promise<JackServerInfo>>();
        firstProbe_ = probe->get_future();
        opener->Post([probe] { probe->set_value(ProbeJackServer()); });
    }

protected:
    bool available() override { return latest().running; }
    std::optional<std::vector<std::string>> listSinks() override { return portsOf(&JackServerInfo::midiSinks); }
    std::optional<std::vector<std::string>> listSources() override { return portsOf(&JackServerInfo::midiSources); }

private:
    std::optional<std::vector<std::string>> portsOf(std::vector<std::string> JackServerInfo::*ports)
    {
        JackServerInfo info = latest();
        if (!info.running)
            return std::nullopt;
        return std::move(info.*ports);
    }

    // The background probe's answer the first time, then a fresh one (servers start and
    // stop while the program runs). On the opener's thread the first probe has already run.
    JackServerInfo latest()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (firstProbe_.valid())
            return firstProbe_.get();
        return ProbeJackServer();
    }

    std::mutex mutex_;
    std::future<JackServerInfo> firstProbe_;
};

} // namespace

std::shared_ptr<MIDIBackEnd> MakeJackBackEnd(const std::shared_ptr<BackgroundOpener>& opener)
{
    return std::make_shared<JackBackEnd>(opener);
}
