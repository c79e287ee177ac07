// The device interface's shared parts and the system's device list (built-in
// synthesizer, then ALSA sequencer ports through RtMidi).
#include "platform/MIDIOut.h"

#include "platform/FluidSynthOut.h"

#include <rtmidi/RtMidi.h>

#include <iostream>
#include <sstream>
#include <sys/stat.h>
#include <vector>

bool MIDIOutDevice::Send(uint32_t message)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return open_ && sendShort(message);
}

bool MIDIOutDevice::Reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_)
        return false;
    bool ok = true;
    for (uint32_t channel = 0; channel < 16; ++channel) {
        ok = sendShort(0xB0 | channel | 123 << 8) && ok; // all notes off
        ok = sendShort(0xB0 | channel | 121 << 8) && ok; // reset all controllers
    }
    return ok;
}

bool MIDIOutDevice::Close()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_)
        return false;
    open_ = false;
    closeNative();
    return true;
}

bool MIDIOutDevice::IsOpen() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return open_;
}

int ShortMessageDataBytes(uint8_t status)
{
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 1;
    case 0x80:
    case 0x90:
    case 0xA0:
    case 0xB0:
    case 0xE0:
        return 2;
    default:
        return 0;
    }
}

namespace {

void ignoreRtMidiError(RtMidiError::Type, const std::string&, void* failed)
{
    *static_cast<bool*>(failed) = true;
}

// RtMidi prints warnings on std::cerr before it throws, and takes an error callback only
// after construction: swap cerr's buffer for the constructor's time.
std::unique_ptr<RtMidiOut> makeAlsaOut(bool& failed)
{
    struct stat info {};
    if (stat("/dev/snd/seq", &info) != 0)
        return nullptr;
    SilenceAudioLibraries();
    std::ostringstream swallowed;
    std::streambuf* old = std::cerr.rdbuf(swallowed.rdbuf());
    std::unique_ptr<RtMidiOut> out;
    try {
        out = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, "Tonvera");
        out->setErrorCallback(&ignoreRtMidiError, &failed);
    } catch (const RtMidiError&) {
        out.reset();
    }
    std::cerr.rdbuf(old);
    return out;
}

class AlsaPortOut : public MIDIOutDevice {
public:
    AlsaPortOut(std::unique_ptr<bool> failed, std::unique_ptr<RtMidiOut> out)
        : failed_(std::move(failed)), out_(std::move(out))
    {
    }

protected:
    bool sendShort(uint32_t message) override
    {
        const uint8_t bytes[3] = {uint8_t(message), uint8_t(message >> 8), uint8_t(message >> 16)};
        const int dataBytes = ShortMessageDataBytes(bytes[0]);
        if (dataBytes == 0 && bytes[0] < 0xF0)
            return false;
        *failed_ = false;
        try {
            out_->sendMessage(bytes, static_cast<size_t>(1 + dataBytes));
        } catch (const RtMidiError&) {
            return false;
        }
        return !*failed_;
    }
    void closeNative() override { out_.reset(); }

private:
    std::unique_ptr<bool> failed_; // set by RtMidi's error callback
    std::unique_ptr<RtMidiOut> out_;
};

class SystemMIDIDevices : public MIDIDeviceList {
public:
    SystemMIDIDevices()
    {
        soundFont_ = FindGeneralMIDISoundFont();
        if (!soundFont_.empty())
            names_.push_back(kBuiltInSynthName);
        bool failed = false;
        if (auto out = makeAlsaOut(failed)) {
            const unsigned ports = out->getPortCount();
            for (unsigned i = 0; i < ports && !failed; ++i) {
                const std::string name = out->getPortName(i);
                if (!failed && !name.empty()) {
                    names_.push_back(name);
                }
            }
        }
    }

    unsigned Count() const override { return static_cast<unsigned>(names_.size()); }

    bool Name(unsigned index, std::string& name) const override
    {
        if (index >= names_.size())
            return false;
        name = names_[index];
        return true;
    }

    MIDIOutHandle Open(unsigned index) override
    {
        if (index >= names_.size())
            return nullptr;
        if (!soundFont_.empty() && index == 0)
            return OpenBuiltInSynth(soundFont_);
        return openAlsaPort(names_[index]);
    }

private:
    // Ports are found again by name: their numbers change as other programs come and go.
    static MIDIOutHandle openAlsaPort(const std::string& name)
    {
        auto failed = std::make_unique<bool>(false);
        auto out = makeAlsaOut(*failed);
        if (!out)
            return nullptr;
        const unsigned ports = out->getPortCount();
        for (unsigned i = 0; i < ports; ++i) {
            if (out->getPortName(i) != name)
                continue;
            *failed = false;
            try {
                out->openPort(i, "Tonvera output");
            } catch (const RtMidiError&) {
                return nullptr;
            }
            if (*failed || !out->isPortOpen())
                return nullptr;
            return std::make_shared<AlsaPortOut>(std::move(failed), std::move(out));
        }
        return nullptr;
    }

    std::string soundFont_;
    std::vector<std::string> names_;
};

} // namespace

std::shared_ptr<MIDIDeviceList> MakeSystemMIDIDevices()
{
    return std::make_shared<SystemMIDIDevices>();
}
