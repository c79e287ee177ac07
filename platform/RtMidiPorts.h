// The ports of one RtMidi API (the ALSA sequencer or JACK): what the ALSA and JACK back
// ends share. RtMidi never prints: its warnings go to an error callback, and what it
// writes on std::cerr while an object is made is swallowed.
#pragma once

#include "platform/MIDIBackEnd.h"

#include <rtmidi/RtMidi.h>

#include <optional>

class RtMidiBackEnd : public MIDIBackEnd {
public:
    std::vector<std::string> OutputPorts() override;
    MIDIOutHandle OpenOutput(const std::string& port) override;
    std::vector<std::string> InputPorts() override;
    std::unique_ptr<MIDIInputPort> OpenInput(const std::string& port, MIDIInputSink sink) override;
    bool HasOwnPorts() const override { return true; }
    std::string OwnOutputName() const override;
    MIDIOutHandle OpenOwnOutput() override;

protected:
    // suffix tells this API's ports from another's in the list (" (JACK)").
    RtMidiBackEnd(RtMidi::Api api, std::string suffix);

    // Whether the API can be used now. Any thread.
    virtual bool available() = 0;
    // The full names of other programs' ports: those that take MIDI (sinks) and those
    // that give it (sources), as RtMidi names them. None when the API is not available.
    virtual std::optional<std::vector<std::string>> listSinks();
    virtual std::optional<std::vector<std::string>> listSources();
    // A port's name as the user sees it and as it is saved, from RtMidi's name.
    virtual std::string userName(const std::string& rtMidiName) const { return rtMidiName; }
    // Whether an output opened now can still send; checked before each message.
    virtual std::function<bool()> sendGuard() { return {}; }

private:
    std::vector<std::string> shown(const std::vector<std::string>& rtMidiNames) const;
    // The RtMidi name's port number on an RtMidi object, by the name the user sees; -1.
    template <typename Port>
    int find(Port& rtMidi, const std::string& shownName) const;

    RtMidi::Api api_;
    std::string suffix_;
};
