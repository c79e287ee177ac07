// RtMidi objects made quietly, and the output device and input port over them.
#include "platform/RtMidiPorts.h"

#include "platform/AudioLibraries.h"

#include <atomic>
#include <iostream>
#include <mutex>
#include <sstream>

namespace {

// std::cerr is swapped while an RtMidi object is made; one swap at a time.
std::mutex cerrSwap;

// Set by RtMidi's error callback; lives as long as the RtMidi object that points at it.
struct ErrorFlag {
    std::atomic<bool> failed{false};
};

void onRtMidiError(RtMidiError::Type, const std::string&, void* flag)
{
    static_cast<ErrorFlag*>(flag)->failed = true;
}

// An RtMidiIn or RtMidiOut of client "Tonvera", or null when RtMidi throws or warns while
// connecting (RtMidi takes an error callback only once made, and prints until then).
template <typename Port>
std::unique_ptr<Port> makeQuietly(RtMidi::Api api, ErrorFlag& flag)
{
    SilenceAudioLibraries();
    std::lock_guard<std::mutex> lock(cerrSwap);
    std::ostringstream swallowed;
    std::streambuf* old = std::cerr.rdbuf(swallowed.rdbuf());
    std::unique_ptr<Port> port;
    try {
        port = std::make_unique<Port>(api, kOwnClientName);
        port->setErrorCallback(&onRtMidiError, &flag);
    } catch (const RtMidiError&) {
        port.reset();
    }
    std::cerr.rdbuf(old);
    if (!swallowed.str().empty())
        port.reset();
    return port;
}

template <typename Port>
std::vector<std::string> rtMidiPortNames(RtMidi::Api api)
{
    std::vector<std::string> names;
    ErrorFlag flag;
    if (auto port = makeQuietly<Port>(api, flag)) {
        try {
            const unsigned count = port->getPortCount();
            for (unsigned i = 0; i < count && !flag.failed; ++i)
                if (std::string name = port->getPortName(i); !flag.failed && !name.empty())
                    names.push_back(std::move(name));
        } catch (const RtMidiError&) {
        }
    }
    return names;
}

class RtMidiOutDevice : public MIDIOutDevice {
public:
    RtMidiOutDevice(std::unique_ptr<ErrorFlag> flag, std::unique_ptr<RtMidiOut> out, std::function<bool()> guard)
        : flag_(std::move(flag)), out_(std::move(out)), guard_(std::move(guard))
    {
    }

protected:
    bool nativeAlive() const override { return !guard_ || guard_(); }
    bool sendShort(uint32_t message) override
    {
        if (!nativeAlive())
            return false;
        const unsigned char bytes[3] = {uint8_t(message), uint8_t(message >> 8), uint8_t(message >> 16)};
        const int dataBytes = ShortMessageDataBytes(bytes[0]);
        if (dataBytes == 0 && bytes[0] < 0xF0)
            return false;
        flag_->failed = false;
        try {
            out_->sendMessage(bytes, static_cast<size_t>(1 + dataBytes));
        } catch (const RtMidiError&) {
            return false;
        }
        return !flag_->failed;
    }
    void closeNative() override { out_.reset(); }

private:
    std::unique_ptr<ErrorFlag> flag_;
    std::unique_ptr<RtMidiOut> out_;
    std::function<bool()> guard_;
};

void onRtMidiMessage(double, std::vector<unsigned char>* message, void* sink)
{
    if (!message || message->empty())
        return;
    if (const uint32_t packed = PackShortMessage(message->data(), message->size()))
        (*static_cast<MIDIInputSink*>(sink))(packed);
}

class RtMidiInputPort : public MIDIInputPort {
public:
    RtMidiInputPort(std::unique_ptr<ErrorFlag> flag, std::unique_ptr<MIDIInputSink> sink, std::unique_ptr<RtMidiIn> in)
        : flag_(std::move(flag)), sink_(std::move(sink)), in_(std::move(in))
    {
    }
    // in_ goes first: closing it ends the thread that calls the sink.
    ~RtMidiInputPort() override { in_.reset(); }

private:
    std::unique_ptr<ErrorFlag> flag_;
    std::unique_ptr<MIDIInputSink> sink_;
    std::unique_ptr<RtMidiIn> in_;
};

} // namespace

RtMidiBackEnd::RtMidiBackEnd(RtMidi::Api api, std::string suffix) : api_(api), suffix_(std::move(suffix)) {}

std::optional<std::vector<std::string>> RtMidiBackEnd::listSinks()
{
    if (!available())
        return std::nullopt;
    return rtMidiPortNames<RtMidiOut>(api_);
}

std::optional<std::vector<std::string>> RtMidiBackEnd::listSources()
{
    if (!available())
        return std::nullopt;
    return rtMidiPortNames<RtMidiIn>(api_);
}

std::vector<std::string> RtMidiBackEnd::shown(const std::vector<std::string>& rtMidiNames) const
{
    std::vector<std::string> names;
    for (const std::string& name : rtMidiNames)
        if (!IsTonveraPort(name))
            names.push_back(userName(name) + suffix_);
    return names;
}

std::vector<std::string> RtMidiBackEnd::OutputPorts()
{
    const auto sinks = listSinks();
    if (!sinks)
        return {};
    std::vector<std::string> names{OwnOutputName()};
    for (std::string& name : shown(*sinks))
        names.push_back(std::move(name));
    return names;
}

std::vector<std::string> RtMidiBackEnd::InputPorts()
{
    const auto sources = listSources();
    return sources ? shown(*sources) : std::vector<std::string>{};
}

std::string RtMidiBackEnd::OwnOutputName() const { return kOwnOutputName + suffix_; }

template <typename Port>
int RtMidiBackEnd::find(Port& rtMidi, const std::string& shownName) const
{
    if (shownName.size() < suffix_.size() || shownName.compare(shownName.size() - suffix_.size(), suffix_.size(), suffix_) != 0)
        return -1;
    const std::string wanted = shownName.substr(0, shownName.size() - suffix_.size());
    const unsigned count = rtMidi.getPortCount();
    for (unsigned i = 0; i < count; ++i) {
        const std::string name = rtMidi.getPortName(i);
        if (!IsTonveraPort(name) && userName(name) == wanted)
            return static_cast<int>(i);
    }
    return -1;
}

template <typename Port>
bool RtMidiBackEnd::openOn(Port& rtMidi, const std::string& port, const char* ownPort) const
{
    if (port.empty()) {
        rtMidi.openVirtualPort(ownPort);
        return true;
    }
    const int index = find(rtMidi, port);
    if (index < 0)
        return false;
    rtMidi.openPort(static_cast<unsigned>(index), ownPort);
    return true;
}

MIDIOutHandle RtMidiBackEnd::OpenOutput(const std::string& port) { return port.empty() ? nullptr : openOutput(port); }

MIDIOutHandle RtMidiBackEnd::OpenOwnOutput() { return openOutput({}); }

// Ports are found again by name: their numbers change as other programs come and go.
MIDIOutHandle RtMidiBackEnd::openOutput(const std::string& port)
{
    if (!available())
        return nullptr;
    auto flag = std::make_unique<ErrorFlag>();
    auto out = makeQuietly<RtMidiOut>(api_, *flag);
    if (!out)
        return nullptr;
    try {
        if (!openOn(*out, port, kOwnOutputPort))
            return nullptr;
    } catch (const RtMidiError&) {
        return nullptr;
    }
    if (flag->failed || (!port.empty() && !out->isPortOpen()))
        return nullptr;
    return std::make_shared<RtMidiOutDevice>(std::move(flag), std::move(out), sendGuard());
}

std::unique_ptr<MIDIInputPort> RtMidiBackEnd::OpenInput(const std::string& port, MIDIInputSink sink)
{
    if (!available())
        return nullptr;
    // The sink outlives the port that calls it, also on the early returns.
    auto heldSink = std::make_unique<MIDIInputSink>(std::move(sink));
    auto flag = std::make_unique<ErrorFlag>();
    auto in = makeQuietly<RtMidiIn>(api_, *flag);
    if (!in)
        return nullptr;
    try {
        in->setCallback(&onRtMidiMessage, heldSink.get());
        if (!openOn(*in, port, kOwnInputPort))
            return nullptr;
    } catch (const RtMidiError&) {
        return nullptr;
    }
    if (flag->failed)
        return nullptr;
    return std::make_unique<RtMidiInputPort>(std::move(flag), std::move(heldSink), std::move(in));
}
