// The JACK back end through RtMidi. RtMidi's JACK API is touched only while a connection
// of our own finds the server running (without one RtMidi crashes), and the ports are
// listed through that connection, so listing makes no client named "Tonvera". The first
// connection is made in the background (without a server, libjack's first call costs a
// few milliseconds), or at once by whoever needs it before that. Outputs stop sending once
// their server has gone (RtMidi would wait forever for room in its buffer).
#include "platform/BackgroundOpener.h"
#include "platform/JackServer.h"
#include "platform/RtMidiPorts.h"

#include <memory>
#include <mutex>

namespace {

class JackBackEnd : public RtMidiBackEnd {
public:
    explicit JackBackEnd(const std::shared_ptr<BackgroundOpener>& opener) : RtMidiBackEnd(RtMidi::UNIX_JACK, " (JACK)")
    {
        opener->Post([link = link_] { link->Connect(); });
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

    std::shared_ptr<JackConnection> connection() { return link_->Current(); }

    // The connection, shared with the opener's job that makes the first one. Whoever comes
    // first makes it, so no one waits for that job, which the opener may hold back.
    struct Link {
        // The first connection, unless someone has asked for one already.
        void Connect()
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (!tried)
                reconnectIfGone();
        }
        // The connection while its server runs; a new one once it has gone (servers start
        // and stop while the program runs). Null without a server.
        std::shared_ptr<JackConnection> Current()
        {
            std::lock_guard<std::mutex> lock(mutex);
            reconnectIfGone();
            return connection;
        }

    private:
        void reconnectIfGone()
        {
            tried = true;
            if (!connection || !connection->Alive())
                connection = JackConnection::Open();
        }

        std::mutex mutex;
        bool tried = false;
        std::shared_ptr<JackConnection> connection;
    };
    const std::shared_ptr<Link> link_ = std::make_shared<Link>();
};

} // namespace

std::shared_ptr<MIDIBackEnd> MakeJackBackEnd(const std::shared_ptr<BackgroundOpener>& opener)
{
    return std::make_shared<JackBackEnd>(opener);
}
