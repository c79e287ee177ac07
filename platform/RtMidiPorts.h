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
    // Opens the port of that shown name, or Tonvera's own (virtual) port when it is empty.
    MIDIOutHandle openOutput(const std::string& port);
    std::vector<std::string> shown(const std::vector<std::string>& rtMidiNames) const;
    // The RtMidi name's port number on an RtMidi object, by the name the user sees; -1.
    template <typename Port>
    int find(Port& rtMidi, const std::string& shownName) const;
    // Opens the port of that shown name on an RtMidi object (our port there is named
    // ownPort), or our own virtual port when the name is empty; false when there is no
    // such port. RtMidi may throw.
    template <typename Port>
    bool openOn(Port& rtMidi, const std::string& port, const char* ownPort) const;

    RtMidi::Api api_;
    std::string suffix_;
};
