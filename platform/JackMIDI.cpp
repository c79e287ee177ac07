// The JACK back end through RtMidi. RtMidi's JACK API is touched only while a connection
// of our own finds the server running (without one RtMidi crashes), and the ports are
// listed through that connection, so listing makes no client named "Tonvera". The first
// connection is made in the background: without a server, libjack's first call costs a
// few milliseconds. Outputs stop sending once their server has gone (RtMidi would wait
// forever for room in its buffer).
#include "platform/BackgroundOpener.h"
#include "platform/JackServer.h"
#include "platform/RtMidiPorts.h"

#include <future>

namespace {

class JackBackEnd : public RtMidiBackEnd {
public:
    explicit JackBackEnd(const std::shared_ptr<BackgroundOpener>& opener) : RtMidiBackEnd(RtMidi::UNIX_JACK, " (JACK)")
    {
        auto first = std::make_shared<std::promise<std::shared_ptr<JackConnection>>>();
        firstConnection_ = first->get_future();
        opener->Post([first] { first->set_value(JackConnection::Open()); });
    }

protected:
    bool available() override { return connection() != nullptr; }
    std::optional<std::vector<std::string>> listSinks() override { return portsOf(&JackServerInfo::midiSinks); }
    std::optional<std::vector<std::string>> listSources() override { return portsOf(&JackServerInfo::midiSources); }
    std::function<bool()> sendGuard() override
    {
        return [alive = connection()] { return alive && alive->Alive(); };
    }

private:
    std::optional<std::vector<std::string>> portsOf(std::vector<std::string> JackServerInfo::*ports)
    {
        const auto alive = connection();
        if (!alive)
            return std::nullopt;
        JackServerInfo info = alive->Info();
        return std::move(info.*ports);
    }

    // The connection while its server runs; a new one once it has gone (servers start
    // and stop while the program runs). Null without a server.
    std::shared_ptr<JackConnection> connection()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (firstConnection_.valid()) {
            connection_ = firstConnection_.get(); // on the opener's thread it has already run
            return connection_;
        }
        if (!connection_ || !connection_->Alive())
            connection_ = JackConnection::Open();
        return connection_;
    }

    std::mutex mutex_;
    std::future<std::shared_ptr<JackConnection>> firstConnection_;
    std::shared_ptr<JackConnection> connection_;
};

} // namespace

std::shared_ptr<MIDIBackEnd> MakeJackBackEnd(const std::shared_ptr<BackgroundOpener>& opener)
{
    return std::make_shared<JackBackEnd>(opener);
}
