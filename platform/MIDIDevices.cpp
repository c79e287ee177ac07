// The device list over a table of back ends, Tonvera's own output ports as a mirror of
// whatever plays, and the system's table.
#include "platform/AudioLibraries.h"
#include "platform/BackgroundOpener.h"
#include "platform/MIDIBackEnd.h"
#include "platform/SynthOptions.h"

#include <algorithm>
#include <cctype>
#include <optional>

bool IsTonveraPort(const std::string& name)
{
    const std::string own = kOwnClientName;
    if (name.compare(0, own.size(), own) != 0)
        return false;
    size_t at = own.size();
    if (at < name.size() && name[at] == '-') { // JACK's "Tonvera-01"
        const size_t digits = at + 1;
        for (at = digits; at < name.size() && std::isdigit(static_cast<unsigned char>(name[at])); ++at) {
        }
        if (at == digits)
            return false;
    }
    return at < name.size() && name[at] == ':';
}

// The ports of each back end, listed when first needed.
struct MIDIDeviceList::Listing {
    std::vector<std::optional<std::vector<std::string>>> outputs;
    std::vector<std::optional<std::vector<std::string>>> inputs;
};

// Tonvera's own output ports, one slot per back end, opened in the background. A view of
// them is a device: the mirror of a chosen output (every slot but the chosen one's), or
// the chosen output itself when the user picks an own port (that slot alone).
class MIDIDeviceList::OwnOutputs {
public:
    explicit OwnOutputs(size_t slots) : ports_(slots), requested_(slots, false) {}

    // On the GUI thread: whether the slot's port is to be opened now (asked once, and
    // again after a Refresh when it did not open).
    bool Request(size_t slot)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (requested_[slot])
            return false;
        requested_[slot] = true;
        return true;
    }
    // On the opener's thread.
    void Install(size_t slot, MIDIOutHandle port)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ports_[slot] = std::move(port);
        requested_[slot] = ports_[slot] != nullptr;
    }
    // A port that did not open, or whose server has gone, may be asked for again.
    void AllowRetry()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (size_t slot = 0; slot < ports_.size(); ++slot)
            if (!ports_[slot] || !ports_[slot]->IsOpen()) {
                ports_[slot].reset();
                requested_[slot] = false;
            }
    }
    bool SendTo(uint32_t message, std::optional<size_t> only, std::optional<size_t> except)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        bool sent = false;
        for (size_t slot = 0; slot < ports_.size(); ++slot)
            if (ports_[slot] && (!only || slot == *only) && (!except || slot != *except))
                sent = ports_[slot]->Send(message) || sent;
        return sent;
    }

    class View : public MIDIOutDevice {
    public:
        View(std::shared_ptr<OwnOutputs> own, std::optional<size_t> only, std::optional<size_t> except)
            : own_(std::move(own)), only_(only), except_(except)
        {
        }

    protected:
        bool sendShort(uint32_t message) override { return own_->SendTo(message, only_, except_); }
        void closeNative() override {} // the own ports stay open for the next choice

    private:
        std::shared_ptr<OwnOutputs> own_;
        std::optional<size_t> only_, except_;
    };

private:
    std::mutex mutex_;
    std::vector<MIDIOutHandle> ports_;
    std::vector<bool> requested_;
};

MIDIDeviceList::MIDIDeviceList(std::vector<std::shared_ptr<MIDIBackEnd>> backEnds,
                               std::shared_ptr<BackgroundOpener> opener)
    : backEnds_(std::move(backEnds)),
      opener_(opener ? std::move(opener) : std::make_shared<BackgroundOpener>()),
      listing_(std::make_unique<Listing>()),
      own_(std::make_shared<OwnOutputs>(backEnds_.size()))
{
    listing_->outputs.resize(backEnds_.size());
    listing_->inputs.resize(backEnds_.size());
}

// The opener ends (after its last jobs) while the back ends its jobs use still exist.
MIDIDeviceList::~MIDIDeviceList() { opener_->Shutdown(); }

const std::vector<std::string>& MIDIDeviceList::portsOf(size_t backEnd) const
{
    auto& ports = listing_->outputs[backEnd];
    if (!ports)
        ports = backEnds_[backEnd]->OutputPorts();
    return *ports;
}

bool MIDIDeviceList::locate(unsigned index, size_t& backEnd, size_t& port) const
{
    size_t first = 0;
    for (backEnd = 0; backEnd < backEnds_.size(); ++backEnd) {
        const size_t count = portsOf(backEnd).size();
        if (index < first + count) {
            port = index - first;
            return true;
        }
        first += count;
    }
    return false;
}

unsigned MIDIDeviceList::Count() const
{
    size_t count = 0;
    for (size_t backEnd = 0; backEnd < backEnds_.size(); ++backEnd)
        count += portsOf(backEnd).size();
    return static_cast<unsigned>(count);
}

bool MIDIDeviceList::Has(unsigned index) const
{
    size_t backEnd = 0, port = 0;
    return locate(index, backEnd, port);
}

bool MIDIDeviceList::Name(unsigned index, std::string& name) const
{
    size_t backEnd = 0, port = 0;
    if (!locate(index, backEnd, port))
        return false;
    name = portsOf(backEnd)[port];
    return true;
}

int MIDIDeviceList::IndexOf(const std::string& name) const
{
    const unsigned count = Count();
    for (unsigned index = 0; index < count; ++index) {
        std::string candidate;
        if (Name(index, candidate) && candidate == name)
            return static_cast<int>(index);
    }
    return -1;
}

MIDIOutHandle MIDIDeviceList::Open(unsigned index)
{
    size_t backEnd = 0, port = 0;
    if (!locate(index, backEnd, port))
        return nullptr;
    const std::string name = portsOf(backEnd)[port];
    const bool ownPort = name == backEnds_[backEnd]->OwnOutputName();
    MIDIOutHandle device = ownPort ? std::make_shared<OwnOutputs::View>(own_, backEnd, std::nullopt)
                                   : backEnds_[backEnd]->OpenOutput(name);
    if (!device)
        return nullptr;
    const bool anyOwnPorts = std::any_of(backEnds_.begin(), backEnds_.end(),
                                         [](const auto& b) { return b->HasOwnPorts(); });
    if (anyOwnPorts) {
        device->SetMirror(std::make_shared<OwnOutputs::View>(
            own_, std::nullopt, ownPort ? std::optional<size_t>(backEnd) : std::nullopt));
        // After the chosen device's own opening: with JACK, the synthesizer asks for the
        // client name "Tonvera" first.
        ownPortsWanted_ = true;
        openOwnOutputs();
    }
    return device;
}

void MIDIDeviceList::openOwnOutputs()
{
    for (size_t slot = 0; slot < backEnds_.size(); ++slot) {
        if (!backEnds_[slot]->HasOwnPorts() || !own_->Request(slot))
            continue;
        opener_->Post([own = own_, backEnd = backEnds_[slot], slot] { own->Install(slot, backEnd->OpenOwnOutput()); });
    }
}

void MIDIDeviceList::Refresh()
{
    for (auto& ports : listing_->outputs)
        ports.reset();
    for (auto& ports : listing_->inputs)
        ports.reset();
    // An own port that could not open (no JACK server then) or whose server has gone is
    // opened again, once a device has been opened.
    own_->AllowRetry();
    if (ownPortsWanted_)
        openOwnOutputs();
}

std::vector<std::string> MIDIDeviceList::InputNames() const
{
    std::vector<std::string> names{kOwnInputName};
    for (size_t backEnd = 0; backEnd < backEnds_.size(); ++backEnd) {
        auto& ports = listing_->inputs[backEnd];
        if (!ports)
            ports = backEnds_[backEnd]->InputPorts();
        names.insert(names.end(), ports->begin(), ports->end());
    }
    return names;
}

std::unique_ptr<MIDIInput> MIDIDeviceList::OpenInput(const std::string& name, MIDIInputCallback callback)
{
    // The back ends and ports to open: every own input port, or the one port of that name.
    std::vector<std::pair<std::shared_ptr<MIDIBackEnd>, std::string>> wanted;
    if (name == kOwnInputName) {
        for (const auto& backEnd : backEnds_)
            if (backEnd->HasOwnPorts())
                wanted.emplace_back(backEnd, std::string());
    } else {
        InputNames(); // lists what is not listed yet
        for (size_t backEnd = 0; backEnd < backEnds_.size() && wanted.empty(); ++backEnd) {
            const auto& ports = *listing_->inputs[backEnd];
            if (std::find(ports.begin(), ports.end(), name) != ports.end())
                wanted.emplace_back(backEnds_[backEnd], name);
        }
        if (wanted.empty())
            return nullptr;
    }
    auto shared = std::make_shared<MIDIInput::Shared>();
    shared->callback = std::move(callback);
    shared->pending = static_cast<unsigned>(wanted.size());
    for (auto& [backEnd, port] : wanted)
        opener_->Post([shared, backEnd = backEnd, port = port] {
            bool closed = false;
            {
                std::lock_guard<std::mutex> lock(shared->mutex);
                closed = shared->closed;
            }
            std::unique_ptr<MIDIInputPort> opened;
            if (!closed)
                opened = backEnd->OpenInput(port, [shared](uint32_t message) { shared->Deliver(message); });
            shared->Tried(std::move(opened));
        });
    return std::make_unique<MIDIInput>(shared);
}

// Only the back ends up to the last one the options change are listed: at start-up that is
// the built-in synthesizer alone, so no other back end's ports are asked for yet.
std::vector<unsigned> MIDIDeviceList::Configure(const SynthOptions& options)
{
    std::vector<unsigned> affected;
    for (size_t backEnd = 0; backEnd < backEnds_.size(); ++backEnd) {
        if (!backEnds_[backEnd]->Configure(options))
            continue;
        size_t first = 0;
        for (size_t before = 0; before < backEnd; ++before)
            first += portsOf(before).size();
        for (size_t port = 0; port < portsOf(backEnd).size(); ++port)
            affected.push_back(static_cast<unsigned>(first + port));
    }
    return affected;
}

void MIDIDeviceList::WaitForBackground() const { opener_->WaitIdle(); }

// --- The system's table ------------------------------------------------------------------

namespace {

// The back ends in order of preference; the device list numbers their ports in this order.
const MIDIBackEndRow kSystemBackEnds[] = {
    {"built-in synthesizer", MakeBuiltInSynthBackEnd},
    {"ALSA", MakeAlsaBackEnd},
    {"JACK", MakeJackBackEnd},
};

} // namespace

std::shared_ptr<MIDIDeviceList> MakeSystemMIDIDevices(const std::vector<std::string>& rows,
                                                      std::shared_ptr<BackgroundOpener> opener)
{
    SilenceAudioLibraries();
    if (!opener)
        opener = std::make_shared<BackgroundOpener>();
    std::vector<std::shared_ptr<MIDIBackEnd>> backEnds;
    for (const MIDIBackEndRow& row : kSystemBackEnds)
        if (rows.empty() || std::find(rows.begin(), rows.end(), row.name) != rows.end())
            backEnds.push_back(row.make(opener));
    return std::make_shared<MIDIDeviceList>(std::move(backEnds), std::move(opener));
}
